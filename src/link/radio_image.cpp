#include "link/radio_image.h"

#include <algorithm>
#include <exception>

#include "core/text.h"
#include "link/transfer_map.h"

namespace mrw {

namespace tm = transfermap;

namespace {

bool AllErased(const Image& image, const tm::AddressRange& range) {
    for (int a = range.first; a <= range.last; ++a) {
        if (image.Get(a) != 0xFF) {
            return false;
        }
    }
    return true;
}

void CopyRange(Image& to, const Image& from, int first, int last) {
    for (int a = first; a <= last; ++a) {
        to.bytes[static_cast<size_t>(a)] = from.bytes[static_cast<size_t>(a)];
    }
}

int CountAfterNewEntry(int count) {
    return count == 255 ? 255 : count + 1;
}

}  // namespace

Image ProgrammedImage(const Image& radio, const Image& programmed) {
    Image after = radio;
    const bool newMmsi = AllErased(radio, tm::kUserMmsi) && !AllErased(programmed, tm::kUserMmsi);
    const bool newAtis = AllErased(radio, tm::kAtisCode) && !AllErased(programmed, tm::kAtisCode);
    for (int start = 0; start <= tm::kProgramLastStart; start += tm::kBlockSize) {
        const tm::ProgramMapEntry entry = tm::ProgramStepAt(start);
        switch (entry.step) {
            case tm::ProgramStep::Skip:
                break;
            case tm::ProgramStep::Block:
                CopyRange(after, programmed, start, start + tm::kBlockSize - 1);
                break;
            case tm::ProgramStep::Bytes:
                CopyRange(after, programmed, entry.bytes.first, entry.bytes.last);
                break;
            case tm::ProgramStep::UserIds:
                for (int a = entry.bytes.first; a <= entry.bytes.last; ++a) {
                    if (tm::ProgramWritesUserIdByte(a, newMmsi, newAtis)) {
                        CopyRange(after, programmed, a, a);
                    }
                }
                break;
        }
    }
    if (newMmsi) {
        after.Set(tm::kUserMmsiCount, CountAfterNewEntry(radio.Get(tm::kUserMmsiCount)));
    }
    if (newAtis) {
        after.Set(tm::kAtisCodeCount, CountAfterNewEntry(radio.Get(tm::kAtisCodeCount)));
    }
    return after;
}

std::vector<Difference> RadioRecordChanges(const Image& radio, const Image& after) {
    std::vector<Difference> out;
    auto address = [](int a) { return "0x" + HexPad(static_cast<uint32_t>(a), 4); };
    for (const tm::RadioRecords& records : tm::kRadioRecordsInWrittenBlocks) {
        bool changed = false;
        for (int a = records.range.first; a <= records.range.last && !changed; ++a) {
            changed = radio.Get(a) != after.Get(a);
        }
        if (!changed) {
            continue;
        }
        Difference d;
        d.section = kImageDiffSection;
        d.key = address(records.range.first) + "\u2013" + address(records.range.last);
        d.note = std::string(records.what) + (AllErased(after, records.range)
                                                  ? ", erased by programming"
                                                  : ", overwritten by programming");
        out.push_back(std::move(d));
    }
    for (int count : tm::kProgrammedCounts) {
        if (radio.Get(count) != after.Get(count)) {
            out.push_back({DifferenceKind::Changed, kImageDiffSection, address(count),
                           HexPad(radio.Get(count), 2), HexPad(after.Get(count), 2)});
        }
    }
    return out;
}

void KeepRadioRecords(const Image& radio, Image& image) {
    for (const tm::RadioRecords& records : tm::kRadioRecordsInWrittenBlocks) {
        CopyRange(image, radio, records.range.first, records.range.last);
    }
}

// ---- Reading a whole radio ----------------------------------------------------------------------

std::optional<std::vector<uint8_t>> ReadRadioImage(Config& config, SerialPort& port, TransferUi& ui,
                                                   bool* connected) {
    AppState& state = config.state;
    Transfer transfer(config, port, ui, kModeRead);
    transfer.Load();
    state.ErrorFlag = false;
    state.CancelFlag = false;
    state.Loading = true;
    ui.SetRunning(true);
    std::optional<std::vector<uint8_t>> image;
    bool linked = false;
    try {
        linked = transfer.link().Connect();
        if (!linked) {
            // Nothing answered: no box, as the dialog shows none.
        } else if (!transfer.link().StatusCheck()) {
            transfer.link().ErrorBox("Radio not ready!!");
            state.ErrorFlag = true;
        } else if (transfer.ReadDataChkModel() == Outcome::Done &&
                   transfer.ReadDataChkProduct() == Outcome::Done) {
            const int last = std::clamp(config.image.ImageLastAddress, 0, kImageSize - 1);
            std::vector<uint8_t> bytes(static_cast<size_t>(last) + 1, 0xFF);
            if (transfer.ReadData(bytes) == Outcome::Done) {
                image = std::move(bytes);
            }
        }
    } catch (const std::exception& failure) {
        transfer.link().ErrorBox(failure.what());
        state.ErrorFlag = true;
        image.reset();
    }
    transfer.link().PortClose();
    transfer.SetProgress(0);
    ui.SetRunning(false);
    state.Loading = false;
    if (connected != nullptr) {
        *connected = linked;
    }
    return image;
}

}  // namespace mrw
