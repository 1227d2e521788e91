#include "core/calendar.h"
#include "core/date_parsing.h"
#include "core/date_rendering.h"
#include "core/format_settings.h"

#include <QLocale>
#include <QTest>

#include <stdexcept>

using namespace zantrel;

namespace {

FormatSettings Regional() {
    FormatSettings s;
    s.shortDateFormat = "dd/mm/yyyy";
    s.decimalSeparator = ',';
    s.thousandSeparator = '.';
    s.dateSeparator = '.';
    s.timeSeparator = '-';
    return s;
}

void ExpectSeparators(const FormatSettings& s, const char* four) {
    QCOMPARE(s.decimalSeparator, four[0]);
    QCOMPARE(s.thousandSeparator, four[1]);
    QCOMPARE(s.dateSeparator, four[2]);
    QCOMPARE(s.timeSeparator, four[3]);
}

} // namespace

class FormatSettingsTest : public QObject {
    Q_OBJECT

  private slots:
    void guardsRestoreInOrderOnEveryExit() {
        FormatSettings s = Regional();
        {
            ForcedSeparators outer(s);
            ScopedShortDateFormat date(s, "mm/dd/yy");
            ExpectSeparators(s, ".,/:");
            {
                ForcedSeparators inner(s);
                ScopedShortDateFormat innerDate(s, "yyyy/mm/dd");
                QCOMPARE(s.shortDateFormat, QByteArray("yyyy/mm/dd"));
                s.decimalSeparator = 'x';
            }
            ExpectSeparators(s, ".,/:");
            QCOMPARE(s.shortDateFormat, QByteArray("mm/dd/yy"));
        }
        ExpectSeparators(s, ",..-");
        QCOMPARE(s.shortDateFormat, QByteArray("dd/mm/yyyy"));
        // A failed write leaves through an exception.
        try {
            ForcedSeparators forced(s);
            throw std::runtime_error("write failed");
        } catch (const std::runtime_error&) {
        }
        ExpectSeparators(s, ",..-");
        // The loader remembers the format, the detection changes it, the end restores it.
        {
            ScopedShortDateFormat remembered(s);
            s.shortDateFormat = "mm/dd/yyyy,";
        }
        QCOMPARE(s.shortDateFormat, QByteArray("dd/mm/yyyy"));
    }

    void translatesLocaleFormats_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("shortDate");
        QTest::addColumn<QByteArray>("separators"); // decimal, thousands, date, time
        auto row = [](const char* name, const char* date, const char* seps) {
            QTest::newRow(name) << QString::fromLatin1(name) << QByteArray(date)
                                << QByteArray(seps);
        };
        row("en_US", "m/d/yy", ".,/:");
        row("en_GB", "dd/mm/yyyy", ".,/:");
        row("de_DE", "dd/mm/yy", ",..:");
        row("fi_FI", "d/m/yyyy", ",\xA0..");
        row("sv_SE", "yyyy/mm/dd", ",\xA0-:");
        row("hu_HU", "yyyy/mm/dd", ",\xA0.:");
        row("ko_KR", "yy/m/d", ".,.:");
        row("ar_EG", "d/m/yyyy", ".,/:");
        row("C", "d/mm/yyyy", ".,/:");
    }
    void translatesLocaleFormats() {
        QFETCH(QString, locale);
        QFETCH(QByteArray, shortDate);
        QFETCH(QByteArray, separators);
        const FormatSettings s = FormatSettings::fromLocale(QLocale(locale));
        QCOMPARE(s.shortDateFormat, shortDate);
        ExpectSeparators(s, separators.constData());
    }

    void localeFormsReadBack_data() {
        QTest::addColumn<QString>("locale");
        for (const char* name : {"en_US", "en_GB", "de_DE", "fi_FI", "sv_SE", "hu_HU", "ko_KR",
                                 "ar_EG", "ja_JP", "zh_CN", "bg_BG", "nl_NL", "C"})
            QTest::newRow(name) << QString::fromLatin1(name);
        QTest::newRow("system") << QString();
    }
    void localeFormsReadBack() {
        QFETCH(QString, locale);
        const FormatSettings s = locale.isEmpty() ? FormatSettings::fromSystemLocale()
                                                  : FormatSettings::fromLocale(QLocale(locale));
        for (double t : {EncodeDateTime(2009, 12, 31, 23, 59, 58).value(),
                         EncodeDateTime(2010, 1, 2, 0, 0, 0).value(),
                         EncodeDateTime(2010, 1, 2, 12, 5, 9).value()}) {
            const QByteArray text = FormatDateTime(s.shortDateFormat + " hh:nn:ss", t,
                                                   s.dateSeparator, s.timeSeparator);
            const auto back =
                ParseDateTime(text, s.shortDateFormat, 2026, s.dateSeparator, s.timeSeparator);
            QVERIFY2(back, text.constData());
            QCOMPARE(*back, t);
        }
    }
};

QTEST_GUILESS_MAIN(FormatSettingsTest)
#include "format_settings_test.moc"
