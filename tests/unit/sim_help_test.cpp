// zantrel-sim's help options print the help and start no logger.

#include "sim/sim_options.h"

#include <QTest>

using namespace zantrel::sim;

class SimHelpTest : public QObject {
    Q_OBJECT

  private slots:
    void helpOptions_data() {
        QTest::addColumn<QString>("option");
        QTest::newRow("--help") << "--help";
        QTest::newRow("-h") << "-h";
        QTest::newRow("--help-all") << "--help-all";
    }
    void helpOptions() {
        QFETCH(QString, option);
        QString error;
        const auto options =
            parseSimOptions({"zantrel-sim", option}, wallTime(2010, 3, 10), &error);
        QVERIFY2(options, qPrintable(error));
        QVERIFY(options->help);
        QVERIFY(options->helpText.contains("--bad-checksum"));
    }
};

QTEST_GUILESS_MAIN(SimHelpTest)
#include "sim_help_test.moc"
