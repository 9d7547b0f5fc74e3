// The application icon (a hand-held VHF radio with its antenna sending waves) and the drawn
// toolbar icons used where no icon theme offers one.
#pragma once

#include <QIcon>

namespace mrw {

/// The application icon, drawn in code at the usual sizes so that it needs no image plugin.
/// The same drawing is installed as mrw.svg for the desktop.
QIcon ApplicationIcon();

/// A blank sheet with a folded corner and a green plus: New, without an icon theme.
QIcon NewDocumentIcon();

/// A printer with a sheet coming out: Print, without an icon theme.
QIcon PrinterIcon();

/// A blue arrow curving back to the left (Undo), or mirrored to the right (Redo).
QIcon UndoIcon(bool redo);

}  // namespace mrw
