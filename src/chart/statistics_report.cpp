#include "chart/statistics_report.h"

#include "chart/statistics_settings.h"
#include "core/calendar.h"
#include "core/date_rendering.h"

#include <cmath>

namespace zantrel {

namespace {

const QByteArray kNone = "-";

QByteArray Fixed(double value, int decimals) {
    return QByteArray::number(value, 'f', decimals);
}

// Builds the lines of one set of figures.
class LineWriter {
  public:
    LineWriter(const ChartStatistics& s, bool fahrenheit, const QByteArray& datePattern)
        : s_(s), fahrenheit_(fahrenheit), unit_(fahrenheit ? " F" : " C"),
          datePattern_(datePattern) {}

    void add(const QByteArray& label, const QByteArray& value) { lines_.append({label, value}); }
    void count(const QByteArray& label, std::size_t n) {
        add(label, QByteArray::number(qulonglong(n)));
    }
    void time(const QByteArray& label, double t, bool known) {
        add(label, known ? TimeText(t, datePattern_) : kNone);
    }
    void temperature(const QByteArray& label, std::optional<double> celsius) {
        add(label, celsius ? TemperatureText(*celsius, fahrenheit_) : kNone);
    }
    // A spread: degrees without the offset of the scale.
    void spread(const QByteArray& label, double celsius, bool known) {
        add(label, known ? Fixed(fahrenheit_ ? celsius * 1.8 : celsius, 2) + unit_ : kNone);
    }
    void humidity(const QByteArray& label, double percent, bool known) {
        add(label, known ? Fixed(percent, 2) + " %RH" : kNone);
    }
    void excursion(const char* side, double limit, const Excursion& e, double share) {
        const QByteArray band = QByteArray(side) + " " + TemperatureText(limit, fahrenheit_);
        add("Time " + band, DurationText(e.hours));
        add("Readings " + band, s_.readings ? Fixed(share * 100, 1) + " %" : kNone);
    }
    QList<StatisticsLine> lines() const { return lines_; }

  private:
    const ChartStatistics& s_;
    bool fahrenheit_;
    QByteArray unit_;
    QByteArray datePattern_;
    QList<StatisticsLine> lines_;
};

} // namespace

QByteArray TemperatureText(double celsius, bool fahrenheit) {
    return Fixed(ToShownUnit(celsius, fahrenheit), 2) + (fahrenheit ? " F" : " C");
}

QByteArray DurationText(double hours) {
    const auto seconds = static_cast<long long>(std::llround(hours * 3600));
    return QByteArray::number(seconds / 3600) + ':' +
           QByteArray::number(seconds / 60 % 60).rightJustified(2, '0') + ':' +
           QByteArray::number(seconds % 60).rightJustified(2, '0');
}

QByteArray TimeText(double t, const QByteArray& datePattern) {
    return FormatDateTime(datePattern, RoundToSecond(t));
}

double ToShownUnit(double celsius, bool fahrenheit) {
    return fahrenheit ? celsius * 1.8 + 32 : celsius;
}

double FromShownUnit(double shown, bool fahrenheit) {
    return fahrenheit ? (shown - 32) / 1.8 : shown;
}

QList<StatisticsLine> StatisticsLines(const ChartStatistics& s, const StatisticsOptions& options,
                                      bool fahrenheit, const QByteArray& datePattern) {
    LineWriter w(s, fahrenheit, datePattern);
    const bool any = s.readings > 0;
    auto ifAny = [any](double v) { return any ? std::optional<double>(v) : std::nullopt; };
    w.time("From", s.first, any);
    w.time("To", s.last, any);
    w.count("Readings", s.readings);
    w.count("Gaps", s.gaps);
    w.add("Missing time", DurationText(s.missingHours));
    w.temperature("Lowest", ifAny(s.minimum.value));
    w.time("Lowest at", s.minimum.time, any);
    w.temperature("Highest", ifAny(s.maximum.value));
    w.time("Highest at", s.maximum.time, any);
    w.temperature("Mean", ifAny(s.mean));
    w.spread("Standard deviation", s.stdev, any);
    w.temperature("Mean kinetic temperature", any ? s.mkt : std::nullopt);
    w.add("Activation energy", SettingNumber(options.activationEnergy) + " kJ/mol");
    if (options.low) w.excursion("below", *options.low, s.below, s.shareBelow());
    if (options.high) w.excursion("above", *options.high, s.above, s.shareAbove());
    if (s.hasHumidity) {
        const bool rh = s.humidityReadings > 0;
        w.humidity("Lowest humidity", s.humidityMinimum.value, rh);
        w.humidity("Highest humidity", s.humidityMaximum.value, rh);
        w.humidity("Mean humidity", s.humidityMean, rh);
    }
    return w.lines();
}

} // namespace zantrel
