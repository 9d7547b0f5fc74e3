// Entry of the desktop program.
#include <QApplication>
#include <QMainWindow>

#include "core/config.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(mrw::kAppTitle);
    QMainWindow window;
    window.setWindowTitle(mrw::kAppTitle);
    window.resize(607, 444);
    window.show();
    return QApplication::exec();
}
