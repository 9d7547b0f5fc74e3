// Where the main window opens: the placement stored at the last exit, kept on screen.
#pragma once

#include <QRect>
#include <QSize>
#include <optional>

#include "core/services.h"

namespace mrw {

/// The window placement stored at the last exit ("Settings": "MainLeft", "MainTop",
/// "MainWidth", "MainHeight", in twips), in pixels at `dpi`. Nothing when a value is missing
/// or unreadable, or the size is not positive.
std::optional<QRect> StoredPlacement(SettingsStore& store, int dpi);

/// `frame` made to fit `available`: no smaller than `minimum`, no larger than `available`
/// (unless the minimum is), and moved so that as much of it as fits lies inside.
QRect FitPlacement(QRect frame, const QRect& available, const QSize& minimum);

}  // namespace mrw
