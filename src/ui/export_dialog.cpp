#include "ui/export_dialog.h"

#include "archive/chart_export.h"
#include "core/calendar.h"
#include "core/clock.h"
#include "core/dialogs.h"
#include "core/state.h"
#include "engine/engine.h"
#include "files/chart_file_loader.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zantrel {

namespace {

inline constexpr const char* kSaveFirst =
    "Save the chart first; exports are made from chart files.";

struct FormatChoice {
    const char* label;
    ExportFormat format;
    const char* filter;
};

const FormatChoice kChoices[] = {
    {"CSV", ExportFormat::Csv, "CSV file (.csv) (*.csv)"},
    {"InfluxDB line protocol", ExportFormat::Influx, "Line protocol file (.lp) (*.lp)"},
    {"Excel workbook", ExportFormat::Xlsx, "Excel workbook (.xlsx) (*.xlsx)"},
};

} // namespace

ExportDialog::ExportDialog(Engine& engine, QWidget* parent) : QDialog(parent), engine_(engine) {
    setObjectName("Export");
    setWindowTitle("Export");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    format_ = new QComboBox(this);
    format_->setObjectName("ExportFormat");
    for (const FormatChoice& choice : kChoices)
        format_->addItem(choice.label);
    form->addRow("&Format:", format_);

    machineZone_ = new QRadioButton("&This machine's time zone", this);
    machineZone_->setObjectName("ExportMachineZone");
    machineZone_->setChecked(true);
    fixedOffset_ = new QRadioButton("Fi&xed offset from UTC:", this);
    fixedOffset_->setObjectName("ExportFixedOffset");
    offset_ = new QLineEdit(this);
    offset_->setObjectName("ExportOffset");
    offset_->setPlaceholderText("+01:00");
    offset_->setEnabled(false);
    connect(fixedOffset_, &QRadioButton::toggled, offset_, &QLineEdit::setEnabled);
    auto* fixed = new QHBoxLayout;
    fixed->addWidget(fixedOffset_);
    fixed->addWidget(offset_);
    auto* zone = new QVBoxLayout;
    zone->addWidget(machineZone_);
    zone->addLayout(fixed);
    form->addRow("Times:", zone);

    note_ = new QLabel(this);
    note_->setObjectName("ExportNote");
    note_->setStyleSheet("color: #b00000");
    note_->setWordWrap(true);
    layout->addWidget(note_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("&Export");
    connect(buttons, &QDialogButtonBox::accepted, this, &ExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString ExportDialog::note() const {
    return note_->text();
}

void ExportDialog::accept() {
    const QList<QByteArray>& files = engine_.loader().loadedFiles();
    if (files.isEmpty()) {
        refuse(kSaveFirst);
        tell(kSaveFirst);
        return;
    }
    std::optional<UtcOffsetRule> rule = UtcOffsetRule::MachineZone();
    if (fixedOffset_->isChecked())
        rule = UtcOffsetRule::Fixed(offset_->text().trimmed().toLatin1());
    if (!rule) {
        refuse("The offset must read +HH:MM or -HH:MM, such as +01:00.");
        return;
    }
    note_->clear();
    const FormatChoice& choice = kChoices[format_->currentIndex()];
    const std::optional<QByteArray> path = engine_.dialogs().saveExportFile(
        choice.filter, QString(ExportFileSuffix(choice.format)).mid(1));
    if (!path) return;
    const auto today = DecodeDateTime(engine_.clock().now());
    const ExportSources sources(files, today ? today->year : 2000, *rule);
    ExportOutcome outcome;
    if (sources.failure().isEmpty())
        outcome = ExportToFile(sources.files(), choice.format, *path);
    else
        outcome.failure = QString::fromLocal8Bit(sources.failure());
    const QString file = QFile::decodeName(*path);
    if (!outcome.ok()) {
        refuse(outcome.failure);
        tell("Nothing exported. " + outcome.failure);
        return;
    }
    tell(ExportedText(outcome, choice.format, file));
    QDialog::accept();
}

void ExportDialog::tell(const QString& status) {
    engine_.state().Edit1.setText(status.toLatin1());
}

void ExportDialog::refuse(const QString& why) {
    note_->setText(why);
}

} // namespace zantrel
