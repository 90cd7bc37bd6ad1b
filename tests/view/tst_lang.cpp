// Language strings: reading a group, and the shipped language files holding every group the
// pages read, with each text in its page's position.
#include "macrorig.h"
#include "testsupport.h"

#include <QSet>
#include <QtTest>

using settingsrig::Rig;

namespace {

// Texts each page holds, by group.
const QList<QPair<QString, int>> pageCounts = {
    {"main", 15}, {"keyMatrix", 1}, {"keyAssigment", 60}, {"dpiSetting", 2}, {"lightControl", 16},
    {"macroEditor", 20}, {"systemSetting", 8}, {"gunControl", 10}, {"profile", 7}, {"keyCode", 133},
    {"other", 2}};

// Default names of the key vocabulary, in key code order.
const QStringList englishKeyNames = QString::fromUtf8(
    "A B C D E F G H I J K L M N O P Q R S T U V W X Y Z 1 2 3 4 5 6 7 8 9 0 Enter Esc Back Tab Space - = [ ] \\ "
    "\\ ; ' ` , . / Caps F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 F11 F12 Prt Scr Pau Ins Hom Pgu Del End PgD ► ◄ ▼ ▲ Num "
    "KP/ KP* KP- KP+ KPEnter KP1 KP2 KP3 KP4 KP5 KP6 KP7 KP8 KP9 KP0 KP. Eur2 App Power KP= F13 F14 F15 F16 F17 "
    "F18 F19 F20 F21 F22 F23 F24 Keypad Intl1 Intl2 Intl3 Intl4 Intl5 Lang1 Lang2 LCtrl LShift LAlt LWin RCtrl "
    "RShift RAlt RWin MS-L MS-R MS-M MS-B4 MS-B5").split(QLatin1Char(' '));

} // namespace

class TestLang : public QObject
{
    Q_OBJECT
private slots:
    void readGroup_data();
    void readGroup();
    void shippedFiles_data();
    void shippedFiles();
};

void TestLang::readGroup_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");

    const QByteArray abc = "[g]\ntotal=3\n0=a\n1=b\n2=c\n";
    QTest::newRow("missing file") << "Nope" << "g" << abc << QStringList();
    QTest::newRow("path in the language code") << "../i18n/Test" << "g" << abc << QStringList();
    QTest::newRow("missing group") << "Test" << "h" << abc << QStringList();
    QTest::newRow("total 0") << "Test" << "g" << QByteArray("[g]\ntotal=0\n0=a\n") << QStringList();
    QTest::newRow("key order, not line order") << "Test" << "g" << QByteArray("[g]\n2=c\n0=a\ntotal=3\n1=b\n")
                                               << QStringList{"a", "b", "c"};
    QTest::newRow("total beyond the texts") << "Test" << "g" << QByteArray("[g]\ntotal=3\n0=a\n")
                                            << QStringList{"a", "", ""};
    QTest::newRow("UTF-8 intact") << "Test" << "g"
                                  << QString::fromUtf8("[g]\ntotal=2\n0=\"Редактор макросів\"\n1=宏编辑器\n").toUtf8()
                                  << QStringList{QString::fromUtf8("Редактор макросів"), QString::fromUtf8("宏编辑器")};
    QTest::newRow("quoted and unquoted commas") << "Test" << "g"
                                                << QByteArray("[g]\ntotal=2\n0=\"a, b; c \"\n1=d, e\n")
                                                << QStringList{"a, b; c ", "d, e"};
}

void TestLang::readGroup()
{
    QFETCH(QString, lang);
    QFETCH(QString, group);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);
    Rig rig(vdev::Mouse553, false);
    QVERIFY(macrorig::writeFile(rig.dir.path() + "/modules/i18n/Test.ini", content));
    QCOMPARE(rig.view->getLangStrings(group, lang), expected);

    QVERIFY(macrorig::writeFile(rig.dir.path() + "/modules/i18n/Test.ini", "[g]\ntotal=999999999\n"));
    QCOMPARE(rig.view->getLangStrings("g", "Test").size(), 4096);
}

void TestLang::shippedFiles_data()
{
    QTest::addColumn<QString>("lang");
    QTest::newRow("English") << "English";
    QTest::newRow("ChineseSimplified") << "ChineseSimplified";
    QTest::newRow("Ukrainian") << "Ukrainian";
}

void TestLang::shippedFiles()
{
    QFETCH(QString, lang);
    Rig rig(vdev::Mouse553, false);
    QVERIFY(testsupport::copyTree(MOUSECFG_SOURCE_DIR "/modules/i18n", rig.dir.path() + "/modules/i18n"));
    for (const auto &[group, count] : pageCounts) {
        const QStringList texts = rig.view->getLangStrings(group, lang);
        const QStringList english = rig.view->getLangStrings(group, "English");
        QVERIFY2(texts.size() == count, qPrintable(group));
        // Translations keep the positions: a text is empty exactly where the English one is.
        for (int i = 0; i < count; ++i)
            QVERIFY2(texts.at(i).isEmpty() == english.at(i).isEmpty(), qPrintable(group + " " + QString::number(i)));
    }

    // Key names decode back to their codes: only the two backslash keys share a name.
    const QStringList keys = rig.view->getLangStrings("keyCode", lang);
    QSet<QString> seen;
    for (int i = 0; i < keys.size(); ++i) {
        if (i == 46)
            QCOMPARE(keys.at(i), keys.at(45));
        else
            QVERIFY2(!seen.contains(keys.at(i)), qPrintable(keys.at(i)));
        seen.insert(keys.at(i));
    }
    if (lang == "English") {
        QCOMPARE(keys, englishKeyNames);
        QCOMPARE(rig.view->getLangStrings("keyMatrix", lang), QStringList{"Key "});
        QCOMPARE(rig.view->getLangStrings("keyAssigment", lang).at(56), QString("Sniper Key"));
        QCOMPARE(rig.view->getLangStrings("main", lang).at(10), QString("Save"));
    } else {
        QVERIFY(rig.view->getLangStrings("macroEditor", lang) != rig.view->getLangStrings("macroEditor", "English"));
    }
}

QTEST_MAIN(TestLang)
#include "tst_lang.moc"
