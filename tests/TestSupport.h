#pragma once

#include "core/basMain.h"
#include "db/DataControl.h"
#include "tools/QuestionBank.h"

#include <QList>
#include <QString>
#include <QTest>

// What the tests share: a private settings folder, a message-box recorder answered from a
// queue (no test ever blocks on a real box), and small encrypted question databases. The window
// tests add WindowFixture.h.
namespace TestSupport {

struct Shown
{
    QString text;
    int style;
    QString title;
};

// The boxes shown since the last clearMessages(), oldest first.
QList<Shown> &messages();
void clearMessages();
// The answer the next Yes/No box gets (Yes when the queue is empty).
void queueAnswer(int answer);
// Texts of the error reports shown ("Error #: ..." boxes), for compact assertions.
QStringList errorTexts();

// Prepares the process: a temporary XDG_CONFIG_HOME (in base, when given) so the real user's
// settings are never touched, and the message recorder installed. Call before the application
// object exists.
void initProcess(const QString &base = {});
// The temporary folder initProcess made, for files a test writes.
QString workFolder();
// Empties the settings store.
void clearSettings();

// The game's own password, as its connect string gives it.
inline const QString Password = DataControl::passwordOf(QString::fromLatin1(basMain::ConnectString));

// Opens dat on a database with the game's password, on the question table or another source.
void openControl(DataControl &dat, const QString &path, const QString &source = {});

// n generated questions: "Question k", right answer "Right k", testament by the pattern
// ("OT", "NT", or "" for a Null tag), cycling.
QList<QuestionRow> sampleRows(int n, const QStringList &testaments = {QStringLiteral("OT"), QStringLiteral("NT")});
// Writes rows into a new encrypted database; returns the path.
QString makeDatabase(const QString &path, const QList<QuestionRow> &rows, const QString &password = Password);
// The bytes of a file (empty when it cannot be read).
QByteArray bytesOf(const QString &path);
// Runs one SQL statement on a database (to damage it on purpose: Nulls, dropped tables).
void execSql(const QString &path, const QString &sql, const QString &password = Password);
}

#define QUILLORY_CORE_TEST_MAIN(TestClass)                                                                     \
    int main(int argc, char *argv[])                                                                           \
    {                                                                                                          \
        TestSupport::initProcess();                                                                            \
        QCoreApplication app(argc, argv);                                                                      \
        TestClass test;                                                                                        \
        return QTest::qExec(&test, argc, argv);                                                                \
    }
