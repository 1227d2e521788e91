#pragma once

#include <QString>
#include <QTemporaryDir>

namespace zantrel {

// A throwaway PostgreSQL 15 server for one test executable: its cluster and Unix socket in a
// temporary folder, no TCP port, every local login trusted, superuser "zantrel". Run as the
// "postgres" user when the tests run as root (initdb refuses root). Stopped on destruction.
class PostgresServer {
  public:
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // Empty when the server runs; otherwise what went wrong.
    const QString& failure() const { return failure_; }

    // A new empty database; empty when it was made, otherwise why not.
    QString createDatabase(const QString& name);
    // The archive URL of a database on this server, as role user.
    QString url(const QString& database, const QString& user = "zantrel") const;

    // Stopping and starting again, as a server that goes down does; true when done.
    bool stop();
    bool start();

  private:
    // Runs a server program as the server's user; false with its output in failure_.
    bool run(const QString& program, const QStringList& arguments);

    QTemporaryDir dir_;
    QString failure_;
    bool running_ = false;
};

} // namespace zantrel
