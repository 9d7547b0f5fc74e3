#include "ui/weather_panel.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <string>

#include "core/config.h"
#include "edit/weather_rules.h"
#include "ui/category_tree.h"
#include "ui/channel_widgets.h"
#include "ui/focus_refusal.h"
#include "ui/main_window.h"

namespace mrw {

namespace {

QString IndexedName(const char* base, int i) {
    return QString("%1_%2").arg(base).arg(i);
}

}  // namespace

WeatherPanel* WeatherPanel::Install(MainWindow& window, Config& config) {
    return new WeatherPanel(window, config);
}

WeatherPanel::WeatherPanel(MainWindow& window, Config& config)
    : QObject(window.Panel("pictD")),
      window_(window),
      config_(config),
      pictD_(window.Panel("pictD")) {
    setObjectName("weatherPanel");
    auto* rows = new QGridLayout;
    rows->setHorizontalSpacing(12);
    const char* headers[] = {"Weather CH", "Enable", "Scan", "CH Name"};
    const char* headerNames[] = {"lblDHeadWX", "lblDHeadEnable", "lblDHeadScan", "lblDHeadTagName"};
    for (int c = 0; c < 4; ++c) {
        auto* header = new QLabel(headers[c], pictD_);
        header->setObjectName(headerNames[c]);
        rows->addWidget(header, 0, c, c == 1 || c == 2 ? Qt::AlignHCenter : Qt::AlignLeft);
    }
    for (int i = 0; i < kWeatherChannels; ++i) {
        Row& row = rows_[static_cast<size_t>(i)];
        row.label = new QLabel(pictD_);
        row.label->setObjectName(IndexedName("lblWX", i));
        const std::string mark = WeatherMarkCaption(false);
        row.enable = new QCheckBox(QString::fromStdString(mark), pictD_);
        row.enable->setObjectName(IndexedName("chkDEnable", i));
        row.scan = new QCheckBox(QString::fromStdString(mark), pictD_);
        row.scan->setObjectName(IndexedName("chkDScan", i));
        row.name = new QLineEdit(pictD_);
        row.name->setObjectName(IndexedName("txtDTagName", i));
        // The characters a name can hold, as the channel name box takes them.
        ApplyEntryRules(row.name, EntryBox::Name, [this] { return config_.state.Loading; });
        row.name->setMaxLength(kWeatherNameLength);
        row.name->setMinimumWidth(
            row.name->fontMetrics().horizontalAdvance("WWWWWWWWWWWWWWWW") * 3 / 4 + 16);
        rows->addWidget(row.label, i + 1, 0);
        rows->addWidget(row.enable, i + 1, 1, Qt::AlignHCenter);
        rows->addWidget(row.scan, i + 1, 2, Qt::AlignHCenter);
        rows->addWidget(row.name, i + 1, 3);
        // The ">" marker takes no more room than the space it replaces.
        for (QCheckBox* box : {row.enable, row.scan}) {
            box->setText(QString::fromStdString(WeatherMarkCaption(true)));
            box->setMinimumWidth(box->sizeHint().width());
            box->setText(QString::fromStdString(mark));
        }
        for (QWidget* control : std::initializer_list<QWidget*>{row.enable, row.scan, row.name}) {
            control->installEventFilter(this);
        }
        window_.ConnectCommand(row.enable, [this, i] { EnableClicked(i); });
        window_.ConnectCommand(row.scan, [this, i] { ScanClicked(i); });
        connect(row.name, &QLineEdit::textEdited, this, [this, i] { NameTyped(i); });
    }
    rows->setColumnStretch(4, 1);
    auto* layout = new QVBoxLayout(pictD_);
    layout->addLayout(rows);
    layout->addStretch(1);
    window_.SetPanelHandler("pictD", [this](const NodeTarget&) { Fill(); });
}

void WeatherPanel::Fill() {
    for (int i = 0; i < kWeatherChannels; ++i) {
        ShowRow(i);
    }
}

void WeatherPanel::ShowRow(int i) {
    const WeatherRowView view = ViewWeatherRow(config_.model, i);
    const Row& row = rows_[static_cast<size_t>(i)];
    const LoadingScope loading(config_.state);
    const QSignalBlocker blockEnable(row.enable);
    const QSignalBlocker blockScan(row.scan);
    const QSignalBlocker blockName(row.name);
    row.label->setText(QString::fromStdString(view.label));
    row.label->setToolTip(QString::fromStdString(view.frequency));
    row.enable->setChecked(view.enable);
    row.scan->setChecked(view.scan);
    if (row.name->text() != QString::fromStdString(view.name)) {
        row.name->setText(QString::fromStdString(view.name));
    }
    row.scan->setEnabled(view.open);
    row.name->setEnabled(view.open);
}

void WeatherPanel::EnableClicked(int i) {
    if (config_.state.Loading || !PanelActive()) {
        return;
    }
    StoreWeatherEnable(config_, i, rows_[static_cast<size_t>(i)].enable->isChecked());
    ShowRow(i);
}

void WeatherPanel::ScanClicked(int i) {
    if (config_.state.Loading || !PanelActive()) {
        return;
    }
    StoreWeatherScan(config_, i, rows_[static_cast<size_t>(i)].scan->isChecked());
    ShowRow(i);
}

void WeatherPanel::NameTyped(int i) {
    if (config_.state.Loading || !PanelActive()) {
        return;
    }
    const std::string text = rows_[static_cast<size_t>(i)].name->text().toStdString();
    if (!window_.RunCommand([this, i, &text] { StoreWeatherName(config_, i, text); })) {
        ShowRow(i);  // the window is busy: the row shows what is stored
    }
}

bool WeatherPanel::PanelActive() const {
    return pictD_->isEnabledTo(pictD_->parentWidget());
}

bool WeatherPanel::eventFilter(QObject* watched, QEvent* event) {
    const bool in = event->type() == QEvent::FocusIn;
    if (!in && event->type() != QEvent::FocusOut) {
        return QObject::eventFilter(watched, event);
    }
    auto* widget = static_cast<QWidget*>(watched);
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (in && !IsWindowFocusChange(reason)) {
        window_.ShowHint(
            QString::fromStdString(WeatherControlHint(widget->objectName().toStdString())));
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            edit->selectAll();
        }
    }
    // The focused check box of a row carries the ">" marker.
    if (auto* box = qobject_cast<QCheckBox*>(widget);
        box != nullptr && (in || !IsWindowFocusChange(reason))) {
        box->setText(QString::fromStdString(WeatherMarkCaption(in)));
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace mrw
