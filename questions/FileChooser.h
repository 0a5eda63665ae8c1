#pragma once

#include <QString>

#include <functional>

class QWidget;

// The file dialogs of the question tools: a file to import, a file to export to. Tests install
// a handler that answers at once instead of showing the modal dialog.
namespace FileChooser {
enum class Mode { Open, Save };

// The path chosen; empty when the player cancelled.
using Handler = std::function<QString(QWidget *owner, Mode mode, const QString &suggested)>;

QString open(QWidget *owner);
QString save(QWidget *owner, const QString &suggested);
Handler setHandler(Handler handler);

// Where the dialogs open: the player's documents folder, or the home folder when there is none.
QString StartFolder();
}
