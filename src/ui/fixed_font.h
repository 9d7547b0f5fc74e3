// The font of text laid out in columns: the hex dump, the report window and the printed report.
#pragma once

#include <QFont>
#include <functional>

namespace mrw {

/// Families tried, in order, when the system's fixed font does not resolve to a fixed-pitch
/// face (some font sets resolve "monospace" to a face that is not marked as fixed pitch).
inline constexpr const char* kFixedFamilies[] = {"DejaVu Sans Mono", "Liberation Mono", "Noto Mono",
                                                 "Courier New", "Courier"};

/// `preferred` when `isFixed` says it is fixed pitch, else the first of kFixedFamilies (at
/// the preferred size) that is; else `preferred`. Every result asks for a fixed pitch.
QFont ChooseFixedFont(const QFont& preferred, const std::function<bool(const QFont&)>& isFixed);

/// The system's fixed font, or a family known to be fixed where it resolves to a face that
/// is not fixed pitch (as QFontInfo tells).
QFont FixedPitchFont();

}  // namespace mrw
