// The game settings loaded from whatever the store holds. The input is a settings section,
// "Key=Value" lines; the values of the nine keys go into the store (a missing line leaves the
// key absent), then LoadGameSettings runs. Every field must come out as the loading rules say:
// PlayerCnt 1 to 4, Testament one of the three codes, names of 1 to 25 characters, Timed only
// from "True", colours at most 16777215 or the default; a colour too large for 32 bits is
// reported once as an overflow and keeps its default, and the other keys load all the same.
// What loaded is saved in the written form and loads back by the same rules, also when the
// store file is read afresh.
#include "FuzzSupport.h"

#include "core/RunTimeError.h"
#include "settings/SettingsStore.h"
#include "settings/basGame.h"

#include <QSettings>

#include <cmath>

using namespace basGame;
using FuzzSupport::Number;

namespace {
const char *const Keys[] = {"PlayerCnt", "Testament", "Player1", "Player2", "Player3", "Player4", "Timed", "WinClr", "WinTxtClr"};

QString section() { return QLatin1String(Section); }

void clearSection()
{
    try {
        SettingsStore::DeleteSetting(section());
    } catch (const RunTimeError &) {
        // nothing stored yet
    }
}

struct Expected
{
    GameSettingsRecord record;
    bool overflow = false; // a colour beyond 32 bits: error 6, once; that colour keeps its default
};

// The colour rule: a numeric text of at most 8 characters whose value, rounded, is at most
// 16777215; otherwise the default. A value beyond 32 bits is an overflow.
bool colourOf(const QString &text, qint32 defaultValue, qint32 *colour)
{
    *colour = defaultValue;
    if (text.size() > 8)
        return true;
    const Number n = FuzzSupport::readNumber(text);
    if (n.kind == Number::NotNumeric)
        return true;
    const double rounded = n.kind == Number::Value ? std::nearbyint(n.value) : HUGE_VAL;
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        return false;
    if (rounded <= MaxColor)
        *colour = qint32(rounded);
    return true;
}

Expected expect(const QMap<QString, QString> &stored)
{
    auto text = [&](const char *key, const QString &defaultText) {
        return stored.value(QLatin1String(key), defaultText);
    };
    Expected e;
    GameSettingsRecord &r = e.record;
    const QString count = text("PlayerCnt", QStringLiteral("1"));
    r.PlayerCnt = qint16(count.size() == 1 && count[0] >= u'1' && count[0] <= u'4' ? count[0].unicode() - u'0' : 1);
    const QString testament = text("Testament", QStringLiteral("BT"));
    r.Testament = testament == u"OT" ? basGame::Testament::Old : testament == u"NT" ? basGame::Testament::New : basGame::Testament::Both;
    for (int i = 1; i <= MaxPlayers; ++i) {
        const QString fallback = QStringLiteral("Player %1").arg(i);
        const QString name = stored.value(QStringLiteral("Player%1").arg(i), fallback);
        r.Players[i].Name = name.isEmpty() || name.size() > 25 ? fallback : name;
    }
    r.Timed = text("Timed", QStringLiteral("False")) == u"True";
    if (!colourOf(text("WinClr", QStringLiteral("12632256")), DefaultWinClr, &r.WinClr))
        e.overflow = true;
    if (!colourOf(text("WinTxtClr", QStringLiteral("0")), DefaultWinTxtClr, &r.WinTxtClr))
        e.overflow = true;
    return e;
}

QString describe(const GameSettingsRecord &r)
{
    QString s = QStringLiteral("PlayerCnt=%1 Testament=%2 Timed=%3 WinClr=%4 WinTxtClr=%5")
                    .arg(r.PlayerCnt).arg(basGame::TestamentCode(r.Testament)).arg(r.Timed).arg(r.WinClr).arg(r.WinTxtClr);
    for (int i = 1; i <= MaxPlayers; ++i)
        s += QStringLiteral(" Player%1=\"%2\"").arg(i).arg(r.Players[i].Name);
    return s;
}

bool same(const GameSettingsRecord &a, const GameSettingsRecord &b)
{
    for (int i = 1; i <= MaxPlayers; ++i)
        if (a.Players[i].Name != b.Players[i].Name)
            return false;
    return a.PlayerCnt == b.PlayerCnt && a.Testament == b.Testament && a.Timed == b.Timed && a.WinClr == b.WinClr
           && a.WinTxtClr == b.WinTxtClr;
}

void checkRules(const GameSettingsRecord &r)
{
    FUZZ_CHECK(r.PlayerCnt >= 1 && r.PlayerCnt <= 4, describe(r));
    for (int i = 1; i <= MaxPlayers; ++i)
        FUZZ_CHECK(r.Players[i].Name.size() >= 1 && r.Players[i].Name.size() <= MaxNameLength, describe(r));
    FUZZ_CHECK(r.WinClr <= MaxColor && r.WinTxtClr <= MaxColor, describe(r));
}
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::dropQueuedEvents();
    QMap<QString, QString> stored;
    {
        const QMap<QString, QString> lines = FuzzSupport::keyValues(data, size);
        for (const char *key : Keys)
            if (lines.contains(QLatin1String(key)))
                stored.insert(QLatin1String(key), lines.value(QLatin1String(key)));
    }
    clearSection();
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        SettingsStore::SaveSetting(section(), it.key(), it.value());

    GameSettings = GameSettingsRecord{};
    FuzzSupport::clearMessages();
    LoadGameSettings();

    const Expected e = expect(stored);
    FUZZ_CHECK(same(GameSettings, e.record),
               QStringLiteral("loaded  %1\nexpected %2").arg(describe(GameSettings), describe(e.record)));
    const QList<FuzzSupport::Shown> shown = FuzzSupport::messages();
    if (e.overflow) {
        FUZZ_CHECK(shown.size() == 1 && shown[0].text == FuzzSupport::errorReport(6, QStringLiteral("Overflow"))
                       && shown[0].style == 48 && shown[0].title == u"Error",
                   shown.isEmpty() ? QStringLiteral("no report") : shown[0].text);
        FuzzSupport::clearMessages();
    } else {
        FUZZ_CHECK(shown.isEmpty(), shown.isEmpty() ? QString() : shown[0].text);
    }
    checkRules(GameSettings);

    // Saved: all nine keys in their written form. Loaded again, they give what the rules make
    // of those texts (the same settings, except a negative colour whose text is now too long).
    const GameSettingsRecord loaded = GameSettings;
    SaveGameSettings();
    FUZZ_CHECK(FuzzSupport::messages().isEmpty(), FuzzSupport::messages().value(0).text);
    QMap<QString, QString> written;
    for (const char *key : Keys)
        written.insert(QLatin1String(key), SettingsStore::GetSetting(section(), QLatin1String(key), QStringLiteral("(absent)")));
    QMap<QString, QString> format{{QStringLiteral("PlayerCnt"), QString::number(loaded.PlayerCnt)},
                                  {QStringLiteral("Testament"), basGame::TestamentCode(loaded.Testament)},
                                  {QStringLiteral("Timed"), loaded.Timed ? QStringLiteral("True") : QStringLiteral("False")},
                                  {QStringLiteral("WinClr"), QString::number(loaded.WinClr)},
                                  {QStringLiteral("WinTxtClr"), QString::number(loaded.WinTxtClr)}};
    for (int i = 1; i <= MaxPlayers; ++i)
        format.insert(QStringLiteral("Player%1").arg(i), loaded.Players[i].Name);
    FUZZ_CHECK(written == format, QStringLiteral("saved %1").arg(QStringList(written.values()).join(u'|')));
    GameSettings = GameSettingsRecord{};
    LoadGameSettings();
    const Expected reloaded = expect(written);
    FUZZ_CHECK(FuzzSupport::messages().isEmpty() && same(GameSettings, reloaded.record),
               QStringLiteral("reloaded %1\nexpected %2").arg(describe(GameSettings), describe(reloaded.record)));
    QSettings file(SettingsStore::FileName(), QSettings::IniFormat);
    file.beginGroup(section());
    for (int i = 1; i <= MaxPlayers; ++i) {
        const QString name = file.value(QStringLiteral("Player%1").arg(i)).toString();
        FUZZ_CHECK(name == loaded.Players[i].Name,
                   QStringLiteral("the file holds \"%1\" for \"%2\"").arg(name, loaded.Players[i].Name));
    }
    return 0;
}
