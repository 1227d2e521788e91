// The parts the chart loader reads with: line splitting, unscrambling into a reused buffer,
// date format guessing and the fast reading of row date-times and numbers.
#include "core/calendar.h"
#include "core/date_parsing.h"
#include "core/date_rendering.h"
#include "files/chart_lines.h"
#include "files/chart_row_parser.h"
#include "files/date_format_detection.h"
#include "files/line_unscrambler.h"
#include "files/row_time_reader.h"
#include "files/scrambling.h"

#include <QRandomGenerator>
#include <QtTest>
#include <charconv>
#include <string>

using namespace zantrel;

namespace {

QList<QByteArray> Split(const QByteArray& content) {
    ChartLineSplitter splitter(std::string_view(content.constData(), content.size()));
    QList<QByteArray> lines;
    std::string_view line;
    while (splitter.next(line)) {
        lines.append(QByteArray(line.data(), static_cast<qsizetype>(line.size())) +
                     (splitter.complete() ? "|" : ""));
    }
    return lines;
}

std::optional<QByteArray> Guessed(const QByteArray& content) {
    const auto found = GuessedDateFormat(std::string_view(content.constData(), content.size()));
    if (!found) return std::nullopt;
    return found->format + " / " + found->shortFormat;
}

} // namespace

class ChartLoadPartsTest : public QObject {
    Q_OBJECT
  private slots:
    // Each line is shown with "|" when a line end completed it.
    void linesAreSplitAsATextFileReadsThem_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::newRow("none") << QByteArray() << QList<QByteArray>{};
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QList<QByteArray>{"a|", "b|"};
        QTest::newRow("LF") << QByteArray("a\nb") << QList<QByteArray>{"a|", "b"};
        QTest::newRow("lone CR is data")
            << QByteArray("a\rb\r\r\n") << QList<QByteArray>{"a\rb\r|"};
        QTest::newRow("empty lines") << QByteArray("\r\n\n") << QList<QByteArray>{"|", "|"};
        const QByteArray fits(253, 'f');
        QTest::newRow("253 and CR LF") << fits + "\r\nz" << QList<QByteArray>{fits + "|", "z"};
        const QByteArray full(254, 'g');
        QTest::newRow("254 and CR LF") << full + "\r\n" << QList<QByteArray>{full, "|"};
        QTest::newRow("254 and LF") << full + "\n" << QList<QByteArray>{full, "|"};
        QTest::newRow("254 at the end") << full << QList<QByteArray>{full};
        const QByteArray h254(254, 'h');
        QTest::newRow("600") << QByteArray(600, 'h')
                             << QList<QByteArray>{h254, h254, QByteArray(92, 'h')};
    }
    void linesAreSplitAsATextFileReadsThem() {
        QFETCH(QByteArray, content);
        QFETCH(QList<QByteArray>, lines);
        QCOMPARE(Split(content), lines);
    }

    // The reused-buffer reader gives what UnscrambleLine gives, line after line, for any bytes.
    void unscramblingMatchesTheReferenceTransform() {
        QRandomGenerator random(2024);
        ScrambleState reference;
        LineUnscrambler fast;
        std::string out;
        for (int line = 0; line < 2000; ++line) {
            QByteArray scrambled(static_cast<qsizetype>(random.bounded(0, 300)), '\0');
            const bool printable = line % 2 == 0;
            for (char& c : scrambled)
                c = static_cast<char>(printable ? random.bounded(32, 127) : random.bounded(0, 256));
            fast.unscramble(std::string_view(scrambled.constData(), scrambled.size()), out);
            QCOMPARE(QByteArray(out.data(), static_cast<qsizetype>(out.size())),
                     UnscrambleLine(reference, scrambled));
        }
    }

    void theFormatIsGuessedFromTheLines_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("expected"); // empty: nothing found
        QTest::newRow("AM/PM, four-digit year")
            << QByteArray("12/01/2009 11:59:30 PM, 20.50")
            << QByteArray("mm/dd/yyyy hh:mm:ss AM/PM / mm/dd/yyyy");
        QTest::newRow("AM/PM, two-digit year") << QByteArray("12/01/09 11:59:30 pm, 20.50")
                                               << QByteArray("mm/dd/yy hh:mm:ss AM/PM / mm/dd/yy");
        QTest::newRow("the two-digit year overrides")
            << QByteArray("12/01/09 11:59:30 PM M")
            << QByteArray("mm/dd/yy hh:mm:ss AM/PM / mm/dd/yy");
        QTest::newRow("year first") << QByteArray("2009/12/01 11:59:30, 20.50")
                                    << QByteArray("yyyy/mm/dd hh:mm:ss / yyyy/mm/dd");
        QTest::newRow("year first overrides AM/PM")
            << QByteArray("2009/12/01 11:59:30 PM, 20.50")
            << QByteArray("yyyy/mm/dd hh:mm:ss / yyyy/mm/dd");
        QTest::newRow("a late day first") << QByteArray("31/12/2009 11:59:30, 20.50")
                                          << QByteArray("dd/mm/yyyy hh:mm:ss / dd/mm/yyyy");
        QTest::newRow("a late day second") << QByteArray("12/31/2009 11:59:30, 20.50")
                                           << QByteArray("mm/dd/yyyy hh:mm:ss / mm/dd/yyyy");
        QTest::newRow("the day changes first")
            << QByteArray("01/05/2009 11:59:30\r\n02/05/2009 11:59:30\r\n")
            << QByteArray("dd/mm/yyyy hh:mm:ss / dd/mm/yyyy");
        QTest::newRow("the day changes second")
            << QByteArray("05/01/2009 11:59:30\r\n05/02/2009 11:59:30\r\n")
            << QByteArray("mm/dd/yyyy hh:mm:ss / mm/dd/yyyy");
        QTest::newRow("against the filler")
            << QByteArray("~1  x") << QByteArray("dd/mm/yyyy hh:mm:ss / dd/mm/yyyy");
        QTest::newRow("no change")
            << QByteArray("01/01/2009 11:59:30\r\n01/01/2009 11:59:45\r\n") << QByteArray();
        // A line that begins with NUL is no previous line to compare with.
        QTest::newRow("after an empty line")
            << QByteArray("01/05/2009 11:59:30\r\n\r\n02/05/2009 11:59:30\r\n") << QByteArray();
        QTest::newRow("after a NUL") << QByteArray("01/05/2009 11:59:30\r\n") +
                                            QByteArray("\0x\r\n", 4) + "02/05/2009 11:59:30\r\n"
                                     << QByteArray();
        QTest::newRow("none") << QByteArray() << QByteArray();
    }
    void theFormatIsGuessedFromTheLines() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, expected);
        const auto found = Guessed(content);
        QCOMPARE(found.value_or(QByteArray()), expected);
    }

    // The fast path must read exactly what ParseDateTime reads: compared on rows of every
    // shape and on many random edits of them.
    void rowTimesReadAsParseDateTimeReadsThem_data() {
        QTest::addColumn<QByteArray>("shortFormat");
        QTest::addColumn<QByteArray>("pattern");
        QTest::newRow("mdy") << QByteArray("mm/dd/yyyy") << QByteArray("mm/dd/yyyy hh:mm:ss");
        QTest::newRow("mdy AM/PM")
            << QByteArray("mm/dd/yyyy") << QByteArray("mm/dd/yyyy hh:mm:ss AM/PM");
        QTest::newRow("dmy comma")
            << QByteArray("dd/mm/yyyy,") << QByteArray("dd/mm/yyyy, hh:mm:ss");
        QTest::newRow("ymd") << QByteArray("yyyy/mm/dd") << QByteArray("yyyy/mm/dd hh:mm:ss");
        QTest::newRow("mdy two-digit")
            << QByteArray("mm/dd/yy") << QByteArray("mm/dd/yy hh:mm:ss AM/PM");
        QTest::newRow("odd order") << QByteArray("yyyy/dd/mm") << QByteArray("yyyy/dd/mm hh:mm:ss");
        QTest::newRow("empty") << QByteArray() << QByteArray("mm/dd/yyyy hh:mm:ss");
    }
    void rowTimesReadAsParseDateTimeReadsThem() {
        QFETCH(QByteArray, shortFormat);
        QFETCH(QByteArray, pattern);
        RowTimeReader reader(shortFormat, 2010);
        QRandomGenerator random(7);
        const char alphabet[] = "0123456789 /:,APMapm.-x";
        int readable = 0;
        for (int i = 0; i < 20000; ++i) {
            const double t =
                *EncodeDateTime(2009, 1, 1, 0, 0, 0) + random.bounded(0, 400 * 86400) / 86400.0;
            QByteArray text = FormatDateTime(pattern, t) + ", 20.50";
            const int edits = i % 4;
            for (int e = 0; e < edits; ++e) {
                const auto at =
                    static_cast<qsizetype>(random.bounded(0, static_cast<int>(text.size())));
                text[at] = alphabet[random.bounded(0, static_cast<int>(sizeof alphabet - 1))];
            }
            if (i % 5 == 0) text.truncate(random.bounded(0, static_cast<int>(text.size())));
            const auto expected = ParseDateTime(text, shortFormat, 2010);
            const auto actual = reader.read(std::string_view(text.constData(), text.size()));
            if (actual != expected) qWarning() << text;
            QCOMPARE(actual, expected);
            readable += expected.has_value();
        }
        QVERIFY(readable > 5000); // most rows were dates, so the fast path was compared
    }

    // Short decimals take a fast path; every number must still read as from_chars reads it.
    void numbersReadAsFromCharsReadsThem() {
        RowTimeReader times("mm/dd/yyyy", 2010);
        const ChartRowParser parser("mm/dd/yyyy hh:mm:ss", times);
        QRandomGenerator random(11);
        QList<QByteArray> numbers = {"-0.00", "9999.00",  "1234567",  "12345678",
                                     ".5",    "5.",       "-.25",     "1e3",
                                     "0.1",   "16777217", "-9999999", "3.4028235e38"};
        for (int i = 0; i < 20000; ++i) {
            const int decimals = random.bounded(0, 8);
            const double value =
                (random.generateDouble() - 0.5) * std::pow(10.0, random.bounded(0, 8));
            numbers.append(QByteArray::number(value, 'f', decimals));
        }
        for (const QByteArray& number : numbers) {
            float expected = 0;
            std::from_chars(number.constData(), number.constData() + number.size(), expected);
            ChartRow row;
            QVERIFY2(parser.parse(("12/31/2009 23:59:30,  " + number + " ").toStdString(), row),
                     number.constData());
            QVERIFY2(row.temperature == expected &&
                         std::signbit(row.temperature) == std::signbit(expected),
                     number.constData());
        }
        ChartRow row;
        for (const char* bad : {"-", ".", "1.2.3", "--1", "+1", "1 2", "0x10", "nan", "-inf"})
            QVERIFY2(!parser.parse("12/31/2009 23:59:30, " + std::string(bad), row), bad);
    }
};

QTEST_GUILESS_MAIN(ChartLoadPartsTest)
#include "chart_load_parts_test.moc"
