#include "settings/basGame.h"

#include "settings/NumericText.h"
#include "core/RunTimeError.h"
#include "settings/SettingsStore.h"
#include "core/basMain.h"

#include <utility>

namespace basGame {

GameSettingsRecord GameSettings;

PlayerRecord &PlayerTable::operator[](int index)
{
    if (index < 1 || index > MaxPlayers)
        throw RunTimeError::standard(Err::SubscriptOutOfRange);
    return m_players[std::size_t(index - 1)];
}

const PlayerRecord &PlayerTable::operator[](int index) const
{
    return const_cast<PlayerTable &>(*this)[index];
}

namespace {
QString read(const char *key, const QString &defaultText)
{
    return SettingsStore::GetSetting(QLatin1String(Section), QLatin1String(key), defaultText);
}

void write(const QString &key, const QString &text)
{
    SettingsStore::SaveSetting(QLatin1String(Section), key, text);
}

QString defaultName(int seat) { return QStringLiteral("Player %1").arg(seat); }
}

QString TestamentCode(Testament testament)
{
    switch (testament) {
    case Testament::Old: return QStringLiteral("OT");
    case Testament::New: return QStringLiteral("NT");
    case Testament::Both: break;
    }
    return QStringLiteral("BT");
}

std::optional<Testament> TestamentOfCode(const QString &code)
{
    for (const Testament t : {Testament::Old, Testament::New, Testament::Both})
        if (code == TestamentCode(t))
            return t;
    return std::nullopt;
}

qint32 PaintableColor(qint32 value, qint32 defaultValue)
{
    return value >= 0 && value <= MaxColor ? value : defaultValue;
}

qint32 ColorFromText(const QString &text, qint32 defaultValue)
{
    QString accepted = QString::number(defaultValue);
    if (text.size() <= 8 && NumericText::IsNumeric(text)
        && NumericText::TextToInt32(text) <= MaxColor)
        accepted = text;
    return NumericText::TextToInt32(accepted);
}

void LoadGameSettings()
{
    // Every key starts at its default, and a key whose text fails to convert keeps it: one bad
    // value is reported (once) and costs no other setting, so the next save writes back every
    // good value as it was.
    GameSettingsRecord &gs = GameSettings;
    gs.PlayerCnt = 1;
    gs.Testament = Testament::Both;
    for (int i = 1; i <= MaxPlayers; ++i)
        gs.Players[i].Name = defaultName(i);
    gs.Timed = false;
    gs.WinClr = DefaultWinClr;
    gs.WinTxtClr = DefaultWinTxtClr;
    bool reported = false;
    auto load = [&reported](auto &&step) {
        try {
            step();
        } catch (const std::exception &error) {
            if (!std::exchange(reported, true))
                basMain::ReportError(error);
        }
    };
    load([&] {
        const QString count = read("PlayerCnt", QStringLiteral("1"));
        const bool countOk = count == u"1" || count == u"2" || count == u"3" || count == u"4";
        gs.PlayerCnt = NumericText::TextToInt16(countOk ? count : QStringLiteral("1"));
    });
    load([&] {
        gs.Testament = TestamentOfCode(read("Testament", QStringLiteral("BT"))).value_or(Testament::Both);
    });
    for (int i = 1; i <= MaxPlayers; ++i)
        load([&] {
            const QString name = SettingsStore::GetSetting(QLatin1String(Section),
                                                           QStringLiteral("Player%1").arg(i), defaultName(i));
            gs.Players[i].Name = (name.size() >= 1 && name.size() <= MaxNameLength) ? name : defaultName(i);
        });
    load([&] { gs.Timed = read("Timed", QStringLiteral("False")) == u"True"; });
    load([&] { gs.WinClr = ColorFromText(read("WinClr", QStringLiteral("12632256")), DefaultWinClr); });
    load([&] { gs.WinTxtClr = ColorFromText(read("WinTxtClr", QStringLiteral("0")), DefaultWinTxtClr); });
}

void SaveGameSettings()
{
    basMain::Trap([] {
        const GameSettingsRecord &gs = GameSettings;
        write(QStringLiteral("PlayerCnt"), QString::number(gs.PlayerCnt));
        write(QStringLiteral("Testament"), TestamentCode(gs.Testament));
        for (int i = 1; i <= MaxPlayers; ++i)
            write(QStringLiteral("Player%1").arg(i), gs.Players[i].Name);
        write(QStringLiteral("Timed"), gs.Timed ? QStringLiteral("True") : QStringLiteral("False"));
        write(QStringLiteral("WinClr"), QString::number(gs.WinClr));
        write(QStringLiteral("WinTxtClr"), QString::number(gs.WinTxtClr));
        SettingsStore::Sync();
    });
}
}
