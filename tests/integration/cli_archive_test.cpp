// zantrel-cli archive and auto --archive in-process, against an SQLite file and a PostgreSQL
// server of the test's own: what the archive holds after each run, the texts and the exit
// statuses, and the chart files left as they were.
#include "archive/archive_database.h"
#include "archive/chart_archive.h"
#include "archive/utc_offset.h"
#include "chart_file_harness.h"
#include "cli_logger_run.h"
#include "postgres_server.h"
#include "sim/logger_simulator.h"

#include <QFile>
#include <QJsonArray>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include <memory>
#include <thread>

using namespace zantrel;

namespace {

sim::LoggerConfig Logger(int readings, QDateTime first = sim::wallTime(2026, 3, 30, 8, 7, 30)) {
    sim::LoggerConfig config;
    auto& channel = config.channels[0];
    channel.readingCount = readings;
    channel.storagePeriodSeconds = 900;
    channel.firstReading = first;
    return config;
}

// The rows of a query against an archive; a failing query fails the test that asked.
QList<QVariantList> Rows(const QString& url, const QString& sql) {
    ArchiveDatabase archive(std::get<ArchiveUrl>(ParseArchiveUrl(url)));
    if (!archive.failure().isEmpty()) qWarning() << "cannot open" << url << archive.failure();
    QSqlQuery q(archive.db());
    QList<QVariantList> rows;
    if (!q.exec(sql)) {
        qWarning() << sql << q.lastError().text();
        return {{"query failed"}};
    }
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < q.record().count(); ++i)
            row.append(q.value(i));
        rows.append(row);
    }
    return rows;
}

QVariant One(const QString& url, const QString& sql) {
    return Rows(url, sql).value(0).value(0);
}

// A reading's UTC time as seconds since 1970, in either engine's SQL.
QString Epoch(const QString& url) {
    return url.startsWith("sqlite:") ? "CAST(strftime('%s', time_utc) AS INTEGER)"
                                     : "CAST(extract(epoch FROM time_utc) AS BIGINT)";
}

// A chart file (and its duplicate, which is what is archived) of hourly readings from the
// time given, saved by the engine as "Save Chart" does.
QByteArray SaveHourly(ChartFileHarness& h, const QString& name, QDateTime first, int count,
                      const std::function<float(int)>& celsius) {
    for (int i = 0; i < count; ++i) {
        const QDateTime t = first.addSecs(3600LL * i);
        const QDate d = t.date();
        const QTime c = t.time();
        h.store().ReadingTimes.push_back(
            At(d.year(), d.month(), d.day(), c.hour(), c.minute(), c.second()));
        h.store().Temperatures.push_back(celsius(i));
    }
    h.save(name + ".csv");
    h.store().clear();
    return h.pathOf(name + ".zlx");
}

} // namespace

class CliArchiveTest : public QObject {
    Q_OBJECT
    std::unique_ptr<PostgresServer> server_;
    int databases_ = 0;

    // A new empty archive of the engine named, in dir for SQLite.
    QString freshArchive(const QString& engine, const WorkDir& dir) {
        const QString name = QString("archive%1").arg(++databases_);
        if (engine == "sqlite") return "sqlite:" + dir.file(name + ".db");
        const QString problem = server_->createDatabase(name);
        if (!problem.isEmpty()) qWarning() << problem;
        return server_->url(name);
    }
    static void engines() {
        QTest::addColumn<QString>("engine");
        QTest::newRow("sqlite") << "sqlite";
        QTest::newRow("postgresql") << "postgresql";
    }

  private slots:
    void initTestCase() {
        server_ = std::make_unique<PostgresServer>();
        QVERIFY2(server_->failure().isEmpty(), qPrintable(server_->failure()));
    }
    void cleanupTestCase() { server_.reset(); }

    void archivingTwiceAddsNothing_data() { engines(); }
    void archivingTwiceAddsNothing() {
        QFETCH(QString, engine);
        CliLoggerRun r(Logger(40));
        QCOMPARE(r.run({"auto", "--port", "$PORT", "--file", "site.csv", "--once"}), 0);
        const QString url = freshArchive(engine, r.dir());
        const QStringList archive = {"archive", "T1202603site.zlx", "--to",
                                     url,       "--utc-offset",     "+02:00"};
        QCOMPARE(r.run(archive), 0);
        QCOMPARE(r.last().out,
                 QByteArray("T1202603site.zlx: 40 new readings of 40, offset +02:00\n"));
        QCOMPARE(r.run(archive), 0);
        QCOMPARE(r.last().out,
                 QByteArray("T1202603site.zlx: 0 new readings of 40, offset +02:00\n"));
        QCOMPARE(One(url, "SELECT count(*) FROM readings").toInt(), 40);
        QCOMPARE(One(url, "SELECT count(*) FROM downloads").toInt(), 1);
        // The logger's 08:07:30 under +02:00, every 15 minutes, the local text kept.
        const QList<QVariantList> first =
            Rows(url, "SELECT " + Epoch(url) +
                          ", local_time, gap, rh, channel FROM readings "
                          "ORDER BY time_utc LIMIT 2");
        const qint64 expected =
            QDateTime(QDate(2026, 3, 30), QTime(6, 7, 30), QTimeZone::utc()).toSecsSinceEpoch();
        QCOMPARE(first[0][0].toLongLong(), expected);
        QCOMPARE(first[1][0].toLongLong(), expected + 900);
        QVERIFY2(first[0][1].toString().contains("08:07:30"), qPrintable(first[0][1].toString()));
        QVERIFY(!first[0][2].toBool());
        QVERIFY(first[0][3].isNull());
        QCOMPARE(first[0][4].toInt(), 1);
        const QList<QVariantList> download =
            Rows(url, "SELECT readings, source_file, encrypted, utc_offset FROM downloads");
        QCOMPARE(download[0][0].toInt(), 40);
        QCOMPARE(download[0][1].toString(), QString("T1202603site.zlx"));
        QVERIFY(download[0][2].toBool());
        QCOMPARE(download[0][3].toString(), QString("+02:00"));
    }

    // A download stored while the archive cannot be written stands; the next one catches the
    // archive up from the monthly files, though it reaches only the next month's.
    void downloadWhileArchiveDownIsCaughtUp_data() { engines(); }
    void downloadWhileArchiveDownIsCaughtUp() {
        QFETCH(QString, engine);
        const QDateTime lastEvening = sim::wallTime(2026, 3, 31, 22, 15, 0); // 7 readings to 23:45
        CliLoggerRun r(Logger(7, lastEvening));
        const QString url = freshArchive(engine, r.dir());
        const QStringList once = {"auto",      "--port", "$PORT",        "--file", "site.csv",
                                  "--archive", url,      "--utc-offset", "+01:00", "--once"};
        // Down: a folder where the SQLite file goes, or the server stopped.
        const QString sqlitePath = url.mid(7);
        if (engine == "sqlite")
            QVERIFY(QDir().mkdir(sqlitePath));
        else
            QVERIFY(server_->stop());
        const int status = r.run(once);
        const bool restored = engine == "sqlite" ? QDir().rmdir(sqlitePath) : server_->start();
        QVERIFY(restored);
        QCOMPARE(status, 0);
        QVERIFY(r.errLines().contains("File saved."));
        const QByteArray down = r.last().lastErrLine();
        QVERIFY2(down.startsWith("ARCHIVE NOT WRITTEN: ") &&
                     down.endsWith("; will retry at the next download."),
                 down.constData());

        r.replace(Logger(10, lastEvening));
        QCOMPARE(r.run(once), 0);
        QVERIFY(QFile::exists(r.dir().file("T1202604site.zlx")));
        QCOMPARE(r.last().lastErrLine(), QByteArray("Archive written: 10 new readings."));
        QCOMPARE(One(url, "SELECT count(*) FROM readings").toInt(), 10);
        QCOMPARE(r.run(once), 0);
        QCOMPARE(r.last().lastErrLine(), QByteArray("Archive written: 0 new readings."));
    }

    // A file across the autumn and the spring change in Europe/Berlin: one offset, that at
    // its first reading, for every reading, so the file stays evenly spaced in UTC.
    void clockChangesKeepEveryReading_data() { engines(); }
    void clockChangesKeepEveryReading() {
        QFETCH(QString, engine);
        ChartFileHarness h;
        const int count = 167 * 24; // 20 October 2026 to 5 April 2027, hourly
        const QByteArray file = SaveHourly(h, "winter", QDateTime(QDate(2026, 10, 20), QTime(0, 0)),
                                           count, [](int i) { return 4.0f + float(i % 7); });
        const QString url = freshArchive(engine, h.dir);
        const CliResult run = RunCliIn(
            h.dir, {"archive", file, "--to", url, "--time-zone", "Europe/Berlin"}, &h.clock);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QByteArray("winter.zlx: 4008 new readings of 4008, offset +02:00\n"));
        const QString epoch = Epoch(url);
        const QList<QVariantList> figures =
            Rows(url, QString("SELECT count(*), count(DISTINCT time_utc), min(%1), max(%1) "
                              "FROM readings")
                          .arg(epoch));
        QCOMPARE(figures[0][0].toInt(), count);
        QCOMPARE(figures[0][1].toInt(), count);
        const qint64 first = figures[0][2].toLongLong();
        QCOMPARE(first,
                 QDateTime(QDate(2026, 10, 19), QTime(22, 0), QTimeZone::utc()).toSecsSinceEpoch());
        QCOMPARE(figures[0][3].toLongLong() - first, qint64(count - 1) * 3600);
        QCOMPARE(One(url, QString("SELECT count(*) FROM readings WHERE (%1 - %2) % 3600 <> 0")
                              .arg(epoch)
                              .arg(first))
                     .toInt(),
                 0);
        QCOMPARE(One(url, "SELECT utc_offset FROM downloads").toString(), QString("+02:00"));
    }

    // Two writers into one archive at once, each with its own connection, the same readings
    // in opposite orders: every reading once, each added by exactly one of them.
    void twoWritersAtOnce_data() { engines(); }
    void twoWritersAtOnce() {
        QFETCH(QString, engine);
        ChartFileHarness h;
        const QDateTime start(QDate(2026, 5, 1), QTime(0, 0));
        const auto celsius = [](int i) { return float(i % 11); };
        const QByteArray a = SaveHourly(h, "a", start, 3000, celsius);
        const QByteArray b = SaveHourly(h, "b", start.addSecs(1500 * 3600), 3000, celsius);
        const QString url = freshArchive(engine, h.dir);
        const ArchiveUrl target = std::get<ArchiveUrl>(ParseArchiveUrl(url));
        const UtcOffsetRule rule = *UtcOffsetRule::Fixed("+00:00");
        std::array<std::vector<FileArchived>, 2> done;
        const auto writer = [&](int k, QList<QByteArray> files) {
            ChartArchive archive(target);
            for (const QByteArray& f : files)
                done[k].push_back(archive.archiveFile(f, rule, 0, 2026));
        };
        std::thread one(writer, 0, QList<QByteArray>{a, b});
        std::thread two(writer, 1, QList<QByteArray>{b, a});
        one.join();
        two.join();
        int64_t added = 0;
        for (const auto& results : done)
            for (const FileArchived& f : results) {
                QVERIFY2(f.failure.isEmpty(), qPrintable(f.failure));
                added += f.added;
            }
        QCOMPARE(added, int64_t(4500));
        QCOMPARE(One(url, "SELECT count(*) FROM readings").toInt(), 4500);
    }

    void newerSchemaRefused_data() { engines(); }
    void newerSchemaRefused() {
        QFETCH(QString, engine);
        ChartFileHarness h;
        const QByteArray file = SaveHourly(h, "c", QDateTime(QDate(2026, 6, 1), QTime(0, 0)), 24,
                                           [](int) { return 5.0f; });
        const QString url = freshArchive(engine, h.dir);
        QCOMPARE(RunCliIn(h.dir, {"archive", file, "--to", url}, &h.clock).status, 0);
        Rows(url, "UPDATE schema_version SET version = 2");
        Rows(url, "DELETE FROM readings");
        const CliResult run = RunCliIn(h.dir, {"archive", file, "--to", url}, &h.clock);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err, "zantrel-cli: cannot open the archive " + url.toUtf8() +
                              ": the archive has schema version 2 and this Zantrel writes "
                              "version 1; it was left as it is; nothing was archived.\n");
        QCOMPARE(One(url, "SELECT count(*) FROM readings").toInt(), 0);
        QCOMPARE(One(url, "SELECT version FROM schema_version").toInt(), 2);
    }

    // Archives that cannot be written: a usage error for a URL that is none, a clear line
    // for a login the server refuses; the chart files and the monthly files keep everything.
    void badUrlsAndRefusedLogins() {
        CliLoggerRun r(Logger(7));
        const QStringList once = {"auto", "--port", "$PORT", "--file", "site.csv", "--once"};
        QCOMPARE(r.run(once + QStringList{"--archive", server_->url("postgres", "nobody")}), 0);
        QVERIFY2(r.last().lastErrLine().contains(
                     "role \"nobody\" does not exist; will retry at the next download."),
                 r.last().err.constData());
        QCOMPARE(r.run({"load", "T1202603site.zlx", "--json"}), 0);
        QCOMPARE(r.last().json()["readings"].toArray().size(), 7);
        const QByteArray before = r.dir().read("T1202603site.zlx");

        const struct {
            QString url;
            int status;
            QByteArray says;
        } cases[] = {
            {"mysql://me@db/site", 2, "it starts with neither sqlite: nor postgresql://"},
            {"sqlite:", 2, "it names no database file"},
            {"postgresql://me:secret@db/site", 2, "a password does not belong on the command line"},
            {"postgresql://me@db:99999/site", 2, "the port must be a number from 1 to 65535"},
            {"postgresql://me@db", 2, "a '/' and a database name"},
            {server_->url("postgres", "nobody"), 1, "role \"nobody\" does not exist; nothing was"},
            {"sqlite:/nowhere/at/all.db", 1, "the folder of /nowhere/at/all.db does not exist"},
        };
        for (const auto& c : cases) {
            QCOMPARE(r.run({"archive", "T1202603site.zlx", "--to", c.url}), c.status);
            QVERIFY2(r.last().err.contains(c.says), r.last().err.constData());
            QVERIFY(r.last().out.isEmpty());
        }
        QCOMPARE(r.dir().read("T1202603site.zlx"), before);
        QCOMPARE(r.run({"archive", "nothere.zlx", "--to", "sqlite:a.db"}), 1);
        QCOMPARE(r.last().err, QByteArray("zantrel-cli: nothere.zlx was not archived: Cannot open "
                                          "file. No such file or directory.\n"));
    }

    // The example queries of the README, each run against its engine on readings of last
    // month: 6 C and 9.5 C in turn for two days.
    void readmeQueries_data() { engines(); }
    void readmeQueries() {
        QFETCH(QString, engine);
        QFile readme(ZANTREL_TEST_DATA "/../../README.md");
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString tag = engine == "sqlite" ? "    -- SQLite: " : "    -- PostgreSQL: ";
        QStringList queries;
        bool in = false;
        for (const QString& line : QString::fromUtf8(readme.readAll()).split('\n')) {
            if (line.startsWith(tag)) {
                queries.append(QString());
                in = true;
            } else if (in && line.startsWith("    ")) {
                queries.last() += line.mid(4) + '\n';
            } else {
                in = false;
            }
        }
        QCOMPARE(queries.size(), 2);

        ChartFileHarness h;
        const QDate month = QDate::currentDate().addMonths(-1);
        const QByteArray file =
            SaveHourly(h, "last", QDateTime(QDate(month.year(), month.month(), 10), QTime(0, 0)),
                       48, [](int i) { return i % 2 ? 9.5f : 6.0f; });
        const QString url = freshArchive(engine, h.dir);
        QCOMPARE(RunCliIn(h.dir, {"archive", file, "--to", url, "--utc-offset", "+00:00"}, &h.clock)
                     .status,
                 0);
        const QList<QVariantList> days = Rows(url, queries[0]);
        QCOMPARE(days.size(), 2);
        for (const QVariantList& day : days) {
            QCOMPARE(day.value(3).toDouble(), 6.0);
            QCOMPARE(day.value(4).toDouble(), 9.5);
        }
        const QList<QVariantList> warm = Rows(url, queries[1]);
        QCOMPARE(warm.size(), 24);
        for (const QVariantList& reading : warm)
            QCOMPARE(reading.value(4).toDouble(), 9.5);
    }
};

QTEST_GUILESS_MAIN(CliArchiveTest)
#include "cli_archive_test.moc"
