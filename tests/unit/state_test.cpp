// The handler rules every subsystem relies on: handlers run synchronously and only on a
// change; appending always runs; handlers see the new value and may write again.
#include "core/flag.h"
#include "core/text_slot.h"

#include <QtTest>

using namespace zantrel;

class StateTest : public QObject {
    Q_OBJECT
  private slots:
    void flagRunsItsHandlerOnlyOnAChange() {
        Flag flag;
        QList<bool> seen;
        flag.onClick = [&] { seen.append(flag.checked()); };
        flag.clear();
        flag.tick();
        flag.tick();
        flag.clear();
        flag.set(false);
        QCOMPARE(seen, (QList<bool>{true, false}));
    }

    void slotRunsOnChangeAndOnEveryAppend() {
        TextSlot slot;
        QList<QByteArray> seen;
        slot.onChange = [&] { seen.append(slot.text()); };
        slot.setText("");
        slot.setText("<>");
        slot.setText("<>");
        slot.append("");
        slot.append("x");
        slot.clear();
        QCOMPARE(seen, (QList<QByteArray>{"<>", "<>", "<>x", ""}));
    }

    void handlersNestInTheOrderTheyAreCalled() {
        // A handler that writes another slot runs that slot's handler before returning,
        // and a handler may empty its own slot (as the packet decoder does).
        TextSlot packet, next;
        QList<QByteArray> order;
        next.onChange = [&] { order.append("next:" + next.text()); };
        packet.onChange = [&] {
            order.append("packet:" + packet.text());
            if (packet.text() == "done") {
                next.setText("");
                next.setText("<>");
                packet.clear();
            }
        };
        next.setText("<>");
        order.clear();
        packet.append("done");
        QCOMPARE(order, (QList<QByteArray>{"packet:done", "next:", "next:<>", "packet:"}));
    }

    void observersFollowEveryChangeBeforeTheHandler() {
        Flag flag;
        QList<QByteArray> order;
        flag.subscribe([&] { order.append("view"); });
        flag.onClick = [&] { order.append("handler"); };
        flag.tick();
        flag.tick();
        QCOMPARE(order, (QList<QByteArray>{"view", "handler"}));
    }
};

QTEST_GUILESS_MAIN(StateTest)
#include "state_test.moc"
