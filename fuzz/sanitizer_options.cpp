// AddressSanitizer defaults of the fuzz targets (ASAN_OPTIONS still overrides them). The
// quarantine that catches a use after free keeps the last 16 MB freed instead of 256 MB: an input
// allocates far less than that, and the memory stays in the cache instead of being faulted in
// anew for every input. Allocation and free stacks keep their ten innermost frames.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=16:malloc_context_size=10";
}
