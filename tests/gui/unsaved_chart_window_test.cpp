// A chart whose readings no file holds is never cleared without a question: the six ways of
// clearing it ask, Cancel keeps it, Discard lets it go and Save puts it in a file first.
#include "chart_pieces.h"
#include "file_dialog_answer.h"
#include "gui_window.h"
#include "ui/main_menu_view.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace zantrel;

namespace {

const QString kQuestion = "The chart holds readings that are not saved. Save them first?";

// A shown window charting two files merged into one chart, which no one file holds.
struct Program : GuiWindow {
    ChartFileHarness source;
    ReadingsStore record = LoggerRecord();
    QByteArray first = SavePiece(source, Slice(record, 0, 150), "first");
    QByteArray second = SavePiece(source, Slice(record, 150, 300), "second");
    QSignalSpy closed{form.get(), &TForm1::closed};

    Program() {
        form->engine().loader().loadChartFiles({first, second});
        form->show();
    }
    MainMenuView& menus() { return *form->menus(); }
    std::vector<long long> shownSeconds() {
        return Seconds(form->engine().readings().ReadingTimes);
    }
    int questions() const {
        int n = 0;
        for (const QString& box : boxes.seen)
            n += box.endsWith("|" + kQuestion);
        return n;
    }
};

struct Way {
    const char* name;
    std::function<void(Program&)> take;
};

const QList<Way>& SixWays() {
    static const QList<Way> ways = {
        {"Upload Data", [](Program& p) { p.find<QPushButton>("UploadData")->click(); }},
        {"New/Clear", [](Program& p) { p.menus().NewClear->trigger(); }},
        {"Load Chart", [](Program& p) { p.menus().LoadChart->trigger(); }},
        {"Exit", [](Program& p) { p.menus().Exit->trigger(); }},
        {"close box", [](Program& p) { p.form->close(); }},
        {"tray Quit", [](Program& p) { p.find<QAction>("SHORTCUT_QUIT")->trigger(); }},
    };
    return ways;
}

} // namespace

class UnsavedChartWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void eachWayOfClearingAsksAndCancelKeepsTheChart() {
        for (const Way& way : SixWays()) {
            Program p;
            const QString title = p.form->windowTitle();
            const std::vector<long long> before = p.shownSeconds();
            QCOMPARE(before, Seconds(p.record.ReadingTimes));
            p.boxes.answer = QMessageBox::Cancel;
            way.take(p);
            QVERIFY2(p.questions() == 1 && p.boxes.seen.size() == 1, way.name);
            QVERIFY2(p.shownSeconds() == before, way.name);
            QCOMPARE(p.form->windowTitle(), title);
            QVERIFY2(p.form->isVisible() && p.closed.isEmpty(), way.name);
            QVERIFY2(p.state().UploadData.enabled(), way.name); // no upload began
        }
    }

    void discardLetsEachWayGoOn() {
        {
            Program p;
            p.boxes.answer = QMessageBox::Discard;
            p.menus().NewClear->trigger();
            QCOMPARE(p.questions(), 1);
            QVERIFY(p.form->engine().readings().ReadingTimes.empty());
            // The caption names no file once the chart is new.
            QCOMPARE(p.form->windowTitle(), QString(p.state().BaseCaption));
            // A new chart holds nothing to lose.
            p.menus().Exit->trigger();
            QCOMPARE(p.questions(), 1);
            QCOMPARE(p.closed.size(), 1);
        }
        for (const char* way : {"Exit", "close box", "tray Quit"}) {
            Program p;
            p.boxes.answer = QMessageBox::Discard;
            for (const Way& w : SixWays())
                if (QString(w.name) == way) w.take(p);
            QVERIFY2(p.questions() == 1 && p.closed.size() == 1, way);
        }
        Program p;
        p.boxes.answer = QMessageBox::Discard;
        ChooseInNextFileDialog([](QFileDialog&) {}, {p.source.dir.file("second.zlx")});
        p.menus().LoadChart->trigger();
        QCOMPARE(p.questions(), 1);
        QCOMPARE(p.state().Edit1.text(), QByteArray("File loaded."));
        QCOMPARE(p.shownSeconds(), Seconds(Slice(p.record, 150, 300).ReadingTimes));
        // One file's chart is that file's: the next way asks nothing.
        p.find<QPushButton>("UploadData")->click();
        QCOMPARE(p.questions(), 1);
        QVERIFY(!p.state().UploadData.enabled()); // the upload began
    }

    void saveFirstPutsTheChartInAFile() {
        Program p;
        p.boxes.answer = QMessageBox::Save;
        // A save dialog cancelled keeps the chart, as Cancel does.
        ChooseInNextFileDialog([](QFileDialog&) {}, {});
        p.menus().NewClear->trigger();
        QCOMPARE(p.questions(), 1);
        QCOMPARE(p.shownSeconds(), Seconds(p.record.ReadingTimes));

        const QString saved = p.dir.filePath("merged.csv");
        ChooseInNextFileDialog([](QFileDialog&) {}, {saved});
        p.menus().NewClear->trigger();
        QCOMPARE(p.questions(), 2);
        QVERIFY(p.form->engine().readings().ReadingTimes.empty());
        QVERIFY(QFile::exists(saved) && QFile::exists(p.dir.filePath("merged.zlx")));
        p.form->engine().loader().LoadChartFile(QFile::encodeName(p.dir.filePath("merged.zlx")));
        QCOMPARE(p.shownSeconds(), Seconds(p.record.ReadingTimes));
        // Saved, the chart goes without a question.
        p.form->close();
        QCOMPARE(p.questions(), 2);
        QCOMPARE(p.closed.size(), 1);
    }
};

QTEST_MAIN(UnsavedChartWindowTest)
#include "unsaved_chart_window_test.moc"
