#include "sim_process.h"

namespace zantrel::bench {

namespace {
constexpr int kStartGuardMs = 10000;
} // namespace

SimProcess::SimProcess(const QString& program, const QStringList& arguments)
    : program_(program), arguments_(arguments) {}

SimProcess::~SimProcess() {
    stop();
}

bool SimProcess::start(QString* error) {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.setStandardErrorFile(QProcess::nullDevice());
    process_.start(program_, arguments_);
    if (!process_.waitForStarted(kStartGuardMs)) {
        *error = process_.errorString();
        return false;
    }
    while (!process_.canReadLine())
        if (!process_.waitForReadyRead(kStartGuardMs)) {
            *error = "the simulator printed no device";
            stop();
            return false;
        }
    device_ = QString::fromLocal8Bit(process_.readLine().trimmed());
    return true;
}

void SimProcess::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(kStartGuardMs)) {
        process_.kill();
        process_.waitForFinished(kStartGuardMs);
    }
}

} // namespace zantrel::bench
