// Atomic replacement of a file: the new content appears whole or not at all.
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <csignal>

#include "core/path_text.h"
#include "files/atomic_file.h"
#include "files_fixture.h"

namespace mrw::test {
namespace {

using AtomicFileTest = FilesTest;

// Names of the entries of a folder.
std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(AtomicFileTest, ReplacesWholeKeepingPermissionsAndLinks) {
    fs::path target = dir / "a.dat";
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(target, std::string("first\0line", 10), &error)) << error;
    EXPECT_EQ(ReadAll(target), std::string("first\0line", 10));
    // A shorter content over a longer file leaves exactly the new bytes.
    ASSERT_TRUE(WriteFileAtomically(target, "2", &error)) << error;
    EXPECT_EQ(ReadAll(target), "2");
    ASSERT_TRUE(WriteFileAtomically(target, "", &error)) << error;
    EXPECT_EQ(fs::file_size(target), 0u);
    // A new name in a writable folder can be written; the test leaves nothing behind.
    EXPECT_TRUE(CanWriteFile(dir / "new.dat"));
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"a.dat"});

    // A name in UTF-8 is the same name for the system (a wide name on Windows).
    const std::string name =
        "B\xC3\xB8"
        "at \xC3\x86\xC3\x98\xC3\x85 \xE2\x98\x83.dat";
    ASSERT_TRUE(WriteFileAtomically(dir / PathOf(name), "utf", &error)) << error;
    EXPECT_EQ(ReadAll(dir / PathOf(name)), "utf");
    const auto written = std::find_if(fs::directory_iterator(dir), fs::directory_iterator(),
                                      [](const auto& e) { return e.path().filename() != "a.dat"; });
    ASSERT_NE(written, fs::directory_iterator());
    EXPECT_EQ(PathText(written->path().filename()), name);
#ifdef _WIN32
    EXPECT_EQ(written->path().filename().wstring(), L"B\u00F8at \u00C6\u00D8\u00C5 \u2603.dat");
#else
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, perms);
    ASSERT_TRUE(WriteFileAtomically(target, "new"));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, perms);

    // A link stays a link; the file it points at is replaced.
    fs::create_symlink(target, dir / "link.dat");
    ASSERT_TRUE(WriteFileAtomically(dir / "link.dat", "via link"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.dat"));
    EXPECT_EQ(ReadAll(target), "via link");
#endif
}

TEST_F(AtomicFileTest, FailureLeavesTheTargetAndNoTemporaryFile) {
    // A folder where the file should be is not replaced.
    fs::path target = dir / "busy.dat";
    fs::create_directory(target);
    WriteAll(target / "inside", "keep");
    std::string error;
    int number = 0;
    EXPECT_FALSE(WriteFileAtomically(target, "data", &error, &number));
    EXPECT_FALSE(error.empty());
    EXPECT_NE(number, 0);
    EXPECT_EQ(ReadAll(target / "inside"), "keep");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"busy.dat"});
#ifndef _WIN32
    // A write that fails half-way (at the file size limit) leaves the old file and removes the
    // temporary one.
    WriteAll(dir / "small.dat", "old");
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{16, limit.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_FALSE(WriteFileAtomically(dir / "small.dat", std::string(4096, 'x'), &error, &number));
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(number, EFBIG);
    EXPECT_EQ(ReadAll(dir / "small.dat"), "old");
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"busy.dat", "small.dat"}));
    fs::remove(dir / "small.dat");
#endif
    // A folder that does not exist; no file name at all.
    EXPECT_FALSE(WriteFileAtomically(dir / "missing" / "x.dat", "data", &error));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_FALSE(WriteFileAtomically(fs::path(), "data", &error));

    WriteAll(target / "x.dat", "old");
#ifndef _WIN32
    if (geteuid() == 0) {
        return;  // file permissions do not bind the super-user
    }
    // A read-only folder, then a read-only file in a writable folder.
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(WriteFileAtomically(target / "x.dat", "new"));
    fs::permissions(target, fs::perms::owner_all);
#endif
    // A read-only file (on Windows: its read-only attribute) is not replaced behind the back.
    fs::permissions(target / "x.dat", fs::perms::owner_read);
    EXPECT_FALSE(WriteFileAtomically(target / "x.dat", "new", &error, &number));
    EXPECT_EQ(number, EACCES);
    EXPECT_FALSE(CanWriteFile(target / "x.dat"));
    EXPECT_FALSE(WriteFileAtomically(target / "x.dat", "new"));
    EXPECT_EQ(ReadAll(target / "x.dat"), "old");
    EXPECT_EQ(Entries(target), (std::vector<std::string>{"inside", "x.dat"}));
}

TEST_F(AtomicFileTest, ANewFileIsNeverWrittenOverOneThatExists) {
    const fs::path target = dir / "backup.hex";
    std::string error;
    int number = 0;
    ASSERT_TRUE(WriteNewFileAtomically(target, "first", &error, &number)) << error;
    EXPECT_EQ(ReadAll(target), "first");
    EXPECT_FALSE(WriteNewFileAtomically(target, "second", &error, &number));
    EXPECT_EQ(number, EEXIST);
    EXPECT_EQ(error, "cannot create " + target.string() + ": File exists");
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"backup.hex"}));
#ifndef _WIN32
    // A link that points nowhere is a name taken too.
    fs::create_symlink(dir / "nowhere.hex", dir / "dangling.hex");
    EXPECT_FALSE(WriteNewFileAtomically(dir / "dangling.hex", "third", &error, &number));
    EXPECT_EQ(number, EEXIST);
    EXPECT_FALSE(fs::exists(dir / "nowhere.hex"));
    EXPECT_EQ(ReadAll(target), "first");
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"backup.hex", "dangling.hex"}));
#endif
}

}  // namespace
}  // namespace mrw::test
