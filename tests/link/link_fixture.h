// Shared set-up of the link tests: a configuration on virtual time with a scripted prompt,
// the in-process simulated radio, a scripted serial port for replies no radio would send, and
// a transfer user interface that records what it was shown.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/config.h"
#include "link/frame.h"
#include "link/link.h"
#include "link/serial_port.h"
#include "link/transfer.h"
#include "sim/sim_radio.h"
#include "test_files.h"

namespace mrw::testing {

/// A serial port whose answers a test scripts: `respond` gets every sent byte array (as text)
/// and returns the bytes that arrive in reply.
class ScriptedPort : public SerialPort {
public:
    bool Open(const std::string& settings, std::string& error) override {
        opens.push_back(settings);
        if (failOpen) {
            error = "no such port";
            return false;
        }
        open = true;
        rx.clear();
        return true;
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    bool Send(const std::vector<uint8_t>& bytes) override {
        if (!open || failSend) {
            return false;
        }
        std::string text(bytes.begin(), bytes.end());
        sent.push_back(text);
        if (respond) {
            Feed(respond(text));
        }
        return true;
    }
    int Waiting() override { return static_cast<int>(rx.size()); }
    int ReadByte() override {
        if (rx.empty()) {
            return -1;
        }
        int c = rx.front();
        rx.pop_front();
        return c;
    }
    void DiscardInput() override { rx.clear(); }
    /// Bytes that arrive now.
    void Feed(const std::string& text) { rx.insert(rx.end(), text.begin(), text.end()); }

    std::function<std::string(const std::string&)> respond;
    std::vector<std::string> sent;
    std::vector<std::string> opens;
    std::deque<uint8_t> rx;
    bool open = false;
    bool failOpen = false;
    bool failSend = false;
};

/// Records what a transfer shows.
class RecordingUi : public TransferUi {
public:
    void SetProgress(int percent) override { progress.push_back(percent); }
    void ShowNote(const std::string& text) override { notes.push_back(text); }
    void SetRunning(bool running) override { runningStates.push_back(running); }
    void IdentityCleared(int mode) override { clearedModes.push_back(mode); }

    std::vector<int> progress;
    std::vector<std::string> notes;
    std::vector<bool> runningStates;
    std::vector<int> clearedModes;
};

/// An address stretch "first-last" (or one address), with "=HH" the byte it holds.
struct Span {
    int first = 0;
    int last = 0;
    int value = -1;
};

/// The stretches of a text that lists them separated by spaces.
inline std::vector<Span> Spans(const std::string& text) {
    std::vector<Span> spans;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        Span s;
        unsigned value = 0;
        const int n = std::sscanf(word.c_str(), "%d-%d=%x", &s.first, &s.last, &value);
        if (n < 1) {
            throw std::runtime_error("bad stretch " + word);
        }
        s.last = n == 1 ? s.first : s.last;
        s.value = n == 3 ? static_cast<int>(value) : -1;
        spans.push_back(s);
    }
    return spans;
}

inline bool InSpans(int a, const std::vector<Span>& spans) {
    return std::any_of(spans.begin(), spans.end(),
                       [a](const Span& s) { return a >= s.first && a <= s.last; });
}

/// Test base: one configuration per test on virtual time, a simulated radio of model type 1
/// holding the identity the configuration expects.
class LinkTest : public ::testing::Test {
protected:
    LinkTest() {
        config.services.clock = &clock;
        config.services.prompt = &prompt;
        config.state.ModelType = 1;
        radio.memory = *sim::BlankMemory(1);
        SetImageIdentity();
    }

    /// Gives the image the radio's model code, product code and region.
    void SetImageIdentity() {
        Image& image = config.image;
        const int last = image.ImageLastAddress;
        image.bytes[128] = 0x08;
        image.bytes[129] = 0xFD;
        image.bytes[static_cast<size_t>(last - 1)] = 0x08;
        image.bytes[static_cast<size_t>(last)] = 0xFD;
        const std::string product = "KT562W";
        std::copy(product.begin(), product.end(), image.bytes.begin() + 256);
        image.bytes[271] = 0;
    }

    /// Fills radio memory and image with different random bytes, keeping both identities.
    void Randomise(uint32_t seed = 7) {
        std::mt19937 random(seed);
        for (auto& b : radio.memory) {
            b = static_cast<uint8_t>(random());
        }
        for (auto& b : config.image.bytes) {
            b = static_cast<uint8_t>(random());
        }
        sim::SetModelCode(radio.memory, 0x08FD);
        sim::SetProductCode(radio.memory, "KT562W");
        radio.memory[271] = 0;
        SetImageIdentity();
    }

    VirtualClock clock;
    ScriptedPrompt prompt;
    Config config;
    SimRadio radio{&clock};
    RecordingUi ui;
};

}  // namespace mrw::testing
