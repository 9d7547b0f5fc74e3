#include "link/frame.h"

#include "core/text.h"

namespace mrw {

uint8_t XorChecksum(std::string_view text) {
    uint8_t sum = 0;
    for (char c : text) {
        sum ^= static_cast<uint8_t>(c);
    }
    return sum;
}

std::vector<uint8_t> BuildFrame(std::string_view word, const std::vector<std::string>& fields) {
    std::string body(word);
    body.push_back(static_cast<char>(kHt));
    for (const auto& field : fields) {
        if (field.empty()) {
            continue;  // an empty field is left out together with its HT
        }
        body += field;
        body.push_back(static_cast<char>(kHt));
    }
    body += HexPad(XorChecksum(body), 2);
    body.push_back(static_cast<char>(kCr));
    body.push_back(static_cast<char>(kLf));
    return {body.begin(), body.end()};
}

std::vector<uint8_t> BuildCommand(std::string_view text) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(kCr);
    bytes.push_back(kLf);
    return bytes;
}

bool ReplyChecksumOk(std::string_view reply) {
    if (reply.size() < 3) {
        return false;
    }
    std::optional<uint32_t> expected = ParseHex(reply.substr(reply.size() - 2));
    return expected && *expected == XorChecksum(reply.substr(0, reply.size() - 2));
}

std::optional<uint32_t> ParseHex(std::string_view field) {
    if (field.empty() || field.size() > 8) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : field) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            return std::nullopt;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return value;
}

std::string AddressField(int address) {
    return HexPad(static_cast<uint32_t>(address), 4);
}

std::string CountField(int count) {
    return HexPad(static_cast<uint32_t>(count), 2);
}

std::string DataField(std::span<const uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        text += HexPad(b, 2);
    }
    return text;
}

}  // namespace mrw
