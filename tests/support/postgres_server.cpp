#include "postgres_server.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <unistd.h>

namespace zantrel {

namespace {

const QString kBin = "/usr/lib/postgresql/15/bin/";

} // namespace

PostgresServer::PostgresServer() {
    if (!dir_.isValid()) {
        failure_ = "no temporary folder";
        return;
    }
    if (geteuid() == 0 && !run("chown", {"postgres:postgres", dir_.path()})) return;
    if (!run(kBin + "initdb", {"-D", dir_.filePath("data"), "-U", "zantrel", "--auth=trust", "-E",
                               "UTF8", "--no-sync", "--no-instructions"}))
        return;
    start();
}

PostgresServer::~PostgresServer() {
    stop();
}

bool PostgresServer::run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // chown runs as root; the server's own programs as its owner.
    if (geteuid() == 0 && program != "chown")
        process.start("runuser", QStringList{"-u", "postgres", "--", program} + arguments);
    else
        process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        failure_ = program + " failed: " + QString::fromLocal8Bit(process.readAll());
        return false;
    }
    return true;
}

bool PostgresServer::start() {
    if (running_) return true;
    const QString options =
        QString("-k %1 -c listen_addresses='' -c fsync=off -c max_connections=20").arg(dir_.path());
    running_ = run(kBin + "pg_ctl", {"-D", dir_.filePath("data"), "-l", dir_.filePath("log"), "-w",
                                     "-o", options, "start"});
    return running_;
}

bool PostgresServer::stop() {
    if (!running_) return true;
    running_ = !run(kBin + "pg_ctl", {"-D", dir_.filePath("data"), "-w", "-m", "fast", "stop"});
    return !running_;
}

QString PostgresServer::url(const QString& database, const QString& user) const {
    return QString("postgresql://%1@/%2?host=%3").arg(user, database, dir_.path());
}

QString PostgresServer::createDatabase(const QString& name) {
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", "zantrel-test-admin");
        db.setHostName(dir_.path());
        db.setUserName("zantrel");
        db.setDatabaseName("postgres");
        if (!db.open())
            problem = db.lastError().text();
        else if (QSqlQuery q(db); !q.exec("CREATE DATABASE " + name))
            problem = q.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase("zantrel-test-admin");
    return problem;
}

} // namespace zantrel
