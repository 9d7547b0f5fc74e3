// Programming that checks what it wrote: every address written is read back and compared
// afterwards, and a program that stops says what it leaves in the radio and how to recover.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/config.h"
#include "link/transfer.h"

namespace mrw {

/// The words every verify failure message starts with.
inline constexpr const char* kVerifyFailed = "Verify failed";
/// Reads of the verify pass join written ranges closer than this many bytes: reading a few
/// bytes more costs less than one request more.
inline constexpr int kVerifyJoinGap = 32;

/// "Verify failed: the radio holds different data at N addresses (first at 0xADDR). Program
/// it again."
std::string VerifyFailedText(int count, int firstAddress);

/// The address ranges a read pass covers to read back `written` (sorted and joined when
/// closer than kVerifyJoinGap, then cut into requests of at most 64 bytes).
std::vector<transfermap::AddressRange> VerifyReads(std::vector<transfermap::AddressRange> written);

/// How one program run is guarded.
struct SafeProgramOptions {
    /// Read back every address written and compare it with what was sent.
    bool verify = true;
    /// Called as the run moves into a stage ("Writing…", "Verifying…").
    std::function<void(const std::string& stage)> onStage;
};

/// The guard a program Transfer runs with (Transfer::SetProgramGuard).
class SafeProgram : public ProgramGuard {
public:
    SafeProgram(Config& config, SafeProgramOptions options);

    Outcome BeforeWrite(Transfer& transfer) override;
    Outcome AfterWrite(Transfer& transfer, Outcome outcome) override;
    void Ended(Transfer& transfer, Outcome outcome) override;

    const SafeProgramOptions& Options() const { return options_; }
    /// Addresses whose read-back differed in the last run, in order.
    const std::vector<int>& Mismatches() const { return mismatches_; }

private:
    enum class Stage { Checks, Writing, Verifying };

    Outcome Verify(Transfer& transfer);
    std::string RecoveryText() const;
    void EnterStage(Stage stage, const char* text);

    Config& config_;
    SafeProgramOptions options_;
    Stage stage_ = Stage::Checks;
    std::vector<int> mismatches_;
};

}  // namespace mrw
