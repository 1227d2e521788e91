#pragma once

#include "files/scrambling.h"

#include <QByteArray>
#include <QByteArrayList>
#include <array>

namespace zantrel {

struct ReadingsStore;

// One download's rows as they go into the monthly files of a channel.
struct MonthlyDownload {
    QByteArray base;       // the path chosen for the monthly files
    int channel = 1;       // 1 or 2
    double start = 0;      // time of the first row, a whole second
    double interval = 0;   // between rows, in days
    bool humidity = false; // the channel records RH
    QByteArray dateFormat; // for files this download creates
    QByteArray userBlock;  // the four user lines of a new file's header
    double now = 0;        // creation time of new files
};

// What appending one download did.
struct MonthlyAppend {
    bool saved = false;
    // The chart files written, in month order; more than one when the rows crossed into
    // another month.
    QByteArrayList files;
};

// The chart files of automatic downloads, one per channel and month beside the chosen path
// ("T1200903site.csv" for channel 1, March 2009 and "site.csv"), each with its scrambled
// duplicate (".zlx"). A duplicate is scrambled from its first row to its last with one
// scrambling set; the set lives only as long as the program, so a program that finds a
// month's duplicate written by an earlier run continues in a numbered one ("_0.zxl", ...).
class MonthlyFiles {
  public:
    // The folder of base, "T", the channel digit, t as "yyyymm", then base's file name with
    // its extension (".csv" when it has none).
    static QByteArray MonthlyFileName(const QByteArray& base, int channel, double t);
    // The monthly file name with the extension ".zlx".
    static QByteArray MonthlyDuplicateName(const QByteArray& monthlyFile);
    // The n-th numbered duplicate beside a month's duplicate: "..._n.zxl".
    static QByteArray NumberedDuplicateName(const QByteArray& duplicate, int n);

    // The time of the newest row stored in the channel's monthly files for the months from
    // `first` to `last`; false when no file holds a row. lastFile names the file holding it.
    static bool LastStoredRow(const QByteArray& base, int channel, double first, double last,
                              int currentYear, double& row, QByteArray* lastFile = nullptr);

    // The first reading time on the logger's grid (first, first + interval, ...) after the
    // newest stored row: where the next download starts. `first` when nothing is stored;
    // with an interval of 0, the second after the stored row.
    static double ResumeTimeFromMonthlyFiles(const QByteArray& base, int channel, double first,
                                             double last, double interval, int currentYear,
                                             QByteArray* lastFile = nullptr);

    // Appends the readings as rows to the monthly chart files and duplicates, starting new
    // files where a month begins. Every file is written, flushed to the disk and closed
    // before this returns; when any write fails, every file is put back as it was and the
    // scrambling sets are left as they were, so the same readings can be stored again.
    MonthlyAppend Append(const MonthlyDownload& download, const ReadingsStore& readings);

  private:
    // The scrambling set of a channel and the duplicate it scrambles.
    struct ChannelSet {
        ScrambleState state;
        QByteArray duplicate; // empty while not started
    };
    struct Piece;

    ChannelSet chooseDuplicate(const ChannelSet& set, const QByteArray& duplicate) const;

    std::array<ChannelSet, 2> sets_;
};

} // namespace zantrel
