// The header record played into the engine the way the reader delivers it: both formats,
// every check and its status text, the published channel, the upload range and the
// hand-over to the block loop.
#include "core/calendar.h"
#include "core/channel_header.h"
#include "core/date_parsing.h"
#include "core/date_rendering.h"
#include "core/format_settings.h"
#include "core/state.h"
#include "protocol/header_record.h"
#include "protocol/upload_blocks.h"
#include "protocol_engine.h"

#include <QtTest>
#include <cmath>
#include <optional>

using namespace zantrel;

namespace {

constexpr const char* kHeaderError = "ERROR IN HEADER DATA.  UPLOAD CANCELLED.";
constexpr const char* kLoadedStatus = "HEADER LOADED...PLEASE WAIT...";
constexpr const char* kStartOutOfRange = "UPLOAD CANCELLED - Start date or time out of range";
constexpr const char* kEndOutOfRange = "UPLOAD CANCELLED - End date or time out of range";

QByteArray Fixture(const QByteArray& name) {
    QFile file(QStringLiteral(ZANTREL_TEST_DATA "/headers/") + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly)) qFatal("missing fixture %s", name.constData());
    return file.readAll();
}

int VersionOf(const QByteArray& fixture) {
    return fixture.startsWith("v2") ? 2 : 1;
}

// The fixture with the first occurrence of from replaced.
QByteArray Edited(const QByteArray& fixture, const QByteArray& from, const QByteArray& to) {
    QByteArray text = Fixture(fixture);
    const qsizetype at = text.indexOf(from);
    if (at < 0) qFatal("%s not in %s", from.constData(), fixture.constData());
    return text.replace(at, from.size(), to);
}

// v2_t.txt with other newest and oldest readings of channel 1 ("mm/dd/yy hh:mm:ss").
QByteArray WithReadings(const QByteArray& newest, const QByteArray& oldest) {
    const QByteArray lines =
        newest.left(8) + "\r\n" + newest.mid(9) + "\r\n" + oldest.left(8) + "\r\n" + oldest.mid(9);
    return Edited("v2_t.txt", "03/10/09\r\n14:00:00\r\n01/05/09\r\n08:30:15", lines);
}

double At(const QByteArray& text) {
    return *ParseDateTime(text, "mm/dd/yy", 2010);
}

QByteArray PickerText(const Control& date, const Control& time) {
    return FormatDateTime("mm/dd/yy hh:mm:ss", PickerDateTime(date, time));
}

void SetPickers(Control& date, Control& time, double t) {
    date.setValue(std::floor(t));
    time.setValue(t - std::floor(t));
}

// The four separators and the short date format as one text.
QByteArray Formats(const FormatSettings& f) {
    const char separators[] = {f.decimalSeparator, f.thousandSeparator, f.dateSeparator,
                               f.timeSeparator, ' '};
    return QByteArray(separators, sizeof separators) + f.shortDateFormat;
}
constexpr const char* kRegionalFormats = ",.-. dd-mm-yyyy";

// What the block loop finds when "<>" arrives.
struct HandOver {
    bool errorindata;
    QByteArray status;
    QByteArray start, end;
    bool controlsLocked; // Upload Data and the channels disabled, Abort Upload enabled
    QByteArray formats;
};

// A portless engine with regional formats unlike the header's that notes what the block
// loop finds when "<>" arrives.
struct Session : PortlessEngine {
    std::optional<HandOver> handOver;
    bool actedEarly = false;

    Session() {
        FormatSettings& f = engine->formats();
        f.decimalSeparator = ',';
        f.thousandSeparator = '.';
        f.dateSeparator = '-';
        f.timeSeparator = '.';
        f.shortDateFormat = "dd-mm-yyyy";
        State& s = state();
        s.Memo1.setText("x"); // so that the hand-over's empty text shows
        memo1.clear();
        s.Memo1.subscribe([this, &s, &f] {
            if (s.Memo1.text() != "<>") return;
            handOver = HandOver{s.Errorindata.checked(),
                                s.Edit1.text(),
                                PickerText(s.Startdate, s.Starttime),
                                PickerText(s.Enddate, s.Endtime),
                                !s.UploadData.enabled() && s.AbortUpload.enabled() &&
                                    !s.RadioButton1.enabled() && !s.RadioButton2.enabled(),
                                Formats(f)};
        });
    }

    ChannelHeader& channel(int n) { return engine->header().Channels[n - 1]; }

    // The reader's way: header phase, version, the text in deliveries of up to 50 bytes,
    // Headerloaded, then the closing CR LF.
    void play(int version, const QByteArray& header) {
        State& s = state();
        s.Startloadingheader.tick();
        s.LoggerVersion = version;
        for (qsizetype at = 0; at < header.size(); at += 50) {
            s.Memo2.append(header.mid(at, 50));
            actedEarly = actedEarly || s.AbortUpload.enabled() || !memo1.isEmpty();
        }
        s.Headerloaded.tick();
        s.Edit1.setText(kLoadedStatus);
        s.Memo2.append("\r\n");
    }
    void play(const QByteArray& fixture) { play(VersionOf(fixture), Fixture(fixture)); }
};

void ExpectHandedOver(Session& s) {
    QVERIFY(!s.actedEarly);
    QVERIFY(s.handOver.has_value());
    // An empty text first, then the hand-over, once.
    QCOMPARE(s.memo1, (QList<QByteArray>{"", "<>"}));
    QVERIFY(!s.handOver->errorindata);
    QCOMPARE(s.handOver->status, QByteArray(kLoadedStatus));
    QVERIFY(s.handOver->controlsLocked);
    // The block loop runs with the header's formats still installed.
    QCOMPARE(s.handOver->formats, QByteArray(".,/: mm/dd/yy"));
    QCOMPARE(Formats(s.engine->formats()), QByteArray(kRegionalFormats));
}

void ExpectCancelled(Session& s, const QByteArray& status) {
    State& st = s.state();
    QCOMPARE(st.Edit1.text(), status);
    QVERIFY(st.Errorindata.checked());
    QVERIFY(st.UploadData.enabled() && !st.AbortUpload.enabled());
    QVERIFY(st.RadioButton1.enabled() && st.RadioButton2.enabled());
    QVERIFY(s.memo1.isEmpty());
    QCOMPARE(Formats(s.engine->formats()), QByteArray(kRegionalFormats));
}

} // namespace

class HeaderRecordTest : public QObject {
    Q_OBJECT
  private slots:
    void onlyTheCompleteHeaderOfAHeaderPhaseIsParsed() {
        Session outsidePhase;
        State& s = outsidePhase.state();
        s.LoggerVersion = 2;
        s.Headerloaded.tick();
        s.Memo2.append(Fixture("v2_t.txt"));
        QVERIFY(!s.AbortUpload.enabled());
        QVERIFY(outsidePhase.channel(1).Model.isEmpty());

        Session afterError;
        afterError.state().Errorindata.tick();
        afterError.play("v2_t.txt");
        QVERIFY(!afterError.state().AbortUpload.enabled());
        QVERIFY(afterError.memo1.isEmpty());
    }

    void version2TemperatureChannels() {
        Session s;
        s.play("v2_t.txt");
        ExpectHandedOver(s);
        State& st = s.state();
        QCOMPARE(st.Samplesperhour.text(), QByteArray("240"));
        QCOMPARE(st.Firstdate.text() + st.Firsttime.text(), QByteArray("01/05/0908:30:15"));
        QCOMPARE(st.Lastdate.text() + st.Lasttime.text(), QByteArray("03/10/0914:00:00"));
        QCOMPARE(st.Datastored.text(), QByteArray("IIR filter 12.5% last output"));
        QCOMPARE(s.engine->header().SampleHexDigits, 4);
        QCOMPARE(s.handOver->start, QByteArray("01/05/09 08:30:15"));
        QCOMPARE(s.handOver->end, QByteArray("03/10/09 14:00:00"));

        const ChannelHeader& c1 = s.channel(1);
        QCOMPARE(c1.Model + '|' + c1.Serial + '|' + c1.Calibrated,
                 QByteArray("ZL-T100|0004711|01/15/09"));
        QVERIFY(c1.SensorCount == 1 && c1.SamplesPerHour == 720.0f);
        const SensorHeader& t = c1.Sensors[0];
        QVERIFY(t.Letter == 'T' && t.Bits == 16 && t.Signed);
        QVERIFY(t.Raw1 == -200 && t.Value1 == -20.0f && t.Raw2 == 400 && t.Value2 == 40.0f);
        QCOMPARE(t.Unit, QByteArray("C"));
        QVERIFY(t.PointCount == 2 && t.Measured[1] == 50.0f && t.Actual[1] == 49.8f);

        // 16-bit signed raw readings are sign-extended.
        QVERIFY(s.channel(2).Sensors[0].Raw1 == -32768 && s.channel(2).Sensors[0].Raw2 == 32767);
    }

    void version2SecondChannelWhenSelected() {
        Session s;
        s.state().RadioButton1.setChecked(false);
        s.state().RadioButton2.setChecked(true);
        s.play("v2_t.txt");
        ExpectHandedOver(s);
        QCOMPARE(s.state().Samplesperhour.text(), QByteArray("60"));
        // The filter share is rounded half up to two decimals.
        QCOMPARE(s.state().Datastored.text(), QByteArray("IIR filter 7.13% last output"));
        QCOMPARE(s.handOver->start, QByteArray("02/01/09 00:00:00"));
        QCOMPARE(s.handOver->end, QByteArray("03/09/09 23:59:00"));
    }

    void version2TemperatureAndHumidity() {
        Session s;
        s.play("v2_t_rh.txt");
        ExpectHandedOver(s);
        QCOMPARE(s.state().Samplesperhour.text(), QByteArray("120"));
        QCOMPARE(s.state().Datastored.text(), QByteArray("IIR filter 20% last output"));
        const ChannelHeader& c1 = s.channel(1);
        QVERIFY(c1.SensorCount == 2 && c1.Sensors[0].PointCount == 1 &&
                c1.Sensors[0].Raw1 == -1000);
        const SensorHeader& h = c1.Sensors[1];
        QVERIFY(h.Letter == 'H' && h.Bits == 8 && !h.Signed);
        QCOMPARE(h.Raw2, 255); // unsigned: no sign extension
        QCOMPARE(h.Unit, QByteArray("%RH"));
        QVERIFY(h.PointCount == 3 && h.Actual[2] == 79.0f);
        QCOMPARE(s.channel(2).SensorCount, 0);
        QCOMPARE(s.channel(2).LastDate, QByteArray("01/01/01"));
    }

    void version2NoDataChannelPassesTheRangeChecks() {
        Session s;
        s.channel(1).SensorCount = 2; // left from an earlier header
        s.play("v2_no_data_channel1.txt");
        ExpectHandedOver(s);
        State& st = s.state();
        QCOMPARE(s.channel(1).SensorCount, 0);
        QCOMPARE(st.Firstdate.text() + st.Firsttime.text(), QByteArray("01/01/0100:00:00"));
        QCOMPARE(st.Lastdate.text() + st.Lasttime.text(), QByteArray("01/01/0100:00:00"));
        QCOMPARE(st.Samplesperhour.text(), QByteArray("0"));
        QCOMPARE(s.handOver->start, QByteArray("01/01/01 00:00:00"));
        QCOMPARE(s.handOver->end, QByteArray("01/01/01 00:00:00"));
        QCOMPARE(s.channel(2).Model, QByteArray("ZL-T100"));
    }

    void storagePeriods_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("perHour");
        QTest::newRow("0 seconds") << QByteArray("Stored every 0 seconds") << QByteArray("0");
        QTest::newRow("7 minutes")
            << QByteArray("Stored every 420 seconds") << QByteArray("8.571428");
    }
    void storagePeriods() {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, perHour);
        Session s;
        s.play(2, Edited("v2_t.txt", "Stored every 15.0 seconds", line));
        ExpectHandedOver(s);
        QCOMPARE(s.state().Samplesperhour.text(), perHour);
    }

    void version1Headers_data() {
        QTest::addColumn<QByteArray>("fixture");
        QTest::addColumn<int>("hexDigits");
        QTest::newRow("26 lines") << QByteArray("v1_26_lines.txt") << 4;
        QTest::newRow("38 lines") << QByteArray("v1_38_lines.txt") << 6;
    }
    void version1Headers() {
        QFETCH(QByteArray, fixture);
        QFETCH(int, hexDigits);
        Session s;
        s.play(fixture);
        ExpectHandedOver(s);
        State& st = s.state();
        QCOMPARE(st.Samplesperhour.text(), QByteArray("4"));
        QCOMPARE(st.Datastored.text(), QByteArray("Every 15 minutes"));
        QCOMPARE(s.engine->header().SampleHexDigits, hexDigits);
        QCOMPARE(s.handOver->start, QByteArray("01/05/09 08:30:00"));
        QCOMPARE(s.handOver->end, QByteArray("03/10/09 14:00:00"));
        const ChannelHeader& c1 = s.channel(1);
        QVERIFY(c1.Value1 == 25 && c1.Value2 == 10 && c1.SamplesPerHour == 60);
        QCOMPARE(c1.Raw2Text + '|' + c1.Note, QByteArray("0064|ZL-100"));
        const ChannelHeader& c2 = s.channel(2);
        QVERIFY(c2.Value2 == -40 && c2.StoredPerHour == 240 && c2.SamplesPerHour == 720);
        QCOMPARE(c2.Raw1Text + '|' + c2.StorageText + '|' + c2.FirstTime,
                 QByteArray("01F4|Every 15 seconds|00:00:00"));
    }

    void version1SignedValues() {
        Session s;
        s.play("v1_plus_values.txt");
        ExpectHandedOver(s);
        QVERIFY(s.channel(1).Value1 == 1774.78125f && s.channel(1).Value2 == 12.5f);
        QCOMPARE(s.channel(2).Value1, 30.5f);
    }

    void rejected_data() {
        QTest::addColumn<QByteArray>("fixture");
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<int>("keep"); // bytes of the edited text sent, -1 for all
        QTest::addColumn<QByteArray>("status");
        const QByteArray error = kHeaderError;
        auto row = [&](const char* name, const char* fixture, const char* from, const char* to,
                       const QByteArray& status, int keep = -1) {
            QTest::newRow(name) << QByteArray(fixture) << QByteArray(from) << QByteArray(to) << keep
                                << status;
        };
        const QByteArray not001 = "DATA NOT VALID, <001> EXPECTED";
        const QByteArray not1 = "DATA NOT VALID, <1> EXPECTED";
        const QByteArray not2 = "DATA NOT VALID, 2<cr> EXPECTED";
        row("v2 first line 100", "v2_first_line_not_001.txt", "", "", not001);
        row("v2 sampled every 10 s", "v2_t.txt", "every 5.0", "every 10.0", error);
        row("v2 3 channels", "v2_t.txt", "1 channels", "3 channels", error);
        row("v2 -1 channels", "v2_t.txt", "1 channels", "-1 channels", error);
        row("v2 4 points", "v2_t.txt", "2 points", "4 points", error);
        row("v2 -1 points", "v2_t.txt", "2 points", "-1 points", error);
        row("v2 no 002", "v2_t.txt", "\n002\r", "\n02\r", error);
        row("v2 model", "v2_t.txt", "Model ", "Model:", error);
        row("v2 serial", "v2_t.txt", "Serial ", "Serial", error);
        row("v2 calibrated", "v2_t.txt", "Calibrated", "Calibration", error);
        row("v2 identifier digits only", "v2_t.txt", "\n1T\r", "\n1\r", error);
        row("v2 identifier letter", "v2_t.txt", "\n1T\r", "\n1H\r", error);
        row("v2 identifier number", "v2_t.txt", "\n1T\r", "\n2T\r", error);
        row("v2 humidity identifier", "v2_t_rh.txt", "\n2H\r", "\n2T\r", error);
        row("v2 bits", "v2_t.txt", "16 bits signed", "16 bits unsigned", error);
        row("v2 raw without value", "v2_t.txt", "FF38 -20.0", "FF38", error);
        row("v2 raw beyond 32 bits", "v2_t.txt", "FF38 -20.0", "1FFFFFFFF -20.0", error);
        row("v2 unit", "v2_t.txt", "\nC\r", "\nF\r", error);
        row("v2 filter without number", "v2_t.txt", "filter 12.5%", "filter %", error);
        row("v2 date of 7 characters", "v2_t.txt", "03/10/09", "3/10/09", error);
        row("v2 newest date unreadable", "v2_t.txt", "03/10/09", "13/45/09", error);
        row("v2 oldest time unreadable", "v2_t.txt", "08:30:15", "08h30m15", error);
        row("v2 storage period missing", "v2_t.txt", "every 15.0", "every ", error);
        row("v2 measured nan", "v2_t.txt", "Measured 1.5", "Measured nan", error);
        row("v2 filter infinite", "v2_t.txt", "filter 12.5%", "filter inf%", error);
        row("v2 rate beyond float", "v2_t.txt", "every 15.0", "every 1e-40", error);
        row("v2 value beyond float", "v2_t.txt", "FF38 -20.0", "FF38 -1e39", error);
        row("v2 cut short", "v2_t.txt", "", "", error, 200);
        row("v1 first line <2>", "v1_first_line_not_1.txt", "", "", not1);
        row("v1 one character", "v1_26_lines.txt", "", "", not1, 1);
        row("v1 channel 1 field missing", "v1_channel1_field_missing.txt", "", "", not2);
        row("v1 cut inside channel 1", "v1_26_lines.txt", "", "", not2, 60);
        row("v1 value not a number", "v1_26_lines.txt", "+25.0", "abc", error);
        row("v1 value below -273.15", "v1_26_lines.txt", "+25.0", "-273.16", error);
        row("v1 value above 9999", "v1_26_lines.txt", "+25.0", "9999.5", error);
        row("v1 rate 4.5", "v1_26_lines.txt", "\n4\r", "\n4.5\r", error);
        row("v1 rate 0", "v1_26_lines.txt", "\n4\r", "\n0\r", error);
        row("v1 rate 10000", "v1_26_lines.txt", "\n60\r", "\n10000\r", error);
        row("v1 raw text empty", "v1_26_lines.txt", "0190", "", error);
        row("v1 raw text of 9", "v1_26_lines.txt", "0190", "000000190", error);
        row("v1 date of 10", "v1_26_lines.txt", "03/10/09", "03/10/2009", error);
        row("v1 cut inside channel 2", "v1_26_lines.txt", "", "", error, 200);
    }
    void rejected() {
        QFETCH(QByteArray, fixture);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(int, keep);
        QFETCH(QByteArray, status);
        Session s;
        const QByteArray text = from.isEmpty() ? Fixture(fixture) : Edited(fixture, from, to);
        s.play(VersionOf(fixture), keep < 0 ? text : text.left(keep));
        ExpectCancelled(s, status);
    }

    void aCountOutOfRangeReadsNoLinesOfItsOwn() {
        Session channels;
        channels.play(2, Edited("v2_t.txt", "1 channels", "3 channels"));
        const SensorHeader& sensor = channels.channel(1).Sensors[0];
        QVERIFY(channels.channel(1).SensorCount == 0 && sensor.PointCount == 0 && !sensor.Letter);

        Session points;
        points.play(2, Edited("v2_t.txt", "2 points", "4 points"));
        QCOMPARE(points.channel(1).Sensors[0].PointCount, 0);
        QCOMPARE(points.channel(1).Sensors[0].Measured[0], 0.0f);
    }

    void onlyTheSelectedChannelsReadingsMustBeDates() {
        Session s;
        s.play(2, Edited("v2_t.txt", "02/01/09\r\n00:00:00", "99/99/99\r\n00:00:00"));
        ExpectHandedOver(s);
    }

    // The newest reading ends each range; the oldest later than the choice's start starts it.
    void rangeChoices_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QByteArray>("newest");
        QTest::addColumn<QByteArray>("oldest");
        QTest::addColumn<QByteArray>("start");
        auto row = [](const char* name, int item, const char* newest, const char* oldest,
                      const char* start) {
            QTest::newRow(name) << item << QByteArray(newest) << QByteArray(oldest)
                                << QByteArray(start);
        };
        const char* mar31 = "03/31/09 10:00:00";
        row("last week", RangeLastWeek, "03/10/09 14:00:00", "01/05/09 08:30:15",
            "03/03/09 14:00:00");
        row("last week, oldest later", RangeLastWeek, "03/10/09 14:00:00", "03/05/09 09:00:00",
            "03/05/09 09:00:00");
        row("last month, 31st", RangeLastMonth, mar31, "01/05/09 08:30:15", "02/28/09 10:00:00");
        row("last month, leap year", RangeLastMonth, "03/31/08 10:00:00", "01/01/08 00:00:00",
            "02/29/08 10:00:00");
    }
    void rangeChoices() {
        QFETCH(int, item);
        QFETCH(QByteArray, newest);
        QFETCH(QByteArray, oldest);
        Session s;
        s.state().upload_range_group.setValue(item);
        s.play(2, WithReadings(newest, oldest));
        ExpectHandedOver(s);
        QTEST(s.handOver->start, "start");
        QCOMPARE(s.handOver->end, newest);
    }

    // Readings from 01/05/09 08:30:15 to 03/10/09 14:00:00.
    void customRangeIsKeptInsideTheReadings_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("end");
        QTest::addColumn<QByteArray>("startAfter");
        QTest::addColumn<QByteArray>("endAfter");
        auto row = [](const char* name, const char* start, const char* end, const char* startAfter,
                      const char* endAfter) {
            QTest::newRow(name) << QByteArray(start) << QByteArray(end) << QByteArray(startAfter)
                                << QByteArray(endAfter);
        };
        const char* from = "02/01/09 06:00:00";
        const char* to = "02/02/09 06:00:00";
        const char* oldest = "01/05/09 08:30:15";
        const char* newest = "03/10/09 14:00:00";
        row("inside", from, to, from, to);
        row("start a day before", "01/04/09 12:00:00", to, oldest, to);
        row("start earlier that day", "01/05/09 08:30:14", to, oldest, to);
        row("start later that day", "01/05/09 08:30:16", to, "01/05/09 08:30:16", to);
        row("end later that day", from, "03/10/09 18:00:00", from, newest);
        row("end a day after", from, "03/11/09 08:00:00", from, newest);
        row("end earlier that day", from, "03/10/09 13:59:59", from, "03/10/09 13:59:59");
        row("start after the newest", "03/11/09 00:00:00", "03/12/09 00:00:00", "03/11/09 00:00:00",
            newest);
    }
    void customRangeIsKeptInsideTheReadings() {
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, end);
        QFETCH(QByteArray, startAfter);
        QFETCH(QByteArray, endAfter);
        Session s;
        State& st = s.state();
        st.upload_range_group.setValue(RangeCustom);
        SetPickers(st.Startdate, st.Starttime, At(start));
        SetPickers(st.Enddate, st.Endtime, At(end));
        s.play("v2_t.txt");
        ExpectHandedOver(s);
        QCOMPARE(s.handOver->start, startAfter);
        QCOMPARE(s.handOver->end, endAfter);
    }

    // Two-digit years run from 1960 to 2059 here, so 2070 reads back as 1970 and 1950 as 2050.
    void rangeThatDoesNotReadBackIsCancelled_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("end");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("start in 2070")
            << *EncodeDate(2070, 1, 1) << *EncodeDate(2070, 1, 2) << QByteArray(kStartOutOfRange);
        QTest::newRow("end in 1950")
            << *EncodeDate(2009, 2, 1) << *EncodeDate(1950, 6, 1) << QByteArray(kEndOutOfRange);
    }
    void rangeThatDoesNotReadBackIsCancelled() {
        QFETCH(double, start);
        QFETCH(double, end);
        QFETCH(QByteArray, status);
        Session s;
        State& st = s.state();
        st.upload_range_group.setValue(RangeCustom);
        SetPickers(st.Startdate, st.Starttime, start);
        SetPickers(st.Enddate, st.Endtime, end);
        s.play("v2_t.txt");
        ExpectCancelled(s, status);
    }

    void automaticDownloadResumesFromTheMonthlyFiles_data() {
        QTest::addColumn<double>("resumeAfterOldest"); // days
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("later") << 10.0 << QByteArray("01/15/09 08:30:15");
        QTest::newRow("before the oldest") << -3.0 << QByteArray("01/05/09 08:30:15");
    }
    void automaticDownloadResumesFromTheMonthlyFiles() {
        QFETCH(double, resumeAfterOldest);
        QFETCH(QByteArray, start);
        Session s;
        State& st = s.state();
        st.InitAutoload.onClick = nullptr; // the download itself is not under test
        st.InitAutoload.tick();
        st.upload_range_group.setValue(RangeLastWeek);
        double askedWith = 0;
        s.engine->headerRecord().ResumeTimeFromMonthlyFiles = [&](double first, double) {
            askedWith = first;
            return first + resumeAfterOldest;
        };
        s.play("v2_t.txt");
        ExpectHandedOver(s);
        QCOMPARE(askedWith, At("01/05/09 08:30:15"));
        QCOMPARE(st.upload_range_group.value(), double(RangeCustom));
        QVERIFY(st.Startdate.enabled() && st.Starttime.enabled() && st.Enddate.enabled() &&
                st.Endtime.enabled());
        QCOMPARE(s.handOver->start, start);
        QCOMPARE(s.handOver->end, QByteArray("03/10/09 14:00:00"));
    }

    void garbageEndsTheSessionCleanly_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<QByteArray>("text");
        QByteArray bytes;
        for (int b = 0; b < 256; ++b)
            bytes += char(b);
        QTest::newRow("v2 nothing") << 2 << QByteArray();
        QTest::newRow("v2 long line") << 2 << "001\r\nModel " + QByteArray(1000, 'x');
        QTest::newRow("v2 all bytes") << 2 << "001\r\n" + bytes;
        QTest::newRow("v2 carriage returns") << 2 << "001\r\n" + QByteArray(300, '\r');
        QTest::newRow("v1 all bytes") << 1 << "<1>\n" + bytes;
        QTest::newRow("v1 carriage returns") << 1 << "<1>\n" + QByteArray(300, '\r');
    }
    void garbageEndsTheSessionCleanly() {
        QFETCH(int, version);
        QFETCH(QByteArray, text);
        Session s;
        s.play(version, text);
        const QByteArray status = s.state().Edit1.text();
        QVERIFY(status.startsWith("ERROR IN HEADER DATA") || status.startsWith("DATA NOT VALID"));
        ExpectCancelled(s, status);
    }
};

QTEST_GUILESS_MAIN(HeaderRecordTest)
#include "header_record_test.moc"
