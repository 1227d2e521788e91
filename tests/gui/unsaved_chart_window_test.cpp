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
    void eachWayOfClearingAsks_data() {
        QTest::addColumn<int>("way");
        for (int i = 0; i < SixWays().size(); ++i)
            QTest::newRow(SixWays()[i].name) << i;
    }
    // Cancel changes nothing; Discard lets the same way go on.
    void eachWayOfClearingAsks() {
        QFETCH(int, way);
        Program p;
        const QString title = p.form->windowTitle();
        // Answered once, for the load after Discard; a load that went on after Cancel would
        // take it and change the chart.
        if (QString(SixWays()[way].name) == "Load Chart")
            ChooseInNextFileDialog([](QFileDialog&) {}, {p.source.dir.file("second.zlx")});
        p.boxes.answer = QMessageBox::Cancel;
        SixWays()[way].take(p);
        QCOMPARE(p.boxes.seen.size(), 1);
        QCOMPARE(p.questions(), 1);
        QCOMPARE(p.shownSeconds(), Seconds(p.record.ReadingTimes));
        QCOMPARE(p.form->windowTitle(), title);
        QVERIFY(p.form->isVisible() && p.closed.isEmpty());
        QVERIFY(p.state().UploadData.enabled()); // no upload began

        p.boxes.answer = QMessageBox::Discard;
        SixWays()[way].take(p);
        QCOMPARE(p.questions(), 2);
        QVERIFY(p.closed.size() == 1 || !p.state().UploadData.enabled() ||
                p.shownSeconds() != Seconds(p.record.ReadingTimes));
    }

    void aSavedChartGoesWithoutAQuestion() {
        Program p;
        p.boxes.answer = QMessageBox::Save;
        // A save dialog cancelled keeps the chart, as Cancel does.
        ChooseInNextFileDialog([](QFileDialog&) {}, {});
        p.menus().NewClear->trigger();
        QCOMPARE(p.shownSeconds(), Seconds(p.record.ReadingTimes));

        const QString saved = p.dir.filePath("merged.csv");
        ChooseInNextFileDialog([](QFileDialog&) {}, {saved});
        p.menus().NewClear->trigger();
        QCOMPARE(p.questions(), 2);
        QVERIFY(p.form->engine().readings().ReadingTimes.empty());
        QCOMPARE(p.form->windowTitle(), QString(p.state().BaseCaption));
        p.form->engine().loader().LoadChartFile(QFile::encodeName(p.dir.filePath("merged.zlx")));
        QCOMPARE(p.shownSeconds(), Seconds(p.record.ReadingTimes));
        p.find<QPushButton>("UploadData")->click();
        QVERIFY(!p.state().UploadData.enabled()); // the upload began
        p.form->close();
        QCOMPARE(p.questions(), 2);
        QCOMPARE(p.closed.size(), 1);
    }
};

QTEST_MAIN(UnsavedChartWindowTest)
#include "unsaved_chart_window_test.moc"
