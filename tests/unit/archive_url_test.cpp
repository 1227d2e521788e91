// Archive URLs: the SQLite and PostgreSQL forms taken apart, and the refusals that say why.
#include "archive/archive_url.h"

#include <QtTest>

using namespace zantrel;

class ArchiveUrlTest : public QObject {
    Q_OBJECT
  private slots:
    void forms() {
        const auto sqlite = std::get<ArchiveUrl>(ParseArchiveUrl("sqlite:/var/lib/z/archive.db"));
        QCOMPARE(sqlite.engine, ArchiveUrl::Sqlite);
        QCOMPARE(sqlite.path, QString("/var/lib/z/archive.db"));
        QCOMPARE(std::get<ArchiveUrl>(ParseArchiveUrl("sqlite:archive.db")).path,
                 QString("archive.db"));

        const auto pg =
            std::get<ArchiveUrl>(ParseArchiveUrl("postgresql://lab@db.site:5433/fridges"));
        QCOMPARE(pg.engine, ArchiveUrl::Postgresql);
        QCOMPARE(pg.user, QString("lab"));
        QCOMPARE(pg.host, QString("db.site"));
        QCOMPARE(pg.port, 5433);
        QCOMPARE(pg.database, QString("fridges"));

        const auto socket =
            std::get<ArchiveUrl>(ParseArchiveUrl("postgres:///fridges?host=%2Frun%2Fpostgresql"));
        QCOMPARE(socket.user, QString());
        QCOMPARE(socket.host, QString("/run/postgresql"));
        QCOMPARE(socket.port, -1);
        QCOMPARE(socket.database, QString("fridges"));
        QCOMPARE(std::get<ArchiveUrl>(ParseArchiveUrl("postgresql://lab@/f?host=/tmp/s")).host,
                 QString("/tmp/s"));
    }

    void refusals_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("why");
        QTest::newRow("scheme") << "mysql://a@b/c"
                                << "it starts with neither sqlite: nor";
        QTest::newRow("no file") << "sqlite:"
                                 << "it names no database file";
        QTest::newRow("password") << "postgresql://a:pw@b/c"
                                  << "a password does not belong";
        QTest::newRow("no database") << "postgresql://a@b"
                                     << "it needs a '/' and a database name";
        QTest::newRow("port") << "postgresql://a@b:x/c"
                              << "the port must be a number";
        QTest::newRow("query") << "postgresql://a@b/c?sslmode=off"
                               << "the only query it takes";
        QTest::newRow("relative socket") << "postgresql://a@b/c?host=tmp"
                                         << "the only query";
    }
    void refusals() {
        QFETCH(QString, url);
        QFETCH(QString, why);
        const auto parsed = ParseArchiveUrl(url);
        const QString* message = std::get_if<QString>(&parsed);
        QVERIFY(message);
        QVERIFY2(message->startsWith("'" + url + "' is no archive URL: " + why),
                 qPrintable(*message));
        QVERIFY(message->endsWith("use sqlite:/path/archive.db or "
                                  "postgresql://user@host[:port]/database."));
    }
};

QTEST_GUILESS_MAIN(ArchiveUrlTest)
#include "archive_url_test.moc"
