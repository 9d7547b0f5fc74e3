// The text lines of the memory image's hexadecimal dump (debug mode): two header lines, then
// one line per 16 bytes with the address, the bytes in hexadecimal and their characters.
#pragma once

#include <string>
#include <vector>

#include "image/image.h"

namespace mrw {

/// The dump of image bytes 0..ImageLastAddress: the header lines, then for each address A in
/// steps of 16 " AAAA:" + " HH" per byte + five spaces + one character per byte (32..126 as
/// themselves, any other value as ".").
std::vector<std::string> HexDumpLines(const Image& image);

}  // namespace mrw
