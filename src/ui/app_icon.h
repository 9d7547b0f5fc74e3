// The application icon (a hand-held VHF radio with its antenna sending waves) and the drawn
// toolbar icons used where no icon theme offers one.
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>

namespace mrw {

/// The application icon, drawn in code at the usual sizes so that it needs no image plugin.
/// The same drawing is installed as mrw.svg for the desktop.
QIcon ApplicationIcon();

/// The application icon drawn at `size` x `size` pixels; needs no application object.
QImage ApplicationIconImage(int size);

/// The application icon as a Windows icon file (.ico) of the sizes ApplicationIcon holds: the
/// Windows build writes it into mrw.exe and its installer. Sizes below 256 are bitmaps with a
/// transparency mask, which every Windows and NSIS reads; 256 is PNG, as Windows wants it.
QByteArray ApplicationIconFile();

/// A blank sheet with a folded corner and a green plus: New, without an icon theme.
QIcon NewDocumentIcon();

/// A printer with a sheet coming out: Print, without an icon theme.
QIcon PrinterIcon();

/// A blue arrow curving back to the left (Undo), or mirrored to the right (Redo).
QIcon UndoIcon(bool redo);

}  // namespace mrw
