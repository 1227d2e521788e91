// The logger's events as one list in time order, and alarm starts paired with their ends.
#include "chart/event_list.h"

#include <QtTest>

using namespace zantrel;

namespace {

// "tas@3": an event's kind by its chart mark and its time.
QStringList Describe(const std::vector<LoggerEvent>& events) {
    static const char* kMarks[EventKindCount] = {"ns", "tas", "RHas", "tae", "RHae", "ts", "te"};
    QStringList lines;
    for (const LoggerEvent& e : events)
        lines << QString("%1@%2").arg(kMarks[e.kind]).arg(e.time);
    return lines;
}

// "T 1-4", "RH 2-open", "T ?-9": an alarm period, its ends open or unknown.
QStringList Describe(const std::vector<AlarmPeriod>& periods) {
    const auto at = [](std::optional<double> t, const char* none) {
        return t ? QString::number(*t) : QString(none);
    };
    QStringList lines;
    for (const AlarmPeriod& p : periods)
        lines << QString("%1 %2-%3")
                     .arg(p.start == TempAlarmStart ? "T" : "RH", at(p.from, "?"),
                          at(p.to, "open"));
    return lines;
}

ReadingsStore Events(const std::array<QList<double>, EventKindCount>& lists) {
    ReadingsStore store;
    for (int kind = 0; kind < EventKindCount; ++kind)
        store.Events[kind].assign(lists[kind].begin(), lists[kind].end());
    return store;
}

} // namespace

class EventListTest : public QObject {
    Q_OBJECT
  private slots:
    void eventsInTimeOrder() {
        // New sensor, temperature and humidity alarm starts and ends, test start and end.
        const ReadingsStore store = Events({{{1}, {2, 6}, {3}, {4}, {8}, {5}, {5}}});
        QCOMPARE(Describe(ListEvents(store, {})), (QStringList{"ns@1", "tas@2", "RHas@3", "tae@4",
                                                               "ts@5", "te@5", "tas@6", "RHae@8"}));
        QCOMPARE(Describe(ListEvents(store, {3, 5})),
                 (QStringList{"RHas@3", "tae@4", "ts@5", "te@5"}));
    }

    void alarmPeriods_data() {
        QTest::addColumn<QList<double>>("tempStarts");
        QTest::addColumn<QList<double>>("tempEnds");
        QTest::addColumn<QList<double>>("rhStarts");
        QTest::addColumn<QList<double>>("rhEnds");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("paired") << QList<double>{1, 5} << QList<double>{3, 7} << QList<double>{2}
                                << QList<double>{4} << QStringList{"T 1-3", "RH 2-4", "T 5-7"};
        QTest::newRow("a start missing its end")
            << QList<double>{1, 5} << QList<double>{7} << QList<double>{} << QList<double>{}
            << QStringList{"T 1-open", "T 5-7"};
        QTest::newRow("the last start open")
            << QList<double>{1, 5} << QList<double>{3} << QList<double>{6} << QList<double>{}
            << QStringList{"T 1-3", "T 5-open", "RH 6-open"};
        QTest::newRow("an end without its start")
            << QList<double>{4} << QList<double>{2, 6} << QList<double>{} << QList<double>{}
            << QStringList{"T ?-2", "T 4-6"};
    }
    void alarmPeriods() {
        QFETCH(QList<double>, tempStarts);
        QFETCH(QList<double>, tempEnds);
        QFETCH(QList<double>, rhStarts);
        QFETCH(QList<double>, rhEnds);
        QFETCH(QStringList, expected);
        const ReadingsStore store = Events({{{}, tempStarts, rhStarts, tempEnds, rhEnds, {}, {}}});
        QCOMPARE(Describe(PairAlarms(ListEvents(store, {}))), expected);
    }
};

QTEST_GUILESS_MAIN(EventListTest)
#include "event_list_test.moc"
