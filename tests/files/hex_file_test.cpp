// The raw image file: round trip, refusals, and atomic saves.
#include "files/hex_file.h"

#include "files_fixture.h"
#include "image/codec.h"

namespace mrw::test {
namespace {

class HexFileTest : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        config.state.DebugSwitch = true;
        config.model.CHUSA.push_back({.Position = 16, .Enable = true, .ChTag = "DISTRESS"});
        config.model.CHEXP.push_back(
            {.Enable = true, .CHDisplayL = "E1", .Txfreq = 157.0125, .Rxfreq = 157.0125});
    }

    // The bytes of an image file of the current model, region `region`.
    std::string ImageFile(int region) {
        Image image = config.image;
        image.Set(271, region);
        return std::string(reinterpret_cast<const char*>(image.bytes.data()), kImageSize);
    }
    fs::path Put(const std::string& name, const std::string& bytes) {
        fs::path path = dir / name;
        WriteAll(path, bytes);
        return path;
    }
};

TEST_F(HexFileTest, SaveThenOpenGivesTheSameBytes) {
    config.image.Set(162, 0);
    config.image.Set(163, 0x00);
    config.image.Set(164, 0xFF);  // a current channel that does not exist: repaired
    fs::path path = dir / "radio.hex";
    WriteAll(path, std::string(40000, 'L'));  // a longer old file is replaced whole
    config.state.CurrentFileName = "before.dat";
    config.state.DataChanged = true;
    ASSERT_TRUE(SaveHexFile(config, path)) << ::testing::PrintToString(Messages());
    EXPECT_EQ(config.state.CurrentFileName, "before.dat");
    EXPECT_TRUE(config.state.DataChanged);
    std::string saved = ReadAll(path);
    ASSERT_EQ(saved.size(), static_cast<size_t>(kImageSize));
    EXPECT_EQ(static_cast<uint8_t>(saved[95]), ByteSum(config.image, 66, 29));
    EXPECT_NE(static_cast<uint8_t>(saved[164]), 0xFF);

    // Reopen into a configuration that differs everywhere the file can tell.
    DataModel savedModel = config.model;
    config.model.CHUSA.clear();
    config.model.CHEXP.clear();
    config.image.Fill(1000, 100, 0x00);
    shell.calls.clear();
    ASSERT_TRUE(OpenHexFile(config, path)) << ::testing::PrintToString(Messages());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(config.image.bytes.data()), kImageSize),
              saved);
    EXPECT_EQ(config.model.CHUSA, savedModel.CHUSA);
    EXPECT_EQ(config.model.CHEXP.size(), 1u);
    EXPECT_EQ(config.state.CurrentFileName, path.string());
    EXPECT_FALSE(config.state.DataChanged);
    EXPECT_TRUE(shell.Called("show General"));
    EXPECT_TRUE(shell.Called("rebuild"));
    EXPECT_TRUE(shell.Called("caption"));
    EXPECT_EQ(shell.busyDepth, 0);
    EXPECT_FALSE(config.state.Loading);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(HexFileTest, WrongLengthIsRefusedBeforeReading) {
    Image image = config.image;
    for (int delta : {-1, 1}) {
        prompt.messages.clear();
        std::string bytes = ImageFile(0);
        bytes.resize(static_cast<size_t>(kImageSize + delta), '\0');
        EXPECT_FALSE(OpenHexFile(config, Put("len.hex", bytes)));
        EXPECT_EQ(Messages(), std::vector<std::string>{"bad file!!"});
        EXPECT_EQ(prompt.messages[0].icon, Icon::Critical);
        EXPECT_EQ(config.image.bytes, image.bytes);
        EXPECT_EQ(config.state.CurrentFileName, "");
    }
    EXPECT_FALSE(OpenHexFile(config, dir / "missing.hex"));
    EXPECT_EQ(config.image.bytes, image.bytes);
}

TEST_F(HexFileTest, ModelCodesMustAgreeWithEachOtherAndTheModel) {
    Image image = config.image;
    DataModel model = config.model;
    std::string bytes = ImageFile(0);
    bytes[kImageSize - 1] = 0x00;  // second code differs, first still matches
    EXPECT_FALSE(OpenHexFile(config, Put("codes.hex", bytes)));
    EXPECT_EQ(Messages(), std::vector<std::string>{"ModelType Error !!"});
    EXPECT_EQ(config.image.bytes, image.bytes);
    EXPECT_EQ(config.model, model);

    UseModel(2, false);  // both codes say model type 1
    EXPECT_FALSE(OpenHexFile(config, Put("other.hex", ImageFile(0))));
    EXPECT_EQ(Messages().back(), "ModelType Error !!");
    EXPECT_EQ(config.image.bytes, image.bytes);
}

TEST_F(HexFileTest, RegionTest) {
    Image image = config.image;
    fs::path uk = Put("uk.hex", ImageFile(1));
    prompt.answers.push_back(Answer::No);
    EXPECT_FALSE(OpenHexFile(config, uk));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text,
              "The region is unmatched.\nDo you want to change the region?");
    EXPECT_EQ(prompt.messages[0].defaultButton, Answer::No);
    EXPECT_EQ(prompt.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(config.image.bytes, image.bytes);

    EXPECT_FALSE(OpenHexFile(config, Put("usa.hex", ImageFile(9))));
    EXPECT_EQ(Messages().back(), "Region Unmatched !!");
    EXPECT_EQ(config.image.bytes, image.bytes);

    prompt.answers.push_back(Answer::Yes);
    EXPECT_TRUE(OpenHexFile(config, uk));
    EXPECT_EQ(config.image.Get(271), 1);
}

TEST_F(HexFileTest, ShortReadIsAReadError) {
    Image image = config.image;
    std::string bytes = ImageFile(0);
    bytes.resize(1000);
    ReadHexFile(config, Put("short.hex", bytes));
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_TRUE(config.state.CancelFlag);
    EXPECT_EQ(Messages(), std::vector<std::string>{"FileRead Error!!"});
    EXPECT_EQ(config.image.bytes, image.bytes);
    EXPECT_NE(ReadAll(dir / "err.log").find("frmMain.ReadHexFileAs -> "), std::string::npos);
    LoadHexImage(config, "");
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_EQ(config.image.bytes, image.bytes);
}

TEST_F(HexFileTest, FailedSaveKeepsTheOldFile) {
    fs::path path = Put("old.hex", "previous");
    fs::path blocked = dir / "blocked.hex";
    fs::create_directory(blocked);
    EXPECT_FALSE(SaveHexFile(config, blocked));
    EXPECT_TRUE(config.state.CancelFlag);
    EXPECT_EQ(Messages(), std::vector<std::string>{"FileSave Error!!"});
    EXPECT_NE(ReadAll(dir / "err.log").find("frmMain.SaveHexFileAs -> "), std::string::npos);
    EXPECT_EQ(ReadAll(path), "previous");
    EXPECT_EQ(shell.busyDepth, 0);
}

TEST_F(HexFileTest, ModelTheCodecCannotStoreWritesNothing) {
    config.model.CHUSA[0].Position = 300;
    Image image = config.image;
    fs::path path = Put("keep.hex", "previous");
    EXPECT_FALSE(SaveHexFile(config, path));
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_EQ(ReadAll(path), "previous");
    EXPECT_EQ(config.image.bytes, image.bytes);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_FALSE(prompt.messages[0].text.empty());
}

}  // namespace
}  // namespace mrw::test
