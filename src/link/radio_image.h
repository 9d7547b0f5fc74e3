// The radio's memory as a whole: reading it as a raw image without taking it into the
// configuration, and the image a radio holds after programming.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/config.h"
#include "files/config_diff.h"
#include "link/serial_port.h"
#include "link/transfer.h"

namespace mrw {

/// The image the radio holds after programming `programmed` into a radio that held `radio`:
/// the program map's bytes taken from `programmed`, the user MMSI and ATIS code only where
/// the radio holds none (their counts then one higher), everything else as the radio held it.
Image ProgrammedImage(const Image& radio, const Image& programmed);

/// What programming changes in bytes that a settings file does not hold, from the radio's image
/// before (`radio`) and after (`after`, ProgrammedImage): each range of the radio's own records
/// inside written blocks whose bytes change ("[Image] 0x0300\u20130x035F: DSC TX log, erased
/// by programming"; "overwritten" when the bytes written are not blank), then each entry count
/// that changes, as image bytes.
std::vector<Difference> RadioRecordChanges(const Image& radio, const Image& after);

/// Takes the radio's own records inside written blocks from `radio` into `image`, so that
/// programming `image` leaves them as the radio holds them.
void KeepRadioRecords(const Image& radio, Image& image);

/// Reads the whole radio as a raw image, without taking it into the configuration: link
/// set-up, status check, model and product checks (no region check: the image keeps the
/// radio's region), then the read of Read from Radio into a buffer. The bytes 0 to
/// ImageLastAddress when it completed; nothing after a failure (its box shown) or a cancel.
/// `connected` (when given) tells whether the radio answered the link set-up at all.
std::optional<std::vector<uint8_t>> ReadRadioImage(Config& config, SerialPort& port, TransferUi& ui,
                                                   bool* connected = nullptr);

}  // namespace mrw
