#pragma once

class GameSession;
class KjvText;
class Progress;
class QWidget;

// The Tools menu's question commands, from the file dialog to the message that ends them. The
// database is the one the game plays from; every failure is reported and changes nothing.
namespace QuestionTools {

// Import Questions...: a file chosen, read and judged (with a progress window that can stop
// it), the preview, then the good rows written in one transaction as a question set. Asked
// to, it then plays only that set, from a new game.
void ImportQuestions(QWidget *owner, GameSession &session, Progress &progress);

// Export Questions...: all questions or one set, to a CSV file chosen.
void ExportQuestions(QWidget *owner, GameSession &session);

// The King James text that checks the references, read at its first use and kept; nothing
// (and the reason reported) when it cannot be read.
const KjvText *Bible();
}
