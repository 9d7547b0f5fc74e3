// ReadProfileValue: the INI lookup behind global.ini and the MAIN section of a settings file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/config_fixture.h"
#include "core/profile.h"
#include "test_files.h"

namespace mrw {
namespace {

TEST(ProfileTest, LookUps) {
    const auto file = testing::TestData("core/lookups.ini");
    for (const testing::Case& c :
         testing::ReadCases(testing::TestData("core/profile_lookups.txt"))) {
        EXPECT_EQ(ReadProfileValue(file, c[0], c[1]), c[2]) << c.where;
    }
    EXPECT_EQ(ReadProfileValue(file.parent_path() / "absent.ini", "MAIN", "A"), "");
    EXPECT_EQ(ReadProfileValue(file.parent_path(), "MAIN", "A"), "");  // a folder, not a file
}

TEST(ProfileTest, HostileFilesGiveEmptyTextOrTheValue) {
    testing::TempFolder temp{"mrw_profile_"};
    const auto file = temp.path() / "test.ini";
    const auto write = [&](const std::string& content) {
        std::ofstream(file, std::ios::binary) << content;
    };
    // A huge line before the section does not hide it; a key after it is still found.
    std::string huge(1 << 20, 'x');
    write(huge + "\n[MAIN]\nMODELTYPE=2\n" + huge + "\nREGION=3\n");
    EXPECT_EQ(ReadProfileValue(file, "MAIN", "MODELTYPE"), "2");
    EXPECT_EQ(ReadProfileValue(file, "MAIN", "REGION"), "3");

    // A section header without its bracket, and a UTF-8 mark at the start.
    write("\xEF\xBB\xBF[MAIN]\nX=1\n[BROKEN\nX=2\n");
    EXPECT_EQ(ReadProfileValue(file, "MAIN", "X"), "1");
}

}  // namespace
}  // namespace mrw
