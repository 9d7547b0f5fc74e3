// The application icon: a hand-held VHF radio with its antenna sending waves.
#pragma once

#include <QIcon>

namespace mrw {

/// The application icon, drawn in code at the usual sizes so that it needs no image plugin.
/// The same drawing is installed as mrw.svg for the desktop.
QIcon ApplicationIcon();

}  // namespace mrw
