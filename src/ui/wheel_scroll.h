// Mouse-wheel scrolling of the main window's grids: one row per wheel notch, whatever the
// size of the wheel step.
#pragma once

#include <QObject>

class QAbstractScrollArea;

namespace mrw {

/// Event filter that turns each wheel event over a grid into a single one-row scroll.
/// Attach it with `AttachWheelScrolling`.
class WheelRowScroller : public QObject {
    Q_OBJECT
public:
    explicit WheelRowScroller(QAbstractScrollArea* grid);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractScrollArea* grid_;
};

/// Gives the grid one-row wheel scrolling; does nothing in debug mode, where the grid keeps
/// its own wheel handling.
void AttachWheelScrolling(QAbstractScrollArea* grid, bool debugMode);

}  // namespace mrw
