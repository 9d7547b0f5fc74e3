// mrw-cli in-process: every command against files and against the simulated radio, with the
// exit codes, messages and outputs a script relies on.
#include "cli/cli.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "cli_fixture.h"
#include "test_files.h"

#include "core/services.h"
#include "files/settings_file.h"
#include "image/codec.h"
#include "model/regions.h"
#include "report/report.h"
#include "sim/sim_radio.h"

namespace mrw::cli {
namespace {

namespace fs = std::filesystem;

using mrw::testing::ReadFile;

class CliTest : public testing::CliFixture {};

TEST_F(CliTest, UsageErrorsExitTwoWithTheUsageLine) {
    EXPECT_EQ(Run({}), kExitUsage);
    EXPECT_NE(err.str().find("usage: mrw-cli"), std::string::npos);
    EXPECT_EQ(Run({"read"}), kExitUsage);                 // -o missing
    EXPECT_EQ(Run({"read", "-o", "x.txt"}), kExitUsage);  // unknown file type
    EXPECT_EQ(Run({"clear", "logs"}), kExitUsage);        // unknown target
    EXPECT_EQ(Run({"convert", "a.dat"}), kExitUsage);     // one argument short
    EXPECT_EQ(Run({"check", "a.dat", "--frobnicate"}), kExitUsage);
    EXPECT_EQ(Run({"--model", "3", "check", "a.dat"}), kExitUsage);
    EXPECT_EQ(Run({"fly"}), kExitUsage);
    EXPECT_EQ(Run({"--help"}), kExitOk);
    EXPECT_NE(out.str().find("convert IN OUT"), std::string::npos);
    EXPECT_EQ(Run({"--version"}), kExitOk);
    EXPECT_NE(out.str().find(MRW_VERSION), std::string::npos);
}

TEST_F(CliTest, PortsListsOneLinePerPort) {
    EXPECT_EQ(Run({"ports"}), kExitOk);
    EXPECT_EQ(out.str(), "COM 1\t/dev/ttyS0\tSerial\nCOM 3\t/dev/ttyUSB0\tUSB serial\n");
    platform.listPorts = [] { return std::vector<PortListing>{}; };
    EXPECT_EQ(Run({"ports"}), kExitFailed);
    EXPECT_NE(err.str().find("There is no port that can be used!!"), std::string::npos);
}

TEST_F(CliTest, ConvertRoundTripsAndMatchesTheLibrary) {
    fs::copy_file(folder / "NL_08FD.ini", folder / "nl.hex");
    ASSERT_EQ(Run({"--model", "1", "convert", (folder / "nl.hex").string(),
                   (folder / "nl.dat").string()}),
              kExitOk)
        << err.str();
    std::string dat = ReadFile(folder / "nl.dat");
    EXPECT_NE(dat.find("MODELTYPE=1\r\n"), std::string::npos);
    EXPECT_NE(dat.find("REGION=3\r\n"), std::string::npos);

    ASSERT_EQ(Run({"--model", "1", "convert", (folder / "nl.dat").string(),
                   (folder / "nl2.hex").string()}),
              kExitOk)
        << err.str();
    ASSERT_EQ(Run({"--model", "1", "convert", (folder / "nl2.hex").string(),
                   (folder / "nl2.dat").string()}),
              kExitOk);
    EXPECT_EQ(ReadFile(folder / "nl2.dat"), dat);
    EXPECT_EQ(ReadFile(folder / "nl2.hex").size(), 32768U);
}

TEST_F(CliTest, ReportAndCheckDescribeTheFile) {
    fs::copy_file(folder / "USA_08FD.ini", folder / "usa.hex");
    ASSERT_EQ(Run({"--model", "1", "check", (folder / "usa.hex").string()}), kExitOk) << err.str();
    std::string line = out.str();
    EXPECT_EQ(line.rfind("HV2300 USA CHUSA=", 0), 0U) << line;
    EXPECT_EQ(line.back(), '\n');

    ASSERT_EQ(Run({"--model", "1", "report", (folder / "usa.hex").string()}), kExitOk);
    std::string text = out.str();
    EXPECT_NE(text.find("##### Common Setup #####"), std::string::npos);
    EXPECT_NE(text.back(), '\n');
    ASSERT_EQ(Run({"--model", "1", "report", (folder / "usa.hex").string(), "-o",
                   (folder / "usa.txt").string()}),
              kExitOk);
    EXPECT_EQ(ReadFile(folder / "usa.txt"), text + "\r\n");
}

TEST_F(CliTest, CheckAddsALinePerMmsiThatLooksWrong) {
    fs::copy_file(folder / "UK_08FD.ini", folder / "uk.hex");
    ASSERT_EQ(Run({"--model", "1", "convert", (folder / "uk.hex").string(),
                   (folder / "uk.dat").string()}),
              kExitOk);
    std::string dat = ReadFile(folder / "uk.dat");
    auto replace = [&dat](const std::string& from, const std::string& to) {
        const size_t at = dat.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        dat.replace(at, from.size(), to);
    };
    replace("User MMSI=#\r\n", "User MMSI=#1991234500\r\n");
    replace("[CHMMSID1]\r\nEnable=0\r\nTagName=#\r\nMmsid=\r\n",
            "[CHMMSID1]\r\nEnable=1\r\nTagName=#CLUB\r\nMmsid=0259123400\r\n");
    std::ofstream(folder / "uk.dat", std::ios::binary) << dat;

    ASSERT_EQ(Run({"--model", "1", "check", (folder / "uk.dat").string()}), kExitOk) << err.str();
    const std::string text = out.str();
    const std::string lines = text.substr(text.find('\n') + 1);
    EXPECT_EQ(lines,
              "User MMSI 199123450: MID 199 is not allocated \u2014 check the number\n"
              "Individual Directory 1 CLUB 025912340: A group MMSI entered as an individual "
              "entry\n");
}

TEST_F(CliTest, CheckListsWhatWasNotReadAndARefusalSaysWhy) {
    fs::copy_file(folder / "UK_08FD.ini", folder / "uk.hex");
    ASSERT_EQ(Run({"--model", "1", "convert", (folder / "uk.hex").string(),
                   (folder / "uk.dat").string()}),
              kExitOk);
    const std::string dat = ReadFile(folder / "uk.dat");
    // A copy of uk.dat with one change; its path and the number of the changed line.
    auto change = [&](const std::string& name, const std::string& from, const std::string& to) {
        std::string text = dat;
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        std::ofstream(folder / name, std::ios::binary) << text;
        const long line = std::count(text.begin(), text.begin() + static_cast<long>(at), '\n') + 1;
        return std::pair{(folder / name).string(), line};
    };
    size_t chusa = 0;
    for (size_t at = dat.find("[CHUSA"); at != std::string::npos; at = dat.find("[CHUSA", at + 1)) {
        ++chusa;
    }
    ASSERT_GT(chusa, 5u);

    // The header of CHUSA3 damaged: CHUSA ends after two channels, the later ones are listed.
    const auto [gap, header] = change("gap.dat", "[CHUSA3]\r\n", "[CHUSA3\r\n");
    ASSERT_EQ(Run({"--model", "1", "check", gap}), kExitOk) << err.str();
    std::string text = out.str();
    EXPECT_NE(text.find(" CHUSA=2 "), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.find('\n') + 1),
              gap + ":" + std::to_string(header) +
                  ": damaged section header \"[CHUSA3\": the lines up to the next section are "
                  "not read.\n" +
                  gap + ":" + std::to_string(header + 12) + ": [CHUSA4] and " +
                  std::to_string(chusa - 4) +
                  " more CHUSA sections are not read: the table ends at [CHUSA3], which is "
                  "missing.\n");

    // A value out of range: refused, the reason on the error stream without --debug.
    const auto [nan, line] = change("nan.dat", "Offset Time=0\r\n", "Offset Time=NaN\r\n");
    out.str("");
    err.str("");
    EXPECT_EQ(Run({"--model", "1", "check", nan}), kExitFailed);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("FileRead Error!!\nLine " + std::to_string(line) +
                             ": [Common Setup] Offset Time=NaN is out of range.\n"),
              std::string::npos)
        << err.str();
}

TEST_F(CliTest, RefusedFilesFailWithTheProgramsMessageAndWriteNothing) {
    fs::copy_file(folder / "UK_0961.ini", folder / "other-model.hex");
    EXPECT_EQ(Run({"--model", "1", "convert", (folder / "other-model.hex").string(),
                   (folder / "out.dat").string()}),
              kExitFailed);
    EXPECT_NE(err.str().find("ModelType Error !!"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "out.dat"));

    std::ofstream(folder / "short.hex", std::ios::binary) << std::string(100, '\xFF');
    EXPECT_EQ(Run({"--model", "1", "check", (folder / "short.hex").string()}), kExitFailed);
    EXPECT_NE(err.str().find("bad file!!"), std::string::npos);

    EXPECT_EQ(Run({"--model", "1", "check", (folder / "absent.dat").string()}), kExitFailed);

    // A region whose default image cannot be read is no start for a read.
    std::ofstream(folder / "UK_08FD.ini", std::ios::binary) << std::string(100, '\xFF');
    EXPECT_EQ(Run({"--model", "1", "--region", "UK", "read", "-o", (folder / "uk.dat").string()}),
              kExitFailed);
    EXPECT_NE(err.str().find("The region default image of UK for HV2300 cannot be read"),
              std::string::npos)
        << err.str();
    EXPECT_FALSE(fs::exists(folder / "uk.dat"));
}

// Every command that writes a file says which file could not be written and why.
TEST_F(CliTest, AFailedSaveNamesThePathAndTheSystemsReason) {
    fs::copy_file(folder / "UK_08FD.ini", folder / "uk.hex");
    const std::string in = (folder / "uk.hex").string();
    const std::string missing = (folder / "no-such-folder").string();
    fs::create_directory(folder / "taken.dat");
    const std::string noFolder =
        ": No such file or directory (there is no folder " + missing + ")\n";
    // {arguments, the second line}
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"convert", in, missing + "/uk.dat"}, missing + "/uk.dat" + noFolder},
        {{"convert", in, missing + "/uk.hex"}, missing + "/uk.hex" + noFolder},
        {{"convert", in, (folder / "taken.dat").string()},
         (folder / "taken.dat").string() + ": Is a directory\n"},
        {{"report", in, "-o", missing + "/uk.txt"}, missing + "/uk.txt" + noFolder},
        {{"export-csv", in, "CHUSA", "-o", missing + "/uk.csv"}, missing + "/uk.csv" + noFolder},
    };
    for (const auto& [args, second] : cases) {
        std::vector<std::string> command = {"--model", "1"};
        command.insert(command.end(), args.begin(), args.end());
        EXPECT_EQ(Run(command), kExitFailed) << args[0];
        EXPECT_EQ(err.str(), "FileSave Error!!\n" + second) << args[0];
    }
    if (geteuid() != 0) {  // the superuser may write anywhere
        fs::create_directory(folder / "locked");
        fs::permissions(folder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        const std::string locked = (folder / "locked" / "uk.dat").string();
        EXPECT_EQ(Run({"--model", "1", "convert", in, locked}), kExitFailed);
        EXPECT_EQ(err.str(), "FileSave Error!!\n" + locked + ": Permission denied\n");
        fs::permissions(folder / "locked", fs::perms::owner_all);
    }
}

TEST_F(CliTest, ReadSavesTheRadiosConfiguration) {
    radio.memory[4864] = 'Q';  // first letter of the first CHUSA channel name
    ASSERT_EQ(Run({"--model", "1", "--region", "uk", "--port", "COM3", "read", "-o",
                   (folder / "radio.dat").string()}),
              kExitOk)
        << err.str();
    EXPECT_EQ(lastPort, "COM3");
    std::string dat = ReadFile(folder / "radio.dat");
    EXPECT_NE(dat.find("[CHUSA1]\r\n"), std::string::npos);
    EXPECT_NE(dat.find("ChTag=#Q"), std::string::npos);
}

TEST_F(CliTest, ProgramWritesTheFileIntoTheRadio) {
    ASSERT_EQ(Run({"--model", "1", "--region", "UK", "read", "-o", (folder / "r.dat").string()}),
              kExitOk)
        << err.str();
    std::string dat = ReadFile(folder / "r.dat");
    size_t tag = dat.find("[CHUSA1]");
    ASSERT_NE(tag, std::string::npos);
    size_t name = dat.find("ChTag=#", tag);
    dat.replace(name, dat.find("\r\n", name) - name, "ChTag=#EDITED");
    std::ofstream(folder / "r.dat", std::ios::binary) << dat;

    ASSERT_EQ(Run({"--model", "1", "--region", "UK", "program", (folder / "r.dat").string()}),
              kExitOk)
        << err.str();
    EXPECT_EQ(std::string(radio.memory.begin() + 4864, radio.memory.begin() + 4870), "EDITED");
}

TEST_F(CliTest, TheRegionQuestionIsAnsweredByYes) {
    LoadRadio("NL_08FD.ini");
    EXPECT_EQ(Run({"--model", "1", "--region", "UK", "read", "-o", (folder / "nl.dat").string()}),
              kExitFailed);
    EXPECT_FALSE(fs::exists(folder / "nl.dat"));
    EXPECT_NE(err.str().find("(use --yes to take over the region).\nRadio: NL \u2014 MRW: UK\n"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(Run({"--yes", "--model", "1", "--region", "UK", "read", "-o",
                   (folder / "nl.dat").string()}),
              kExitOk)
        << err.str();
    EXPECT_NE(ReadFile(folder / "nl.dat").find("REGION=3\r\n"), std::string::npos);
}

TEST_F(CliTest, ClearEmptiesTheUserMmsi) {
    for (int i = 640; i < 645; ++i) {
        radio.memory[static_cast<size_t>(i)] = 0x12;
    }
    ASSERT_EQ(Run({"--model", "1", "clear", "mmsi"}), kExitOk) << err.str();
    for (int i = 640; i < 645; ++i) {
        EXPECT_EQ(radio.memory[static_cast<size_t>(i)], 0xFF);
    }
}

TEST_F(CliTest, AnotherModelInTheRadioFailsTheReadAndLeavesNoFile) {
    LoadRadio("UK_0961.ini");
    EXPECT_EQ(Run({"--model", "1", "read", "-o", (folder / "x.hex").string()}), kExitFailed);
    EXPECT_NE(err.str().find("ModelType Error !!"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "x.hex"));
    EXPECT_EQ(Run({"--model", "1", "--port", "missing", "clear", "all"}), kExitFailed);
    EXPECT_NE(err.str().find("no such port"), std::string::npos);
}

}  // namespace
}  // namespace mrw::cli
