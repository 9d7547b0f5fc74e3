// The settings file of the desktop program read and written without Qt, on a hand-written
// text: what each line stands for, and the exact text after storing values.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "files/ini_settings.h"
#include "test_files.h"

namespace mrw {
namespace {

namespace fs = std::filesystem;

TEST(IniSettingsStore, ReadsQSettingsTextAndRewritesOnlyItsOwnLines) {
    const fs::path dir =
        fs::temp_directory_path() / ("mrw_ini_" + std::to_string(std::random_device{}()));
    const fs::path file = dir / "MRW" / "MRW.ini";
    {
        IniSettingsStore missing(file);
        EXPECT_EQ(missing.Get("ComPath", "ComNum", "1"), "1");
    }
    fs::create_directories(file.parent_path());
    const std::string text =
        "\xEF\xBB\xBF; written by hand\n"
        "[General]\n"
        "root=1\n"
        "\n"
        "[ComPath]\n"
        "ComNum=3 ; the port\n"
        "ComDevice=\"  /dev/pts/3, \\\"x\\\"\\\\ \"\n"
        "this line has no equals sign\n"
        "Long=a\\\n"
        "b\n"
        "\n"
        "[%General]\n"
        "g=@@at\n"
        "[Other]\n"
        "Caf%E9=\\x43\\x61\\x66\\xe9\\tN\\xfc\\x31\n"
        "list=a, b\n";
    std::ofstream(file, std::ios::binary) << text;
    IniSettingsStore store(file);
    EXPECT_EQ(store.Get("ComPath", "ComNum"), "3");
    EXPECT_EQ(store.Get("ComPath", "ComDevice"), "  /dev/pts/3, \"x\"\\ ");
    EXPECT_EQ(store.Get("ComPath", "Long"), "ab");
    EXPECT_EQ(store.Get("General", "g"), "@at");
    EXPECT_EQ(store.Get("General", "root", "none"), "none");  // a key of no section
    EXPECT_EQ(store.Get("Other", "Caf\xC3\xA9"),
              "Caf\xC3\xA9\tN\xC3\xBC"
              "1");
    EXPECT_EQ(store.Get("Other", "list", "none"), "");
    EXPECT_EQ(store.Get("Other", "missing", "none"), "none");

    store.Set("ComPath", "ComNum", "3");  // unchanged: the file is not touched
    EXPECT_EQ(testing::ReadFile(file), text);
    store.Set("ComPath", "ComNum", "12");
    store.Set("ComPath", "New", " C:\\Users\\x;y");
    store.Set("Settings", "lastfolder", "/home/u/\xC3\xA9t\xC3\xA9");
    store.Set("General", "h",
              "\x01"
              "a");
    std::string expected = text;
    expected.replace(expected.find("3 ; the port"), 1, "12");
    expected.insert(expected.find("\n[%General]"), "New=\" C:\\\\Users\\\\x;y\"\n");
    expected += "\n[Settings]\nlastfolder=/home/u/\xC3\xA9t\xC3\xA9\n";
    expected.insert(expected.find("[Other]"), "h=\\x1\\x61\n");
    EXPECT_EQ(testing::ReadFile(file), expected);
    EXPECT_EQ(IniSettingsStore(file).Get("ComPath", "New"), " C:\\Users\\x;y");

    // A file that is there but is not read whole is never written over.
    const std::string big = "[A]\nk=v\n;" + std::string(4 * 1024 * 1024, 'x') + "\n";
    std::ofstream(file, std::ios::binary) << big;
    IniSettingsStore tooBig(file);
    tooBig.Set("ComPath", "ComNum", "2");
    EXPECT_NE(tooBig.LastError(), "");
    EXPECT_EQ(testing::ReadFile(file), big);
    fs::remove_all(dir);
}

TEST(IniSettingsStore, KeysAndValuesAreEscapedAsQSettingsDoes) {
    for (auto [value, text] : {std::pair{"plain text", "plain text"},
                               {"a,b", "\"a,b\""},
                               {"x=1", "\"x=1\""},
                               {" lead", "\" lead\""},
                               {"@x", "@@x"},
                               {"", ""},
                               {"tab\there\nnl", "tab\\there\\nnl"},
                               {"q\"b\\", "q\\\"b\\\\"}}) {
        EXPECT_EQ(IniEscapeValue(value), text) << value;
        EXPECT_EQ(IniUnescapeValue(text), value) << text;
    }
    EXPECT_EQ(IniEscapeKey("Port 1/\xC3\xA9\xE2\x82\xAC"), "Port%201\\%E9%U20AC");
}

}  // namespace
}  // namespace mrw
