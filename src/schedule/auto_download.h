#pragma once

#include "files/monthly_files.h"

#include <QByteArray>
#include <functional>

namespace zantrel {

class Clock;
class Host;
class SerialLink;
struct FormatSettings;
struct ReadingsStore;
struct State;

// One automatic download: its start when the schedule ticks InitAutoload, where it resumes,
// the storing of its readings in the monthly files when it completes, and the channel-2
// download that follows channel 1.
class AutoDownload {
  public:
    AutoDownload(State& state, const ReadingsStore& readings, SerialLink& link, Clock& clock,
                 Host& host);

    // Handler of InitAutoload.
    void InitAutoloadClick();
    // Handler of DataLoaded.
    void DataLoadedClick();
    // Where the download of the selected channel starts, given the logger's oldest and
    // newest reading: the first reading after the newest row of the monthly files.
    double ResumeTimeFromMonthlyFiles(double first, double last);

    MonthlyFiles& files() { return files_; }

    // Returns every flag and slot to the idle state.
    std::function<void()> ClearBuffer;
    // Told after each automatic download of a channel whether its rows were stored.
    std::function<void(int channel, bool stored)> downloadStored;

  private:
    // Runs whenever "Abort Upload" is enabled or disabled: an upload that ends other than
    // with "DATA LOADED" ends the automatic download it was.
    void uploadControlsChanged();
    // The reset and the port reopened at 19200, up to the header request.
    void startSession();
    void initAutoloadCleared(bool byError);
    bool uploadUnderWay() const;
    void storeReadings(int channel);
    void followWithChannel2();
    void makeDueNow();
    // After a download: the status it ended with and the next download's time, after prefix.
    void tipResult(const QByteArray& prefix = {});
    void SetTrayTip(const QByteArray& text);

    State& state_;
    const ReadingsStore& readings_;
    SerialLink& link_;
    Clock& clock_;
    Host& host_;
    MonthlyFiles files_;
    // The upload under way was started by the schedule.
    bool automatic_ = false;
    // A download fell due while an upload started by hand ran; it runs when that one ends.
    bool deferred_ = false;
    bool starting_ = false;
    // The monthly files already hold the logger's newest reading.
    bool upToDate_ = false;
    // InitAutoload is being cleared because Errorindata changed.
    bool clearedByError_ = false;
};

} // namespace zantrel
