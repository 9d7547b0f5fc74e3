// A serial port that forwards to a simulated radio the test owns, so the radio outlives the
// port objects a command or a dialog makes and drops.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "sim/sim_radio.h"

namespace mrw::testing {

class PortOnRadio : public SerialPort {
public:
    explicit PortOnRadio(SimRadio& radio) : radio_(radio) {}
    bool Open(const std::string& s, std::string& e) override { return radio_.Open(s, e); }
    void Close() override { radio_.Close(); }
    bool IsOpen() const override { return radio_.IsOpen(); }
    bool Send(const std::vector<uint8_t>& b) override { return radio_.Send(b); }
    int Waiting() override { return radio_.Waiting(); }
    int ReadByte() override { return radio_.ReadByte(); }
    void DiscardInput() override { radio_.DiscardInput(); }

private:
    SimRadio& radio_;
};

}  // namespace mrw::testing
