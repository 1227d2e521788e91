// File > Load Chart with several files and File > Load Month in the window, through the real
// file dialogs.
#include "chart_pieces.h"
#include "file_dialog_answer.h"
#include "gui_window.h"
#include "overlay_files.h"
#include "ui/main_menu_view.h"

#include <QMenuBar>
#include <QtTest>

using namespace zantrel;

namespace {

// A shown window charting fridge.zlx, with the logger's record of a month at hand in a folder
// of its own: pieces are saved there on demand.
struct Program : GuiWindow {
    OverlayFiles files;
    ChartFileHarness& source = files.source;
    ReadingsStore record = LoggerRecord();
    QByteArray fridge = files.write("fridge", {4, 5, 6});

    Program() {
        // A merged chart is in no one file: each load that follows it lets it go.
        boxes.answer = QMessageBox::Discard;
        form->engine().loader().LoadChartFile(fridge);
        form->show();
    }
    // Saves readings [from, to) of the record as a month's file: "T1202612site.zlx" (with its
    // chart file) when n is -1, else the numbered piece "T1202612site_<n>.zxl".
    QString piece(std::size_t from, std::size_t to, int n = -1) {
        const ReadingsStore part = Slice(record, from, to);
        if (n < 0)
            return QFile::decodeName(SavePiece(source, part, "T1202612site")).section('/', -1);
        const QString name = QString("T1202612site_%1.zxl").arg(n);
        QFile::rename(QFile::decodeName(SavePiece(source, part, "piece")), source.dir.file(name));
        return name;
    }
    QByteArray pathOf(const QString& name) { return source.pathOf(name); }
    // Picks names in the source folder in the next file dialog (cancels when there are none)
    // and triggers the item; returns the dialog's filters.
    QStringList choose(QAction* item, const QStringList& names) {
        QStringList filters;
        const QString folder = source.dir.file("");
        ChooseInNextFileDialog(
            [&filters, folder](QFileDialog& dialog) {
                filters = dialog.nameFilters();
                dialog.setDirectory(folder);
            },
            names);
        item->trigger();
        return filters;
    }
    MainMenuView& menus() { return *form->menus(); }
    const QList<QByteArray>& loaded() { return form->engine().loader().loadedFiles(); }

    // What a refused or cancelled pick must leave as it was.
    struct Snapshot {
        QString title;
        QList<QByteArray> files;
        std::vector<long long> times;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot shown() {
        return {form->windowTitle(), loaded(), Seconds(form->engine().readings().ReadingTimes)};
    }
};

} // namespace

class LoadMonthWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void loadChartTakesAMonthsThreePiecesAsOneChart() {
        Program p;
        // Overlapping as a repeated download leaves them.
        const QStringList names = {p.piece(200, 300, 1), p.piece(0, 120), p.piece(100, 220, 0)};
        const QStringList filters = p.choose(p.menus().LoadChart, names);
        QCOMPARE(filters, QStringList({"Chart files (.zlx, .zxl) (*.zlx *.zxl)", "All files (*)"}));
        QCOMPARE(p.state().Edit1.text(), QByteArray("File loaded."));
        const QByteArray first = p.pathOf("T1202612site.zlx");
        QCOMPARE(p.loaded(), (QList<QByteArray>{first, p.pathOf("T1202612site_0.zxl"),
                                                p.pathOf("T1202612site_1.zxl")}));
        QVERIFY(p.form->windowTitle().endsWith(QFile::decodeName(first) + " + 2 more"));
        QCOMPARE(Seconds(p.form->engine().readings().ReadingTimes), Seconds(p.record.ReadingTimes));

        // One file picked loads as it always did.
        p.choose(p.menus().LoadChart, {"T1202612site_0.zxl"});
        QCOMPARE(p.loaded(), QList<QByteArray>{p.pathOf("T1202612site_0.zxl")});
        QVERIFY(p.form->windowTitle().endsWith(QFile::decodeName(p.loaded().front())));
        QCOMPARE(p.form->engine().readings().ReadingTimes.size(), std::size_t(120));
    }

    void loadMonthFindsEveryNumberedPiece() {
        Program p;
        QList<QByteArray> month = {p.pathOf(p.piece(0, 30))};
        for (int n = 0; n <= 11; ++n)
            month.append(p.pathOf(p.piece(25 * n + 20, std::min(25 * n + 50, 300), n)));
        QAction* item = p.menus().LoadMonth;
        QCOMPARE(Shown(item->text()), QString("Load Month..."));
        QCOMPARE(MenuTitled(p.form->menuBar(), "File")->actions().indexOf(item), 1);

        const QStringList filters = p.choose(item, {"T1202612site.csv"});
        QCOMPARE(filters,
                 QStringList({"Monthly chart files (T*.csv, T*.zlx, T*.zxl) (T*.csv T*.zlx T*.zxl)",
                              "All files (*)"}));
        QCOMPARE(p.state().Edit1.text(), QByteArray("File loaded."));
        QCOMPARE(p.loaded(), month);
        QCOMPARE(Seconds(p.form->engine().readings().ReadingTimes), Seconds(p.record.ReadingTimes));
        QVERIFY(p.form->windowTitle().endsWith(QFile::decodeName(month[0]) + " + 12 more"));

        // Any piece names the same month.
        p.menus().NewClear->trigger();
        p.choose(item, {"T1202612site_7.zxl"});
        QCOMPARE(p.loaded(), month);
    }

    void aPickThatNamesNoMonthSaysSoAndKeepsTheChart() {
        Program p;
        p.source.dir.put("T1202611site.csv", "no duplicate beside it");
        p.source.dir.put("T1202613site.zlx", "");
        const Program::Snapshot before = p.shown();
        const std::pair<QString, QByteArray> picks[] = {
            {"fridge.zlx", "fridge.zlx is not a monthly chart file (T1yyyymm... or T2yyyymm...)."},
            {"T1202613site.zlx",
             "T1202613site.zlx is not a monthly chart file (T1yyyymm... or T2yyyymm...)."},
            {"T1202611site.csv", "No monthly chart files found for T1202611site."}};
        for (const auto& [name, status] : picks) {
            p.choose(p.menus().LoadMonth, {name});
            QCOMPARE(p.state().Edit1.text(), status);
            QVERIFY(p.shown() == before);
        }
    }

    void cancellingEitherDialogChangesNothing() {
        Program p;
        p.piece(0, 120);
        p.state().Edit1.setText("before");
        const Program::Snapshot before = p.shown();
        for (QAction* item : {p.menus().LoadChart, p.menus().LoadMonth}) {
            QVERIFY(!p.choose(item, {}).isEmpty()); // a dialog opened
            QCOMPARE(p.state().Edit1.text(), QByteArray("before"));
            QVERIFY(p.shown() == before);
        }
    }
};

QTEST_MAIN(LoadMonthWindowTest)
#include "load_month_window_test.moc"
