#include "cli/cli.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

#include "cli/cli_prompt.h"
#include "core/file_read.h"
#include "core/path_text.h"
#include "core/profile.h"
#include "core/startup.h"
#include "core/text.h"
#include "edit/directory_mmsi.h"
#include "files/atomic_file.h"
#include "files/config_diff.h"
#include "files/csv_channels.h"
#include "files/file_only.h"
#include "files/hex_file.h"
#include "files/settings_file.h"
#include "image/check_map.h"
#include "image/checks.h"
#include "image/codec.h"
#include "link/radio_image.h"
#include "link/safe_program.h"
#include "link/transfer.h"
#include "model/catalogue.h"
#include "model/regions.h"
#include "report/report.h"

namespace mrw::cli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage = "usage: mrw-cli [OPTIONS] COMMAND [ARGS]  (mrw-cli --help)";

/// Transfer mode of each "clear" target.
const std::map<std::string, int>& ClearModes() {
    static const std::map<std::string, int> modes = {
        {"mmsi", kModeClearMmsi},
        {"atis", kModeClearAtis},
        {"dsc-log", kModeClearDscLog},
        {"distress-log", kModeClearDistressLog},
        {"individual-directory", kModeClearIndividual},
        {"group-directory", kModeClearGroup},
        {"waypoint-directory", kModeClearWaypoint},
        {"dsc-tx-log", kModeClearDscTxLog},
        {"all", kModeClearAll},
    };
    return modes;
}

enum class FileKind { None, Settings, Image };

/// The operand of diff that stands for the radio on --port.
constexpr const char* kRadioOperand = "radio";

FileKind KindOf(const std::string& path) {
    std::string ext = ToLower(PathText(PathOf(path).extension()));
    if (ext == ".dat") {
        return FileKind::Settings;
    }
    if (ext == ".hex") {
        return FileKind::Image;
    }
    return FileKind::None;
}

/// A settings store that reads the desktop program's settings but keeps its own changes in
/// memory: a command line run never moves the user's stored region or model.
class ReadThroughSettings : public SettingsStore {
public:
    explicit ReadThroughSettings(SettingsStore& base) : base_(base) {}
    std::string Get(const std::string& section, const std::string& key,
                    const std::string& fallback) override {
        auto it = overlay_.find({section, key});
        return it != overlay_.end() ? it->second : base_.Get(section, key, fallback);
    }
    void Set(const std::string& section, const std::string& key,
             const std::string& value) override {
        overlay_[{section, key}] = value;
    }

private:
    SettingsStore& base_;
    std::map<std::pair<std::string, std::string>, std::string> overlay_;
};

/// Progress bar and notes of a transfer on the error stream.
class CliTransferUi : public TransferUi {
public:
    CliTransferUi(Streams& streams, Platform& platform) : streams_(streams), platform_(platform) {}
    ~CliTransferUi() override { EndBar(); }

    /// True once "Cancelled." was said for an interrupt.
    bool cancelSaid = false;

    void Finished(Outcome outcome) override {
        // An interrupt is said at once, so that what the stopped run leaves in the radio
        // follows it on the next line.
        if (outcome == Outcome::Cancelled && !cancelSaid && platform_.interrupted &&
            platform_.interrupted()) {
            EndBar();
            streams_.err << "Cancelled.\n";
            cancelSaid = true;
        }
    }

    void SetProgress(int percent) override {
        if (!streams_.errIsTerminal) {
            return;
        }
        percent = std::clamp(percent, 0, 100);
        constexpr int kWidth = 40;
        int filled = percent * kWidth / 100;
        streams_.err << "\r[" << std::string(static_cast<size_t>(filled), '#')
                     << std::string(static_cast<size_t>(kWidth - filled), ' ') << "] " << percent
                     << "%" << std::flush;
        barShown_ = true;
    }
    void ShowNote(const std::string& text) override {
        if (text.empty()) {
            return;
        }
        EndBar();
        streams_.err << text << "\n";
    }

private:
    void EndBar() {
        if (barShown_) {
            streams_.err << "\n";
            barShown_ = false;
        }
    }
    Streams& streams_;
    Platform& platform_;
    bool barShown_ = false;
};

class Command {
public:
    Command(const Options& options, Config& config, Streams& streams, Platform& platform,
            CliPrompt& prompt)
        : o_(options), c_(config), s_(streams), p_(platform), prompt_(prompt) {}

    int Execute();

private:
    int Fail(const std::string& message) {
        if (!message.empty()) {
            s_.err << message << "\n";
        }
        return kExitFailed;
    }
    bool Start(std::optional<int> regionCode);
    bool StartFromInput(const std::string& path);
    bool ChooseModel(std::string& error);
    bool StartFromRegion(const std::string& regionName, std::optional<int> regionCode,
                         std::string& error);
    std::optional<int> FileRegionCode(const std::string& path);
    bool Load(const std::string& path);
    bool Save(const std::string& path);
    /// One transfer in `mode`; a program runs with `guard` when given.
    int RunTransfer(int mode, ProgramGuard* guard = nullptr);

    int Ports();
    int Read();
    int Program();
    int Clear();
    int Convert();
    int Report();
    int Check();
    int Diff();
    /// Loads one operand of diff: a settings file or raw image as opening it does, or the
    /// radio's whole memory as a raw image. True when it was loaded; `raw` tells whether the
    /// configuration's image holds the operand's own bytes.
    bool LoadOperand(const std::string& operand, bool& raw);
    int ExportCsv();
    int ImportCsv();

    const Options& o_;
    Config& c_;
    Streams& s_;
    Platform& p_;
    CliPrompt& prompt_;
    /// What the settings file loaded last held that was not read as written.
    std::vector<SettingsNote> notes_;
};

bool Command::ChooseModel(std::string& error) {
    int type = 0;
    if (o_.model) {
        type = *o_.model;
    } else {
        ModelScan scan = ScanModelTypes(c_.services.programFolder / "global.ini");
        if (scan.count == 0) {
            error = "Unknown model!!";
            return false;
        }
        type = ChooseModelType(scan, c_.settings().Get("Settings", "lastmodel", "1"));
    }
    ApplyModelType(c_, type);
    return true;
}

// Chooses the model type and resets to its defaults; a failure is reported.
bool Command::Start(std::optional<int> regionCode) {
    std::string error;
    if (ChooseModel(error) && StartFromRegion(o_.region, regionCode, error)) {
        return true;
    }
    s_.err << error << "\n";
    return false;
}

// Starts from the input file's own region and loads the file as opening it does.
bool Command::StartFromInput(const std::string& path) {
    return Start(FileRegionCode(path)) && Load(path);
}

// Resets the configuration to the defaults of the model type and a region: the region named
// on the command line, else the region of `regionCode`, else the stored one.
bool Command::StartFromRegion(const std::string& regionName, std::optional<int> regionCode,
                              std::string& error) {
    ResetToStoredRegion(c_);
    std::string wanted = regionName;
    if (wanted.empty() && regionCode) {
        wanted = RegionName(*regionCode);
    }
    if (!wanted.empty()) {
        int entry = -1;
        for (int k = 0; k < static_cast<int>(c_.regionMenu.entries.size()); ++k) {
            const auto& e = c_.regionMenu.entries[static_cast<size_t>(k)];
            if (e.visible && EqualsIgnoreCase(e.caption, wanted)) {
                entry = k;
                break;
            }
        }
        if (entry >= 0) {
            // Going on would write the model type's bare defaults as if they were the region's.
            if (!ResetToRegionEntry(c_, entry)) {
                error = "The region default image of " + c_.regionMenu.entries[entry].caption +
                        " for " + ModelNameOf(c_.state.ModelType) + " cannot be read";
                return false;
            }
        } else if (!regionName.empty()) {
            error = "No region default image named " + regionName + " for " +
                    ModelNameOf(c_.state.ModelType);
            return false;
        }
    }
    if (regionCode) {
        // The input file's own region: no region question can arise.
        c_.image.bytes[checkmap::kRegionAddress] = static_cast<uint8_t>(*regionCode & 0xFF);
    }
    MarkConfigurationLoaded(c_);
    return true;
}

std::optional<int> Command::FileRegionCode(const std::string& path) {
    if (KindOf(path) == FileKind::Settings) {
        std::string region = ReadProfileValue(PathOf(path), "MAIN", "REGION");
        return static_cast<int>(Val(region)) & 0xFF;
    }
    std::istringstream in;
    if (!OpenRegularFile(PathOf(path), in)) {
        return std::nullopt;  // the load that follows reports it
    }
    in.seekg(checkmap::kRegionAddress);
    char byte = 0;
    if (in.get(byte)) {
        return static_cast<uint8_t>(byte);
    }
    return std::nullopt;
}

bool Command::Load(const std::string& path) {
    if (!fs::exists(PathOf(path))) {
        s_.err << path << ": no such file\n";
        return false;
    }
    c_.state.CancelFlag = false;
    if (KindOf(path) == FileKind::Settings) {
        if (!ReadSettingsFile(c_, PathOf(path), &notes_)) {
            return false;
        }
        c_.state.CurrentFileName = path;
        return true;
    }
    return OpenHexFile(c_, PathOf(path));
}

bool Command::Save(const std::string& path) {
    c_.state.CancelFlag = false;
    if (KindOf(path) == FileKind::Settings) {
        return WriteSettingsFile(c_, PathOf(path));
    }
    return SaveHexFile(c_, PathOf(path));
}

int Command::RunTransfer(int mode, ProgramGuard* guard) {
    std::string error;
    std::unique_ptr<SerialPort> port = p_.openPort(o_.port, error);
    if (!port) {
        return Fail(error.empty() ? "No serial port" : error);
    }
    BeginTransfer(c_.state, mode);
    CliTransferUi ui(s_, p_);
    Transfer transfer(c_, *port, ui, mode);
    transfer.SetProgramGuard(guard);
    transfer.Load();
    if (p_.interruptible) {
        p_.interruptible(true);
    }
    transfer.RunOk();
    if (p_.interruptible) {
        p_.interruptible(false);
    }
    port->Close();
    if (p_.interrupted && p_.interrupted()) {
        return Fail(ui.cancelSaid ? "" : "Cancelled.");
    }
    if (!c_.state.TransferDone) {
        return Fail("");  // the link's own message is already on the error stream
    }
    return kExitOk;
}

int Command::Ports() {
    if (!p_.listPorts) {
        return Fail("There is no port that can be used!!");
    }
    std::vector<PortListing> ports = p_.listPorts();
    if (ports.empty()) {
        return Fail("There is no port that can be used!!");
    }
    for (const auto& port : ports) {
        s_.out << "COM " << port.number << "\t" << port.device << "\t" << port.description << "\n";
    }
    return kExitOk;
}

int Command::Read() {
    // Nothing is read from the radio when what it reads cannot be kept.
    std::string error;
    if (!CanWriteFile(PathOf(o_.output), &error)) {
        return Fail("FileSave Error!!\n" + error + " (nothing was read from the radio)");
    }
    if (!Start(std::nullopt)) {
        return kExitFailed;
    }
    int status = RunTransfer(kModeRead);
    if (status != kExitOk) {
        return status;
    }
    AdoptReadConfiguration(c_);
    return Save(o_.output) ? kExitOk : Fail("");
}

int Command::Program() {
    if (!Start(std::nullopt)) {
        return kExitFailed;
    }
    std::string error;
    if (!o_.backup.empty() && !CanWriteFile(PathOf(o_.backup), &error)) {
        return Fail("The backup of the radio cannot be saved: " + error +
                    " (nothing was read from or written to the radio)");
    }
    SafeProgramOptions options;
    // Without a backup read the radio is taken to hold the region's defaults: those of the
    // region it will hold, which a settings file may take over.
    options.assumedRadio = c_.image;
    if (!Load(o_.args[0])) {
        return kExitFailed;
    }
    const int region = c_.image.Get(checkmap::kRegionAddress);
    if (KindOf(o_.args[0]) == FileKind::Settings &&
        region != options.assumedRadio->Get(checkmap::kRegionAddress)) {
        if (std::optional<Image> taken = RegionDefaultImage(c_, region)) {
            options.assumedRadio = std::move(*taken);
        }
    }
    options.verify = !o_.noVerify;
    options.full = o_.full;
    options.backup = !o_.backup.empty();
    options.backupFile = PathOf(o_.backup);
    // A raw image holds the radio's own records itself; a settings file does not.
    options.keepRadioRecords = KindOf(o_.args[0]) == FileKind::Settings;
    options.restoreHint = [](const std::string& file) { return "mrw-cli program " + file; };
    SafeProgram guard(c_, options);
    return RunTransfer(kModeProgram, &guard);
}

int Command::Clear() {
    if (!Start(std::nullopt)) {
        return kExitFailed;
    }
    return RunTransfer(ClearModes().at(o_.args[0]));
}

int Command::Convert() {
    if (!StartFromInput(o_.args[0])) {
        return kExitFailed;
    }
    return Save(o_.args[1]) ? kExitOk : Fail("");
}

int Command::Report() {
    if (!StartFromInput(o_.args[0])) {
        return kExitFailed;
    }
    std::string error;
    std::string text = ReportText(c_);
    if (o_.output.empty()) {
        s_.out << text;
        return kExitOk;
    }
    int number = 0;
    if (!WriteFileAtomically(PathOf(o_.output), text + "\r\n", &error, &number)) {
        return Fail("FileSave Error!!\n" + SaveFailureText(PathOf(o_.output), number));
    }
    return kExitOk;
}

int Command::Check() {
    if (!StartFromInput(o_.args[0])) {
        return kExitFailed;
    }
    const DataModel& m = c_.model;
    s_.out << c_.state.ModelName << " " << RegionName(c_.image.bytes[checkmap::kRegionAddress])
           << " CHUSA=" << m.CHUSA.size() << " CHINT=" << m.CHINT.size()
           << " CHCAN=" << m.CHCAN.size() << " CHRG=" << m.CHRG.size()
           << " CHEXP=" << m.CHEXP.size() << "\n";
    for (const std::string& warning : MmsiWarnings(m)) {
        s_.out << warning << "\n";
    }
    // As compilers report lines of a source file: FILE:LINE: text.
    for (const SettingsNote& note : notes_) {
        s_.out << o_.args[0] << ":" << (note.line > 0 ? std::to_string(note.line) + ":" : "") << " "
               << note.text << "\n";
    }
    return kExitOk;
}

int Command::ExportCsv() {
    if (!StartFromInput(o_.args[0])) {
        return kExitFailed;
    }
    const std::string text = ChannelTableCsv(c_.model, *ChannelTableOfName(o_.args[1]));
    if (o_.output.empty()) {
        s_.out << text;
        return kExitOk;
    }
    std::string error;
    int number = 0;
    if (!WriteFileAtomically(PathOf(o_.output), text, &error, &number)) {
        return Fail("FileSave Error!!\n" + SaveFailureText(PathOf(o_.output), number));
    }
    return kExitOk;
}

// Replaces one channel table with a channel list; every row skipped or changed is reported
// as CSV:LINE: message, as compilers report lines of a source file.
int Command::ImportCsv() {
    if (!StartFromInput(o_.args[0])) {
        return kExitFailed;
    }
    const TableKind kind = *ChannelTableOfName(o_.args[1]);
    const std::string& csv = o_.args[2];
    std::string text;
    std::string error;
    if (!ReadCsvFile(PathOf(csv), text, error)) {
        return Fail(error);
    }
    const CsvImport import = ImportChannelCsv(text, kind, *TableOf(c_.model, kind));
    for (const CsvNote& note : import.notes) {
        s_.err << csv << ":" << (note.line > 0 ? std::to_string(note.line) + ":" : "") << " "
               << note.text << "\n";
    }
    if (!import.refusal.empty()) {
        return Fail(csv + ": " + import.refusal);
    }
    ApplyChannelImport(c_, kind, import.table);
    return Save(o_.output) ? kExitOk : Fail("");
}

bool Command::LoadOperand(const std::string& operand, bool& raw) {
    raw = operand == kRadioOperand || KindOf(operand) == FileKind::Image;
    if (operand != kRadioOperand) {
        return StartFromInput(operand);
    }
    if (!Start(std::nullopt)) {
        return false;
    }
    std::string error;
    std::unique_ptr<SerialPort> port = p_.openPort(o_.port, error);
    if (!port) {
        Fail(error.empty() ? "No serial port" : error);
        return false;
    }
    BeginTransfer(c_.state, kModeRead);
    CliTransferUi ui(s_, p_);
    if (p_.interruptible) {
        p_.interruptible(true);
    }
    bool connected = false;
    const std::optional<std::vector<uint8_t>> bytes = ReadRadioImage(c_, *port, ui, &connected);
    if (p_.interruptible) {
        p_.interruptible(false);
    }
    port->Close();
    if (p_.interrupted && p_.interrupted()) {
        Fail(ui.cancelSaid ? "" : "Cancelled.");
        return false;
    }
    if (!connected) {
        Fail(
            "The radio does not answer: check the cable, the port and that the radio "
            "shows PC CONTROL.");
        return false;
    }
    if (!bytes) {
        return false;  // the link's own message is already on the error stream
    }
    // The radio's own region: its image is taken without a region question.
    if (!Start((*bytes)[checkmap::kRegionAddress])) {
        return false;
    }
    return LoadHexImage(
        c_, std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

// Against the radio a file counts as what programming it would leave in that radio; two files
// or a radio with itself are compared as they are.
int Command::Diff() {
    const std::string& a = o_.args[0];
    const std::string& b = o_.args[1];
    Config older;
    older.services = c_.services;
    older.state = c_.state;
    Config newer;
    newer.services = c_.services;
    newer.state = c_.state;
    Command first(o_, older, s_, p_, prompt_);
    Command second(o_, newer, s_, p_, prompt_);
    bool rawA = false;
    bool rawB = false;
    if (!first.LoadOperand(a, rawA)) {
        return kExitFailed;
    }
    if (a == kRadioOperand && b == kRadioOperand) {
        newer = older;
        rawB = true;
    } else if (!second.LoadOperand(b, rawB)) {
        return kExitFailed;
    }
    const bool againstRadio = (a == kRadioOperand) != (b == kRadioOperand);
    std::vector<Difference> records;
    if (againstRadio) {
        Config& radio = a == kRadioOperand ? older : newer;
        Config& file = a == kRadioOperand ? newer : older;
        const std::string& fileName = a == kRadioOperand ? b : a;
        std::string error;
        if (!EncodeImage(file.model, file.image, &error)) {
            return Fail(fileName + ": " + error);
        }
        PrepareImageForWrite(file.image, file.model);
        UpdateChecksum(file.image);
        file.image = ProgrammedImage(radio.image, file.image);
        // The settings programming does not carry stay as the file has them, marked below.
        const DataModel fileModel = file.model;
        DecodeImage(file.image, file.model);
        KeepFileOnlyValues(fileModel, file.model);
        if (KindOf(fileName) == FileKind::Settings) {
            records = RadioRecordChanges(radio.image, file.image);
        }
    }
    std::vector<Difference> differences = ConfigDifferences(older, newer, rawA && rawB);
    if (againstRadio) {
        MarkKeptInFileOnly(differences);
        differences.insert(differences.end(), records.begin(), records.end());
    }
    for (const Difference& d : differences) {
        s_.out << DifferenceLine(d) << "\n";
    }
    s_.out << differences.size() << " differences\n";
    return kExitOk;
}

int Command::Execute() {
    const std::string& cmd = o_.command;
    if (cmd == "ports") {
        return Ports();
    }
    if (cmd == "read") {
        return Read();
    }
    if (cmd == "program") {
        return Program();
    }
    if (cmd == "clear") {
        return Clear();
    }
    if (cmd == "convert") {
        return Convert();
    }
    if (cmd == "report") {
        return Report();
    }
    if (cmd == "diff") {
        return Diff();
    }
    if (cmd == "export-csv") {
        return ExportCsv();
    }
    if (cmd == "import-csv") {
        return ImportCsv();
    }
    return Check();
}

// Checks the command's arguments; the empty text when they are right.
std::string ValidateCommand(const Options& o) {
    const std::string& cmd = o.command;
    if (o.noVerify && cmd != "program") {
        return "--no-verify goes with program";
    }
    if (!o.backup.empty() && cmd != "program") {
        return "--backup goes with program";
    }
    if (o.full && cmd != "program") {
        return "--full goes with program";
    }
    if (!o.backup.empty() && KindOf(o.backup) != FileKind::Image) {
        return "--backup " + o.backup + ": a backup is a raw image and ends in .hex";
    }
    if (!o.backup.empty()) {
        // A backup never replaces a file: it may be the only good copy of a radio.
        std::error_code ec;
        const fs::path backup = fs::weakly_canonical(PathOf(o.backup), ec);
        for (const std::string& arg : o.args) {
            std::error_code argEc;
            if (!ec && backup == fs::weakly_canonical(PathOf(arg), argEc) && !argEc) {
                return "--backup " + o.backup +
                       ": that is the file being programmed; name a new file for the backup";
            }
        }
        if (fs::exists(fs::symlink_status(PathOf(o.backup), ec))) {
            return "--backup " + o.backup +
                   ": the file exists; a backup never replaces a file, name a new one";
        }
    }
    auto count = [&](size_t n) {
        return o.args.size() == n
                   ? std::string()
                   : cmd + " takes " + std::to_string(n) + " argument" + (n == 1 ? "" : "s");
    };
    auto kind = [](const std::string& path) {
        return KindOf(path) != FileKind::None
                   ? std::string()
                   : path + ": the file must end in .dat (settings file) or .hex (raw image)";
    };
    if (cmd == "ports") {
        return count(0);
    }
    if (cmd == "read") {
        if (!o.args.empty()) {
            return "read takes no arguments besides -o FILE";
        }
        return o.output.empty() ? "read needs -o FILE" : kind(o.output);
    }
    if (cmd == "program" || cmd == "report" || cmd == "check") {
        std::string e = count(1);
        if (e.empty()) {
            e = kind(o.args[0]);
        }
        if (e.empty() && cmd != "report" && !o.output.empty()) {
            e = "-o goes with read, report, export-csv and import-csv";
        }
        return e;
    }
    if (cmd == "clear") {
        std::string e = count(1);
        if (e.empty() && ClearModes().count(o.args[0]) == 0) {
            e = "clear: unknown target " + o.args[0];
        }
        return e;
    }
    if (cmd == "export-csv" || cmd == "import-csv") {
        const bool import = cmd == "import-csv";
        std::string e = count(import ? 3 : 2);
        if (e.empty()) {
            e = kind(o.args[0]);
        }
        if (e.empty() && !ChannelTableOfName(o.args[1])) {
            e = cmd + ": unknown table " + o.args[1] + " (CHUSA, CHINT, CHCAN, CHRG or CHEXP)";
        }
        if (e.empty() && import) {
            e = o.output.empty() ? "import-csv needs -o OUT" : kind(o.output);
        }
        return e;
    }
    if (cmd == "diff") {
        std::string e = count(2);
        for (size_t i = 0; e.empty() && i < o.args.size(); ++i) {
            if (o.args[i] != kRadioOperand) {
                e = kind(o.args[i]);
            }
        }
        if (e.empty() && !o.output.empty()) {
            e = "diff writes to the standard output; -o does not go with it";
        }
        return e;
    }
    if (cmd == "convert") {
        std::string e = count(2);
        if (e.empty()) {
            e = kind(o.args[0]);
        }
        if (e.empty()) {
            e = kind(o.args[1]);
        }
        return e;
    }
    return cmd.empty() ? "no command given" : "unknown command " + cmd;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
    auto value = [&](size_t& i, const std::string& name, std::string& out) {
        const std::string& a = args[i];
        if (a.size() > name.size() && a.compare(0, name.size() + 1, name + "=") == 0) {
            out = a.substr(name.size() + 1);
            return true;
        }
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return false;
        }
        out = args[++i];
        return true;
    };
    auto is = [](const std::string& a, const std::string& name) {
        return a == name || a.rfind(name + "=", 0) == 0;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string v;
        if (is(a, "--model")) {
            if (!value(i, "--model", v)) {
                return false;
            }
            auto n = ParseNumber(v);
            if (!n || (*n != 1 && *n != 2 && *n != 11)) {
                error = "--model takes 1, 2 or 11";
                return false;
            }
            options.model = static_cast<int>(*n);
        } else if (is(a, "--region")) {
            if (!value(i, "--region", options.region)) {
                return false;
            }
        } else if (is(a, "--port")) {
            if (!value(i, "--port", options.port)) {
                return false;
            }
        } else if (a == "-o" || is(a, "--output")) {
            if (!value(i, a == "-o" ? "-o" : "--output", options.output)) {
                return false;
            }
        } else if (a == "--yes") {
            options.yes = true;
        } else if (is(a, "--backup")) {
            if (!value(i, "--backup", options.backup)) {
                return false;
            }
        } else if (a == "--no-verify") {
            options.noVerify = true;
        } else if (a == "--full") {
            options.full = true;
        } else if (a == "--baud19200") {
            options.baud19200 = true;
        } else if (a == "--debug") {
            options.debug = true;
        } else if (a == "--help" || a == "-h") {
            options.help = true;
        } else if (a == "--version") {
            options.version = true;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else if (options.command.empty()) {
            options.command = a;
        } else {
            options.args.push_back(a);
        }
    }
    if (options.help || options.version) {
        return true;
    }
    error = ValidateCommand(options);
    return error.empty();
}

std::string HelpText() {
    return R"(mrw-cli - Marine Radio Workbench on the command line

usage: mrw-cli [OPTIONS] COMMAND [ARGS]

Options (anywhere before or after COMMAND):
  --model N        model type 1 (HV2300), 2 (HV2400) or 11 (HV2300M); default: as the
                   desktop program chooses at start-up, from global.ini and the stored
                   "lastmodel"
  --region NAME    region whose default image a command starts from (INTL, UK, BE, NL, SW,
                   GRMN, USA as in the region menu, any case); default: the region stored for
                   the model type, else the first one found
  --yes            answer Yes when the region of a file or radio differs (take over its
                   region); without it such a difference fails the command
  --port PORT      serial port: "COMn", a number n (as "mrw-cli ports" lists them), or a
                   device path such as /dev/ttyUSB0 or a pseudo-terminal
  --baud19200      run the link at 19200 baud instead of 57600
  --debug          debug mode: progress notes on the error stream; err.log and log/ in
                   the folder of the executable when it holds the data files and may be
                   written, else in ~/.local/share/MRW/MRW
  -o FILE          output file of read, report, export-csv and import-csv
  --backup FILE    program: first read the whole radio and keep it as the raw image FILE
                   (.hex), written before anything is written to the radio and kept even
                   when programming fails afterwards; "mrw-cli program FILE" restores it.
                   When the read fails nothing is written to the radio. FILE must be a new
                   file: one that exists, or the file being programmed, is a usage error.
                   The program then writes only the blocks whose bytes differ from that
                   read, and verifies only those; the radio ends as after --full
  --full           program: write every block, also those the --backup read shows the
                   radio holds already
  --no-verify      program: do not read the radio back after writing (by default every
                   address written is read back and compared; a difference fails with
                   "Verify failed: ...")
  --help, --version

Commands:
  ports                    one line per serial port: "COM n", TAB, device, TAB, description
  read -o FILE             read the radio; save FILE as a settings file (.dat) or raw image (.hex)
  program FILE             load FILE (.dat or .hex) as opening it in the program does, then
                           program the radio, and read back every address written (see
                           --no-verify); with --backup OUT.hex the radio's previous memory is
                           kept first, only what differs from it is written (see --full),
                           and the radio's DSC TX logs, which a settings file does not hold,
                           are kept in the radio. "program BACKUP.hex" puts a backup back.
                           Settings the file holds that the radio does not take are counted
                           on a last line "Kept in the file only: N settings"
  clear WHAT               WHAT: mmsi, atis, dsc-log, distress-log, individual-directory,
                           group-directory, waypoint-directory, dsc-tx-log, all
  convert IN OUT           settings file <-> raw image, either direction (a raw image is
                           written encoded, made consistent and checksummed)
  report IN [-o OUT]       the settings report of IN (.dat or .hex) to stdout, or to OUT
  diff A B                 what differs from A to B, one line each: "[SECTION] KEY: OLD -> NEW"
                           in the settings file's terms, "[CHUSA12] added", "[CHRG3] removed",
                           and for two raw images "[Image] ADDRESS: OLD -> NEW" for bytes the
                           settings do not hold; then a last line "N differences". A and B are
                           each a settings file, a raw image or the word radio (the radio on
                           --port, read whole, nothing taken over). Against the radio a file
                           counts as what programming it would leave there, so
                           "diff radio FILE" lists what "program FILE" would change; a
                           setting the radio does not take is marked as not written to
                           the radio, and a log of the radio that programming a settings file
                           without --backup erases is listed as "[Image] FIRST-LAST: DSC TX
                           log, erased by programming". Exit status 0 when both could be
                           loaded, whether they differ or not
  export-csv IN TABLE [-o OUT]
                           channel table TABLE of IN (CHUSA, CHINT, CHCAN, CHRG or CHEXP, any
                           case) as CSV in CHIRP's layout, one row per channel, to stdout or
                           to OUT
  import-csv IN TABLE CSV -o OUT
                           replace channel table TABLE of IN with the channels of CSV (CHIRP's
                           layout, as boaters share channel lists) and save OUT (.dat or .hex);
                           each row skipped or changed is reported on the error stream as
                           CSV:LINE: message; exit status 1 when no channel could be taken
  check IN                 load IN with every test that opening it makes; print one line:
                           model, region and the record counts of CHUSA CHINT CHCAN CHRG CHEXP;
                           then one line per MMSI that looks wrong (user MMSI, directory
                           entries, auto position MMSIs): where it is, the number, and why;
                           then, for a settings file, one line IN:LINE: per part of it that
                           was not read as written (sections skipped after a gap or beyond
                           what the radio holds, damaged headers, NULs, values that are no
                           numbers). A value a field cannot hold refuses the file (exit 1)

convert, report, check, export-csv and import-csv start from the input file's own region,
so no region question arises for them. Questions of the radio link are answered as an
operator would: a busy radio is retried three times, the synchronisation question is
answered OK once.

Exit status: 0 success; 1 the operation failed or was refused (the program's message on the
error stream); 2 usage error. A failed or cancelled command never creates or changes its
output file (the backup of --backup excepted: it is kept to restore the radio); read checks
that its output file can be written before it reads the radio. Ctrl+C, SIGTERM and SIGHUP
(on Windows Ctrl+C, Ctrl+Break and closing the console window) cancel a running transfer as
the dialog's Cancel button does. A program that stops says on the error stream whether the
radio was changed at all and how to recover; a clear that stops after its first write says
how much of it reached the radio.

Files: global.ini and the region default images (<REGION>_08FD.ini, <REGION>_0961.ini) are
read, as by the desktop program, from the folder of the executable when they are there (a
build or a copied folder), else from ../share/mrw beside it (an extracted package), else from
)" MRW_INSTALLED_DATA_DIR R"(. The per-user settings (stored model, region and serial port)
are those of the desktop program (~/.config/MRW/MRW.ini; on Windows MRW\MRW.ini in the
roaming application data folder) and are never changed by mrw-cli.

A serial port refused for lack of permission on Linux: add yourself to the dialout group
(sudo adduser $USER dialout), then log out and in.
)";
}

int Run(const std::vector<std::string>& args, Config& config, Streams& streams,
        Platform& platform) {
    Options options;
    std::string error;
    if (!ParseOptions(args, options, error)) {
        streams.err << "mrw-cli: " << error << "\n" << kUsage << "\n";
        return kExitUsage;
    }
    if (options.help) {
        streams.out << HelpText();
        return kExitOk;
    }
    if (options.version) {
        streams.out << "mrw-cli " << MRW_VERSION << "\n";
        return kExitOk;
    }

    CliPrompt prompt(streams.err, options.yes);
    ReadThroughSettings settings(config.settings());
    Prompt* savedPrompt = config.services.prompt;
    SettingsStore* savedSettings = config.services.settings;
    config.services.prompt = &prompt;
    config.services.settings = &settings;
    config.state.DebugSwitch = options.debug;
    config.state.Baud19200Switch = options.baud19200;

    int status = Command(options, config, streams, platform, prompt).Execute();

    config.services.prompt = savedPrompt;
    config.services.settings = savedSettings;
    return status;
}

}  // namespace mrw::cli
