// Finding and adding a mouse: the report-descriptor parser, and --probe, --add-device and
// --udev-rule run by the real program (without a display) on a made-up machine, after which the
// window connects to the added mouse.

#include "app/datafolder.h"
#include "app/devicetable.h"
#include "device/reportdescriptor.h"
#include "device/widget_rig.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

using namespace reportdescriptor;

namespace {

// Report descriptors of the shapes mice and keyboards have, as hex text.
const char *const pointer553 = "05010902a1010901a1000509190129051500250195057501810295017503810105010930093109381581257f750895038106c0c0";
const char *const command553 = "0600ff0a00ffa1011500 26ff00 7508 9520 0901 8102 0902 9102 9508 0903 b102 c0";
const char *const status553 = "0601ff0a01ffa101 8505 1500 26ff00 7508 9506 0901 8102 c0";
const char *const command560 = "0600ff0a00ffa1011500 26ff00 7508 9540 0901 8102 0902 9102 9508 0903 b102 c0";
const char *const keyboard = "05010906a101050719e029e71500250175019508810295017508810195057501050819012905910295017503910195067508"
                             "150025650507190029658100c0";
const char *const mediaKeys = "050c0901a101 8501 150026ff03 19002aff03 7510 9501 8100 c0"
                              "05010980a101 8502 19812983 15002501 7501 9503 8102 9505 8101 c0";
const char *const malformed = "0600ff0901a101c0c0";
const char *const truncated = "05010902a10126ff";

QByteArray bytes(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

Descriptor parsed(const QByteArray &b)
{
    return parse(reinterpret_cast<const uint8_t *>(b.constData()), size_t(b.size()));
}

QString summary(const Descriptor &d)
{
    QStringList parts;
    for (const Collection &c : d.collections)
        parts << QString::fromStdString(c.describe());
    return parts.join("; ") + (d.problemText.empty() ? "" : " | " + QString::fromStdString(d.problemText));
}

struct Run
{
    int exitCode = -1;
    QString out, err;
};

} // namespace

class DeviceToolsTest : public QObject
{
    Q_OBJECT

private slots:
    void parseDescriptor_data()
    {
        QTest::addColumn<QByteArray>("descriptor");
        QTest::addColumn<QString>("expected");
        QTest::newRow("pointer") << bytes(pointer553) << "0001:0002 input 4 bytes";
        QTest::newRow("553 command") << bytes(command553) << "ff00:ff00 input 32, output 32, feature 8 bytes";
        QTest::newRow("553 status") << bytes(status553) << "ff01:ff01 input 6 bytes (report 5)";
        QTest::newRow("keyboard") << bytes(keyboard) << "0001:0006 input 8, output 1 bytes";
        QTest::newRow("two collections, numbered reports")
            << bytes(mediaKeys) << "000c:0001 input 2 bytes (report 1); 0001:0080 input 1 bytes (report 2)";
        QTest::newRow("four-byte usage names the page, long item skipped")
            << bytes("fe0100ff 0b010000ffa101 7508 9540 9102 c0") << "ff00:0001 output 64 bytes";
        QTest::newRow("report of absurd length")
            << bytes("0600ff0901a101 77ffffffff 97ffffffff 8102 c0") << "ff00:0001 input 536870912 bytes";
        QTest::newRow("end without a collection")
            << bytes(malformed) << "ff00:0001 no reports | malformed at byte 8: end of a collection that was not opened";
        QTest::newRow("item cut off") << bytes(truncated) << "0001:0002 no reports | truncated at byte 6: item runs past the end";
        QTest::newRow("collection not closed")
            << bytes("05010906a101 7508 9508 8102") << "0001:0006 input 8 bytes | truncated at byte 12: a collection is not closed";
        QTest::newRow("reserved item") << bytes("0c") << " | malformed at byte 0: reserved item type";
        QTest::newRow("report id 0") << bytes("8500") << " | malformed at byte 0: report id out of range";
        QTest::newRow("pop without push") << bytes("b4") << " | malformed at byte 0: global state popped but never pushed";
        QTest::newRow("nested too deep") << bytes("a100").repeated(40) << "0000:0000 no reports | malformed at byte 64: "
                                                                            "collections nested too deep";
        QTest::newRow("too many collections")
            << bytes("a0c0").repeated(300)
            << (QStringList(256, "0000:0000 no reports").join("; ") + " | malformed at byte 512: too many collections");
    }

    // Every prefix and every one-byte change of each row must parse without reading past the end
    // (the sanitizer build catches that) and with bounded results.
    void parseDescriptor()
    {
        QFETCH(QByteArray, descriptor);
        QFETCH(QString, expected);
        QCOMPARE(summary(parsed(descriptor)), expected);
        for (int n = 0; n <= descriptor.size(); ++n) {
            QVERIFY(parsed(descriptor.left(n)).collections.size() <= maxCollections);
            for (const char byte : {'\x00', '\x03', '\xfe', '\xff', '\xa1', '\xc0', '\xb4'}) {
                QByteArray damaged = descriptor;
                if (n < damaged.size())
                    damaged[n] = byte;
                QVERIFY(parsed(damaged).problemOffset <= size_t(damaged.size()));
            }
        }
        QVERIFY(parse(nullptr, 16).collections.empty());
    }

    // On a machine with a 560-family mouse that the table does not know: --probe finds it,
    // --add-device adds it (refusing what it must), the window connects to it and --udev-rule
    // names it. The program runs without a display, as from a terminal.
    void probeAddConnectRule()
    {
        vdevtest::WidgetRig rig;
        const QString program = rig.dir.filePath("mousecfg");
        QVERIFY(QFile::copy(qEnvironmentVariable("MOUSECFG_BINARY"), program));
        // The mouse the shipped 5600 folder stands for has been used: the new one starts from factory.
        QFile used(rig.dir.filePath("modules/5600/setting/p1.bin"));
        QVERIFY(used.open(QIODevice::Append) && used.write("[mouse]\nused=1\n") > 0);
        used.close();

        QTemporaryDir machine;
        auto node = [&](int n, const QString &hidId, const QString &name, int interface, const char *descriptor) {
            const QString dir = machine.filePath(QString("sys/class/hidraw/hidraw%1").arg(n));
            QDir().mkpath(dir + "/device");
            QDir().mkpath(machine.filePath("dev"));
            const QList<QPair<QString, QByteArray>> files = {
                {dir + "/uevent", QString("MAJOR=240\nMINOR=%1\nDEVNAME=hidraw%1\n").arg(n).toUtf8()},
                {dir + "/device/uevent", ("HID_ID=" + hidId + "\nHID_NAME=" + name + "\nHID_PHYS=usb-0000:00:14.0-2/input"
                                          + QString::number(interface) + "\n").toUtf8()},
                {dir + "/device/report_descriptor", bytes(descriptor)},
                {machine.filePath(QString("dev/hidraw%1").arg(n)), QByteArray()}};
            for (const auto &f : files) {
                QFile file(f.first);
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(f.second) == f.second.size());
            }
        };
        node(0, "0003:00001D57:0000FA60", "Acme Gamer", 0, pointer553);
        node(1, "0003:00001D57:0000FA60", "Acme Gamer", 1, command560);
        node(2, "0003:00001D57:0000FA60", "Acme Gamer", 2, status553);
        node(3, "0003:0000046D:0000C31C", "USB Keyboard", 0, keyboard);
        node(10, "0003:00001209:00005600", "Known 560", 1, command560);
        node(11, "0003:00001234:00000001", "Broken", 0, malformed);
        node(12, "0003:00001234:00000002", "Cut", 0, truncated);
        // A mouse of its own vendor usages: its descriptors, not the family's usual values, make its row.
        node(13, "0003:00001D57:0000FA61", "Odd", 1, "0602ff0901a101 7508 9520 9102 9508 b102 c0 0603ff0901a101 7508 9506 8102 c0");

        auto run = [&](const QStringList &args, const QString &dataHome = QString()) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char *display : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                env.remove(display);
            env.insert("MOUSECFG_SYSROOT", machine.path());
            if (!dataHome.isEmpty())
                env.insert("XDG_DATA_HOME", dataHome);
            p.setProcessEnvironment(env);
            p.start(program, args);
            p.waitForFinished(60000);
            return Run{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                       QString::fromUtf8(p.readAllStandardError())};
        };

        Run r = run({"--probe"});
        QCOMPARE(r.exitCode, 0);
        for (const char *line :
             {"hidraw1  1d57:fa60  interface 1  \"Acme Gamer\"\n  may open: yes\n  ff00:ff00 input 64, output 64, feature 8 bytes\n"
              "  not in the device table; looks like the command interface of a 560 mouse: mousecfg --add-device 1d57:fa60 --family 560\n",
              "  not in the device table; looks like the status interface of a 553 or 560 mouse\n",
              "hidraw10  1209:5600  interface 1  \"Known 560\"\n  may open: yes\n  ff00:ff00 input 64, output 64, feature 8 bytes\n"
              "  in the device table (1209:5600, 560 family, installed): command interface\n",
              "  report descriptor: truncated at byte 6: item runs past the end\n",
              "8 hidraw interface(s), 1 of a mouse in the device table.\n"})
            QVERIFY2(r.out.contains(line), qPrintable(r.out));
        r = run({"--probe", "--json"});
        const QJsonArray interfaces = QJsonDocument::fromJson(r.out.toUtf8()).object().value("interfaces").toArray();
        QCOMPARE(interfaces.size(), 8);
        QCOMPARE(interfaces.at(1).toObject().value("looksLike").toObject().value("command").toArray(), QJsonArray{"560"});
        QCOMPARE(interfaces.at(1).toObject().value("collections").toArray().at(0).toObject().value("output").toInt(), 64);
        QCOMPARE(interfaces.at(4).toObject().value("tableRow").toObject().value("roles").toArray(), QJsonArray{"command"});

        const struct
        {
            QStringList args;
            int exitCode;
            const char *says;
            QString dataHome = QString();
        } adds[] = {
            {{"--add-device", "1d57:fa6g", "--family", "560"}, 2, "malformed id \"1d57:fa6g\""},
            {{"--add-device", "0:fa60", "--family", "560"}, 2, "malformed id"},
            {{"--add-device", "1d57:fa60", "--family", "571"}, 2, "unknown family \"571\": valid choices are 553, 560"},
            {{"--add-device", "1d57:fa60"}, 2, "needs --family"},
            {{"--add-device", "1209:5600", "--family", "560"}, 1, "1209:5600 is in the device table already"},
            {{"--add-device", "abcd:5530", "--family", "553"}, 1, "product id 5530 is taken by 1209:5530"},
            {{"--add-device", "1d57:fa60", "--family", "560"}, 0, "from the descriptor of hidraw1"},
            {{"--add-device", "1D57:FA60", "--family", "560"}, 1, "1d57:fa60 is in the device table already (1d57:fa60, 560 "
                                                                  "family, \"Acme Gamer\", added by you)"},
            {{"--add-device", "1d57:fa61", "--family", "560", "--name", "Odd, \"quoted\""}, 0, "status interface read from"},
            {{"--add-device", "1d57:0b0b", "--family", "553"}, 0, "not plugged in"},
            {{"--add-device", "1d57:0c0c", "--family", "553"}, 1, "devConfig.ini: its folder cannot be made",
             machine.filePath("dev/hidraw0/data")},
        };
        for (const auto &add : adds) {
            r = run(add.args, add.dataHome);
            QVERIFY2(r.exitCode == add.exitCode && (r.out + r.err).contains(add.says), qPrintable(r.out + r.err));
        }
        QStringList rows;
        for (const DeviceEntry &e : devicetable::readFile(datafolder::userTable()))
            rows << QString::asprintf("%x:%x %x/%x %x/%x %d ", e.vid, e.pid, e.usagePage, e.usage, e.usagePage2, e.usage2,
                                      e.reportLength) + e.name;
        QCOMPARE(rows, (QStringList{"1d57:fa60 ff00/ff00 ff01/ff01 64 Acme Gamer", "1d57:fa61 ff02/1 ff03/1 32 Odd, \"quoted\"",
                                    "1d57:b0b ff00/ff00 ff01/ff01 32 "}));
        for (const QString &file : QStringList{"apConfig.bin", "p1.bin", "p10.bin"}) {
            QFile made(rig.dir.filePath("modules/fa60/setting/" + file));
            QFile factory(rig.dir.filePath(file.startsWith('p') ? "modules/5600/setting/pD.bin" : "modules/5600/setting/apConfigD.bin"));
            QVERIFY(made.open(QIODevice::ReadOnly) && factory.open(QIODevice::ReadOnly));
            QCOMPARE(made.readAll(), factory.readAll());
        }

        // The window finds the added mouse (a virtual 560 under its ids) and works on its folder.
        rig.device->setIds(vdev::Mouse560, 0x1d57, 0xfa60);
        rig.device->plug(vdev::Mouse560);
        rig.widget->checkDevice();
        QVERIFY(deviceConnected);
        QCOMPARE(rig.hid().deviceIndex, 3);
        QCOMPARE(rig.hid().deviceList.at(3).reportLength, 64);
        QVERIFY(rig.hid().isPolling);
        QCOMPARE(rig.view()->icType, QString("560"));

        r = run({"--udev-rule"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.startsWith("# mousecfg:"));
        QVERIFY(r.out.contains("#   mousecfg --udev-rule | sudo tee /etc/udev/rules.d/70-mousecfg-local.rules\n"));
        for (const char *ids : {"1209\", ATTRS{idProduct}==\"5600", "1d57\", ATTRS{idProduct}==\"fa60", "1d57\", ATTRS{idProduct}==\"0b0b"})
            QVERIFY2(r.out.contains(QString("KERNEL==\"hidraw*\", SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"") + ids
                                    + "\", TAG+=\"uaccess\"\n"),
                     qPrintable(r.out));
        QVERIFY(QFile::remove(datafolder::userTable()));
    }
};

QTEST_MAIN(DeviceToolsTest)
#include "tst_devicetools.moc"
