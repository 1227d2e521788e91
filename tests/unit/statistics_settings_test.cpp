// STATS.DAT: written byte for byte like the other settings files, read back, and read
// safely when it is missing, edited by hand or damaged.
#include "chart/statistics_settings.h"
#include "core/settings_files.h"
#include "work_dir.h"

#include <QtTest>

using namespace zantrel;

namespace {

StatisticsOptions Options(std::optional<double> low, std::optional<double> high, double energy,
                          double delay = 0) {
    StatisticsOptions o;
    o.low = low;
    o.high = high;
    o.activationEnergy = energy;
    o.delayMinutes = delay;
    return o;
}

} // namespace

Q_DECLARE_METATYPE(StatisticsOptions)

class StatisticsSettingsTest : public QObject {
    Q_OBJECT
  private slots:
    void writtenAndReadBack() {
        WorkDir dir;
        const QByteArray path = SettingsPath(dir.path(), kStatisticsFile);
        const StatisticsOptions missing = LoadStatisticsSettings(path);
        QCOMPARE(missing.low, std::optional<double>(2));
        QCOMPARE(missing.high, std::optional<double>(8));
        QCOMPARE(missing.activationEnergy, 83.144);
        QCOMPARE(missing.delayMinutes, 0.0);
        QVERIFY(!dir.exists(kStatisticsFile));

        QVERIFY(SaveStatisticsSettings(Options(std::nullopt, -18.5, 100, 45), path));
        QCOMPARE(dir.read(kStatisticsFile), QByteArray("~Low Limit C: \r\n"
                                                       "~High Limit C: -18.5\r\n"
                                                       "~Activation Energy kJ/mol: 100\r\n"
                                                       "~Excursion Delay min: 45\r\n"));
        const StatisticsOptions back = LoadStatisticsSettings(path);
        QVERIFY(!back.low);
        QCOMPARE(back.high, std::optional<double>(-18.5));
        QCOMPARE(back.activationEnergy, 100.0);
        QCOMPARE(back.delayMinutes, 45.0);

        // A folder in the file's place: nothing written, and said so.
        WorkDir other;
        QVERIFY(QDir(other.file(".")).mkdir(kStatisticsFile));
        QVERIFY(!SaveStatisticsSettings(missing, SettingsPath(other.path(), kStatisticsFile)));
    }

    void readsWhatItCanOfAnEditedFile_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<StatisticsOptions>("expected");
        QTest::newRow("line feeds, blanks, order")
            << QByteArray("~Activation Energy kJ/mol:  90 \n~High Limit C: 25\n~Low Limit C: 15\n")
            << Options(15, 25, 90);
        QTest::newRow("both open") << QByteArray("~Low Limit C: \r\n~High Limit C:\r\n")
                                   << Options(std::nullopt, std::nullopt, 83.144);
        QTest::newRow("not numbers") << QByteArray("~Low Limit C: cold\r\n~High Limit C: nan\r\n"
                                                   "~Activation Energy kJ/mol: inf\r\n")
                                     << Options(2, 8, 83.144);
        QTest::newRow("low above high")
            << QByteArray("~Low Limit C: 30\r\n~High Limit C: 10\r\n") << Options(2, 8, 83.144);
        QTest::newRow("energy not positive")
            << QByteArray("~Activation Energy kJ/mol: -5\r\n") << Options(2, 8, 83.144);
        QTest::newRow("a file without the delay")
            << QByteArray(
                   "~Low Limit C: 0\r\n~High Limit C: 4\r\n~Activation Energy kJ/mol: 90\r\n")
            << Options(0, 4, 90, 0);
        QTest::newRow("delay in minutes")
            << QByteArray("~Excursion Delay min:  12.5 \n") << Options(2, 8, 83.144, 12.5);
        QTest::newRow("delay negative")
            << QByteArray("~Excursion Delay min: -1\r\n") << Options(2, 8, 83.144);
        QTest::newRow("delay over a week")
            << QByteArray("~Excursion Delay min: 10081\r\n") << Options(2, 8, 83.144);
        QTest::newRow("garbage") << QByteArray("\x01\xff~~~: :\r\n") << Options(2, 8, 83.144);
    }
    void readsWhatItCanOfAnEditedFile() {
        QFETCH(QByteArray, text);
        QFETCH(StatisticsOptions, expected);
        WorkDir dir;
        dir.put(kStatisticsFile, text);
        const StatisticsOptions o =
            LoadStatisticsSettings(SettingsPath(dir.path(), kStatisticsFile));
        QCOMPARE(o.low, expected.low);
        QCOMPARE(o.high, expected.high);
        QCOMPARE(o.activationEnergy, expected.activationEnergy);
        QCOMPARE(o.delayMinutes, expected.delayMinutes);
    }
};

QTEST_GUILESS_MAIN(StatisticsSettingsTest)
#include "statistics_settings_test.moc"
