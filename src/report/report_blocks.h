#pragma once

#include <QByteArray>
#include <QList>

namespace zantrel {

class PageFlow;
struct ReportFigures;
struct ReportOptions;

// Where a report's readings came from and when it was made.
struct ReportSource {
    QByteArray unitId, userName, userLocation;
    QList<QByteArray> files;   // in the order merged
    bool allEncrypted = false; // every file was an encrypted duplicate
    QByteArray datePattern;    // how times are written (the Date Format menu's pattern)
    double madeAt = 0;         // day count
};

// The report's title and what it covers: ZL ID, user, software version, period, band and
// delay, the source files and whether every one was an encrypted duplicate, when it was made.
void DrawTitleBlock(PageFlow& flow, const ReportSource& source, const ReportFigures& figures,
                    const ReportOptions& options);

// The figures of the period in two columns, with the mean kinetic temperature's window and the
// time the excursions add up to.
void DrawStatisticsBlock(PageFlow& flow, const ReportSource& source, const ReportFigures& figures,
                         const ReportOptions& options);

// The excursions, or why there are none to list.
void DrawExcursionBlock(PageFlow& flow, const ReportSource& source, const ReportFigures& figures,
                        const ReportOptions& options);

// The alarm periods (each start with its end) and every event the logger recorded.
void DrawEventsBlock(PageFlow& flow, const ReportSource& source, const ReportFigures& figures);

// The figures of each day.
void DrawDailyBlock(PageFlow& flow, const ReportSource& source, const ReportFigures& figures,
                    const ReportOptions& options);

// Readings expected from the period and the storage interval against those present.
void DrawIntegrityBlock(PageFlow& flow, const ReportSource& source, const ReportFigures& figures);

// Who reviewed the record, when, and what the review means: printed when a reviewer is given,
// else lines to fill in by hand; a line to sign under either.
void DrawReviewBlock(PageFlow& flow, const ReportSource& source, const ReportOptions& options);

} // namespace zantrel
