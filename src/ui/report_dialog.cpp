#include "ui/report_dialog.h"

#include "chart/readings_store.h"
#include "chart/statistics_report.h"
#include "chart/statistics_settings.h"
#include "chart/stored_statistics_settings.h"
#include "core/dialogs.h"
#include "core/state.h"
#include "engine/engine.h"
#include "report/compliance_report.h"
#include "ui/print_view.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

namespace zantrel {

namespace {

// A limit in Celsius as the fields show it in a unit: its shortest form to 4 decimals.
QString Shown(const std::optional<double>& celsius, bool fahrenheit) {
    if (!celsius) return {};
    const double value = std::round(ToShownUnit(*celsius, fahrenheit) * 1e4) / 1e4;
    return QString::fromLatin1(SettingNumber(value));
}

// The limit typed in a unit, in Celsius to the millionth; empty for none; nothing when the
// text is not a number.
std::optional<std::optional<double>> Typed(const QLineEdit* edit, bool fahrenheit) {
    const QString text = edit->text().trimmed();
    if (text.isEmpty()) return std::optional<double>();
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return std::optional<double>(std::round(FromShownUnit(value, fahrenheit) * 1e6) / 1e6);
}

} // namespace

ReportDialog::ReportDialog(Engine& engine, PrintView& print, QWidget* parent)
    : QDialog(parent), engine_(engine), print_(print) {
    setObjectName("Report");
    setWindowTitle("Report");
    buildFields();
    const StatisticsOptions& band = engine_.statisticsSettings().options();
    shownFahrenheit_ = engine_.state().TempInF.checked();
    unit_->setCurrentIndex(shownFahrenheit_ ? 1 : 0);
    low_->setText(Shown(band.low, shownFahrenheit_));
    high_->setText(Shown(band.high, shownFahrenheit_));
    delay_->setValue(static_cast<int>(std::lround(band.delayMinutes)));
    connect(unit_, &QComboBox::currentIndexChanged, this, &ReportDialog::unitChanged);
}

void ReportDialog::buildFields() {
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    auto edit = [this](const char* name, const QString& placeholder) {
        auto* field = new QLineEdit(this);
        field->setObjectName(name);
        field->setPlaceholderText(placeholder);
        return field;
    };
    low_ = edit("ReportLowLimit", "none");
    high_ = edit("ReportHighLimit", "none");
    unit_ = new QComboBox(this);
    unit_->setObjectName("ReportUnit");
    unit_->addItems({"Celsius (C)", "Fahrenheit (F)"});
    delay_ = new QSpinBox(this);
    delay_->setObjectName("ReportDelay");
    delay_->setRange(0, kMaxDelayMinutes);
    delay_->setSuffix(" min");
    reviewer_ = edit("ReportReviewer", "none: lines to sign by hand");
    meaning_ = edit("ReportMeaning", "e.g. Reviewed and approved");
    for (QLineEdit* text : {reviewer_, meaning_})
        text->setMinimumWidth(240);
    form->addRow("&Unit:", unit_);
    form->addRow("&Low limit:", low_);
    form->addRow("&High limit:", high_);
    form->addRow("&Delay:", delay_);
    form->addRow("&Reviewer:", reviewer_);
    form->addRow("&Meaning:", meaning_);

    auto* output = new QHBoxLayout;
    pdf_ = new QRadioButton("&PDF file", this);
    pdf_->setObjectName("ReportToPdf");
    printer_ = new QRadioButton("Pri&nter", this);
    printer_->setObjectName("ReportToPrinter");
    pdf_->setChecked(true);
    output->addWidget(pdf_);
    output->addWidget(printer_);
    output->addStretch(1);
    form->addRow("To:", output);

    note_ = new QLabel(this);
    note_->setObjectName("ReportNote");
    note_->setStyleSheet("color: #b00000");
    note_->setWordWrap(true);
    layout->addWidget(note_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("&Make Report");
    connect(buttons, &QDialogButtonBox::accepted, this, &ReportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString ReportDialog::note() const {
    return note_->text();
}

bool ReportDialog::fahrenheit() const {
    return unit_->currentIndex() == 1;
}

// The limits typed stay the same temperatures in the other unit.
void ReportDialog::unitChanged() {
    for (QLineEdit* edit : {low_, high_})
        if (const auto celsius = Typed(edit, shownFahrenheit_))
            edit->setText(Shown(*celsius, fahrenheit()));
    shownFahrenheit_ = fahrenheit();
}

std::optional<ReportOptions> ReportDialog::readOptions() {
    const auto low = Typed(low_, fahrenheit());
    const auto high = Typed(high_, fahrenheit());
    if (!low || !high) {
        refuse("A limit is a number, or empty for none.");
        return std::nullopt;
    }
    if (*low && *high && **low > **high) {
        refuse("The low limit must not be above the high limit.");
        return std::nullopt;
    }
    ReportOptions options;
    options.figures = engine_.statisticsSettings().options();
    options.figures.low = *low;
    options.figures.high = *high;
    options.figures.humidity = engine_.state().RHZL.checked();
    options.figures.delayMinutes = delay_->value();
    options.fahrenheit = fahrenheit();
    options.reviewer = reviewer_->text().trimmed();
    options.meaning = meaning_->text().trimmed();
    if (options.reviewer.isEmpty() && !options.meaning.isEmpty()) {
        refuse("The meaning of a review needs the reviewer's name.");
        return std::nullopt;
    }
    return options;
}

void ReportDialog::accept() {
    const std::optional<ReportOptions> options = readOptions();
    if (!options) return;
    if (engine_.readings().ReadingTimes.empty()) {
        refuse("The chart has no readings to report.");
        return;
    }
    note_->clear();
    if (printer_->isChecked() ? print(*options) : writePdf(*options)) QDialog::accept();
}

bool ReportDialog::writePdf(const ReportOptions& options) {
    const std::optional<QByteArray> path = engine_.dialogs().saveReportFile();
    if (!path) return false;
    const QString file = QFile::decodeName(*path);
    const QString failure = WriteComplianceReportPdf(engine_, options, file);
    if (!failure.isEmpty()) {
        refuse(failure);
        tell("No report written. " + failure);
        return false;
    }
    tell("Report saved to " + file + ".");
    return true;
}

// Portrait, whatever the printer was last set to for the chart.
bool ReportDialog::print(const ReportOptions& options) {
    if (!engine_.dialogs().print()) return false;
    QPrinter& printer = print_.printer();
    const QPageLayout::Orientation remembered = printer.pageLayout().orientation();
    printer.setPageOrientation(QPageLayout::Portrait);
    const QString failure = PaintComplianceReport(engine_, options, printer);
    printer.setPageOrientation(remembered);
    if (!failure.isEmpty()) {
        refuse(failure);
        tell("No report printed. " + failure);
        return false;
    }
    tell("Report sent to the printer.");
    return true;
}

void ReportDialog::tell(const QString& status) {
    engine_.state().Edit1.setText(status.toLatin1());
}

void ReportDialog::refuse(const QString& why) {
    note_->setText(why);
}

} // namespace zantrel
