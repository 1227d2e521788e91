#include "report/report_blocks.h"

#include "chart/figure_tables.h"
#include "chart/statistics_report.h"
#include "report/compliance_report.h"
#include "report/page_flow.h"
#include "report/report_figures.h"
#include "report/report_table.h"
#include "report/report_text.h"
#include "zantrel_version.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace zantrel {

namespace {

constexpr double kLabelWidth = 130; // points

QString Text(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}

QString Time(double t, const ReportSource& source) {
    return Text(TimeText(t, source.datePattern));
}

QString Period(const TimeRange& period, const ReportSource& source) {
    return Time(period.from, source) + " to " + Time(period.to, source);
}

QString Band(const ReportOptions& options) {
    const StatisticsOptions& band = options.figures;
    const auto limit = [&options](double c) {
        return Text(TemperatureText(c, options.fahrenheit));
    };
    if (band.low && band.high) return limit(*band.low) + " to " + limit(*band.high);
    if (band.low) return "not below " + limit(*band.low);
    if (band.high) return "not above " + limit(*band.high);
    return "none given";
}

// A share in percent to two decimals, cut rather than rounded: only a whole record reads
// "100.00 %".
QString Percent(double share) {
    return QString::number(std::floor(share * 10000 + 1e-9) / 100, 'f', 2) + " %";
}

QString OrNone(const QByteArray& value) {
    return value.isEmpty() ? QString("-") : Text(value);
}

} // namespace

void DrawTitleBlock(PageFlow& flow, const ReportSource& source, const ReportFigures& figures,
                    const ReportOptions& options) {
    const QFont& title = flow.fonts().title;
    flow.text(0, flow.width(), title, "Temperature Compliance Report");
    flow.advance(flow.lineHeight(title) + 4);
    QStringList names;
    for (const QByteArray& file : source.files)
        names.append(QFileInfo(QString::fromLocal8Bit(file)).fileName());
    DrawFields(
        flow,
        {{"ZL ID", OrNone(source.unitId)},
         {"User name", OrNone(source.userName)},
         {"User location", OrNone(source.userLocation)},
         {"Period", Period(figures.period, source)},
         {"Allowed band", Band(options)},
         {"Excursion delay", QString::number(options.figures.delayMinutes) + " min"},
         {"Source files", names.isEmpty() ? QString("-") : names.join(", ")},
         {"Encrypted duplicates", source.allEncrypted ? "yes, every file" : "no, not every file"},
         {"Software", "Zantrel " ZANTREL_VERSION},
         {"Report made", Time(source.madeAt, source)}},
        kLabelWidth);
}

void DrawStatisticsBlock(PageFlow& flow, const ReportSource& source, const ReportFigures& figures,
                         const ReportOptions& options) {
    QList<ReportField> fields;
    const ChartStatistics& s = figures.statistics;
    for (const StatisticsLine& line :
         StatisticsLines(s, options.figures, options.fahrenheit, source.datePattern))
        fields.append({Text(line.label), Text(line.value)});
    if (options.figures.low || options.figures.high) {
        fields.append({"Excursions", QString::number(figures.excursions.periods.size())});
        if (options.figures.low)
            fields.append(
                {"Excursion time below", Text(DurationText(figures.excursions.hoursBelow))});
        if (options.figures.high)
            fields.append(
                {"Excursion time above", Text(DurationText(figures.excursions.hoursAbove))});
    }
    DrawHeading(flow, "Statistics", 3 * flow.lineHeight(flow.fonts().body));
    DrawFieldColumns(flow, fields, kLabelWidth);
    DrawFields(flow,
               {{"MKT window", s.readings ? Time(s.first, source) + " to " + Time(s.last, source)
                                          : QString("-")}},
               kLabelWidth);
}

void DrawExcursionBlock(PageFlow& flow, const ReportSource& source, const ReportFigures& figures,
                        const ReportOptions& options) {
    const bool band = options.figures.low || options.figures.high;
    DrawTable(flow, "Excursions",
              ExcursionTable(figures.excursions, options.fahrenheit, source.datePattern),
              band ? "None: every reading of the period lies inside the band."
                   : "None: no limit was given.");
}

void DrawEventsBlock(PageFlow& flow, const ReportSource& source, const ReportFigures& figures) {
    FigureTable alarms{{"Alarm", "Start", "End", "Duration"}, {}};
    for (const AlarmPeriod& a : figures.alarms) {
        const auto time = [&source](const std::optional<double>& t) {
            return t ? TimeText(*t, source.datePattern) : QByteArray("not recorded");
        };
        alarms.rows.append({a.start == TempAlarmStart ? "temperature" : "humidity", time(a.from),
                            time(a.to),
                            a.from && a.to ? DurationText((*a.to - *a.from) * 24) : "-"});
    }
    DrawTable(flow, "Alarm periods", alarms, "None.");
    static constexpr const char* kKinds[EventKindCount] = {"new sensor",
                                                           "temperature alarm start",
                                                           "humidity alarm start",
                                                           "temperature alarm end",
                                                           "humidity alarm end",
                                                           "test start",
                                                           "test end"};
    FigureTable events{{"Time", "Event"}, {}};
    for (const LoggerEvent& e : figures.events)
        events.rows.append({TimeText(e.time, source.datePattern), kKinds[e.kind]});
    DrawTable(flow, "Logger events", events, "None.");
}

void DrawDailyBlock(PageFlow& flow, const ReportSource& source, const ReportFigures& figures,
                    const ReportOptions& options) {
    DrawTable(flow, "Daily figures",
              DailyTable(figures.days, options.fahrenheit, source.datePattern),
              "None: the period holds no reading.");
}

void DrawIntegrityBlock(PageFlow& flow, const ReportSource& source, const ReportFigures& figures) {
    const DataIntegrity& d = figures.integrity;
    const auto count = [](std::size_t n) { return QString::number(qulonglong(n)); };
    const QList<ReportField> fields = {
        {"Period", Period(figures.period, source)},
        {"Storage interval", d.interval > 0 ? Text(DurationText(d.interval * 24)) : QString("-")},
        {"Readings expected", count(d.expected)},
        {"Readings present", count(d.present) + " (" + Percent(d.completeness()) + ")"},
        {"Gap readings", count(d.gaps)},
        {"Readings absent", count(d.absent)},
        {"Missing time in the period", Text(DurationText(d.missingHours))},
        {"Files refused", "none (a file that does not load stops the report)"}};
    DrawHeading(flow, "Data integrity", fields.size() * flow.lineHeight(flow.fonts().body));
    DrawFields(flow, fields, kLabelWidth);
}

void DrawReviewBlock(PageFlow& flow, const ReportSource& source, const ReportOptions& options) {
    const QFont& body = flow.fonts().body;
    const double line = flow.lineHeight(body);
    const double row = 2.2 * line; // room to write by hand
    const QStringList labels = {"Reviewed by", "Date", "Meaning", "Signature"};
    QStringList values;
    if (!options.reviewer.isEmpty())
        values = {options.reviewer, Time(source.madeAt, source),
                  options.meaning.isEmpty() ? QString("-") : options.meaning};
    DrawHeading(flow, "Review", labels.size() * row);
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const QStringList parts = i < values.size()
                                      ? flow.wrap(body, values[i], flow.width() - kLabelWidth)
                                      : QStringList{};
        flow.keep(row + line * std::max<qsizetype>(parts.size() - 1, 0));
        flow.advance(row - line);
        flow.text(0, kLabelWidth, flow.fonts().bold, labels[i]);
        if (parts.isEmpty()) flow.rule(kLabelWidth, flow.width(), flow.top() + line - 2);
        for (const QString& part : parts) {
            flow.text(kLabelWidth, flow.width() - kLabelWidth, body, part);
            flow.advance(line);
        }
        if (parts.isEmpty()) flow.advance(line);
    }
}

} // namespace zantrel
