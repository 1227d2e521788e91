// Load Month: the duplicates of one month found from any one of its files.
#include "files/month_pieces.h"
#include "work_dir.h"

#include <QDir>
#include <QtTest>

using namespace zantrel;

class MonthPiecesTest : public QObject {
    Q_OBJECT
  private slots:
    void everyNumberedPieceInTheOrderWritten() {
        WorkDir dir;
        const auto path = [&dir](const QString& name) { return QFile::encodeName(dir.file(name)); };
        QList<QByteArray> month = {path("T1202612site.zlx")};
        for (int n = 0; n <= 11; ++n)
            month.append(path(QString("T1202612site_%1.zxl").arg(n)));
        // Other months, channels and names, and names that no piece has.
        for (const char* name : {"T1202612site.csv", "T1202611site_0.zxl", "T2202612site_0.zxl",
                                 "T1202612siteB_0.zxl", "T1202612site_01.zxl", "T1202612site_x.zxl",
                                 "T1202612site_3.zlx", "T1202612site_-1.zxl"})
            dir.put(name, "x");
        QVERIFY(QDir(dir.file("")).mkdir("T1202612site_12.zxl"));
        for (const QByteArray& piece : month)
            dir.put(QFile::decodeName(piece).section('/', -1), "x");
        for (const char* given : {"T1202612site.csv", "T1202612site.zlx", "T1202612site_10.zxl"})
            QCOMPARE(MonthPieces(path(given)), month);

        // Without its duplicate, of channel 2, a name with '_' of its own.
        dir.put("T2202612my_site_4.zxl", "x");
        dir.put("T2202612my_site_1.zxl", "x");
        const QList<QByteArray> pieces = {path("T2202612my_site_1.zxl"),
                                          path("T2202612my_site_4.zxl")};
        QCOMPARE(MonthPieces(path("T2202612my_site.csv")), pieces);
        QCOMPARE(MonthPieces(path("T2202612my_site_4.zxl")), pieces);
        QCOMPARE(MonthPieces(path("T1202601none.csv")), QList<QByteArray>{});
    }
};

QTEST_GUILESS_MAIN(MonthPiecesTest)
#include "month_pieces_test.moc"
