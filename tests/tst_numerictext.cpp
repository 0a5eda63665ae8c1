// Numeric text, rounding, checked 16-bit arithmetic and the scoring rules.
#include "TestSupport.h"

#include "settings/NumericText.h"
#include "core/RunTimeError.h"
#include "game/GameRules.h"

#include <QCoreApplication>

class tst_NumericText : public QObject
{
    Q_OBJECT

private slots:
    void isNumeric_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("digits") << "12632256" << true;
        QTest::newRow("blanks around") << " \t42  " << true;
        QTest::newRow("signs") << "-1" << true;
        QTest::newRow("plus") << "+7" << true;
        QTest::newRow("decimal point") << "1.5" << true;
        QTest::newRow("leading point") << ".5" << true;
        QTest::newRow("trailing point") << "5." << true;
        QTest::newRow("exponent") << "1e10" << true;
        QTest::newRow("signed exponent") << "2.5E-3" << true;
        QTest::newRow("d exponent") << "1d2" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank only") << "   " << false;
        QTest::newRow("sign only") << "-" << false;
        QTest::newRow("point only") << "." << false;
        QTest::newRow("two points") << "1.2.3" << false;
        QTest::newRow("exponent without digits") << "1e" << false;
        QTest::newRow("inner blank") << "1 2" << false;
        QTest::newRow("letters") << "abc" << false;
        QTest::newRow("hex") << "0x10" << false;
        QTest::newRow("thousands") << "1,000" << false;
        QTest::newRow("inf") << "inf" << false;
        QTest::newRow("nan") << "nan" << false;
    }
    void isNumeric()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QCOMPARE(NumericText::IsNumeric(text), numeric);
    }

    void conversionsRoundHalfToEvenAndCheckRange()
    {
        QCOMPARE(NumericText::TextToInt16(QStringLiteral("2.5")), qint16(2));
        QCOMPARE(NumericText::TextToInt16(QStringLiteral("3.5")), qint16(4));
        QCOMPARE(NumericText::TextToInt16(QStringLiteral("-2.5")), qint16(-2));
        QCOMPARE(NumericText::TextToInt16(QStringLiteral("32767")), qint16(32767));
        QCOMPARE(NumericText::TextToInt16(QStringLiteral("-32768")), qint16(-32768));
        QCOMPARE(NumericText::TextToInt32(QStringLiteral("2147483647")), qint32(2147483647));
        auto errorOf = [](auto &&f) {
            try {
                f();
            } catch (const RunTimeError &e) {
                return e.number();
            }
            return 0;
        };
        QCOMPARE(errorOf([] { NumericText::TextToInt16(QStringLiteral("32768")); }), 6);
        QCOMPARE(errorOf([] { NumericText::TextToInt16(QStringLiteral("32767.5")); }), 6);
        QCOMPARE(errorOf([] { NumericText::TextToInt32(QStringLiteral("1e10")); }), 6);
        QCOMPARE(errorOf([] { NumericText::TextToInt32(QStringLiteral("1e999")); }), 6);
        QCOMPARE(errorOf([] { NumericText::TextToInt16(QString()); }), 13);
        QCOMPARE(errorOf([] { NumericText::TextToInt16(QStringLiteral("abc")); }), 13);
        QCOMPARE(errorOf([] { NumericText::Add16(32767, 1); }), 6);
        QCOMPARE(errorOf([] { NumericText::Add16(-32768, -1); }), 6);
        QCOMPARE(NumericText::Add16(32766, 1), qint16(32767));
    }

    void percentRoundsHalfToEven_data()
    {
        QTest::addColumn<int>("correct");
        QTest::addColumn<int>("answered");
        QTest::addColumn<int>("percent");
        QTest::newRow("1 of 3") << 1 << 3 << 33;
        QTest::newRow("2 of 3") << 2 << 3 << 67;
        QTest::newRow("1 of 8") << 1 << 8 << 12;
        QTest::newRow("3 of 8") << 3 << 8 << 38;
        QTest::newRow("5 of 8") << 5 << 8 << 62;
        QTest::newRow("7 of 8") << 7 << 8 << 88;
        QTest::newRow("all") << 9 << 9 << 100;
        QTest::newRow("none") << 0 << 4 << 0;
        QTest::newRow("beyond 16 bits") << 40000 << 60000 << 67;
    }
    void percentRoundsHalfToEven()
    {
        QFETCH(int, correct);
        QFETCH(int, answered);
        QFETCH(int, percent);
        QCOMPARE(int(GameRules::PercentCorrect(correct, answered)), percent);
    }

    void turnPassesRoundTheTable()
    {
        QCOMPARE(GameRules::NextPlayer(1, 1), qint16(1));
        QCOMPARE(GameRules::NextPlayer(1, 3), qint16(2));
        QCOMPARE(GameRules::NextPlayer(3, 3), qint16(1));
        QCOMPARE(GameRules::NextPlayer(4, 2), qint16(1)); // count lowered mid-game
    }
};

QUILLORY_CORE_TEST_MAIN(tst_NumericText)
#include "tst_numerictext.moc"
