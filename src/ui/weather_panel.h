// The weather panel pictD: one row per weather channel (CHWX record) with its caption, its
// Enable and Scan boxes and its name, each written into the data model as it is changed.
#pragma once

#include <QObject>
#include <array>

#include "model/model.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace mrw {

class MainWindow;
struct Config;

/// Binds the rows of pictD to the weather rules; every change goes through EditModel.
class WeatherPanel : public QObject {
    Q_OBJECT
public:
    /// Builds the rows in the window's pictD panel and attaches them: the panel is filled
    /// each time the "Weather" node shows it. The panel lives as long as the window.
    static WeatherPanel* Install(MainWindow& window, Config& config);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        QLabel* label = nullptr;      // lblWX(i)
        QCheckBox* enable = nullptr;  // chkDEnable(i)
        QCheckBox* scan = nullptr;    // chkDScan(i)
        QLineEdit* name = nullptr;    // txtDTagName(i)
    };

    WeatherPanel(MainWindow& window, Config& config);
    void Fill();
    void ShowRow(int i);
    void EnableClicked(int i);
    void ScanClicked(int i);
    void NameTyped(int i);
    bool PanelActive() const;

    MainWindow& window_;
    Config& config_;
    QWidget* pictD_ = nullptr;
    std::array<Row, kWeatherChannels> rows_{};
};

}  // namespace mrw
