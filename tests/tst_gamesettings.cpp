// Loading and saving the game settings: defaults, acceptance rules, errors while loading.
#include "TestSupport.h"

#include "settings/SettingsStore.h"
#include "settings/basGame.h"

#include <QCoreApplication>
#include <QSettings>

using basGame::GameSettings;

class tst_GameSettings : public QObject
{
    Q_OBJECT

    static void store(const QString &key, const QString &text)
    {
        SettingsStore::SaveSetting(QStringLiteral("GameSettings"), key, text);
    }
    static QString stored(const QString &key)
    {
        return SettingsStore::GetSetting(QStringLiteral("GameSettings"), key, QStringLiteral("<absent>"));
    }

private slots:
    void init()
    {
        TestSupport::clearSettings();
        TestSupport::clearMessages();
        GameSettings = {};
    }

    void firstRunLoadsDefaultsAndSavesAllNineKeys()
    {
        basGame::LoadGameSettings();
        QCOMPARE(GameSettings.PlayerCnt, qint16(1));
        QCOMPARE(GameSettings.Testament, basGame::Testament::Both);
        QCOMPARE(GameSettings.Timed, false);
        QCOMPARE(GameSettings.WinClr, 12632256);
        QCOMPARE(GameSettings.WinTxtClr, 0);
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(GameSettings.Players[i].Name, QStringLiteral("Player %1").arg(i));

        basGame::SaveGameSettings();
        const QStringList expected{"1", "BT", "Player 1", "Player 2", "Player 3", "Player 4", "False", "12632256", "0"};
        const QStringList keys{"PlayerCnt", "Testament", "Player1", "Player2", "Player3", "Player4", "Timed", "WinClr", "WinTxtClr"};
        for (int i = 0; i < keys.size(); ++i)
            QCOMPARE(stored(keys[i]), expected[i]);
        QVERIFY(TestSupport::messages().isEmpty());
    }

    void eachKeyAcceptsOnlyItsTexts_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("loaded"); // the field's value after loading, as text
        QTest::newRow("count 4") << "PlayerCnt" << "4" << "4";
        QTest::newRow("count 5") << "PlayerCnt" << "5" << "1";
        QTest::newRow("count 0") << "PlayerCnt" << "0" << "1";
        QTest::newRow("count 01") << "PlayerCnt" << "01" << "1";
        QTest::newRow("count blank 2") << "PlayerCnt" << " 2" << "1";
        QTest::newRow("testament NT") << "Testament" << "NT" << "NT";
        QTest::newRow("testament ot") << "Testament" << "ot" << "BT";
        QTest::newRow("name 25") << "Player2" << QString(25, u'x') << QString(25, u'x');
        QTest::newRow("name 26") << "Player2" << QString(26, u'x') << "Player 2";
        QTest::newRow("name empty") << "Player2" << "" << "Player 2";
        QTest::newRow("name markup kept") << "Player3" << "<b>Ann</b>" << "<b>Ann</b>";
        QTest::newRow("name blanks kept") << "Player4" << "  " << "  ";
        QTest::newRow("timed True") << "Timed" << "True" << "True";
        QTest::newRow("timed TRUE") << "Timed" << "TRUE" << "False";
        QTest::newRow("timed -1") << "Timed" << "-1" << "False";
        QTest::newRow("colour max") << "WinClr" << "16777215" << "16777215";
        QTest::newRow("colour too big") << "WinClr" << "16777216" << "12632256";
        QTest::newRow("colour nine digits") << "WinClr" << "000000001" << "12632256";
        QTest::newRow("colour negative") << "WinClr" << "-1" << "-1";
        QTest::newRow("colour letters") << "WinClr" << "blue" << "12632256";
        QTest::newRow("colour fraction") << "WinClr" << "2.5" << "2";
        QTest::newRow("colour exponent") << "WinClr" << "1e3" << "1000";
        QTest::newRow("text colour blanks") << "WinTxtClr" << " 255 " << "255";
        QTest::newRow("text colour empty") << "WinTxtClr" << "" << "0";
    }
    void eachKeyAcceptsOnlyItsTexts()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, loaded);
        store(key, text);
        basGame::LoadGameSettings();
        const auto &gs = GameSettings;
        const QHash<QString, QString> fields{
            {"PlayerCnt", QString::number(gs.PlayerCnt)}, {"Testament", basGame::TestamentCode(gs.Testament)},
            {"Player2", gs.Players[2].Name}, {"Player3", gs.Players[3].Name}, {"Player4", gs.Players[4].Name},
            {"Timed", gs.Timed ? "True" : "False"}, {"WinClr", QString::number(gs.WinClr)},
            {"WinTxtClr", QString::number(gs.WinTxtClr)}};
        QCOMPARE(fields.value(key), loaded);
        QVERIFY(TestSupport::messages().isEmpty());
    }

    void overflowingColourCostsNoOtherSetting()
    {
        // The bad key keeps its default, the error is reported once, and every other key loads
        // and is saved back as it was stored.
        store(QStringLiteral("PlayerCnt"), QStringLiteral("3"));
        store(QStringLiteral("WinClr"), QStringLiteral("1e10"));
        store(QStringLiteral("WinTxtClr"), QStringLiteral("255"));
        store(QStringLiteral("Timed"), QStringLiteral("True"));
        basGame::LoadGameSettings();
        QCOMPARE(TestSupport::errorTexts(), QStringList{QStringLiteral("Error #: 6\rOverflow")});
        QCOMPARE(GameSettings.PlayerCnt, qint16(3));
        QCOMPARE(GameSettings.WinClr, basGame::DefaultWinClr);
        QCOMPARE(GameSettings.WinTxtClr, 255);
        QCOMPARE(GameSettings.Timed, true);
        basGame::SaveGameSettings();
        QCOMPARE(stored(QStringLiteral("WinTxtClr")), QStringLiteral("255"));
        QCOMPARE(stored(QStringLiteral("WinClr")), QStringLiteral("12632256"));

        TestSupport::clearMessages();
        store(QStringLiteral("WinTxtClr"), QStringLiteral("-1e10"));
        basGame::LoadGameSettings();
        QCOMPARE(TestSupport::errorTexts().size(), 1);
        QCOMPARE(GameSettings.WinTxtClr, basGame::DefaultWinTxtClr);
    }

    void savedValuesLoadBackUnchanged()
    {
        basGame::LoadGameSettings();
        GameSettings.PlayerCnt = 3;
        GameSettings.Testament = basGame::Testament::Old;
        GameSettings.Timed = true;
        GameSettings.WinClr = -5;
        GameSettings.WinTxtClr = 255;
        GameSettings.Players[1].Name = QStringLiteral("Ann, Bob & \"Cy\"");
        GameSettings.Players[4].Name = QStringLiteral("@Variant(0)");
        basGame::SaveGameSettings();
        QCOMPARE(stored(QStringLiteral("WinClr")), QStringLiteral("-5"));
        GameSettings = {};
        basGame::LoadGameSettings();
        QCOMPARE(GameSettings.PlayerCnt, qint16(3));
        QCOMPARE(GameSettings.Testament, basGame::Testament::Old);
        QCOMPARE(GameSettings.Timed, true);
        QCOMPARE(GameSettings.WinClr, -5);
        QCOMPARE(GameSettings.WinTxtClr, 255);
        QCOMPARE(GameSettings.Players[1].Name, QStringLiteral("Ann, Bob & \"Cy\""));
        QCOMPARE(GameSettings.Players[4].Name, QStringLiteral("@Variant(0)"));
    }
};

QUILLORY_CORE_TEST_MAIN(tst_GameSettings)
#include "tst_gamesettings.moc"
