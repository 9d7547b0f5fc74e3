// Runs the start-up rule tests and the main window tests in one headless program.
#include <QApplication>
#include <QtTest>

#include "ui/main_window_test.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int failures = 0;
    {
        mrw::StartupRulesTest rules;
        failures += QTest::qExec(&rules, argc, argv);
    }
    {
        mrw::MainWindowTest window;
        failures += QTest::qExec(&window, argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
