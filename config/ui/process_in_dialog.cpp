#include "config/ui/process_in_dialog.h"

#include "config/ui/dialog_buttons.h"

#include "config/import_run.h"
#include "config/settings_file.h"
#include "core/action_guard.h"
#include "core/app_context.h"
#include "core/app_error.h"
#include "data/dm_polling.h"

#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <exception>

namespace {

const char NoneText[] = "<None>";

void colourGauge(QProgressBar* gauge, const QColor& colour) {
    QPalette colours = gauge->palette();
    colours.setColor(QPalette::Highlight, colour);
    gauge->setPalette(colours);
}

QProgressBar* gauge(const char* name, QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(true);
    return bar;
}

} // namespace

TdlgProcessIn::TdlgProcessIn(SettingsFile& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName(QStringLiteral("dlgProcessIn"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Import"));
    setModal(true);

    auto* details = new QFrame(this);
    details->setObjectName(QStringLiteral("Panel1"));
    details->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* form = new QFormLayout(details);
    form->setLabelAlignment(Qt::AlignRight);
    form->setHorizontalSpacing(12);
    lblStation = valueLabel("lblStation");
    lblCategory = valueLabel("lblCategory");
    lblFiles = valueLabel("lblFiles");
    lblDesc = valueLabel("lblDesc");
    lblDateTime = valueLabel("lblDateTime");
    lblStatus = valueLabel("lblStatus");
    form->addRow(QStringLiteral("Station :"), lblStation);
    form->addRow(QStringLiteral("Transmission Options :"), lblCategory);
    form->addRow(QStringLiteral("DatabaseTable :"), lblFiles);
    form->addRow(QStringLiteral("Table Description :"), lblDesc);
    form->addRow(QStringLiteral("Process In Date/Time :"), lblDateTime);
    form->addRow(QStringLiteral("Status Of Progress :"), lblStatus);

    Gauge1 = gauge("Gauge1", this);
    Gauge2 = gauge("Gauge2", this);

    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("&OK"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setDefault(true);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                              QStringLiteral("&Cancel"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    NameDialogKeys(BitBtn2, BitBtn1);
    connect(BitBtn2, &QPushButton::clicked, this, &TdlgProcessIn::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TdlgProcessIn::BitBtn1Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(details);
    layout->addSpacing(6);
    layout->addWidget(Gauge1);
    layout->addWidget(Gauge2);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    FormCreate();
}

TdlgProcessIn::~TdlgProcessIn() {
    emit formDestroyed(Imported);
}

QLabel* TdlgProcessIn::valueLabel(const char* name) {
    auto* label = new QLabel(QLatin1String(NoneText), this);
    label->setObjectName(QLatin1String(name));
    return label;
}

void TdlgProcessIn::FormCreate() {
    Imported = false;
    colourGauge(Gauge1, Qt::blue);
    colourGauge(Gauge2, Qt::cyan);
}

void TdlgProcessIn::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    FormShow();
}

void TdlgProcessIn::FormShow() {
    RunGuarded([this] { setWindowTitle(ImportCaption(windowTitle(), ReadLastImport(settings_))); });
}

void TdlgProcessIn::BitBtn2Click() {
    RunGuarded([this] { run(); });
}

void TdlgProcessIn::run() {
    Imported = true;
    // Recorded before the run, and kept whatever the run does.
    WriteLastImport(settings_);

    // A filter that cannot be set does not stop the run; its error is shown after it.
    std::exception_ptr filterError;
    try {
        if (!dmPolling)
            throw AppError(QStringLiteral("The station table is not open."));
        FilterActiveStations(dmPolling->tblStation);
    } catch (...) {
        filterError = std::current_exception();
    }

    BitBtn1->setEnabled(false);
    BitBtn2->setEnabled(false);
    // When the run fails, Cancel stays disabled and only the close box is left.
    StartProcessIn();
    BitBtn1->setEnabled(true);
    BitBtn1->setFocus();

    if (filterError)
        std::rethrow_exception(filterError);
    lblStation->setText(QStringLiteral("Done"));
    lblFiles->setText(QStringLiteral("Done"));
    lblStatus->setText(QStringLiteral("Completed"));
}

void TdlgProcessIn::StartProcessIn() {
    Gauge1->setValue(0);
    Gauge2->setValue(0);
    colourGauge(Gauge1, Qt::blue);
    colourGauge(Gauge2, Qt::cyan);
    repaint();
    WriteImportPollingLines(ProgramFolder());
}

void TdlgProcessIn::BitBtn1Click() {
    reject();
}

void TdlgProcessIn::keyPressEvent(QKeyEvent* event) {
    // Esc is Cancel's key and does nothing while Cancel is disabled.
    if (event->key() == Qt::Key_Escape && !BitBtn1->isEnabled()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TdlgProcessIn::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TdlgProcessIn::FormClose() {
    if (closed_)
        return;
    closed_ = true;
    RunGuarded([] {
        if (dmPolling)
            ClearStationFilter(dmPolling->tblStation);
    });
}
