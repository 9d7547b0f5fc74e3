// Channel references: how the radio's current-channel bytes, remembered channel lists, the
// auto-position channel and the report name a channel. A standard channel is referred to by
// its slot 0..119 in the group's table; extra channel (CHEXP) record k by 239 + k.
#pragma once

namespace mrw {

inline constexpr int kExpChannelRefBase = 239;
inline constexpr int kExpChannelSlots = 64;

/// The channel reference of CHEXP record `k` (0..63).
constexpr int ExpChannelRef(int k) {
    return kExpChannelRefBase + k;
}

/// The CHEXP record a channel reference designates, or -1 when it designates none.
constexpr int ExpRecordOfRef(int ref) {
    int k = ref - kExpChannelRefBase;
    return k >= 0 && k < kExpChannelSlots ? k : -1;
}

}  // namespace mrw
