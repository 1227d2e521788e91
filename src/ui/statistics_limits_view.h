#pragma once

#include "chart/chart_statistics.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QSpinBox;

namespace zantrel {

class StoredStatisticsSettings;

// The settings of the statistics: the lower and upper limit in the unit the chart shows
// (empty for no limit), the delay of an excursion in minutes and the activation energy of the
// mean kinetic temperature. They are kept in Celsius in the program's stored settings, which
// write the settings file after each accepted edit; an edit that does not make sense is
// refused with a note and its field shows the setting again.
class StatisticsLimitsView : public QWidget {
    Q_OBJECT
  public:
    explicit StatisticsLimitsView(StoredStatisticsSettings& settings, QWidget* parent = nullptr);

    const StatisticsOptions& options() const;
    // Shows the limits in Fahrenheit or Celsius.
    void setFahrenheit(bool on);
    // The note under the fields: why an edit was refused or the file not written.
    QString note() const;

    QLineEdit* lowEdit() const { return low_; }
    QLineEdit* highEdit() const { return high_; }
    QLineEdit* energyEdit() const { return energy_; }
    QSpinBox* delayBox() const { return delay_; }

  signals:
    void optionsChanged();

  private:
    void showOptions();
    void limitEdited(QLineEdit* edit, std::optional<double> StatisticsOptions::*limit);
    void energyEdited();
    void delayEdited(int minutes);
    void accept(const StatisticsOptions& options);
    void refuse(const QString& why);

    StoredStatisticsSettings& settings_;
    bool fahrenheit_ = false;
    QLineEdit* low_ = nullptr;
    QLineEdit* high_ = nullptr;
    QLineEdit* energy_ = nullptr;
    QSpinBox* delay_ = nullptr;
    QLabel* lowUnit_ = nullptr;
    QLabel* highUnit_ = nullptr;
    QLabel* note_ = nullptr;
};

} // namespace zantrel
