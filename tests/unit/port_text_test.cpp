#include "link/port_text.h"

#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <grp.h>
#include <unistd.h>

using namespace zantrel;

namespace {

#define BY_PATH "/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0"

struct ParseRow {
    const char* text;
    const char* name;
    const char* fastBaud;
    const char* device;
};
const ParseRow kParseRows[] = {
    {"COM1", "COM1", "", "/dev/ttyS0"},
    {"COM03", "COM3", "", "/dev/ttyS2"},
    {"COM  12", "COM12", "", "/dev/ttyS11"},
    {" COM3", "NA", "", "NA"},
    {"COM3:38400", "COM3", "38400", "/dev/ttyS2"},
    {"COM3: 38400", "COM3", "38400", "/dev/ttyS2"},
    {"COM3:38400 baud", "COM3", "38400", "/dev/ttyS2"},
    {"COM3:fast", "COM3", "", "/dev/ttyS2"},
    {"COM3:", "COM3", "", "/dev/ttyS2"},
    {"COM3:x:9600", "COM3", "", "/dev/ttyS2"},
    {"COM7abc", "COM7", "", "/dev/ttyS6"},
    {"COM0", "COM0", "", "NA"},
    {"COM-3", "NA", "", "NA"},
    {"COM99999999999", "NA", "", "NA"},
    {"com3", "NA", "", "NA"},
    {"NA", "NA", "", "NA"},
    {"", "NA", "", "NA"},
    {"/dev/ttyUSB0", "/dev/ttyUSB0", "", "/dev/ttyUSB0"},
    {"/dev/ttyACM0:57600", "/dev/ttyACM0", "57600", "/dev/ttyACM0"},
    {BY_PATH, BY_PATH, "", BY_PATH},
    {BY_PATH ":57600", BY_PATH, "57600", BY_PATH},
    {"/dev/ttyUSB0:38400\r\n", "/dev/ttyUSB0", "38400", "/dev/ttyUSB0"},
    {"/dev/ttyUSB1 \t \r\n", "/dev/ttyUSB1", "", "/dev/ttyUSB1"},
    {"/dev/ttyUSB0 :9600", "/dev/ttyUSB0", "9600", "/dev/ttyUSB0"},
    {"/dev/ttyUSB0:fast", "/dev/ttyUSB0:fast", "", "/dev/ttyUSB0:fast"},
};

struct SaveRow {
    const char* newPort;
    const char* oldText;
    const char* stored;
};
const SaveRow kSaveRows[] = {
    {"COM5", "COM2:38400", "COM5:38400"},
    {"COM5", "COM2: 38400 x", "COM5: 38400 x"},
    {"COM5", "COM2", "COM5"},
    {"COM5", "NA", "COM5"},
    {"COM5", BY_PATH ":57600\r\n", "COM5:57600"},
    {"/dev/ttyUSB0", "COM2:38400", "/dev/ttyUSB0:38400"},
    {"/dev/ttyUSB0", "COM2:fast", "/dev/ttyUSB0"},
    {"/dev/ttyUSB0\r\n", "COM1:57600", "/dev/ttyUSB0:57600"},
    {"/dev/ttyUSB0:9600", "COM2:38400", "/dev/ttyUSB0:9600"},
    {BY_PATH, "/dev/ttyACM0:57600", BY_PATH ":57600"},
    {BY_PATH, BY_PATH, BY_PATH},
};

const QByteArray kBase = "Cannot open serial port: /dev/ttyS2.\nIt may be in use or does not "
                         "exist.\nA different port may be selected\nfrom the Setup menu.";

} // namespace

Q_DECLARE_METATYPE(ParseRow)
Q_DECLARE_METATYPE(SaveRow)

class PortTextTest : public QObject {
    Q_OBJECT
  private slots:
    void parsesPortText_data() {
        QTest::addColumn<ParseRow>("row");
        for (const ParseRow& row : kParseRows)
            QTest::addRow("'%s'", row.text) << row;
    }
    void parsesPortText() {
        QFETCH(ParseRow, row);
        QCOMPARE(PortName(row.text), QByteArray(row.name));
        QCOMPARE(FastBaudFromPort(row.text), QByteArray(row.fastBaud));
        QCOMPARE(DeviceForPort(row.text), QByteArray(row.device));
    }

    void keepsTailOnSave_data() {
        QTest::addColumn<SaveRow>("row");
        for (const SaveRow& row : kSaveRows)
            QTest::addRow("'%s' over '%s'", row.newPort, row.oldText) << row;
    }
    void keepsTailOnSave() {
        QFETCH(SaveRow, row);
        QCOMPARE(PortWithTail(row.newPort, row.oldText), QByteArray(row.stored));
    }

    void openFailureKeepsTextWithoutReason() {
        QCOMPARE(OpenFailureMessage("/dev/ttyS2", 0), kBase);
    }

    void openFailureAddsReasonLine_data() {
        QTest::addColumn<int>("err");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("missing") << ENOENT << QByteArray("does not exist");
        QTest::newRow("unplugged") << ENXIO << QByteArray("does not exist");
        QTest::newRow("busy") << EBUSY << QByteArray("busy");
        QTest::newRow("locked") << EWOULDBLOCK << QByteArray("busy");
        QTest::newRow("permission") << EACCES << QByteArray("member of the group that owns");
        QTest::newRow("speed") << EINVAL << QByteArray("line speed");
        QTest::newRow("not a tty") << ENOTTY << QByteArray("not a serial port");
        QTest::newRow("other") << EISDIR << QByteArray("System error: ");
    }
    void openFailureAddsReasonLine() {
        QFETCH(int, err);
        QFETCH(QByteArray, reason);
        const QByteArray message = OpenFailureMessage("/dev/ttyS2", err);
        QVERIFY(message.startsWith(kBase + '\n'));
        const QByteArray extra = message.mid(kBase.size() + 1);
        QVERIFY2(extra.contains(reason) && !extra.contains('\n'), extra.constData());
    }

    void permissionFixNamesOwningGroup() {
        QTemporaryDir dir;
        QFile file(dir.filePath("ttyFake"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const group* owner = ::getgrgid(::getegid());
        QVERIFY(owner);
        const QByteArray message = OpenFailureMessage(QFile::encodeName(file.fileName()), EACCES);
        QVERIFY2(message.contains("member of the group \"" + QByteArray(owner->gr_name) +
                                  "\" that owns the device, then log in again."),
                 message.constData());
    }
};

QTEST_GUILESS_MAIN(PortTextTest)
#include "port_text_test.moc"
