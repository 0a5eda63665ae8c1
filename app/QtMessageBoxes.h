#pragma once

// Shows the program's message boxes as real Qt message boxes (installed by main()).
namespace QtMessageBoxes {
void install();
}
