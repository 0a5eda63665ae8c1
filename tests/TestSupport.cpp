#include "TestSupport.h"

#include "db/Database.h"
#include "db/QuestionSchema.h"
#include "core/MessageBox.h"
#include "tools/QuestionDatabase.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

namespace TestSupport {
namespace {
QList<int> &answers()
{
    static QList<int> queue;
    return queue;
}
}

QList<Shown> &messages()
{
    static QList<Shown> shown;
    return shown;
}

void clearMessages()
{
    messages().clear();
    answers().clear();
}

void queueAnswer(int answer) { answers() << answer; }

QStringList errorTexts()
{
    QStringList out;
    for (const Shown &s : messages())
        if (s.title == u"Error")
            out << s.text;
    return out;
}

namespace {
std::unique_ptr<QTemporaryDir> &folder()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
}

void initProcess(const QString &base)
{
    folder() = std::make_unique<QTemporaryDir>(base.isEmpty() ? QString() : base + QStringLiteral("/quillory-XXXXXX"));
    qputenv("XDG_CONFIG_HOME", folder()->path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (folder()->path() + QStringLiteral("/data")).toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    MsgBox::setHandler([](const QString &text, int style, const QString &title) {
        messages() << Shown{text, style, title};
        if ((style & 0x7) == MsgBox::YesNo)
            return answers().isEmpty() ? int(MsgBox::Yes) : answers().takeFirst();
        return int(MsgBox::Ok);
    });
}

QString workFolder() { return folder()->path(); }

void clearSettings()
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quillory"), QStringLiteral("Quillory"));
    s.clear();
    s.sync();
}

QList<QuestionRow> sampleRows(int n, const QStringList &testaments)
{
    QList<QuestionRow> rows;
    for (int k = 1; k <= n; ++k) {
        QuestionRow r;
        r.question = QStringLiteral("Question %1").arg(k);
        r.answers = {QStringLiteral("Right %1").arg(k), QStringLiteral("Wrong %1a").arg(k),
                     QStringLiteral("Wrong %1b").arg(k), QStringLiteral("Wrong %1c").arg(k)};
        r.testament = testaments[(k - 1) % testaments.size()];
        r.reference = QStringLiteral("Genesis 1:%1").arg(k % 31 + 1);
        rows << r;
    }
    return rows;
}

void openControl(DataControl &dat, const QString &path, const QString &source)
{
    dat.Connect = QString::fromLatin1(basMain::ConnectString);
    dat.DatabaseName = path;
    dat.RecordSource = source.isEmpty() ? QuestionSchema::TableName() : source;
    dat.Refresh();
}

QString makeDatabase(const QString &path, const QList<QuestionRow> &rows, const QString &password)
{
    QuestionDatabase::Write(path, password, rows);
    // An empty tag in the sample stands for a Null testament.
    execSql(path, QStringLiteral("UPDATE tblQuillory SET Testament = NULL WHERE Testament = ''"), password);
    return path;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void execSql(const QString &path, const QString &sql, const QString &password)
{
    Database::open(path, password)->exec(sql);
}
}
