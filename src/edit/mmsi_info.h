// What an MMSI number is, told from the number alone: the kind of station its leading digits
// mark and the country its Maritime Identification Digits (MID) are allocated to, or what
// looks wrong about it. It informs and never refuses: the entry rules decide what is stored.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mrw {

/// Where a number is entered: the radio's own MMSI, an individual directory entry (or the
/// destination of a position report), or a group directory entry.
enum class MmsiUse { OwnShip, Individual, Group };

/// The administration a MID (201..775) is allocated to; several territories sharing one MID
/// are listed together. Nothing for an unallocated MID.
std::optional<std::string> MidCountry(int mid);

/// One short line about `number` as typed or stored (nine digits, or ten with the trailing
/// "0" the radio stores), for example "Ship, Germany (Federal Republic of)", "Group call,
/// Norway", or a warning: "MID 199 is not allocated — check the number", "A group MMSI
/// entered as an individual entry". Empty while fewer than nine digits were typed.
std::string DescribeMmsi(std::string_view number, MmsiUse use);

}  // namespace mrw
