#pragma once

// The options of the fault-injection run.
#include "fault_plan.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <optional>

namespace zantrel::bench {

struct FaultRunOptions {
    QString cli = ZANTREL_CLI_BINARY;
    QString sim = ZANTREL_SIM_BINARY;
    quint32 seed = 0;
    int rounds = 40;
    double fastRateShare = 0.1;
    QList<Fault> faults = EveryFault();
    QString plant; // "", "duplicate" or "missing": spoils the files before the check
    bool keep = false;
};

// The options given, or nothing after a message on a wrong one.
std::optional<FaultRunOptions> ParseFaultRunOptions(const QCoreApplication& app);

} // namespace zantrel::bench
