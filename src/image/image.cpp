#include "image/image.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/text.h"
#include "model/catalogue.h"

namespace mrw {

namespace {

bool IsValidAddress(long address) {
    return address >= 0 && address < kImageSize;
}

// Throws unless every address of [address, address + count) lies inside the image, so a
// multi-byte write either happens whole or not at all.
void CheckRange(int address, int count) {
    if (!IsValidAddress(address)) {
        throw ImageRangeError(address);
    }
    long last = static_cast<long>(address) + (count > 0 ? count - 1 : 0);
    if (!IsValidAddress(last)) {
        throw ImageRangeError(static_cast<int>(last));
    }
}

bool IsTextSetChar(unsigned char c) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
        return true;
    }
    switch (c) {
        case '-':
        case '+':
        case '(':
        case ')':
        case '.':
        case '*':
        case '/':
        case ' ':
        case ',':
            return true;
        default:
            return false;
    }
}

bool IsDisplaySetChar(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == ' ';
}

constexpr const char* kBlankFreq3 = "---.---";
constexpr const char* kBlankFreq4 = "---.----";

}  // namespace

ImageRangeError::ImageRangeError(int address)
    : std::out_of_range("image address " + std::to_string(address) + " outside 0.." +
                        std::to_string(kImageSize - 1)) {}

ByteOverflowError::ByteOverflowError(const std::string& what, long value)
    : std::overflow_error(what + ": value " + std::to_string(value) + " does not fit in a byte") {}

// ---- Image -------------------------------------------------------------------------------

uint8_t Image::Get(int address) const {
    if (!IsValidAddress(address)) {
        throw ImageRangeError(address);
    }
    return bytes[static_cast<size_t>(address)];
}

void Image::Set(int address, long value) {
    if (!IsValidAddress(address)) {
        throw ImageRangeError(address);
    }
    if (value < 0 || value > 255) {
        throw ByteOverflowError("image byte " + std::to_string(address), value);
    }
    bytes[static_cast<size_t>(address)] = static_cast<uint8_t>(value);
}

uint8_t& Image::At(int address) {
    if (!IsValidAddress(address)) {
        throw ImageRangeError(address);
    }
    return bytes[static_cast<size_t>(address)];
}

void Image::Fill(int address, int count, uint8_t value) {
    if (count <= 0) {
        return;
    }
    CheckRange(address, count);
    for (int i = 0; i < count; ++i) {
        bytes[static_cast<size_t>(address + i)] = value;
    }
}

// ---- Bit access --------------------------------------------------------------------------

int GetBit(int byte, int bit) {
    if (bit < 0 || bit > 7) {
        return 0;
    }
    return (byte >> bit) & 1;
}

bool TestBit(int value, int bit) {
    if (bit < 1 || bit > 8) {
        return false;
    }
    return ((value >> (bit - 1)) & 1) != 0;
}

int BitMask(bool flag, int bit) {
    if (!flag || bit < 1 || bit > 8) {
        return 0;
    }
    return 1 << (bit - 1);
}

bool ImageBit(const Image& image, int address, int n) {
    uint8_t b = image.Get(address);
    return n >= 0 && n <= 7 && GetBit(b, 7 - n) != 0;
}

void SetBit(uint8_t& byte, int value, int bit) {
    if (bit < 0 || bit > 7) {
        return;
    }
    auto mask = static_cast<uint8_t>(1u << bit);
    if (value == 1) {
        byte = static_cast<uint8_t>(byte | mask);
    } else {
        byte = static_cast<uint8_t>(byte & ~mask);
    }
}

int GetBits(int byte, int width, int top) {
    int value = 0;
    for (int j = 0; j < width; ++j) {
        value += GetBit(byte, top - width + 1 + j) << j;
    }
    return value;
}

void SetBits(uint8_t& byte, int width, int top, int value) {
    if (value < 0 || value > 255) {
        return;
    }
    std::string bits = BitString(value, width);
    for (int i = 1; i <= width; ++i) {
        SetBit(byte, bits[static_cast<size_t>(i - 1)] == '1' ? 1 : 0, top + 1 - i);
    }
}

std::string BitString(int byte, int width) {
    std::string text;
    for (int j = width - 1; j >= 0; --j) {
        text += (j < 31 && ((byte >> j) & 1) != 0) ? '1' : '0';
    }
    return text;
}

int BoolToBit(bool flag) {
    return flag ? 1 : 0;
}

bool ValToBool(const std::string& text) {
    return RoundHalfEven(Val(text)) != 0.0;
}

// ---- Other values ------------------------------------------------------------------------

void SplitWord(int32_t v, uint8_t& high, uint8_t& low) {
    if (v < 0) {
        high = 0xFF;
        low = 0xFF;
        return;
    }
    if (v > 0xFFFF) {
        // The high byte cannot hold it: nothing is built.
        return;
    }
    high = static_cast<uint8_t>(v / 256);
    low = static_cast<uint8_t>(v % 256);
}

int ByteSum(const Image& image, int start, int count) {
    if (count <= 0) {
        return 0;
    }
    CheckRange(start, count);
    int sum = 0;
    for (int i = 0; i < count; ++i) {
        sum = (sum + image.bytes[static_cast<size_t>(start + i)]) % 256;
    }
    return sum;
}

int EncodeHalfHours(int16_t& value) {
    if (value < -24) {
        value = -24;
    } else if (value > 24) {
        value = 24;
    }
    int magnitude = std::abs(static_cast<int>(value));
    int result = value >= 0 ? magnitude + 32 : magnitude;
    return result & 127;
}

int DecodeHalfHours(int byte) {
    int magnitude = byte & 31;
    return (byte & 32) == 0 ? -magnitude : magnitude;
}

int FirstEnabledIndex(const ChannelTable& table) {
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].Enable) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// ---- Text --------------------------------------------------------------------------------

int CharToCode(const std::string& character) {
    if (character.empty()) {
        return 255;
    }
    auto c = static_cast<unsigned char>(character[0]);
    return IsTextSetChar(c) ? c : 255;
}

std::string CodeToChar(int code) {
    if (code < 0 || code > 255 || !IsTextSetChar(static_cast<unsigned char>(code))) {
        return {};
    }
    return std::string(1, static_cast<char>(code));
}

std::string ReadText(const Image& image, int address, int n) {
    std::string text;
    for (int i = 0; i < n; ++i) {
        std::string c = CodeToChar(image.Get(address + i));
        if (c.empty()) {
            break;
        }
        text += c;
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

std::string ReadDisplayChar(const Image& image, int address) {
    uint8_t b = image.Get(address);
    if (b == 0xFF) {
        return " ";
    }
    return IsDisplaySetChar(b) ? std::string(1, static_cast<char>(b)) : std::string();
}

void WriteText(Image& image, int address, std::string& text, int n, bool pad) {
    if (n <= 0) {
        return;
    }
    CheckRange(address, n);
    if (pad) {
        text.resize(static_cast<size_t>(n), ' ');
    }
    for (int i = 0; i < n; ++i) {
        auto index = static_cast<size_t>(i);
        int code = index < text.size() ? CharToCode(std::string(1, text[index])) : 0xFF;
        image.bytes[static_cast<size_t>(address + i)] = static_cast<uint8_t>(code);
    }
}

void WritePaddedText(Image& image, int address, std::string& text, int n) {
    WriteText(image, address, text, n, true);
}

std::string KeptText(std::string_view text, int n) {
    std::string kept;
    for (char c : text) {
        if (static_cast<int>(kept.size()) < n && IsTextSetChar(static_cast<unsigned char>(c))) {
            kept += c;
        }
    }
    while (!kept.empty() && kept.back() == ' ') {
        kept.pop_back();
    }
    return kept;
}

std::string KeptDisplayText(std::string_view text, int n) {
    std::string kept;
    for (char c : text) {
        const auto upper = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        if (static_cast<int>(kept.size()) < n && IsDisplaySetChar(upper)) {
            kept += static_cast<char>(upper);
        }
    }
    kept.resize(static_cast<size_t>(std::max(n, 0)), ' ');
    return kept;
}

std::string TrimAtNul(const std::string& text) {
    size_t pos = text.find('\0');
    return pos == std::string::npos ? std::string() : text.substr(0, pos);
}

// ---- BCD fields --------------------------------------------------------------------------

namespace {

// The field is read the way the radio's own tools read it: as the hexadecimal text of the
// three bytes with a period after the first, taken as a decimal number up to the first
// character that cannot belong to one (a hexadecimal letter ends it).
double FrequencyOfField(uint8_t b0, uint8_t b1, uint8_t b2) {
    std::string text = HexPad(b0, 2) + "." + HexPad(b1, 2) + HexPad(b2, 2);
    double mhz = Val(text) + 100.0;
    if (!(mhz > 100.0) || mhz >= 200.0) {
        return 0.0;
    }
    return mhz;
}

}  // namespace

double ReadBcdFrequency(const Image& image, int address) {
    CheckRange(address, 3);
    return FrequencyOfField(image.Get(address), image.Get(address + 1), image.Get(address + 2));
}

double KeptFrequency(double mhz) {
    const std::array<uint8_t, 3> field = WriteBcdFrequency(mhz);
    return FrequencyOfField(field[0], field[1], field[2]);
}

std::array<uint8_t, 3> WriteBcdFrequency(double mhz) {
    std::array<uint8_t, 3> field{0xFF, 0xFF, 0xFF};
    if (!std::isfinite(mhz) || mhz <= 100.0) {
        return field;
    }
    // "1dd.dddd": rounded to 100 Hz as the decimal text a settings file holds is rounded, half
    // up, so that 156.03125 gives 56 03 13 although its binary rounding would give 56 03 12.
    std::string text = FormatFixedDecimal(mhz, 3, 4);
    if (text.size() != 8 || text[0] != '1' || text[3] != '.') {
        // 200 MHz or more cannot be carried by the field; it stays blank.
        return field;
    }
    std::string digits = text.substr(1, 2) + text.substr(4);
    for (size_t i = 0; i < 3; ++i) {
        int hi = (digits[2 * i] - '0') & 0x0F;
        int lo = (digits[2 * i + 1] - '0') & 0x0F;
        field[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    return field;
}

std::string ReadBcdDigits(const Image& image, int address) {
    CheckRange(address, 5);
    std::string digits;
    for (int i = 0; i < 5; ++i) {
        uint8_t b = image.Get(address + i);
        int hi = b >> 4;
        if (hi > 9) {
            break;
        }
        digits += static_cast<char>('0' + hi);
        int lo = b & 0x0F;
        if (lo > 9) {
            break;
        }
        digits += static_cast<char>('0' + lo);
    }
    return digits;
}

void WriteBcdDigits(Image& image, int address, const std::string& text, bool lastNibbleZero) {
    CheckRange(address, 5);
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        image.Fill(address, 5, 0xFF);
        return;
    }
    std::string padded = text + std::string(10, ' ');
    auto nibble = [&](size_t index) {
        char c = padded[index];
        return (c >= '0' && c <= '9') ? c - '0' : 0x0F;
    };
    for (int i = 0; i < 5; ++i) {
        auto k = static_cast<size_t>(2 * i);
        int hi = nibble(k);
        int lo = (i == 4 && lastNibbleZero) ? 0 : nibble(k + 1);
        image.bytes[static_cast<size_t>(address + i)] = static_cast<uint8_t>(hi * 16 + lo);
    }
}

// ---- Display renderings ------------------------------------------------------------------

std::string FormatFreq3(double mhz) {
    if (!std::isfinite(mhz) || mhz <= 0.0) {
        return kBlankFreq3;
    }
    return FormatFixed(mhz, 3, 3);
}

std::string FormatFreq3Blank(double mhz, bool blank) {
    return blank ? kBlankFreq3 : FormatFreq3(mhz);
}

std::string FormatFreq4(double mhz) {
    if (!std::isfinite(mhz) || mhz <= 0.0) {
        return kBlankFreq4;
    }
    return FormatFixed(SnapFrequency(mhz), 3, 4);
}

double SnapFrequency(double mhz) {
    if (!std::isfinite(mhz)) {
        return mhz;
    }
    double n = RoundHalfEven(mhz * 10000.0);
    if (std::fmod(n, 50.0) != 0.0 && std::fmod(n, 125.0) != 0.0) {
        return std::trunc(mhz / 0.005) * 0.005;
    }
    return mhz;
}

bool IsOn25kHzGrid(double mhz) {
    if (!std::isfinite(mhz)) {
        return false;
    }
    return std::fmod(RoundHalfEven(mhz * 10000.0), 250.0) == 0.0;
}

const std::vector<std::string>& TimeOffsetList() {
    static const std::vector<std::string> list = [] {
        std::vector<std::string> texts;
        for (int i = 0; i < 49; ++i) {
            double x = -12.0 + 0.5 * i;
            std::string text;
            if (x < 0) {
                text = FormatFixed(x, 1, 2);
            } else if (x == 0) {
                text = " 0";
            } else {
                text = FormatFixed(x, 1, 2);
                text.insert(text.begin(), '+');
            }
            size_t dot = text.find('.');
            if (dot != std::string::npos) {
                text[dot] = ':';
            } else if (size_t comma = text.find(','); comma != std::string::npos) {
                text[comma] = ':';
            }
            if (size_t half = text.find(":50"); half != std::string::npos) {
                text.replace(half, 3, ":30");
            }
            texts.push_back(text);
        }
        return texts;
    }();
    return list;
}

std::string TimeOffsetText(int halfHours) {
    if (halfHours < -24 || halfHours > 24) {
        return {};
    }
    return TimeOffsetList()[static_cast<size_t>(halfHours + 24)];
}

std::string ChannelNumberText(int statusNo) {
    if (statusNo == 0) {
        return "0";
    }
    if (statusNo >= 1 && statusNo <= 99) {
        return std::to_string(statusNo);
    }
    if (statusNo == 100) {
        return "00";
    }
    return {};
}

std::string ChannelSuffixText(int statusIcon) {
    switch (statusIcon) {
        case 1:
            return "A";
        case 2:
            return "B";
        default:
            return {};
    }
}

namespace {

const CatalogueRow* CatalogueEntry(const ChannelRecord& record) {
    const auto& catalogue = ChannelCatalogue();
    if (record.Position < 0 || record.Position >= static_cast<int>(catalogue.size())) {
        return nullptr;
    }
    return &catalogue[static_cast<size_t>(record.Position)];
}

// Receive and transmit frequency of a catalogue row by the record's duplex mode; false for a
// duplex mode that names none.
bool CatalogueFrequencies(const CatalogueRow& row, int duplex, double& rx, double& tx) {
    switch (duplex) {
        case 0:  // TX_SIMP
            rx = row.F2;
            tx = row.F1;
            return true;
        case 1:  // RX_SIMP
            rx = row.F3;
            tx = row.F3;
            return true;
        case 2:  // DUP
            rx = row.F3;
            tx = row.F1;
            return true;
        case 3:  // Reverse DUP
            rx = row.F2;
            tx = row.F3;
            return true;
        default:
            return false;
    }
}

}  // namespace

std::string ChannelLabel(const ChannelRecord& record) {
    const CatalogueRow* row = CatalogueEntry(record);
    return ChannelNumberText(record.StatusNo) + (row != nullptr ? row->Label : std::string()) +
           ChannelSuffixText(record.StatusIcon);
}

std::string CatalogueRxText(const ChannelRecord& record) {
    const CatalogueRow* row = CatalogueEntry(record);
    double rx = 0.0;
    double tx = 0.0;
    if (row == nullptr || !CatalogueFrequencies(*row, record.Duplex, rx, tx)) {
        return {};
    }
    return FormatFreq3(rx);
}

std::string CatalogueTxText(const ChannelRecord& record) {
    const CatalogueRow* row = CatalogueEntry(record);
    double rx = 0.0;
    double tx = 0.0;
    if (row == nullptr || !CatalogueFrequencies(*row, record.Duplex, rx, tx)) {
        return {};
    }
    return FormatFreq3Blank(tx, !record.TxEnable);
}

}  // namespace mrw
