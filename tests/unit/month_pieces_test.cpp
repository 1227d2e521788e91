// Load Month: the duplicates of one month found from any one of its files.
#include "files/month_pieces.h"
#include "work_dir.h"

#include <QDir>
#include <QtTest>

using namespace zantrel;

namespace {

struct Folder {
    WorkDir dir;
    QByteArray path(const QString& name) const { return dir.path() + '/' + name.toLocal8Bit(); }
    void put(const QStringList& names) const {
        for (const QString& name : names)
            dir.put(name, "x");
    }
    QList<QByteArray> paths(const QStringList& names) const {
        QList<QByteArray> all;
        for (const QString& name : names)
            all.append(path(name));
        return all;
    }
};

// "T1202612site.zlx", then "_0.zxl" to "_11.zxl".
QStringList WholeMonth() {
    QStringList names = {"T1202612site.zlx"};
    for (int n = 0; n <= 11; ++n)
        names.append(QString("T1202612site_%1.zxl").arg(n));
    return names;
}

} // namespace

class MonthPiecesTest : public QObject {
    Q_OBJECT
  private slots:
    void everyNumberedPieceInTheOrderWritten() {
        Folder f;
        f.put(WholeMonth());
        // Files of other months, channels and names, and names no piece has.
        f.put({"T1202612site.csv", "T1202611site_0.zxl", "T2202612site_0.zxl",
               "T1202612siteB_0.zxl", "T1202612site_01.zxl", "T1202612site_x.zxl",
               "T1202612site_3.zlx", "T1202612site_-1.zxl"});
        QVERIFY(QDir(QString::fromLocal8Bit(f.dir.path())).mkdir("T1202612site_12.zxl"));
        const QList<QByteArray> month = f.paths(WholeMonth());
        for (const char* given :
             {"T1202612site.csv", "T1202612site.zlx", "T1202612site_10.zxl", "T1202612site_0.zxl"})
            QCOMPARE(MonthPieces(f.path(given)), month);
    }

    void whatIsNotThereIsLeftOut() {
        Folder f;
        f.put({"T2202612my_site_4.zxl", "T2202612my_site_1.zxl", "T2202612my_site.csv"});
        QCOMPARE(MonthPieces(f.path("T2202612my_site.csv")),
                 f.paths({"T2202612my_site_1.zxl", "T2202612my_site_4.zxl"}));
        QCOMPARE(MonthPieces(f.path("T2202612my_site_4.zxl")),
                 f.paths({"T2202612my_site_1.zxl", "T2202612my_site_4.zxl"}));
        QCOMPARE(MonthPieces(f.path("T1202601none.csv")), QList<QByteArray>{});
    }
};

QTEST_GUILESS_MAIN(MonthPiecesTest)
#include "month_pieces_test.moc"
