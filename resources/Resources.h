#pragma once

// The pictures are returned by value, so their classes are needed complete here.
#include <QIcon>
#include <QPixmap>

class QString;

// The program's pictures, compiled in from resources/quillory.qrc and loaded by name:
// TROPHY1 to TROPHY3, FACE_SMILE, FACE_NEUTRAL, FACE_FROWN, HAND, APP_ICON, SNAKE_OUT,
// SNAKE_IN and the eight toolbar images TB_NEW, TB_SCORES, TB_COLORS, TB_PLAYERS,
// TB_TESTAMENT, TB_TIMED, TB_ABOUT, TB_EXIT.
namespace Resources {

// Registers the compiled-in pictures; safe to call any number of times. The pictures live in
// a static library, so they must be registered explicitly before the first lookup.
void init();

// The picture called name (":/" + name), or a null pixmap when there is none. The toolbar
// images (names beginning with "TB_") come with their silver ground made transparent.
QPixmap picture(const QString &name);

// The main window's icon: the snake above the apple.
QIcon appIcon();
}
