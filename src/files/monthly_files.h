#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <memory>

namespace zantrel {

class MonthlyFilesLock;
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
    QByteArray unitId;     // the logger's ZL ID, as the user block gives it
    double now = 0;        // creation time of new files
};

// What appending one download did.
struct MonthlyAppend {
    bool saved = false;
    // The chart files written, in month order; more than one when the rows crossed into
    // another month.
    QByteArrayList files;
    // Why nothing was stored, when so.
    QByteArray failure;
};

// The chart files of automatic downloads, one per channel and month beside the chosen path
// ("T1200903site.csv" for channel 1, March 2009 and "site.csv"), each with its scrambled
// duplicate (".zlx"). The duplicates are the record the next download resumes from: a row
// counts as stored once it is in a duplicate. Each download continues the month's newest
// duplicate, its scrambling state read back from the file; a numbered one ("_0.zxl", ...)
// starts only where that state cannot be recovered.
class MonthlyFiles {
  public:
    MonthlyFiles();
    ~MonthlyFiles();

    // The folder of base, "T", the channel digit, t as "yyyymm", then base's file name with
    // its extension (".csv" when it has none).
    static QByteArray MonthlyFileName(const QByteArray& base, int channel, double t);
    // The monthly file name with the extension ".zlx".
    static QByteArray monthlyDuplicateName(const QByteArray& monthlyFile);
    // The n-th numbered duplicate beside a month's duplicate: "..._n.zxl".
    static QByteArray numberedDuplicateName(const QByteArray& duplicate, int n);

    // The first reading time on the logger's grid (first, first + interval, ...) after the
    // newest row the channel's duplicates hold for the months from `first` to `last`: where
    // the next download starts. `first` when nothing is stored; with an interval of 0, the
    // second after the stored row. lastFile names the monthly chart file of that row.
    static double ResumeTimeFromMonthlyFiles(const QByteArray& base, int channel, double first,
                                             double last, double interval, int currentYear,
                                             QByteArray* lastFile = nullptr);

    // Appends the readings as rows to the monthly chart files and duplicates, starting new
    // files where a month begins, after repairing what a crash left at their ends: rows the
    // duplicate lacks and a line cut short go, a missing header is written. Files that are
    // not this series' chart files, another logger's and links are refused and left as they
    // are. Every file is flushed to the disk before this returns; when any write fails, the
    // files are put back, so the same readings can be stored again. Holds the lock of the
    // monthly files from the first append on.
    MonthlyAppend append(const MonthlyDownload& download, const ReadingsStore& readings);

  private:
    std::shared_ptr<MonthlyFilesLock> lock_;
};

} // namespace zantrel
