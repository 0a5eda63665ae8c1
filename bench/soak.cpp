// Soak: many whole games in one process, offscreen, with random answers, timed and untimed,
// for one to four players, on a small question database so that every game ends with
// "Game Over!". Prints the resident memory (VmRSS) after the warm-up game and at the end and
// ends with 1 when memory grew by the limit or more in between, or when any error box was
// shown.
//
//   soak [--games N] [--warm-up W] [--questions Q] [--limit-kb K] [--seed S]
//
// Defaults: 2000 games, memory measured from game 100, 30 questions, a limit of 2048 kB.
#include "BenchSupport.h"
#include "core/MessageBox.h"
#include "settings/basGame.h"
#include "core/basMain.h"
#include "app/frmMain.h"
#include "game/GameSession.h"
#include "tools/QuestionDatabase.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {
// The resident memory of this process in kB, from /proc/self/status.
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

QList<QuestionRow> questions(int count)
{
    QList<QuestionRow> rows;
    for (int k = 1; k <= count; ++k) {
        QuestionRow r;
        r.question = QStringLiteral("Question %1: who said it?").arg(k);
        r.answers = {QStringLiteral("Right %1").arg(k), QStringLiteral("Wrong %1a").arg(k), QStringLiteral("Wrong %1b").arg(k),
                     QStringLiteral("Wrong %1c").arg(k)};
        r.testament = k % 2 ? QStringLiteral("OT") : QStringLiteral("NT");
        r.reference = QStringLiteral("Genesis %1:%2").arg(k % 50 + 1).arg(k % 20 + 1);
        rows << r;
    }
    return rows;
}

struct Options
{
    int games = 2000;
    int warmUp = 100;
    int questions = 30;
    long limitKb = 2048;
    quint32 seed = 0;
};

bool parse(const QStringList &args, Options &o)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (i + 1 >= args.size())
            return false;
        bool ok = false;
        const long value = args[++i].toLong(&ok);
        if (!ok || value < 0)
            return false;
        if (a == u"--games")
            o.games = int(value);
        else if (a == u"--warm-up")
            o.warmUp = int(value);
        else if (a == u"--questions")
            o.questions = int(value);
        else if (a == u"--limit-kb")
            o.limitKb = value;
        else if (a == u"--seed")
            o.seed = quint32(value);
        else
            return false;
    }
    return o.games >= 1 && o.questions >= 1 && o.warmUp >= 1 && o.warmUp <= o.games;
}
}

int main(int argc, char *argv[])
{
    // A settings store of its own: the soak never touches the user's settings.
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.filePath(QStringLiteral("config"))));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Options o;
    if (!parse(app.arguments(), o)) {
        std::fputs("usage: soak [--games N] [--warm-up W] [--questions Q] [--limit-kb K] [--seed S]\n", stderr);
        return 2;
    }
    QRandomGenerator random(o.seed ? o.seed : QRandomGenerator::global()->generate());

    int gameOvers = 0;
    QStringList errors;
    MsgBox::setHandler([&](const QString &text, int, const QString &title) {
        if (text == u"Game Over!")
            ++gameOvers;
        else
            errors << title + QStringLiteral(": ") + QString(text).replace(u'\r', u' ');
        return int(MsgBox::Ok);
    });
    // The high-scores window opens after a game with a new entry; it is closed as a player would.
    int scoresShown = 0;
    QTimer closer;
    closer.setInterval(2);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            ++scoresShown;
            dialog->accept();
        }
    });
    closer.start();

    basMain::DatabasePath = folder.filePath(QStringLiteral("Quillory.mdb"));
    QuestionDatabase::Write(basMain::DatabasePath, BenchSupport::Password,
                            questions(o.questions));

    static const basGame::Testament testaments[] = {basGame::Testament::Old, basGame::Testament::New, basGame::Testament::Both};
    using basGame::GameSettings;
    long warmKb = -1, endKb = -1;
    int answers = 0;
    QElapsedTimer clock;
    clock.start();
    {
        frmMain window;
        window.Form_Load();
        window.show();
        QPushButton *cmdAnswer[5] = {};
        for (int i = 1; i <= 4; ++i)
            cmdAnswer[i] = window.findChild<QPushButton *>(QStringLiteral("cmdAnswer%1").arg(i));
        auto *cmdNewQuestion = window.findChild<QPushButton *>(QStringLiteral("cmdNewQuestion"));

        for (int game = 1; game <= o.games && errors.isEmpty(); ++game) {
            GameSettings.PlayerCnt = qint16(random.bounded(1, 5));
            GameSettings.Testament = testaments[random.bounded(3)];
            window.StartNewGame();
            window.SetTimedGame(random.bounded(2) == 1);
            const int overBefore = gameOvers;
            while (gameOvers == overBefore && errors.isEmpty()) {
                // Some seconds pass, then a random answer; the result is drawn, then the next question.
                for (int s = int(random.bounded(12)); s > 0; --s)
                    window.game().tmrGame_Timer();
                cmdAnswer[random.bounded(1, 5)]->click();
                ++answers;
                QCoreApplication::processEvents();
                if (!cmdNewQuestion->isEnabled()) {
                    errors << QStringLiteral("game %1: New Question was not enabled after an answer").arg(game);
                    break;
                }
                cmdNewQuestion->click();
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
            if (game == o.warmUp)
                warmKb = residentKb();
            if (game == o.games)
                endKb = residentKb();
            if (game % 250 == 0) {
                std::printf("game %d: %ld kB resident, %lld ms\n", game, residentKb(), clock.elapsed());
                std::fflush(stdout);
            }
        }
        window.close();
    }

    std::printf("games: %d played (%d answers, %d high-score windows) in %.1f s\n", gameOvers, answers, scoresShown,
                double(clock.elapsed()) / 1000.0);
    std::printf("resident memory: %ld kB at game %d, %ld kB at game %d: %+ld kB (limit %ld kB)\n", warmKb, o.warmUp, endKb,
                o.games, endKb - warmKb, o.limitKb);
    for (const QString &error : errors.mid(0, 10))
        std::printf("error box: %s\n", qPrintable(error));
    const bool failed = !errors.isEmpty() || gameOvers != o.games || endKb - warmKb >= o.limitKb;
    std::printf("%s\n", failed ? "FAILED" : "passed");
    return failed ? 1 : 0;
}
