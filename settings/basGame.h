#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// The process-wide game settings and the player table.
namespace basGame {

struct PlayerRecord
{
    QString Name;
    // A whole deck in the timed mode scores far beyond 16 bits, so the game's counters hold
    // 32-bit values; the percentage stays a small number.
    qint32 Score = 0;    // points total of the game in progress
    qint16 Percent = 0;  // share of correct answers, whole percent
    qint32 Answered = 0; // questions answered in the game
    qint32 Correct = 0;  // correct answers in the game
    qint32 Points = 0;   // points of the player's last answer
};

inline constexpr int MaxPlayers = 4;

// Four player seats indexed 1 to 4; any other index is error 9.
class PlayerTable
{
public:
    PlayerRecord &operator[](int index);
    const PlayerRecord &operator[](int index) const;

private:
    std::array<PlayerRecord, MaxPlayers> m_players{};
};

// The testament the questions are dealt from. The settings store keeps it as "OT", "NT" or "BT"
// and the question table tags its rows "OT" or "NT"; inside the program it is this choice.
enum class Testament { Old, New, Both };

// "OT", "NT" or "BT".
QString TestamentCode(Testament testament);
// The choice a stored code stands for: exactly "OT", "NT" or "BT" (letter case counts).
std::optional<Testament> TestamentOfCode(const QString &code);

struct GameSettingsRecord
{
    qint16 PlayerCnt = 0;
    basGame::Testament Testament = Testament::Both;
    bool Timed = false;
    qint32 WinClr = 0;    // RGB, red in the low byte
    qint32 WinTxtClr = 0;
    PlayerTable Players;
};

extern GameSettingsRecord GameSettings;

inline constexpr auto Section = "GameSettings";
inline constexpr qint32 DefaultWinClr = 12632256; // light grey, RGB(192, 192, 192)
inline constexpr qint32 DefaultWinTxtClr = 0;      // black
inline constexpr qint32 MaxColor = 16777215;
inline constexpr int MaxNameLength = 25;

// Reads the nine keys; a text that is not accepted silently becomes the key's default.
// A run-time error (a colour such as "1e10") is reported once; that key keeps its default and
// the other keys still load.
void LoadGameSettings();

// Writes all nine keys; an error is reported and the remaining keys are not written.
void SaveGameSettings();

// The colour to paint for a colour setting: the setting itself when it is an RGB value
// (0 to 16777215), otherwise the setting's default. The store accepts short negative numbers,
// which are no colour at all; painting them as the default keeps the window readable.
qint32 PaintableColor(qint32 value, qint32 defaultValue);

// The acceptance rule of a stored colour: the colour, or the default when the text is not
// accepted. Raises error 6 when a short numeric text is too large for a 32-bit integer.
qint32 ColorFromText(const QString &text, qint32 defaultValue);
}
