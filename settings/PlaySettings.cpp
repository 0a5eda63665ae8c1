#include "settings/PlaySettings.h"

#include "core/basMain.h"
#include "settings/SettingsStore.h"

#include <algorithm>

namespace PlaySettings {

Record Play;

namespace {
const QString View = QStringLiteral("View");
const QString Rounds = QStringLiteral("Rounds");

// A whole number written as plain decimal digits, or the default.
int number(const QString &section, const QString &key, int defaultValue)
{
    const QString text = SettingsStore::GetSetting(section, key, QString());
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && !text.startsWith(u'+') && text == QString::number(value) ? value : defaultValue;
}
}

int ValidZoom(int percent)
{
    const int clamped = std::clamp(percent, MinZoom, MaxZoom);
    return MinZoom + (clamped - MinZoom) / ZoomStep * ZoomStep;
}

void Load()
{
    Play = Record{};
    const int zoom = number(View, QStringLiteral("Zoom"), MinZoom);
    Play.Zoom = zoom == ValidZoom(zoom) ? zoom : MinZoom;
    Play.FullScreen = SettingsStore::GetSetting(View, QStringLiteral("FullScreen"), QStringLiteral("False")) == u"True";
    const QString rounds = SettingsStore::GetSetting(Rounds, QStringLiteral("QuestionsPerPlayer"), QStringLiteral("All"));
    for (const int choice : QuestionsPerPlayerChoices)
        if (choice > 0 && rounds == QString::number(choice))
            Play.QuestionsPerPlayer = choice;
}

void Save()
{
    basMain::Trap([] {
        SettingsStore::SaveSetting(View, QStringLiteral("Zoom"), QString::number(Play.Zoom));
        SettingsStore::SaveSetting(View, QStringLiteral("FullScreen"), Play.FullScreen ? QStringLiteral("True") : QStringLiteral("False"));
        SettingsStore::SaveSetting(Rounds, QStringLiteral("QuestionsPerPlayer"),
                                   Play.QuestionsPerPlayer > 0 ? QString::number(Play.QuestionsPerPlayer) : QStringLiteral("All"));
        SettingsStore::Sync();
    });
}
}
