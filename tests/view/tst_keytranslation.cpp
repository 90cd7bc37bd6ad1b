// Button definitions: both device forms, and the assignment slots against both virtual mice
// (what is stored and what the mouse gets).
#include "settingsrig_helper.h"
#include "view/keytranslation.h"

#include <QSettings>
#include <QtTest>

using settingsrig::hex;
using settingsrig::Rig;

namespace {

// Left, right, My PC at 3, double fire at 7; button 5 a gun key when guns > 0.
QVariantList definitions(int guns = 0)
{
    QVariantList l(64, 0);
    l[2] = 0xF0, l[6] = 0xF1, l[12] = 6, l[14] = 0x94, l[15] = 1, l[29] = 0xF0, l[30] = 0x1E, l[31] = 2;
    if (guns)
        l[20] = 8, l[22] = guns;
    return l;
}

QStringList stored(const Rig &rig, int slot, int n)
{
    return rig.view->profileSettings.at(slot)->value(QString("mouseKeyMatrix/%1").arg(n)).toStringList();
}

} // namespace

class TestKeyTranslation : public QObject
{
    Q_OBJECT
private slots:
    void forms_data()
    {
        QTest::addColumn<QByteArray>("ui");
        QTest::addColumn<bool>("family560");
        QTest::addColumn<QByteArray>("matrix");   // empty: not checked
        QTest::addColumn<QByteArray>("param");    // parameter form; empty: not checked
        const auto row = [](const char *name, const char *ui, bool family560, const char *matrix, const char *param) {
            QTest::newRow(name) << QByteArray(ui) << family560 << QByteArray(matrix) << QByteArray(param);
        };
        row("unknown type", "42010203", false, "42 01 02 03", "03 02 01 42");
        // A fire key's interval and count may look like a consumer usage; it stays a fire key.
        row("fire 33 ms twice stays fire", "01042102", false, "0a 04 21 02", "");
        row("fire 148 ms once stays fire", "01049401", true, "0a 04 94 01", "");
        row("DPI type never turns media", "05002102", false, "", "21 00 00 0b");
        row("factory-only value", "ff000200", false, "04 00 02 00", "00 02 00 04");
        row("left button", "0000f000", false, "01 00 f0 00", "f0 00 00 02");
        row("double fire", "00f01e02", false, "0a f0 1e 02", "f0 01 02 0c");
        row("fire", "01041405", false, "0a 04 14 05", "04 14 05 0c");
        // Modifiers go as usages into the bytes the keys leave free; keys keep their bytes.
        row("combination", "02030400", false, "00 03 04 00", "04 e1 e0 01");
        row("combination of modifiers only", "02050000", false, "", "e2 e0 00 01");
        row("stored combination beyond three keys", "02070405", false, "00 07 04 05", "04 05 e0 01");
        row("media next", "0300b500", false, "03 00 b5 00", "b5 00 00 03");
        row("macro slot 3", "04010300", false, "09 01 04 00", "");
        row("macro slot 3, once", "04000300", false, "", "03 00 01 05");
        row("DPI+", "05000100", false, "07 00 01 00", "01 00 00 0b");
        row("sniper 553", "05000400", false, "07 00 04 01", "04 01 03 f0");
        row("sniper 560", "05000400", true, "0b 00 01 01", "04 01 03 f0");
        row("My PC as media", "06009401", false, "03 00 94 01", "94 01 00 03");
        row("home page as media", "06002302", false, "03 00 23 02", "23 02 00 03");
        row("search as media", "06002102", true, "03 00 21 02", "");
        row("maximise", "06e22c1b", false, "00 e2 2c 1b", "1b 2c e2 01");
        row("copy shortcut", "0700e006", false, "00 00 e0 06", "06 e0 00 01");
        row("gun", "08000200", false, "08 00 02 00", "00 02 00 08");
    }
    void forms()
    {
        QFETCH(QByteArray, ui);
        QFETCH(bool, family560);
        QFETCH(QByteArray, matrix);
        QFETCH(QByteArray, param);
        const QByteArray b = QByteArray::fromHex(ui);
        const keys::KeyDefinition def{uint8_t(b[0]), uint8_t(b[1]), uint8_t(b[2]), uint8_t(b[3])};
        if (!matrix.isEmpty())
            QCOMPARE(hex(keys::toKeyMatrixForm(def, family560).data(), 4), matrix);
        if (!param.isEmpty())
            QCOMPARE(hex(keys::toParameterForm(def).data(), 4), param);
    }

    void parameterBlock1_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<int>("length");
        QTest::newRow("191 values refused") << vdev::Mouse553 << 191;
        QTest::newRow("553, 200 values") << vdev::Mouse553 << 200;
        QTest::newRow("560") << vdev::Mouse560 << 192;
    }
    void parameterBlock1()
    {
        QFETCH(int, mouse);
        QFETCH(int, length);
        Rig rig(mouse);
        rig.view->setCurrentProfile(1);
        QVariantList block;
        for (int i = 0; i < 128; ++i)
            block << (i * 3) % 256;
        block << definitions() << QVariantList(8, 0xAB);
        rig.view->mouseSetParameter_1(block.mid(0, length), 4);

        const VirtualFirmware::State s = rig.state();
        if (length < 192) {   // a short list would overwrite the buttons with zeros
            QCOMPARE(rig.commands(), QByteArray());
            QCOMPARE(stored(rig, 1, 0), QStringList({"0", "0", "240", "0"}));
            QCOMPARE(stored(rig, 1, 3), QStringList({"0", "0", "244", "0"}));
            return;
        }
        QCOMPARE(stored(rig, 1, 3), QStringList({"6", "0", "148", "1"}));
        QCOMPARE(stored(rig, 1, 7), QStringList({"0", "240", "30", "2"}));
        QCOMPARE(int(s.parameter1Mask), 4);
        for (int i = 0; i < 128; ++i)
            QCOMPARE(int(s.parameter1[i]), (i * 3) % 256);
        QCOMPARE(hex(s.parameter1.data() + 128, 16), QByteArray("f0 00 00 02 f1 00 00 02 00 00 00 02 94 01 00 03"));
        QCOMPARE(hex(s.parameter1.data() + 156, 8), QByteArray("f0 01 02 0c 00 00 00 02"));
    }

    void keyMatrix_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<bool>("send");
        QTest::addColumn<int>("guns");
        QTest::addColumn<QByteArray>("commands");
        // A short list would store zeros for the buttons it lacks, and send them.
        QTest::newRow("63 values refused") << vdev::Mouse553 << true << -1 << QByteArray();
        QTest::newRow("store only") << vdev::Mouse553 << false << 2 << QByteArray();
        QTest::newRow("553 without gun keys") << vdev::Mouse553 << true << 0 << QByteArray("12");
        QTest::newRow("560 without gun keys") << vdev::Mouse560 << true << 0 << QByteArray("0d");
        QTest::newRow("553 two guns") << vdev::Mouse553 << true << 2 << QByteArray("12 12 12 12 02");
        QTest::newRow("560 two guns") << vdev::Mouse560 << true << 2 << QByteArray("0c 0d 0d 0d 0d 02");
        QTest::newRow("560 three guns") << vdev::Mouse560 << true << 3 << QByteArray("0c 0d 0d 0d 0d 02");
    }
    void keyMatrix()
    {
        QFETCH(int, mouse);
        QFETCH(bool, send);
        QFETCH(int, guns);
        Rig rig(mouse);
        for (int n = 0; n < 16 && mouse == vdev::Mouse553; ++n)   // a gun-capable 553 mouse's stored matrix
            rig.view->setDataList(QString("mouseFwKeyMatrix/%1").arg(n), {1, 0, 0xF0 + n % 4, 0});
        rig.device.withFirmware(mouse, [](VirtualFirmware &fw) { fw.mutableState().currentKeyMatrix = 3; });
        rig.view->mouseSetKeyMatrix(guns < 0 ? definitions().mid(0, 63) : definitions(guns), send, {25, 35, 45});

        QTEST(rig.commands(), "commands");
        if (guns < 0) {
            QCOMPARE(stored(rig, 0, 0), QStringList({"0", "0", "240", "0"}));
            QCOMPARE(stored(rig, 0, 15), QStringList({"255", "0", "2", "0"}));
            return;
        }
        QCOMPARE(stored(rig, 0, 5), QStringList({guns ? "8" : "0", "0", QString::number(guns), "0"}));
        const VirtualFirmware::State s = rig.state();
        if (!send)
            return;
        QCOMPARE(hex(s.keyMatrix[1].data(), 16), QByteArray("01 00 f0 00 01 00 f1 00 01 00 00 00 03 00 94 01"));
        QCOMPARE(hex(s.keyMatrix[1].data() + 28, 4), QByteArray("0a f0 1e 02"));
        if (!guns)
            return;
        QCOMPARE(hex(s.keyMatrix[2].data(), 4), QByteArray("0b 00 19 00"));
        QCOMPARE(hex(s.keyMatrix[3].data(), 4), QByteArray("0b 01 23 00"));
        QCOMPARE(hex(s.keyMatrix[4].data(), 4), QByteArray("0b 02 2d 00"));
        if (mouse == vdev::Mouse560) {
            QCOMPARE(int(s.profile[0][2]), guns == 2 ? 0x0F : 0x1F);
            QCOMPARE(hex(s.keyMatrix[2].data() + 20, 4), QByteArray("08 00 03 00"));
            QCOMPARE(int(s.currentProfile), 1);
        } else {
            QCOMPARE(hex(s.keyMatrix[1].data() + 20, 4), QByteArray("08 00 01 01"));
            QCOMPARE(hex(s.keyMatrix[2].data() + 20, 4), QByteArray("08 00 01 02"));
            QCOMPARE(int(s.currentKeyMatrix), 1);
        }
    }

    void resetAndSwitchKeyMatrix_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<QByteArray>("entry1");   // missing here: from the factory profile, else zeros
        QTest::newRow("553") << vdev::Mouse553 << QByteArray("00 00 00 00");
        QTest::newRow("560") << vdev::Mouse560 << QByteArray("01 00 f1 00");
    }
    void resetAndSwitchKeyMatrix()
    {
        QFETCH(int, mouse);
        Rig rig(mouse);
        rig.view->setCurrentProfile(2);
        rig.view->setDataList("mouseFwKeyMatrix/0", {9, 8});   // short: padded with zeros
        rig.view->profileSettings.at(2)->remove("mouseFwKeyMatrix/1");
        rig.view->mouseResetKeyMatrix();
        for (int m = 2; m <= 4; ++m)
            QTEST(hex(rig.state().keyMatrix[m].data() + 4, 4), "entry1");
        QCOMPARE(hex(rig.state().keyMatrix[4].data(), 4), QByteArray("09 08 00 00"));
        QCOMPARE(rig.commands(), mouse == vdev::Mouse560 ? QByteArray("0d 0d 0d") : QByteArray("12 12 12"));

        rig.view->mouseSwitchKeyMatrix(4);
        QCOMPARE(mouse == vdev::Mouse560 ? int(rig.state().currentProfile) : int(rig.state().currentKeyMatrix) + 1, 4);
        rig.device.clearWireLog();
        rig.view->mouseSwitchKeyMatrix(0);
        rig.view->mouseSwitchKeyMatrix(5);
        QCOMPARE(rig.commands(), QByteArray());
    }

    void keyDefinitionReads()
    {
        Rig rig(vdev::Mouse560);
        rig.view->setDataList("mouseKeyMatrix/3", {5, 0});   // short: padded
        QCOMPARE(rig.view->mouseGetKeydefine(3, true), QVariantList({0, 0, 0xF4, 0}));
        QCOMPARE(rig.view->mouseGetKeydefine(3, false), QVariantList({5, 0, 0, 0}));
        QVERIFY(rig.view->mouseGetKeydefine(16, false).isEmpty());
    }

    void deletedMacroRevertsButtons()
    {
        Rig rig(vdev::Mouse553);
        for (auto [slot, button, name] : {std::tuple(0, 5, "Burst"), {2, 5, "Burst"}, {7, 5, "Burst"}, {2, 6, "Other"}, {3, 4, ""}}) {
            rig.view->setCurrentProfile(slot);
            rig.view->setDataList(QString("mouseKeyMatrix/%1").arg(button), {4, 1, button, 0});
            rig.view->setData(QString("mouseMacroKey/%1").arg(button), name);
        }
        // Definitions that are not four values are left alone, in the profile and in pD.bin:
        // padded with zeros, {4, 0} would name macro slot 0.
        rig.view->setCurrentProfile(1);
        rig.view->setData("mouseMacroKey/0", "Burst");
        rig.view->setDataList("mouseKeyMatrix/0", {4, 0});
        rig.view->setData("mouseMacroKey/9", "Burst");
        rig.view->setDataList("mouseKeyMatrix/9", {4, 1, 9, 0, 7});
        rig.view->setData("mouseMacroKey/3", "Burst");
        rig.view->setDataList("mouseKeyMatrix/3", {4, 1, 3, 0});
        rig.view->defaultSettings->setValue("mouseKeyMatrix/3", QVariantList{1, 2});
        rig.view->deleteMacroUpdateProfile("");   // would match every macro button without a name
        rig.view->deleteMacroUpdateProfile("Burst");
        QCOMPARE(stored(rig, 1, 0), QStringList({"4", "0"}));
        QCOMPARE(stored(rig, 1, 9), QStringList({"4", "1", "9", "0", "7"}));
        QCOMPARE(stored(rig, 1, 3), QStringList({"4", "1", "3", "0"}));
        const QStringList factory = rig.view->defaultSettings->value("mouseKeyMatrix/5").toStringList();
        QCOMPARE(stored(rig, 0, 5), factory);
        QCOMPARE(stored(rig, 2, 5), factory);
        QCOMPARE(stored(rig, 7, 5), QStringList({"4", "1", "5", "0"}));   // slots 6..9 are not the page's
        QCOMPARE(stored(rig, 2, 6), QStringList({"4", "1", "6", "0"}));
        QCOMPARE(stored(rig, 3, 4), QStringList({"4", "1", "4", "0"}));
        QCOMPARE(rig.commands(), QByteArray());
    }
};

QTEST_MAIN(TestKeyTranslation)
#include "tst_keytranslation.moc"
