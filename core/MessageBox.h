#pragma once

#include <QString>

#include <functional>

// Every message box of the program goes through here. The style numbers are the classic ones
// (0 OK only, 4 Yes/No, 32 question icon, 48 exclamation icon, 256 the second button the
// default, added together); the result is 1 for OK, 6 for Yes and 7 for No. The windows
// install a handler that shows a real box; tests install one that records the box and answers
// from a queue, so nothing ever blocks.
namespace MsgBox {
enum Style : int { OkOnly = 0, YesNo = 4, Question = 32, Exclamation = 48, DefaultButton2 = 256 };
enum Result : int { Ok = 1, Yes = 6, No = 7 };

using Handler = std::function<int(const QString &text, int style, const QString &title)>;

// Shows a box and returns the button pressed. Without a handler it answers OK (or No for a
// Yes/No box) and writes the text to standard error, so a core-only program never hangs.
int show(const QString &text, int style, const QString &title);

// Installs a handler and returns the previous one.
Handler setHandler(Handler handler);
}
