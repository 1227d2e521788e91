#pragma once

#include "message_box_catcher.h"
#include "test_clock.h"
#include "ui/main_window.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace zantrel {

// The main window started as at program start, in a fresh settings folder that is also the
// current directory, with the port "NA" so no serial device is touched. Message boxes are
// answered and recorded.
struct StartedWindow {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    TestClock clock;
    MessageBoxCatcher boxes;
    std::unique_ptr<TForm1> form;

    // now: the wall clock's day count when the program starts.
    explicit StartedWindow(double now = 40179.5 /* 1 January 2010 12:00 */) : clock(now) {
        QDir::setCurrent(dir.path());
        QFile file(dir.filePath("COMPORT.DAT"));
        if (file.open(QIODevice::WriteOnly)) file.write("NA");
        file.close();
        form = std::make_unique<TForm1>(clock);
        form->FormCreate(QFile::encodeName(dir.path()), {});
    }
    ~StartedWindow() {
        form.reset();
        QDir::setCurrent(previousDir);
    }
    StartedWindow(const StartedWindow&) = delete;
    StartedWindow& operator=(const StartedWindow&) = delete;
};

} // namespace zantrel
