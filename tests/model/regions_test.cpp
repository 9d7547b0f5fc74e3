// Regions and model types at work: region default images, the region menu, the reset to
// defaults, the region and model menu commands and the region test of a settings file.
#include <algorithm>
#include <string>

#include "image/check_map.h"
#include "image/checks.h"
#include "model/catalogue.h"
#include "model/regions.h"
#include "regions_fixture.h"

namespace mrw {
namespace {

using testing::RegionFixture;

class Regions : public RegionFixture {
protected:
    void SetUp() override {
        RegionFixture::SetUp();
        WriteFile("global.ini", "[model1]\nuse=1\natis=False\n[model2]\nuse=1\natis=True\n");
        ApplyModelType(config, 1);
    }

    // A region image of `type` for region code `region` whose CHUSA holds `channels`
    // channels (catalogue rows 1, 2, ...), written as name + suffix + ".ini".
    std::string ImageBytes(int type, int region, int channels) {
        Image image;
        DataModel model;
        NewImage(image, model, type);
        image.Set(checkmap::kRegionAddress, region);
        const int bitmap = layout::TableLayout(layout::ChannelTableId::CHUSA).enableBitmap;
        const int records = layout::TableLayout(layout::ChannelTableId::CHUSA).recordBase;
        for (int k = 0; k < channels; ++k) {
            image.At(bitmap + k / 8) |= static_cast<uint8_t>(0x80 >> (k % 8));
            image.Set(records + 4 * k, k + 1);
        }
        return std::string(image.bytes.begin(), image.bytes.end());
    }
    void WriteRegion(const std::string& name, int type, int region, int channels = 1) {
        WriteFile(name + ModelFileSuffix(type) + ".ini", ImageBytes(type, region, channels));
    }

    std::vector<std::string> Captions() const {
        std::vector<std::string> out;
        for (const auto& e : config.regionMenu.entries) {
            if (e.visible) {
                out.push_back(e.caption);
            }
        }
        return out;
    }
    int Checked() const {
        for (int i = 0; i < 11; ++i) {
            if (config.regionMenu.entries[static_cast<size_t>(i)].checked) {
                return i;
            }
        }
        return -1;
    }
    std::string Stored(int type = 1) {
        return store.Get("IniFilePath", "IniFileName_" + std::to_string(type));
    }
};

TEST_F(Regions, ApplyModelTypeReadsAtisFromGlobalIni) {
    EXPECT_EQ(config.state.ModelType, 1);
    EXPECT_EQ(config.state.ModelName, "HV2300");
    EXPECT_FALSE(config.state.AtisSupported);
    EXPECT_EQ(config.state.TitleText, "PC Program for HV2300");
    ApplyModelType(config, 2);
    EXPECT_TRUE(config.state.AtisSupported);
    EXPECT_EQ(config.state.TitleText, "PC Program for HV2400");
    EXPECT_EQ(config.image.ImageLastAddress, 32767);
    WriteFile("global.ini", "[model2]\natis=#1\n[model3]\natis=0\n");
    ApplyModelType(config, 2);
    EXPECT_TRUE(config.state.AtisSupported);
    ApplyModelType(config, 3);
    EXPECT_FALSE(config.state.AtisSupported);
    EXPECT_EQ(config.state.TitleText, "PC Program for Unknown model");
}

TEST_F(Regions, LoadRegionImageCopiesAndDecodesAfterTwoPauses) {
    WriteRegion("UK", 1, 1, 3);
    config.model.CHWX.resize(10);
    EXPECT_TRUE(LoadRegionImage(config, folder / "UK_08FD.ini"));
    EXPECT_EQ(config.image.Get(checkmap::kRegionAddress), 1);
    ASSERT_EQ(config.model.CHUSA.size(), 3u);
    EXPECT_EQ(config.model.CHUSA[2].Position, 3);
    EXPECT_DOUBLE_EQ(clock.Seconds(), 1.0);
    EXPECT_FALSE(config.state.Loading);
    EXPECT_FALSE(config.state.ErrorFlag);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(Regions, LoadRegionImageRefusesWrongLengthCodesAndModel) {
    const Image before = config.image;
    std::string good = ImageBytes(1, 0, 2);
    WriteFile("short.ini", good.substr(0, 32767));
    EXPECT_FALSE(LoadRegionImage(config, folder / "short.ini"));
    EXPECT_FALSE(config.state.ErrorFlag);  // refused silently, before any reading

    std::string differing = good;
    differing[32767] = 0x00;  // second copy of the model code no longer matches
    WriteFile("differing.ini", differing);
    EXPECT_FALSE(LoadRegionImage(config, folder / "differing.ini"));
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_FALSE(config.state.Loading);

    WriteFile("other.ini", ImageBytes(2, 0, 2));
    EXPECT_FALSE(LoadRegionImage(config, folder / "other.ini"));
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_EQ(config.image.bytes, before.bytes);
    EXPECT_FALSE(config.state.CancelFlag);
    EXPECT_TRUE(prompt.messages.empty());

    config.state.ModelType = 11;  // shares the model code of type 1
    EXPECT_TRUE(LoadRegionImage(config, folder / "differing.ini") == false);
    WriteFile("m.ini", good);
    EXPECT_TRUE(LoadRegionImage(config, folder / "m.ini"));
}

TEST_F(Regions, LoadRegionImageFileFailureLogsAndCancels) {
    config.state.DebugSwitch = true;
    EXPECT_FALSE(LoadRegionImage(config, folder / "GONE_08FD.ini"));
    EXPECT_TRUE(config.state.CancelFlag);
    EXPECT_FALSE(config.state.Loading);
    std::ifstream log(folder / "err.log");
    std::string line;
    std::getline(log, line);
    EXPECT_NE(line.find("frmMain.FileReadIni"), std::string::npos) << line;
}

TEST_F(Regions, RegionNamesSortedCutAtTenAndMatchedBySuffix) {
    EXPECT_EQ(RegionNamesFromFiles({"UK_08FD.ini", "INTL_08FD.ini"}, "_08FD"),
              (std::vector<std::string>{"INTL", "UK"}));
    EXPECT_EQ(RegionNamesFromFiles({"INTL_08FD.ini", "UK_08FD.ini"}, "_08FD"),
              (std::vector<std::string>{"INTL", "UK"}));
    EXPECT_EQ(RegionNamesFromFiles({"nl_08fd.INI", "Be_08FD.ini", "UK_0961.ini", "global.ini",
                                    "_08FD.ini", "USA_08FD.ini.bak", "INTL-M_08FD.ini"},
                                   "_08FD"),
              (std::vector<std::string>{"BE", "INTL-M", "NL"}));
    EXPECT_EQ(RegionNamesFromFiles({"INTL-M_08FD.ini", "INTL_08FD.ini"}, "-M_08FD"),
              (std::vector<std::string>{"INTL"}));
    EXPECT_TRUE(RegionNamesFromFiles({"INTL_08FD.ini"}, "").empty());

    // Twelve files: the first ten listed are taken, then sorted.
    std::vector<std::string> files;
    for (char c : std::string("LKJIHGFEDCBA")) {
        files.push_back(std::string(1, c) + "X_08FD.ini");
    }
    EXPECT_EQ(
        RegionNamesFromFiles(files, "_08FD"),
        (std::vector<std::string>{"CX", "DX", "EX", "FX", "GX", "HX", "IX", "JX", "KX", "LX"}));
}

TEST_F(Regions, RegionImagePathDropsTrailingM) {
    EXPECT_EQ(RegionImagePath(config, "intl-m"), folder / "INTL_08FD.ini");
    EXPECT_EQ(RegionImagePath(config, "-M"), folder / "-M_08FD.ini");
    EXPECT_EQ(RegionImagePath(config, "UK"), folder / "UK_08FD.ini");
    WriteRegion("sw", 1, 4);  // a lower-case file name is still found
    EXPECT_EQ(RegionImagePath(config, "SW"), folder / "sw_08FD.ini");
}

TEST_F(Regions, BuildRegionMenuLoadsAndStoresTheFirstRegion) {
    WriteRegion("UK", 1, 1, 2);
    WriteRegion("INTL", 1, 0, 5);
    WriteRegion("USA", 2, 255);  // another model type's file is not offered
    config.model.CHWX.resize(10);
    BuildRegionMenu(config);
    EXPECT_TRUE(config.regionMenu.enabled);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"INTL", "UK"}));
    EXPECT_EQ(Checked(), 0);
    EXPECT_EQ(Stored(), "INTL");
    EXPECT_EQ(config.model.CHUSA.size(), 5u);
    EXPECT_FALSE(config.regionMenu.entries[2].visible);
    EXPECT_TRUE(config.regionMenu.entries[2].caption.empty());
    EXPECT_NE(std::find(shell.calls.begin(), shell.calls.end(), "rebuild"), shell.calls.end());
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(Regions, BuildRegionMenuUsesTheStoredRegionOrFallsBack) {
    WriteRegion("UK", 1, 1, 2);
    WriteRegion("INTL", 1, 0, 5);
    config.model.CHWX.resize(10);
    store.Set("IniFilePath", "IniFileName_1", "uk");
    BuildRegionMenu(config);
    EXPECT_EQ(Checked(), 1);
    EXPECT_EQ(config.model.CHUSA.size(), 2u);

    store.Set("IniFilePath", "IniFileName_1", "SW");  // its file was deleted
    BuildRegionMenu(config);
    EXPECT_EQ(Checked(), 0);
    EXPECT_EQ(Stored(), "INTL");
    EXPECT_EQ(config.model.CHUSA.size(), 5u);
}

TEST_F(Regions, BuildRegionMenuMEntryLoadsThePlainFile) {
    WriteRegion("INTL", 1, 0, 4);
    WriteFile("INTL-M_08FD.ini", "not an image");
    config.model.CHWX.resize(10);
    store.Set("IniFilePath", "IniFileName_1", "INTL-M");
    BuildRegionMenu(config);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"INTL", "INTL-M"}));
    EXPECT_EQ(Checked(), 1);
    EXPECT_EQ(config.model.CHUSA.size(), 4u);
}

TEST_F(Regions, BuildRegionMenuFailures) {
    BuildRegionMenu(config);
    EXPECT_FALSE(config.regionMenu.enabled);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "Ini files are not found!!");
    EXPECT_EQ(prompt.messages[0].icon, Icon::Exclamation);
    EXPECT_EQ(prompt.messages[0].title, "PC Program for HV2300");

    WriteFile("INTL_08FD.ini", ImageBytes(2, 0, 1));  // named for type 1, holds type 2
    const Image before = config.image;
    BuildRegionMenu(config);
    EXPECT_TRUE(config.regionMenu.enabled);
    EXPECT_EQ(Checked(), -1);
    EXPECT_EQ(prompt.messages.back().text, "Ini file read Error!!");
    EXPECT_EQ(config.image.bytes, before.bytes);
}

TEST_F(Regions, ChangeRegionStoresOrRestoresTheCheck) {
    WriteRegion("UK", 1, 1, 2);
    WriteRegion("INTL", 1, 0, 5);
    config.model.CHWX.resize(10);
    BuildRegionMenu(config);
    ChangeRegion(config, 1);
    EXPECT_EQ(Checked(), 1);
    EXPECT_EQ(Stored(), "UK");
    EXPECT_EQ(config.image.Get(checkmap::kRegionAddress), 1);

    std::filesystem::remove(folder / "INTL_08FD.ini");
    ChangeRegion(config, 0);
    EXPECT_EQ(Checked(), 1);  // the previous entry is checked again
    EXPECT_EQ(Stored(), "UK");
    EXPECT_EQ(prompt.messages.back().text, "IniFileRead Error!!");
    EXPECT_EQ(shell.calls.back(), "idle");
}

TEST_F(Regions, ResetToDefaultsBuildsTheDefaultsThenTheStoredRegion) {
    WriteRegion("UK", 1, 1, 2);
    store.Set("IniFilePath", "IniFileName_1", "UK");
    ResetToDefaults(config, -1);
    ASSERT_EQ(config.model.CHWX.size(), 10u);
    EXPECT_EQ(config.model.CHUSA.size(), 2u);
    EXPECT_EQ(Checked(), 0);
    EXPECT_FALSE(config.state.Loading);
    ASSERT_GE(shell.calls.size(), 3u);
    EXPECT_EQ(*(shell.calls.end() - 2), "show General");
    EXPECT_EQ(shell.calls.back(), "caption");

    // Mode -2 rebuilds only the weather table and the views.
    config.model.CHUSA.resize(7);
    shell.calls.clear();
    ResetToDefaults(config, -2);
    EXPECT_EQ(config.model.CHUSA.size(), 7u);
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"rebuild", "show General", "caption"}));
}

TEST_F(Regions, ResetToDefaultsWithoutRegionImageLeavesTheDefaultConfiguration) {
    config.model.CHUSA.resize(7);
    config.model.CHMMSID[0].Mmsid = "123456789";
    ResetToDefaults(config, -1);
    EXPECT_EQ(prompt.messages.back().text, "Ini files are not found!!");
    EXPECT_TRUE(config.model.CHUSA.empty());
    EXPECT_TRUE(config.model.CHMMSID[0].Mmsid.empty());
    EXPECT_EQ(config.image.Get(checkmap::kModelCodeAddress + 1), 0xFD);
}

TEST_F(Regions, RebuildWeatherTableFromTheWeatherChannels) {
    config.model.CHWX.resize(3);
    RebuildWeatherTable(config.model);
    ASSERT_EQ(config.model.CHWX.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        const ChannelRecord& r = config.model.CHWX[static_cast<size_t>(i)];
        EXPECT_EQ(r.Position, i + 1);
        EXPECT_TRUE(r.Enable);
        EXPECT_FALSE(r.TxEnable);
        EXPECT_FALSE(r.ScanMemory);
        EXPECT_FALSE(r.LowPower);
    }
    EXPECT_EQ(config.model.CHWX[0].ChTag, "162.550MHZ");
    EXPECT_EQ(config.model.CHWX[9].ChTag, "163.275MHZ");
}

TEST_F(Regions, RegionMenuCommandAsksUnlessChecked) {
    WriteRegion("UK", 1, 1, 2);
    WriteRegion("INTL", 1, 0, 5);
    ResetToDefaults(config, -1);
    prompt.messages.clear();
    config.state.DataChanged = true;

    prompt.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(RegionMenuCommand(config, 1));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "Do you want to change to UK?");
    EXPECT_EQ(prompt.messages[0].icon, Icon::Exclamation);
    EXPECT_EQ(prompt.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(Checked(), 0);
    EXPECT_TRUE(config.state.DataChanged);

    const double before = clock.Seconds();
    EXPECT_TRUE(RegionMenuCommand(config, 1));
    EXPECT_EQ(Checked(), 1);
    EXPECT_EQ(Stored(), "UK");
    EXPECT_EQ(config.model.CHUSA.size(), 2u);
    EXPECT_FALSE(config.state.DataChanged);
    EXPECT_DOUBLE_EQ(clock.Seconds() - before, 0.5 + 1.0 + 1.0);  // pause, two loads

    prompt.messages.clear();
    EXPECT_TRUE(RegionMenuCommand(config, 1));  // checked: reloaded without asking
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(RegionMenuCommand(config, 5));  // hidden entry
}

TEST_F(Regions, ModelMenuCommandChangesTypeAfterTheQuestion) {
    int news = 0;
    auto performNew = [&] { ++news; };
    EXPECT_FALSE(ModelMenuCommand(config, 0, performNew));  // already type 1
    EXPECT_TRUE(prompt.messages.empty());

    prompt.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(ModelMenuCommand(config, 1, performNew));
    EXPECT_EQ(prompt.messages.back().text, "Do you want to program the HV2400 series?");
    EXPECT_EQ(config.state.ModelType, 1);
    EXPECT_EQ(news, 0);

    EXPECT_TRUE(ModelMenuCommand(config, 1, performNew));
    EXPECT_EQ(config.state.ModelType, 2);
    EXPECT_TRUE(config.state.AtisSupported);
    EXPECT_EQ(config.state.TitleText, "PC Program for HV2400");
    EXPECT_EQ(store.Get("Settings", "lastmodel"), "2");
    EXPECT_EQ(news, 1);
}

TEST_F(Regions, ShowImageRegionChecksTheImageRegion) {
    WriteRegion("UK", 1, 1);
    WriteRegion("INTL", 1, 0);
    WriteRegion("USA", 1, 255);
    ResetToDefaults(config, -1);
    config.image.Set(checkmap::kRegionAddress, 1);
    ShowImageRegion(config);
    EXPECT_EQ(Checked(), 1);
    config.image.Set(checkmap::kRegionAddress, 7);
    ShowImageRegion(config);
    EXPECT_EQ(Checked(), 2);
    config.image.Set(checkmap::kRegionAddress, 4);  // SW: no entry
    ShowImageRegion(config);
    EXPECT_EQ(Checked(), -1);
}

TEST_F(Regions, CheckFileRegionDecisions) {
    config.image.Set(checkmap::kRegionAddress, 0);
    auto file = [&](const std::string& main) { return WriteFile("a.dat", "[MAIN]\n" + main); };

    EXPECT_EQ(CheckFileRegion(config, file("MODELTYPE=1\nREGION=0\n")), 0);
    EXPECT_EQ(CheckFileRegion(config, file("MODELTYPE=1\n")), 0);  // missing REGION is INTL
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(config.state.ErrorFlag);

    for (const char* bad : {"MODELTYPE=2\n", "REGION=0\n", "MODELTYPE=x\n", "MODELTYPE=1x\n"}) {
        config.state.ErrorFlag = false;
        EXPECT_FALSE(CheckFileRegion(config, file(bad))) << bad;
        EXPECT_TRUE(config.state.ErrorFlag);
        EXPECT_EQ(prompt.messages.back().text, "ModelType Error !!");
        EXPECT_EQ(prompt.messages.back().icon, Icon::Critical);
        EXPECT_EQ(prompt.messages.back().title, "PC Program for HV2300");
    }

    config.state.ErrorFlag = false;
    EXPECT_FALSE(CheckFileRegion(config, file("MODELTYPE=1\nREGION=7\n")));
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_EQ(prompt.messages.back().text, "Region Unmatched !!");
    EXPECT_EQ(prompt.messages.back().title, "Read Binary Data");
    EXPECT_EQ(prompt.messages.back().icon, Icon::Critical);

    config.state.ErrorFlag = false;
    EXPECT_FALSE(CheckFileRegion(config, file("MODELTYPE=1\nREGION=2\n")));  // default No
    EXPECT_TRUE(config.state.ErrorFlag);
    const MessageRequest& question = prompt.messages.back();
    EXPECT_EQ(question.text, "The region is unmatched.\nDo you want to change the region?");
    EXPECT_EQ(question.buttons, Buttons::YesNo);
    EXPECT_EQ(question.defaultButton, Answer::No);
    EXPECT_EQ(question.icon, Icon::Exclamation);

    config.state.ErrorFlag = false;
    prompt.answers.push_back(Answer::Yes);
    EXPECT_EQ(CheckFileRegion(config, file("MODELTYPE=1\nREGION=2 (BE)\n")), 2);
    EXPECT_FALSE(config.state.ErrorFlag);

    config.image.Set(checkmap::kRegionAddress, 255);  // USA image takes any non-region code
    EXPECT_EQ(CheckFileRegion(config, file("MODELTYPE=1\nREGION=6\n")), 6);
    EXPECT_EQ(CheckFileRegion(config, file("MODELTYPE=1\nREGION=300\n")), 255);
}

}  // namespace
}  // namespace mrw
