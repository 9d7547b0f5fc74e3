// ReadProfileValue: the INI lookup behind global.ini and the MAIN section of a settings file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <tuple>

#include "core/config_fixture.h"
#include "core/profile.h"

namespace mrw {
namespace {

class ProfileTest : public ::testing::Test {
protected:
    std::filesystem::path Write(const std::string& content) {
        auto path = dir_ / "test.ini";
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    testing::TempFolder temp_{"mrw_profile_"};
    const std::filesystem::path dir_ = temp_.path();
};

TEST_F(ProfileTest, LookUps) {
    const auto file = Write(
        "[model1]\r\nuse=1\r\natis=False\r\n"
        "[MODEL2]\r\n  USE  =  #1  \r\nuse=0\r\n; comment=9\r\n"
        "[MAIN]\nA=<NONE>\nB=##7\nC=\nD=x=y\nK=" +
        std::string(300, 'v') + "\n");
    // {section, key, value}: the first match ignoring case, trimmed, one "#" removed.
    const std::tuple<const char*, const char*, std::string> rows[] = {
        {"model1", "use", "1"},
        {"Model1", "ATIS", "False"},
        {"model2", "use", "1"},
        {"model2", "comment", ""},
        {"model3", "use", ""},
        {"model1", "missing", ""},
        {"MAIN", "A", ""},
        {"MAIN", "B", "#7"},
        {"MAIN", "C", ""},
        {"MAIN", "D", "x=y"},
        {"MAIN", "K", std::string(128, 'v')}};
    for (const auto& [section, key, value] : rows) {
        EXPECT_EQ(ReadProfileValue(file, section, key), value) << section << "/" << key;
    }
    EXPECT_EQ(ReadProfileValue(dir_ / "absent.ini", "MAIN", "A"), "");
    EXPECT_EQ(ReadProfileValue(dir_, "MAIN", "A"), "");  // a folder, not a file
}

TEST_F(ProfileTest, HostileFilesGiveEmptyTextOrTheValue) {
    std::mt19937 rng(7);
    std::string junk(200000, '\0');
    for (char& c : junk) {
        c = static_cast<char>(rng() & 0xFF);
    }
    auto file = Write(junk);
    EXPECT_NO_THROW(ReadProfileValue(file, "MAIN", "MODELTYPE"));

    // A huge line before the section does not hide it; a key after it is still found.
    std::string huge(1 << 20, 'x');
    file = Write(huge + "\n[MAIN]\nMODELTYPE=2\n" + huge + "\nREGION=3\n");
    EXPECT_EQ(ReadProfileValue(file, "MAIN", "MODELTYPE"), "2");
    EXPECT_EQ(ReadProfileValue(file, "MAIN", "REGION"), "3");

    // A section header without its bracket, and a UTF-8 mark at the start.
    file = Write("\xEF\xBB\xBF[MAIN]\nX=1\n[BROKEN\nX=2\n");
    EXPECT_EQ(ReadProfileValue(file, "MAIN", "X"), "1");
}

}  // namespace
}  // namespace mrw
