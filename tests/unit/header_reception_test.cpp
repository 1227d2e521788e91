// The header phase against a line that never completes a header: whatever arrives, and
// however steadily, the upload ends as a header error within the header's size and time
// limits, and a real header still loads when it comes in pieces.
#include "core/state.h"
#include "protocol/header_reception.h"
#include "protocol/upload_session.h"
#include "protocol_engine.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>

using namespace zantrel;

namespace {

QByteArray HeaderFile(const char* name) {
    QFile file(QStringLiteral(ZANTREL_TEST_DATA "/headers/") + QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray RandomBytes(qsizetype size) {
    QRandomGenerator random(13);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random.bounded(256));
    return bytes;
}

// Plays text again and again in deliveries of `piece` bytes, pauseMs apart, until the
// header phase ends or limit bytes were sent; returns the bytes sent.
qsizetype Play(PortlessEngine& e, const QByteArray& text, int piece, int pauseMs, qsizetype limit) {
    State& s = e.state();
    HeaderReception reception(s, e.clock);
    qsizetype sent = 0;
    while (!s.Headerloaded.checked() && !s.Errorindata.checked() && sent < limit) {
        // The reader reads on until it has the two bytes that tell the logger's version.
        const int wanted = s.LoggerVersion == -1 ? std::max(piece, 2) : piece;
        QByteArray delivery;
        while (delivery.size() < wanted)
            delivery += text.at((sent + delivery.size()) % text.size());
        sent += delivery.size();
        reception.receive(delivery, false);
        e.clock.advanceMs(pauseMs);
    }
    return sent;
}

} // namespace

class HeaderReceptionTest : public QObject {
    Q_OBJECT
  private slots:
    void aLineThatNeverCompletesAHeaderEndsTheUpload_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("piece");
        QTest::addColumn<int>("pauseMs");
        QTest::newRow("text without line ends") << QByteArray("?0Model ZL-T100 ") << 50 << 5;
        QTest::newRow("lines that are never the last")
            << QByteArray("001\r\nSerial 0047\r\n") << 50 << 5;
        QTest::newRow("older logger's fields without line feeds")
            << QByteArray("<1>0000\r") << 1 << 1;
        QTest::newRow("random bytes") << RandomBytes(4096) << 50 << 5;
        // Well inside the size limit, but one byte every 10 seconds for ever.
        QTest::newRow("a slow trickle") << QByteArray("001\r\nModel ZL-T100 ") << 1 << 10000;
    }

    void aLineThatNeverCompletesAHeaderEndsTheUpload() {
        QFETCH(QByteArray, text);
        QFETCH(int, piece);
        QFETCH(int, pauseMs);
        PortlessEngine e;
        State& s = e.state();
        e.engine->session().UploadDataClick();
        Play(e, text, piece, pauseMs, 10 * kMaxHeaderBytes);
        QCOMPARE(s.Edit1.text(), QByteArray(kHeaderNeverEnded));
        QVERIFY(s.Errorindata.checked());
        QVERIFY(s.UploadData.enabled());
        QVERIFY(!s.AbortUpload.enabled());
        QVERIFY(s.Memo2.length() <= kMaxHeaderBytes);
        // What still arrives is dropped.
        const qsizetype kept = s.Memo2.length();
        HeaderReception(s, e.clock).receive(text.left(50), false);
        QCOMPARE(s.Memo2.length(), kept);
    }

    void aRealHeaderStillLoadsInAnyPieces_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("piece");
        QTest::newRow("newer, temperature, whole reads") << QByteArray("v2_t.txt") << 50;
        QTest::newRow("newer, with humidity, 3 bytes") << QByteArray("v2_t_rh.txt") << 3;
        QTest::newRow("newer, no data on channel 1, 7 bytes")
            << QByteArray("v2_no_data_channel1.txt") << 7;
        QTest::newRow("older, 38 lines, byte by byte") << QByteArray("v1_38_lines.txt") << 1;
    }

    void aRealHeaderStillLoadsInAnyPieces() {
        QFETCH(QByteArray, file);
        QFETCH(int, piece);
        const QByteArray header = HeaderFile(file);
        QVERIFY(!header.isEmpty());
        PortlessEngine e;
        e.engine->session().UploadDataClick();
        const qsizetype sent = Play(e, header, piece, 20, header.size());
        QVERIFY(e.state().Headerloaded.checked());
        QVERIFY(e.state().Memo2.text().startsWith(header.left(sent)));
        QVERIFY(!e.status.contains(QByteArray(kHeaderNeverEnded)));
    }
};

QTEST_GUILESS_MAIN(HeaderReceptionTest)
#include "header_reception_test.moc"
