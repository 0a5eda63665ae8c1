#pragma once

#include <QtGlobal>

// Settings beyond the nine game settings, each in a section of its own so those keep their keys
// and rules: how the main window is shown (section "View": Zoom, FullScreen) and how long a game
// lasts (section "Rounds": QuestionsPerPlayer). A stored value that is not accepted keeps its
// default, silently.
namespace PlaySettings {

inline constexpr int MinZoom = 100; // percent
inline constexpr int MaxZoom = 300;
inline constexpr int ZoomStep = 25;
// The choices of questions per player; 0 is All (the game lasts until the deck runs out).
inline constexpr int QuestionsPerPlayerChoices[] = {0, 5, 10, 15, 20, 30};

struct Record
{
    int Zoom = MinZoom;         // 100 to 300, in steps of 25
    bool FullScreen = false;
    int QuestionsPerPlayer = 0; // one of QuestionsPerPlayerChoices
};

extern Record Play;

// Reads and writes the two sections (Save reports a store that cannot be written).
void Load();
void Save();

// The zoom a stored or asked-for percentage stands for: within 100 to 300, on a step.
int ValidZoom(int percent);
}
