#include "ui/placement.h"

#include <algorithm>
#include <cmath>

#include "core/startup.h"
#include "core/text.h"

namespace mrw {

std::optional<QRect> StoredPlacement(SettingsStore& store, int dpi) {
    int values[4] = {};
    const char* keys[4] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> twips = ParseNumber(Trim(store.Get("Settings", keys[i])));
        // Far beyond any screen: a damaged value, not a placement.
        if (!twips || !std::isfinite(*twips) || std::fabs(*twips) > 1e7) {
            return std::nullopt;
        }
        values[i] = TwipsToPixels(*twips, dpi);
    }
    if (values[2] <= 0 || values[3] <= 0) {
        return std::nullopt;
    }
    return QRect(values[0], values[1], values[2], values[3]);
}

QRect FitPlacement(QRect frame, const QRect& available, const QSize& minimum) {
    frame.setWidth(std::max(std::min(frame.width(), available.width()), minimum.width()));
    frame.setHeight(std::max(std::min(frame.height(), available.height()), minimum.height()));
    // The right and bottom edges first, so that a window larger than the screen keeps its
    // top left corner (and title bar) on screen.
    frame.moveLeft(std::min(frame.left(), available.right() + 1 - frame.width()));
    frame.moveTop(std::min(frame.top(), available.bottom() + 1 - frame.height()));
    frame.moveLeft(std::max(frame.left(), available.left()));
    frame.moveTop(std::max(frame.top(), available.top()));
    return frame;
}

}  // namespace mrw
