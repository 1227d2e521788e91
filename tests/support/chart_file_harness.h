#pragma once

#include "chart/readings_store.h"
#include "core/calendar.h"
#include "core/state.h"
#include "engine/engine.h"
#include "fake_host.h"
#include "files/chart_file_loader.h"
#include "files/chart_file_writer.h"
#include "test_clock.h"
#include "work_dir.h"

#include <QFile>
#include <QList>
#include <functional>
#include <memory>

namespace zantrel {

// The status line of a save that wrote the chart file and its duplicate.
inline const QByteArray kSaved = "Data file and encrypted duplicate (*.zlx) saved.";

inline double At(int year, int month, int day, int hour, int minute, int second) {
    return *EncodeDateTime(year, month, day, hour, minute, second);
}

// The time of reading i of a series every 15 seconds from 1 March 2010 00:00:00 (one day).
inline double Every15s(int i) {
    const int s = 15 * i;
    return At(2010, 3, 1, s / 3600, s / 60 % 60, s % 60);
}

// The lines of a text whose every line ends with CR LF; a marker line when one does not.
inline QList<QByteArray> CrLfLines(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    if (!lines.last().isEmpty()) return {"<last line not ended>"};
    lines.removeLast();
    for (QByteArray& line : lines) {
        if (!line.endsWith('\r') || line.count('\r') != 1) return {"<line end not CR LF>"};
        line.chop(1);
    }
    return lines;
}

// A FakeHost that can look at the engine while the save dialog is open.
struct SaveHost : FakeHost {
    std::function<void()> duringSaveDialog;
    std::optional<QByteArray> saveFileDialog() override {
        if (duringSaveDialog) duringSaveDialog();
        return FakeHost::saveFileDialog();
    }
};

// An engine started on a fresh settings folder, saving and loading chart files there.
struct ChartFileHarness {
    WorkDir dir;
    TestClock clock;
    SaveHost host;
    std::unique_ptr<Engine> engine;

    explicit ChartFileHarness(const QStringList& arguments = {}) {
        engine = std::make_unique<Engine>(clock, host);
        engine->FormCreate(dir.path(), arguments, QByteArray("NA"));
        host.messages.clear();
    }
    State& s() { return engine->state(); }
    ReadingsStore& store() { return engine->readings(); }
    QByteArray pathOf(const QString& name) const { return QFile::encodeName(dir.file(name)); }

    // Adds readings of 20 C every 15 seconds from 1 March 2010 00:00:00.
    void addReadings(int count) {
        for (int i = 0; i < count; ++i) {
            store().ReadingTimes.push_back(Every15s(i));
            store().Temperatures.push_back(20.0f);
        }
    }
    // Saves to name in the work folder and returns the chart file's lines.
    QList<QByteArray> save(const QString& name = "run.csv") {
        host.savePath = pathOf(name);
        engine->writer().SaveChartFile();
        return CrLfLines(dir.read(name));
    }
    // Puts content in the work folder as name, loads it and returns the status line.
    QByteArray load(const QString& name, const QByteArray& content) {
        dir.put(name, content);
        engine->loader().LoadChartFile(pathOf(name));
        return s().Edit1.text();
    }
    QByteArray lastMessage() const {
        return host.messages.isEmpty()
                   ? QByteArray()
                   : host.messages.last().title + "|" + host.messages.last().text;
    }
};

} // namespace zantrel
