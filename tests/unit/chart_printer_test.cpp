// File, "Print Chart" through the engine: the stamp in the foot while printing, and the
// foot restored afterwards.
#include "app_engine.h"
#include "chart/chart_model.h"
#include "chart/chart_presenter.h"
#include "chart/chart_printer.h"
#include "core/date_rendering.h"
#include "core/state.h"

#include <QtTest>

using namespace zantrel;

namespace {

struct Harness : AppEngine<> {
    QList<QByteArray> footWhenPrinted;

    Harness() {
        dir.put("USERINFO.DAT", "~User Name: Ann\r\n~User Location: Lab 2\r\n~ZL ID: 17\r\n"
                                "~PC Software Version: V\r\n");
        start("NA").presenter().UpdateChartFoot();
        host.onPrint = [this] { footWhenPrinted = engine->chart().Foot; };
        clock.advanceMs(3 * 3600 * 1000 + 17 * 1000);
    }
    QByteArray now() const {
        return FormatDateTime(engine->state().DATEFORMAT.text(), clock.now());
    }
};

} // namespace

class ChartPrinterTest : public QObject {
    Q_OBJECT
  private slots:
    void cancellingPrintsNothing() {
        Harness h;
        const QList<QByteArray> foot = h.engine->chart().Foot;
        h.host.printAccepted = false;
        h.engine->printer().Button1Click();
        QCOMPARE(h.host.prints, 0);
        QCOMPARE(h.engine->chart().Foot, foot);
    }

    void printoutEndsWithTheStampAndTheScreenFootReturns() {
        Harness h;
        const QList<QByteArray> foot = h.engine->chart().Foot;
        QVERIFY(foot.size() >= 2);
        h.host.printAccepted = true;
        h.engine->printer().Button1Click();
        QCOMPARE(h.host.prints, 1);
        QCOMPARE(h.footWhenPrinted.mid(0, foot.size()), foot);
        // Then what the chart is of (nothing saved, channel 1, the stored ZL ID) and the stamp.
        QCOMPARE(h.footWhenPrinted.size(), foot.size() + 2);
        QCOMPARE(h.footWhenPrinted[foot.size()],
                 QByteArray("File: not saved   Channel 1   ZL ID=17"));
        QCOMPARE(h.footWhenPrinted.last(), QByteArray(87, ' ') + "Printed " + h.now());
        QCOMPARE(h.engine->chart().Foot, foot);
    }

    void secureReadingsAreMarkedOnThePrintout() {
        Harness h;
        h.engine->state().LockImage.setVisible(true);
        h.host.printAccepted = true;
        h.engine->printer().Button1Click();
        QCOMPARE(h.footWhenPrinted.last(),
                 "[Secure Data]" + QByteArray(74, ' ') + "Printed " + h.now());
        QVERIFY(!h.engine->chart().Foot.last().contains("Printed"));
    }

    // A rate text that is not a number leaves the foot unbuilt; the stamp still goes.
    void theStampNeverStaysOnScreen() {
        Harness h;
        h.engine->state().Samplesperhour.setText("n/a");
        const QList<QByteArray> foot = h.engine->chart().Foot;
        h.host.printAccepted = true;
        h.engine->printer().Button1Click();
        QCOMPARE(h.host.prints, 1);
        QVERIFY(h.footWhenPrinted.last().contains("Printed "));
        QCOMPARE(h.engine->chart().Foot, foot);
    }
};

QTEST_GUILESS_MAIN(ChartPrinterTest)
#include "chart_printer_test.moc"
