// Atomic replacement of a file: the new content appears whole or not at all.
#include <sys/stat.h>

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

TEST_F(AtomicFileTest, CreatesAndReplacesLeavingNoTemporaryFile) {
    fs::path target = dir / "a.dat";
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(target, std::string("first\0line", 10), &error)) << error;
    EXPECT_EQ(ReadAll(target), std::string("first\0line", 10));

    // A shorter content over a longer file leaves exactly the new bytes.
    ASSERT_TRUE(WriteFileAtomically(target, "2", &error)) << error;
    EXPECT_EQ(ReadAll(target), "2");
    ASSERT_TRUE(WriteFileAtomically(target, "", &error)) << error;
    EXPECT_EQ(fs::file_size(target), 0u);
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"a.dat"});
}

TEST_F(AtomicFileTest, KeepsThePermissionsOfTheFileItReplaces) {
    fs::path target = dir / "p.dat";
    WriteAll(target, "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(WriteFileAtomically(target, "new"));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(AtomicFileTest, ReplacesTheFileALinkPointsAt) {
    fs::path real = dir / "real.dat";
    fs::path link = dir / "link.dat";
    WriteAll(real, "old");
    fs::create_symlink(real, link);
    ASSERT_TRUE(WriteFileAtomically(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadAll(real), "new");
}

TEST_F(AtomicFileTest, FailureLeavesTheTargetAndNoTemporaryFile) {
    // A folder where the file should be: the rename fails after the data were written.
    fs::path target = dir / "busy.dat";
    fs::create_directory(target);
    WriteAll(target / "inside", "keep");
    std::string error;
    int number = 0;
    EXPECT_FALSE(WriteFileAtomically(target, "data", &error, &number));
    EXPECT_FALSE(error.empty());
    EXPECT_NE(number, 0);
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(ReadAll(target / "inside"), "keep");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"busy.dat"});

    // A folder that does not exist.
    EXPECT_FALSE(WriteFileAtomically(dir / "missing" / "x.dat", "data", &error));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    // No file name at all.
    EXPECT_FALSE(WriteFileAtomically(fs::path(), "data", &error));
}

TEST_F(AtomicFileTest, ReadOnlyFolderOrFileLeavesTheOldFile) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "file permissions do not bind the super-user";
    }
    fs::path sub = dir / "ro";
    fs::create_directory(sub);
    WriteAll(sub / "x.dat", "old");
    fs::permissions(sub, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(WriteFileAtomically(sub / "x.dat", "new"));
    fs::permissions(sub, fs::perms::owner_all);
    EXPECT_EQ(ReadAll(sub / "x.dat"), "old");
    EXPECT_EQ(Entries(sub), std::vector<std::string>{"x.dat"});

    // A read-only file in a writable folder is not replaced either.
    fs::permissions(sub / "x.dat", fs::perms::owner_read);
    EXPECT_FALSE(WriteFileAtomically(sub / "x.dat", "new"));
    EXPECT_EQ(ReadAll(sub / "x.dat"), "old");
    EXPECT_EQ(Entries(sub), std::vector<std::string>{"x.dat"});
}

}  // namespace
}  // namespace mrw::test
