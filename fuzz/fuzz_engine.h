#pragma once

#include "engine/engine.h"
#include "fake_host.h"
#include "test_clock.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace zantrel {

// One engine for a whole fuzzing run, started without a port in a folder of its own.
struct FuzzEngine {
    int argc = 1;
    char name[7] = "fuzzer";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
    QTemporaryDir dir;
    TestClock clock;
    FakeHost host;
    Engine engine{clock, host};

    FuzzEngine() {
        QFile port(dir.filePath("COMPORT.DAT"));
        if (port.open(QIODevice::WriteOnly)) port.write("NA");
        port.close();
        engine.FormCreate(dir.path().toLocal8Bit(), {});
    }

    static FuzzEngine& instance() {
        static FuzzEngine harness;
        return harness;
    }
};

} // namespace zantrel
