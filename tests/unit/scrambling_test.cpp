// The scrambling transform in closed form against the one-step-at-a-time rule it replaces.
// Whole lines going there and back are checked on saved duplicates.
#include "files/scrambling.h"

#include <QtTest>

using namespace zantrel;

namespace {

// The rule as stated: k single steps up (wrapping in 8 bits, above 126 back to 32)...
char StepUp(char c, long k) {
    signed char d = static_cast<signed char>(c);
    for (long i = 0; i < k; ++i) {
        d = static_cast<signed char>(d + 1);
        if (d > 126) d = 32;
    }
    return static_cast<char>(d);
}

// ...and k single steps down (below 32 back to 126).
char StepDown(char c, long k) {
    signed char d = static_cast<signed char>(c);
    for (long i = 0; i < k; ++i) {
        d = static_cast<signed char>(d - 1);
        if (d < 32) d = 126;
    }
    return static_cast<char>(d);
}

} // namespace

class ScramblingTest : public QObject {
    Q_OBJECT
  private slots:
    void closedFormMatchesTheSteppedRuleForEveryByte() {
        for (int previous : {-128, -3, 0, 32, 90, 126, 127}) {
            for (int byte = 0; byte < 256; ++byte) {
                ScrambleState up{static_cast<signed char>(previous), 5, 7};
                const long k = 5 + 8 + previous; // the column steps to 8 first
                const char c = static_cast<char>(byte);
                QCOMPARE(int(ScrambleCharacter(up, c)), int(StepUp(c, k)));

                ScrambleState down{static_cast<signed char>(previous), 5, 7};
                const QByteArray plain = UnscrambleLine(down, QByteArray(1, c));
                QCOMPARE(int(plain[0]), int(StepDown(c, k)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(ScramblingTest)
#include "scrambling_test.moc"
