// What the window tests share: a program folder of their own holding global.ini and the
// default image of model type 1 as region INTL, services answered in memory and on virtual
// time, and the main window on them; for the transfer tests, the simulated radio behind a port
// a dialog may own.
#pragma once

#include <QCoreApplication>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/config.h"
#include "image/checks.h"
#include "sim/port_on_radio.h"
#include "sim/sim_radio.h"
#include "ui/main_window.h"

namespace mrw::testing {

constexpr int kRegionByte = 271;

inline void WriteBytes(const std::filesystem::path& path, const uint8_t* bytes, size_t size) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes), size);
}

/// An enabled channel of the catalogue that may transmit, without a status number.
inline ChannelRecord Channel(int position, const char* name) {
    ChannelRecord r;
    r.Position = static_cast<int16_t>(position);
    r.Enable = r.TxEnable = true;
    r.StatusNo = 127;
    r.ChTag = name;
    return r;
}

/// One program folder, configuration and (once loaded) main window, on virtual time of `Clock`.
template <typename Clock>
struct BasicWindowHarness {
    QTemporaryDir dir;
    Config config;
    ScriptedPrompt prompt;
    Clock clock;
    MemorySettingsStore settings;
    std::unique_ptr<MainWindow> window;

    explicit BasicWindowHarness(const char* globalIni = "[model1]\nuse=1\natis=False\n",
                                std::optional<int> regionCode = {}) {
        config.services.prompt = &prompt;
        config.services.clock = &clock;
        config.services.settings = &settings;
        config.services.programFolder = Folder();
        std::ofstream(Folder() / "global.ini") << globalIni;
        // The default image of model type 1; with `regionCode`, that region's code put in.
        Image image;
        DataModel model;
        NewImage(image, model, 1);
        image.bytes[kRegionByte] =
            static_cast<uint8_t>(regionCode.value_or(image.bytes[kRegionByte]));
        WriteBytes(Folder() / "INTL_08FD.ini", image.bytes.data(), kImageSize);
    }
    ~BasicWindowHarness() {
        clock.onPump = nullptr;
        window.reset();
    }

    std::filesystem::path Folder() const { return dir.path().toStdString(); }
    /// Makes the window, with `port` as the only serial port, and loads the folder.
    bool Load(SerialDevice port = {"/dev/ttyS0", "Serial (COM1)"}) {
        window = std::make_unique<MainWindow>(config);
        window->SetPortLister([port] { return std::vector<SerialDevice>{port}; });
        return window->Load();
    }
    /// Loads, puts `setUp` into the configuration as a read would, and shows the window.
    bool Start(const std::function<void(DataModel&)>& setUp = [](DataModel&) {}) {
        if (!Load()) {
            return false;
        }
        setUp(config.model);
        window->RebuildViews();
        config.state.DataChanged = false;
        window->UpdateWindowCaption();
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }

    template <typename T = QWidget>
    T* Find(const QString& name) const {
        return window->findChild<T*>(name);
    }
    QAction* Action(const char* name) const { return Find<QAction>(name); }
    QString Panel() const {
        return Find<QStackedWidget>("panelArea")->currentWidget()->objectName();
    }
    static QStringList Cells(const QTableWidget* grid, int row) {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c) {
            cells << grid->item(row, c)->text();
        }
        return cells;
    }
};

using WindowHarness = BasicWindowHarness<VirtualClock>;

/// A window harness with the simulated radio on its clock; polls run the window events, as
/// the desktop clock does.
struct RadioHarness : WindowHarness {
    SimRadio radio{&clock};

    explicit RadioHarness(std::optional<int> regionCode = 0)
        : WindowHarness("[model1]\nuse=1\natis=True\n", regionCode) {
        clock.onPump = [] { QCoreApplication::processEvents(); };
    }
    ~RadioHarness() {
        clock.onPump = nullptr;
        window.reset();  // before the radio its ports may stand on
    }
    std::unique_ptr<SerialPort> Port() { return std::make_unique<PortOnRadio>(radio); }
};

}  // namespace mrw::testing
