// The simulated radio as a serial port: link tests plug it in where the desktop program plugs
// in a real port, and look at its memory and at what it received afterwards.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/services.h"
#include "link/serial_port.h"
#include "sim/radio_engine.h"

namespace mrw::sim {

/// A radio at the end of a serial line, in-process. Everything the PC sends reaches the radio
/// at once; the answer is readable at once, or, with `emulateByteTime` and a clock, only after
/// each byte's time on the line at the baud rate the port was opened with.
class SimRadio : public SerialPort {
public:
    /// `clock` may be null (then no byte-time emulation is possible).
    explicit SimRadio(Clock* clock = nullptr);
    SimRadio(const SimRadio&) = delete;
    SimRadio& operator=(const SimRadio&) = delete;

    bool Open(const std::string& settings, std::string& error) override;
    void Close() override;
    bool IsOpen() const override;
    bool Send(const std::vector<uint8_t>& bytes) override;
    int Waiting() override;
    int ReadByte() override;
    void DiscardInput() override;

    /// The radio's memory; tests fill and inspect it directly.
    RadioMemory memory{};
    /// Behaviour and injected faults, read live by the radio.
    RadioOptions options;
    /// Delay each answer byte by its time on the line (10 bits at the port's baud rate).
    bool emulateByteTime = false;

    /// Everything the radio received, in order (command words, addresses, counts, data).
    const std::vector<RadioRequest>& Requests() const { return engine_.Requests(); }
    /// Number of received requests with the given word ("#QKPRD", "#CMDSM", "0x18"...).
    int CountOf(const std::string& word) const { return engine_.CountOf(word); }
    /// Number of framed requests received.
    int FramedCount() const { return engine_.FramedCount(); }
    /// The settings texts of every Open call, in order.
    const std::vector<std::string>& Opens() const { return opens_; }
    /// Number of DiscardInput calls.
    int DiscardCount() const { return discards_; }
    /// Forgets the recorded requests and opens.
    void ClearRecord();
    /// Pulls the cable now: the port closes and cannot be opened again.
    void PullCable() { pulled_ = true; }
    /// True when the cable was pulled (by `PullCable` or a CablePulled fault).
    bool CablePulled() const { return pulled_ || engine_.CablePulled(); }
    /// The protocol engine, for checks beyond the record above.
    const RadioEngine& Engine() const { return engine_; }

private:
    struct PendingByte {
        uint8_t value;
        double readyAt;
    };
    double ByteSeconds() const;
    void Deliver(const std::vector<uint8_t>& answer, double sentDoneAt);

    Clock* clock_;
    RadioEngine engine_;
    std::deque<PendingByte> rx_;
    std::vector<std::string> opens_;
    int baud_ = 0;
    bool open_ = false;
    bool pulled_ = false;
    int discards_ = 0;
    double lineFreeAt_ = 0.0;
};

}  // namespace mrw::sim

namespace mrw {
using sim::SimRadio;
}  // namespace mrw
