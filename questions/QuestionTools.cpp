#include "questions/QuestionTools.h"

#include "bible/KjvText.h"
#include "bible/Scripture.h"
#include "core/DataFiles.h"
#include "core/MessageBox.h"
#include "core/Progress.h"
#include "core/RunTimeError.h"
#include "core/basMain.h"
#include "db/DataControl.h"
#include "db/Database.h"
#include "game/GameSession.h"
#include "import/QuestionExport.h"
#include "import/QuestionImport.h"
#include "import/QuestionSets.h"
#include "questions/FileChooser.h"
#include "questions/frmExport.h"
#include "questions/frmImport.h"
#include "scores/frmScores.h"
#include "settings/QuestionChoice.h"

#include <QDir>
#include <QFileInfo>

#include <memory>
#include <optional>

namespace QuestionTools {
namespace {
const QString ImportTitle = QStringLiteral("Import Questions");
const QString ExportTitle = QStringLiteral("Export Questions");

QString questions(qsizetype n) { return n == 1 ? QStringLiteral("1 question") : QStringLiteral("%1 questions").arg(n); }

// The database the game plays from, opened again when a failed command closed it.
Database &PlayedDatabase(GameSession &session)
{
    if (!session.data().isOpen())
        session.data().Refresh();
    return session.data().database();
}

// Plays only `set` from a new game, the finished game's results offered to the high scores
// first, as a new game from the menu does.
void PlayOnly(QWidget *owner, GameSession &session, const QString &set)
{
    QStringList others;
    for (const QuestionSets::Set &s : QuestionSets::List(PlayedDatabase(session)))
        if (s.name != set)
            others << s.name;
    QuestionChoice::Current.leftOutSets = others;
    QuestionChoice::Save();
    if (session.HighScoreAchieved()) {
        frmScores scores(owner);
        scores.exec();
    }
    session.StartNewGame();
}
}

const KjvText *Bible()
{
    // The text the game reads for its passages, read in the background from start-up on.
    const KjvText *text = Scripture::Text();
    if (!text)
        MsgBox::show(QStringLiteral("The questions cannot be checked: the King James text '%1' cannot be read.")
                         .arg(DataFiles::Find(QStringLiteral("kjv.tsv.gz"))),
                     MsgBox::Exclamation, ImportTitle);
    return text;
}

void ImportQuestions(QWidget *owner, GameSession &session, Progress &progress)
{
    const QString path = FileChooser::open(owner);
    if (path.isEmpty())
        return;
    const KjvText *kjv = Bible();
    if (!kjv)
        return;
    QuestionImport::Preview preview;
    QList<QuestionSets::Set> sets;
    bool stopped = false;
    const bool read = basMain::Trap([&] {
        Database &db = PlayedDatabase(session);
        sets = QuestionSets::List(db);
        const ProgressRun run(&progress, ImportTitle, true);
        preview = QuestionImport::CheckFile(path, *kjv, QuestionImport::ExistingKeys(db), &progress);
        stopped = !run.step(QStringLiteral("Checking the questions"), preview.total, preview.total);
    });
    if (!read || stopped)
        return;
    if (!preview.error.isEmpty()) {
        MsgBox::show(QStringLiteral("'%1' cannot be imported.\r%2").arg(QFileInfo(path).fileName(), preview.error), MsgBox::Exclamation,
                     ImportTitle);
        return;
    }

    frmImport dialog(owner, path, preview, sets);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString set = dialog.setName();
    qsizetype written = 0;
    if (!basMain::Trap([&] {
            const ProgressRun run(&progress, ImportTitle, true);
            written = QuestionImport::Import(PlayedDatabase(session), preview.rows, set, &progress);
        }))
        return;
    if (written < 0) {
        MsgBox::show(QStringLiteral("The import was stopped: nothing was written."), MsgBox::Exclamation, ImportTitle);
        return;
    }
    const QString done = QStringLiteral("%1 imported as the question set '%2'.").arg(questions(written), set);
    if (dialog.playOnly()) {
        MsgBox::show(done + QStringLiteral(" A new game with only these questions starts now."), MsgBox::OkOnly, ImportTitle);
        basMain::Trap([&] { PlayOnly(owner, session, set); });
        return;
    }
    const bool plays = QuestionChoice::Current.playsSet(set);
    MsgBox::show(done + (plays ? QStringLiteral(" They play from the next new game.")
                               : QStringLiteral(" The set is left out on the Questions page of the options.")),
                 MsgBox::OkOnly, ImportTitle);
}

void ExportQuestions(QWidget *owner, GameSession &session)
{
    QList<QuestionSets::Set> sets;
    if (!basMain::Trap([&] { sets = QuestionSets::List(PlayedDatabase(session)); }))
        return;
    frmExport dialog(owner, sets);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::optional<QString> set = dialog.chosenSet();
    const QString name = set ? QuestionSets::DisplayName(*set) : QStringLiteral("Quillory questions");
    const QString path = FileChooser::save(owner, QDir(FileChooser::StartFolder()).filePath(QString(name).replace(u'/', u'-') + QStringLiteral(".csv")));
    if (path.isEmpty())
        return;
    basMain::Trap([&] {
        const QList<QuestionRow> rows = QuestionExport::Rows(PlayedDatabase(session), set);
        QuestionExport::WriteFile(path, rows);
        MsgBox::show(QStringLiteral("%1 exported to '%2'.").arg(questions(rows.size()), path), MsgBox::OkOnly, ExportTitle);
    });
}
}
