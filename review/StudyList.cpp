#include "review/StudyList.h"

#include "bible/Scripture.h"
#include "game/GameSession.h"
#include "settings/basGame.h"

#include <QDate>
#include <QFile>
#include <QPageSize>
#include <QPdfWriter>
#include <QSet>
#include <QTextDocument>

namespace StudyList {

QTextDocument *Make(const GameSession &session)
{
    // Every text from the database or the players is escaped: shown as written, never as markup.
    auto esc = [](const QString &text) { return text.toHtmlEscaped(); };
    QString html = QStringLiteral("<h1>Quillory: study list</h1><p>%1</p>").arg(esc(QDate::currentDate().toString(Qt::TextDate)));
    QSet<QString> listed;
    int count = 0;
    for (const GameSession::AnswerRecord &a : session.Answers()) {
        if (a.correct || listed.contains(a.question))
            continue;
        listed.insert(a.question);
        const Scripture::Passage passage = Scripture::Find(a.reference);
        html += QStringLiteral("<h3>%1. %2</h3><p><b>Answer:</b> %3<br><b>Reference:</b> %4</p>")
                    .arg(++count)
                    .arg(esc(a.question), esc(a.right), esc(a.reference));
        if (!passage.body.isEmpty())
            html += QStringLiteral("<p><i>%1</i></p>").arg(esc(passage.body));
    }
    if (count == 0)
        html += QStringLiteral("<p>Every question of this game was answered right.</p>");
    auto *document = new QTextDocument;
    document->setHtml(html);
    return document;
}

void Print(const GameSession &session, QPagedPaintDevice *device)
{
    QTextDocument *document = Make(session);
    document->print(device);
    delete document;
}

bool SavePdf(const GameSession &session, const QString &path)
{
    {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            return false;
    }
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setTitle(QStringLiteral("Quillory study list"));
    writer.setCreator(QStringLiteral("Quillory"));
    Print(session, &writer);
    return QFile(path).size() > 0;
}
}
