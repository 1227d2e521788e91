// Programs started again and again (a download from cron every minute) continue the month's
// duplicate itself; a numbered piece starts only where a duplicate cannot be continued.
#include "files/scrambling.h"
#include "monthly_logger.h"

#include <QtTest>

using namespace zantrel;

class MonthlyDuplicateContinueTest : public QObject {
    Q_OBJECT
  private slots:
    void tenProgramsWriteOneDuplicate() {
        MonthlyLogger m;
        for (int run = 1; run <= 10; ++run) {
            m.record(3 * run);
            QVERIFY(m.download().saved); // a fresh MonthlyFiles: a program started again
        }
        QCOMPARE(m.loaded(m.kDuplicate), m.expected());
        QVERIFY(!m.dir().exists("T1202603site_0.zxl"));
    }

    // One program keeps appending to the duplicate it continues.
    void oneProgramGoesOnInTheSameDuplicate() {
        MonthlyLogger m;
        MonthlyFiles files;
        for (int readings : {4, 9, 13}) {
            m.record(readings);
            QVERIFY(m.download("ZL-1", &files).saved);
        }
        QCOMPARE(m.loaded(m.kDuplicate), m.expected());
    }

    // A duplicate whose scrambling cannot be followed to its end (a header line with a
    // character the scrambling does not keep, as in a duplicate saved by hand) is left as it
    // is; the month goes on in a numbered piece.
    void aDuplicateThatCannotBeContinuedGetsANumberedPiece() {
        MonthlyLogger m;
        m.record(5);
        QVERIFY(m.download().saved);
        const QByteArrayList lines = m.dir().read(m.kDuplicate).split('\n');
        QByteArray rewritten = lines.mid(0, 6).join('\n') + '\n';
        ScrambleState state;
        QByteArrayList plain{"~Note: caf\xe9"};
        for (const QByteArray& row : m.dir().read(m.kChart).split('\n'))
            if (!row.isEmpty() && !row.startsWith('~')) plain.append(row.chopped(1));
        for (const QByteArray& line : plain)
            rewritten += "?" + ScrambleLine(state, line) + "\r\n";
        m.dir().put(m.kDuplicate, rewritten);
        QCOMPARE(m.loaded(m.kDuplicate), m.expected());

        m.record(9);
        QVERIFY(m.download().saved);
        QCOMPARE(m.dir().read(m.kDuplicate), rewritten);
        const std::vector<long long> all = m.expected();
        QCOMPARE(m.loaded("T1202603site_0.zxl"),
                 std::vector<long long>(all.begin() + 5, all.end()));
    }
};

QTEST_GUILESS_MAIN(MonthlyDuplicateContinueTest)
#include "monthly_duplicate_continue_test.moc"
