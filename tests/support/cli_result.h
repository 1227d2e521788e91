#pragma once

#include "cli/cli.h"
#include "test_clock.h"
#include "work_dir.h"

#include <QByteArrayList>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <sstream>

namespace zantrel {

// What a run of the command-line tool left: its exit status and both output streams.
struct CliResult {
    int status = 0;
    QByteArray out;
    QByteArray err;

    QByteArrayList errLines() const {
        QByteArrayList lines = err.split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
    QByteArray lastErrLine() const { return errLines().value(errLines().size() - 1); }
    // Standard output as one JSON object; a warning when it is not one.
    QJsonObject json() const {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(out, &error);
        if (error.error != QJsonParseError::NoError || !document.isObject())
            qWarning() << "not one JSON object:" << error.errorString() << out;
        return document.object();
    }
};

// Runs the tool in this process with dir as its current folder, on virtual time.
inline CliResult RunCliIn(const WorkDir& dir, const QStringList& arguments,
                          TestClock* clock = nullptr, InterruptRequest* interrupt = nullptr) {
    TestClock ownClock;
    std::ostringstream out, err;
    CliContext context{clock ? *clock : ownClock, dir.path(), out, err, interrupt};
    const int status = RunCli(arguments, context);
    return {status, QByteArray::fromStdString(out.str()), QByteArray::fromStdString(err.str())};
}

// The figures zantrel-cli stats prints as text: its lines above the tables that follow a blank
// line.
inline QByteArray StatsFiguresText(const QByteArray& out) {
    return out.left(out.indexOf("\n\n") + 1);
}

// Raises the interrupt request once the condition holds, looked at every few milliseconds: a
// signal to a tool that runs in this process.
inline void InterruptWhen(InterruptRequest& interrupt, std::function<bool()> condition) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, &interrupt, condition] {
        if (!condition()) return;
        interrupt.raised = true;
        timer->deleteLater();
    });
    timer->start(5);
}

} // namespace zantrel
