#include "ui/statistics_limits_view.h"

#include "chart/statistics_report.h"
#include "chart/statistics_settings.h"
#include "chart/stored_statistics_settings.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <cmath>

namespace zantrel {

namespace {

// To that many decimals, as the nearest binary number to the decimal one.
double Rounded(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

// The number typed, when it is one.
std::optional<double> Typed(const QLineEdit* edit) {
    bool ok = false;
    const double value = edit->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace

StatisticsLimitsView::StatisticsLimitsView(StoredStatisticsSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    auto field = [this, grid](int row, const char* label, const char* name, QLabel*& unit) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setMaximumWidth(90);
        auto* caption = new QLabel(label, this);
        caption->setBuddy(edit);
        unit = new QLabel(this);
        grid->addWidget(caption, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(unit, row, 2);
        return edit;
    };
    QLabel* energyUnit = nullptr;
    low_ = field(0, "&Low limit:", "LowLimit", lowUnit_);
    high_ = field(1, "&High limit:", "HighLimit", highUnit_);
    energy_ = field(2, "&Activation energy:", "ActivationEnergy", energyUnit);
    energyUnit->setText("kJ/mol");
    low_->setPlaceholderText("none");
    high_->setPlaceholderText("none");
    // Beside the limits: how long readings must stay outside them to make an excursion.
    delay_ = new QSpinBox(this);
    delay_->setObjectName("ExcursionDelay");
    delay_->setRange(0, kMaxDelayMinutes);
    delay_->setSuffix(" min");
    delay_->setKeyboardTracking(false);
    auto* delayCaption = new QLabel("&Delay:", this);
    delayCaption->setBuddy(delay_);
    grid->addWidget(delayCaption, 0, 3);
    grid->addWidget(delay_, 0, 4);
    note_ = new QLabel(this);
    note_->setObjectName("StatisticsNote");
    note_->setStyleSheet("color: #b00000");
    note_->setWordWrap(true);
    grid->addWidget(note_, 3, 0, 1, 6);
    grid->setColumnStretch(5, 1);

    connect(low_, &QLineEdit::editingFinished, this,
            [this] { limitEdited(low_, &StatisticsOptions::low); });
    connect(high_, &QLineEdit::editingFinished, this,
            [this] { limitEdited(high_, &StatisticsOptions::high); });
    connect(energy_, &QLineEdit::editingFinished, this, &StatisticsLimitsView::energyEdited);
    connect(delay_, &QSpinBox::valueChanged, this, &StatisticsLimitsView::delayEdited);
    showOptions();
}

const StatisticsOptions& StatisticsLimitsView::options() const {
    return settings_.options();
}

void StatisticsLimitsView::setFahrenheit(bool on) {
    if (fahrenheit_ == on) return;
    fahrenheit_ = on;
    showOptions();
}

QString StatisticsLimitsView::note() const {
    return note_->text();
}

void StatisticsLimitsView::showOptions() {
    const QString unit = fahrenheit_ ? "F" : "C";
    lowUnit_->setText(unit);
    highUnit_->setText(unit);
    auto shown = [this](const std::optional<double>& celsius) {
        return celsius ? QString::fromLatin1(
                             SettingNumber(Rounded(ToShownUnit(*celsius, fahrenheit_), 4)))
                       : QString();
    };
    low_->setText(shown(options().low));
    high_->setText(shown(options().high));
    energy_->setText(QString::fromLatin1(SettingNumber(options().activationEnergy)));
    const QSignalBlocker quiet(delay_);
    delay_->setValue(static_cast<int>(std::lround(options().delayMinutes)));
}

void StatisticsLimitsView::limitEdited(QLineEdit* edit,
                                       std::optional<double> StatisticsOptions::*limit) {
    StatisticsOptions next = options();
    if (edit->text().trimmed().isEmpty()) {
        next.*limit = std::nullopt;
    } else if (const auto typed = Typed(edit)) {
        // Kept in Celsius to the millionth, so that a limit typed in Fahrenheit reads back
        // as typed.
        next.*limit = Rounded(FromShownUnit(*typed, fahrenheit_), 6);
    } else {
        refuse("A limit is a number, or empty for none.");
        return;
    }
    if (next.low && next.high && *next.low > *next.high) {
        refuse("The low limit must not be above the high limit.");
        return;
    }
    accept(next);
}

void StatisticsLimitsView::energyEdited() {
    const auto typed = Typed(energy_);
    if (!typed || *typed <= 0) {
        refuse("The activation energy is a positive number of kJ/mol.");
        return;
    }
    StatisticsOptions next = options();
    next.activationEnergy = *typed;
    accept(next);
}

void StatisticsLimitsView::delayEdited(int minutes) {
    StatisticsOptions next = options();
    next.delayMinutes = minutes;
    accept(next);
}

void StatisticsLimitsView::accept(const StatisticsOptions& options) {
    const bool changed =
        ComposeStatisticsSettings(options) != ComposeStatisticsSettings(this->options());
    if (!changed) {
        note_->clear();
        showOptions();
        return;
    }
    const bool written = settings_.set(options);
    showOptions();
    note_->setText(written ? QString()
                           : QString("The settings could not be written to %1.")
                                 .arg(QString::fromLocal8Bit(settings_.path())));
    emit optionsChanged();
}

void StatisticsLimitsView::refuse(const QString& why) {
    note_->setText(why);
    showOptions();
}

} // namespace zantrel
