// regiongen DATA_DIR OUT_DIR: writes the factory region default images of every region and
// model type (INTL_08FD.ini, ..., USA_0961.ini) from the readable tables under DATA_DIR.
#include <cstdio>
#include <string>

#include "files/atomic_file.h"
#include "region_tables.h"

int main(int argc, char** argv) {
    using namespace mrw;
    if (argc != 3) {
        std::fprintf(stderr, "usage: regiongen DATA_DIR OUT_DIR\n");
        return 2;
    }
    const std::filesystem::path dataDir = argv[1];
    const std::filesystem::path outDir = argv[2];
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    for (const char* region : regiongen::kRegions) {
        for (int type : regiongen::kModelTypes) {
            Image image;
            std::string error;
            if (!regiongen::BuildFactoryImage(dataDir, region, type, image, error)) {
                std::fprintf(stderr, "regiongen: %s\n", error.c_str());
                return 1;
            }
            const auto path = outDir / regiongen::FactoryFileName(region, type);
            const std::string_view bytes(reinterpret_cast<const char*>(image.bytes.data()),
                                         image.bytes.size());
            if (!WriteFileAtomically(path, bytes, &error)) {
                std::fprintf(stderr, "regiongen: %s: %s\n", path.string().c_str(), error.c_str());
                return 1;
            }
        }
    }
    return 0;
}
