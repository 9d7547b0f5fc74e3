// A build tool of the Windows program: writes the application icon as an icon file (mrw.ico),
// which mrw.exe carries as its resource and the installer shows.
#include <QFile>
#include <QString>
#include <iostream>

#include "ui/app_icon.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "usage: mrw-icon FILE.ico\n";
        return 2;
    }
    const QByteArray icon = mrw::ApplicationIconFile();
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(icon) != icon.size() || !file.flush()) {
        std::cerr << "mrw-icon: cannot write " << argv[1] << ": "
                  << file.errorString().toStdString() << "\n";
        return 1;
    }
    return 0;
}
