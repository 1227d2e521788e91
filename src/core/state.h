#pragma once

#include "core/control.h"
#include "core/flag.h"
#include "core/text_slot.h"
#include "core/timestamp.h"

#include <QByteArray>
#include <array>
#include <atomic>

namespace zantrel {

// The caption the main window is designed with; it carries the version.
extern const char* const kDesignedCaption;
inline constexpr const char* kDefaultDateFormat = "mm/dd/yyyy hh:mm:ss";

// Items of the upload range radio group.
enum RangeItem { RangeAllData = 0, RangeLastMonth = 1, RangeLastWeek = 2, RangeCustom = 3 };

// The three fields of a user-information dialog, and whether the dialog is shown.
struct UserInfoFields {
    Control UserInfo;     // "User Name:"
    Control UserLocation; // "User Location:"
    Control ZLInfo;       // "Zantrel ID:"
    Control Shown{{}, true, false};
};

// Every named flag, text slot and control state of the main window, and the program's
// shared values. Subsystems hold a reference to it and signal each other through it.
struct State {
    // Flags.
    Flag Startloadingheader;
    Flag Headerloaded;
    Flag Startloadingdata;
    Flag Errorindata;
    Flag WaitingForAck;
    Flag Readyfornextblock;
    Flag WaitOnFastAck;
    Flag FastBaud;
    Flag RHZL;
    Flag DataLoaded;
    Flag InitAutoload;
    Flag FreshData{true};
    Flag FileEncryptFlag;
    // The chart holds readings that no file holds yet: from an upload by hand, or merged from
    // several files.
    Flag UnsavedReadings;

    // Text slots.
    TextSlot Memo1; // next-block slot
    TextSlot Memo2; // header slot
    TextSlot Memo3; // bytes received outside any phase
    TextSlot Memo5; // packet slot (hexadecimal text)
    TextSlot COMPORT;
    TextSlot DATEFORMAT{kDefaultDateFormat};
    TextSlot ThisAppDir;
    TextSlot UserInformationBox;
    TextSlot Edit1; // status line
    TextSlot Edit2; // automatic-download file
    TextSlot Firstdate, Firsttime, Lastdate, Lasttime;
    TextSlot Samplesperhour;
    TextSlot Datastored;
    // "incomplete: n of m readings" after an upload was aborted with readings still to come;
    // empty otherwise.
    TextSlot UploadIncomplete;
    TextSlot AutoClock;
    // When the next automatic download is due, in the clock's steady seconds, beside the
    // AutoClock text, so the reader never parses text and a clock set moves no due time...
    std::atomic<double> AutoClockTime{0};
    // ...and the wall date-time (day count) the AutoClock text shows for it.
    std::atomic<double> AutoClockWall{0};

    Timestamp Watchdog;

    // Window caption.
    Control Caption{kDesignedCaption};

    // Upload panel.
    Control upload_range_group; // value() is the selected item (RangeItem)
    Control Startdate{{}, false}, Starttime{{}, false}, Enddate{{}, false}, Endtime{{}, false};
    Control RadioButton1{"Channel 1", true, true, true};
    Control RadioButton2{"Channel 2"};
    Control UploadData{"Upload Data"};
    Control AbortUpload{"Abort Upload", false};

    // Chart preferences panel.
    Control TempInF{"Show Temp in F", true, true, true};
    Control AutoScale{"Auto Scale", true, true, true};
    Control MaxTemp{"100", false};
    Control MinTemp{"0", false};

    // Secure-data indicator and the automatic-download clock on the status line.
    Control SecureData{" Secure Data ", true, false};
    Control LockImage{{}, true, false};
    Control TextForNextAuto{"Next Auto Download:", true, false};
    Control AutoClockBox{{}, true, false};

    // Progress of an upload: value() readings received, text() unused; range in ProgressTotal,
    // which is 0 (a busy bar) until the header has told how many readings are coming.
    Control Progress{{}, true, false};
    int ProgressTotal = 0;

    // Menus.
    Control COMM{"Serial Port (COM1)"};
    Control C1{"Channel 1", true, true, true};
    Control C2{"Channel 2", true, true, true};
    Control AutoOff{"Off", true, true, true};
    Control Auto1hour{"1 hour"}, Auto4hours{"4 hours"}, Auto8hrs{"8 hours"}, Auto24hrs{"24 hours"},
        Auto7day{"7 days"}, Auto30day{"30 days"};
    std::array<Control, 8> DateFormatItems;
    Control DiagnosticsMode{"Diagnostics Mode"};

    // The user-information editor and the verification dialog.
    UserInfoFields Form4;
    UserInfoFields Form5;

    // Tray icon present (the two hidden buttons serve only as this state).
    Control TrayIconShown{{}, true, false};

    // Program globals.
    QByteArray BaseCaption;
    QByteArray CaptionSuffix;
    QByteArray UserName, UserLocation, UnitId, SoftwareVersion;
    std::atomic<int> LoggerVersion{-1};
    // Hexadecimal digits of the humidity field of a data record: 2 while RHZL is ticked.
    int RhHexDigits = 0;

    bool channel1Selected() const { return RadioButton1.checked(); }

    // The upload controls as they stand when no upload runs.
    void restoreIdleControls() {
        UploadData.setEnabled(true);
        AbortUpload.setEnabled(false);
        RadioButton1.setEnabled(true);
        RadioButton2.setEnabled(true);
    }
    // Leaves every phase of an upload, in this order: each flag's handler runs as it goes.
    void clearPhaseFlags() {
        Headerloaded.clear();
        Errorindata.clear();
        Startloadingdata.clear();
        Startloadingheader.clear();
        Readyfornextblock.clear();
        WaitingForAck.clear();
    }
};

} // namespace zantrel
