// The raw image file: round trip, refusals, and atomic saves.
#include "files/hex_file.h"

#include "core/filled_model.h"
#include "files_fixture.h"
#include "image/codec.h"
#include "test_files.h"

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
        image = config.image;
        model = config.model;
    }

    // An image file of the current model and region `region`, `size` bytes long, its last
    // byte `last` unless that is negative.
    fs::path Put(const std::string& name, int region, int size = kImageSize, int last = -1) {
        Image file = config.image;
        file.Set(271, region);
        if (last >= 0) {
            file.Set(kImageSize - 1, last);
        }
        std::string bytes(reinterpret_cast<const char*>(file.bytes.data()), kImageSize);
        bytes.resize(static_cast<size_t>(size), '\0');
        WriteAll(dir / name, bytes);
        return dir / name;
    }

    // Expects a refusal with `message` that left image and model as they were.
    void ExpectRefused(const fs::path& path, const std::string& message) {
        prompt.messages.clear();
        EXPECT_FALSE(OpenHexFile(config, path)) << path;
        EXPECT_EQ(Messages(), std::vector<std::string>{message}) << path;
        EXPECT_EQ(config.image.bytes, image.bytes) << path;
        EXPECT_EQ(config.model, model) << path;
        EXPECT_EQ(config.state.CurrentFileName, "");
    }

    Image image;
    DataModel model;
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
    testing::FillWithNonDefaults(config.model);
    config.image.Fill(1000, 100, 0x00);
    config.history.Record(DataModel{}, config.model, "SOG", "Common");
    shell.calls.clear();
    ASSERT_TRUE(OpenHexFile(config, path)) << ::testing::PrintToString(Messages());
    EXPECT_FALSE(config.history.CanUndo());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(config.image.bytes.data()), kImageSize),
              saved);
    const DataModel opened = config.model;  // nothing of the previous configuration
    EXPECT_EQ(opened.CHUSA, model.CHUSA);
    EXPECT_EQ(opened.CHEXP.size(), 1u);
    EXPECT_EQ(opened.AutoPos.Records[0], AutoPosRecord{});  // no image bytes: the default
    ASSERT_EQ(opened.CHWX.size(), 10u);
    EXPECT_EQ(opened.CHWX[0].ChTag, "162.550MHZ");  // the saved image's
    EXPECT_EQ(opened.CHWX[0].Position, 1);
    EXPECT_EQ(config.state.CurrentFileName, path.string());
    EXPECT_FALSE(config.state.DataChanged || config.state.Loading);
    for (const char* call : {"show General", "rebuild", "caption"}) {
        EXPECT_TRUE(shell.Called(call)) << call;
    }
    EXPECT_EQ(shell.busyDepth, 0);
    EXPECT_TRUE(Messages().empty());
    config.model = DataModel{};
    ASSERT_TRUE(OpenHexFile(config, path));
    EXPECT_EQ(config.model, opened);
}

TEST_F(HexFileTest, RefusalsLeaveTheConfigurationAsItWas) {
    for (const testing::Case& c : testing::ReadCases(testing::TestData("files/hex_refusals.txt"))) {
        SCOPED_TRACE(c.where);
        ExpectRefused(Put("refused.hex", std::stoi(c[0]), kImageSize + std::stoi(c[1]),
                          c[2].empty() ? -1 : std::stoi(c[2], nullptr, 16)),
                      c[3]);
        EXPECT_EQ(prompt.messages[0].icon, Icon::Critical);
    }
    // Another region: the question decides, with No as the default.
    fs::path uk = Put("uk.hex", 1);
    prompt.answers.push_back(Answer::No);
    ExpectRefused(uk,
                  "The region is unmatched.\nDo you want to change the region?\n"
                  "File: UK \u2014 MRW: INTL");
    EXPECT_EQ(prompt.messages[0].defaultButton, Answer::No);
    EXPECT_EQ(prompt.messages[0].buttons, Buttons::YesNo);
    prompt.answers.push_back(Answer::Yes);
    EXPECT_TRUE(OpenHexFile(config, uk));
    EXPECT_EQ(config.image.Get(271), 1);

    // Both codes say model type 1.
    config.image = image;
    config.model = model;
    config.state.CurrentFileName.clear();
    UseModel(2, false);
    ExpectRefused(Put("other.hex", 0), "ModelType Error !!");
}

TEST_F(HexFileTest, UnreadableFileIsAReadError) {
    EXPECT_FALSE(OpenHexFile(config, dir / "missing.hex"));
    EXPECT_EQ(config.image.bytes, image.bytes);
    // A file shorter than the image behind the length test.
    prompt.messages.clear();
    EXPECT_FALSE(ReadHexFile(config, Put("short.hex", 0, 1000)));
    EXPECT_TRUE(config.state.ErrorFlag && config.state.CancelFlag);
    EXPECT_EQ(Messages(), std::vector<std::string>{"FileRead Error!!"});
    EXPECT_EQ(config.image.bytes, image.bytes);
    EXPECT_NE(ReadAll(dir / "err.log").find("frmMain.ReadHexFileAs -> "), std::string::npos);
    EXPECT_FALSE(LoadHexImage(config, ""));
    EXPECT_EQ(config.image.bytes, image.bytes);
    // A named pipe has no length to test and is never opened. (Windows gives a pipe no file
    // status at all: it is refused for its length.)
#ifdef _WIN32
    const char* pipeRefusal = "bad file!!";
#else
    const char* pipeRefusal = "FileRead Error!!";
#endif
    ReadFromFifo(dir / "pipe.hex", [&](const fs::path& pipe) { ExpectRefused(pipe, pipeRefusal); });
}

TEST_F(HexFileTest, FailedSavesKeepWhatWasThere) {
    fs::path blocked = dir / "blocked.hex";
    fs::create_directory(blocked);
    EXPECT_FALSE(SaveHexFile(config, blocked));
    EXPECT_TRUE(config.state.CancelFlag);
    EXPECT_EQ(Messages(), std::vector<std::string>{"FileSave Error!!"});
    EXPECT_NE(ReadAll(dir / "err.log").find("frmMain.SaveHexFileAs -> "), std::string::npos);
    EXPECT_TRUE(fs::is_directory(blocked));
    EXPECT_EQ(shell.busyDepth, 0);

    // A position the codec cannot store (a settings file may hold it) writes nothing.
    prompt.messages.clear();
    config.state.ErrorFlag = false;
    image = config.image;  // as the first save encoded it
    config.model.CHUSA[0].Position = 300;
    fs::path path = dir / "keep.hex";
    WriteAll(path, "previous");
    EXPECT_FALSE(SaveHexFile(config, path));
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_EQ(ReadAll(path), "previous");
    EXPECT_EQ(config.image.bytes, image.bytes);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].icon, Icon::Critical);
}

}  // namespace
}  // namespace mrw::test
