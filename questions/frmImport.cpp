#include "questions/frmImport.h"

#include "import/QuestionImport.h"
#include "import/QuestionSets.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString rows(qsizetype n) { return n == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(n); }

QLabel *label(const QString &name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    return l;
}
}

QString frmImport::Summary(const QuestionImport::Preview &preview)
{
    const qsizetype good = preview.rows.size();
    QStringList lines;
    if (good == preview.total)
        lines << (good == 1 ? QStringLiteral("The one row of the file is ready to import.")
                            : QStringLiteral("All %1 rows of the file are ready to import.").arg(good));
    else if (good == 0)
        lines << QStringLiteral("None of the %1 of the file can be imported.").arg(rows(preview.total));
    else
        lines << QStringLiteral("%1 of the %2 of the file %3 ready to import.")
                     .arg(good)
                     .arg(rows(preview.total), good == 1 ? QStringLiteral("is") : QStringLiteral("are"));
    if (!preview.duplicates.isEmpty())
        lines << QStringLiteral("%1 already in the question database or twice in the file, and skipped.")
                     .arg(preview.duplicates.size() == 1 ? QStringLiteral("1 row is") : QStringLiteral("%1 rows are").arg(preview.duplicates.size()));
    if (!preview.problems.isEmpty())
        lines << QStringLiteral("%1 for the reasons below.")
                     .arg(preview.problems.size() == 1 ? QStringLiteral("1 row cannot be imported,")
                                                       : QStringLiteral("%1 rows cannot be imported,").arg(preview.problems.size()));
    if (!preview.ignoredColumns.isEmpty())
        lines << QStringLiteral("Columns not used: %1.").arg(preview.ignoredColumns.join(QStringLiteral(", ")));
    return lines.join(u'\n');
}

frmImport::frmImport(QWidget *owner, const QString &fileName, const QuestionImport::Preview &preview,
                     const QList<QuestionSets::Set> &sets)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_sets(sets), m_good(preview.rows.size())
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Import Questions"));
    setAccessibleName(windowTitle());

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label(QStringLiteral("lblFile"), QStringLiteral("File: %1").arg(QFileInfo(fileName).fileName()), this));
    lblSummary = label(QStringLiteral("lblSummary"), Summary(preview), this);
    layout->addWidget(lblSummary);

    // Every row left out, in the order of the file, with its line and reason.
    struct Note
    {
        qsizetype line;
        QString text;
    };
    QList<Note> notes;
    for (const QuestionImport::RowNote &n : preview.problems)
        notes << Note{n.line, n.reason};
    for (const QuestionImport::RowNote &n : preview.duplicates)
        notes << Note{n.line, n.reason + QStringLiteral(" (skipped)")};
    std::stable_sort(notes.begin(), notes.end(), [](const Note &a, const Note &b) { return a.line < b.line; });
    lstLeftOut = new QListWidget(this);
    lstLeftOut->setObjectName(QStringLiteral("lstLeftOut"));
    lstLeftOut->setAccessibleName(QStringLiteral("Rows left out"));
    lstLeftOut->setSelectionMode(QAbstractItemView::NoSelection);
    lstLeftOut->setWordWrap(true);
    lstLeftOut->setUniformItemSizes(true);
    for (const Note &n : notes)
        lstLeftOut->addItem(QStringLiteral("Line %1: %2").arg(n.line).arg(n.text));
    lstLeftOut->setVisible(!notes.isEmpty());
    layout->addWidget(lstLeftOut, 1);
    if (notes.isEmpty())
        layout->addStretch(1);

    auto *setRow = new QGridLayout;
    auto *lblSet = label(QStringLiteral("lblSet"), QStringLiteral("&Question set:"), this);
    lblSet->setTextFormat(Qt::AutoText);
    lblSet->setWordWrap(false);
    txtSet = new QLineEdit(QuestionSets::NameForFile(fileName), this);
    txtSet->setObjectName(QStringLiteral("txtSet"));
    txtSet->setAccessibleName(QStringLiteral("Question set name"));
    txtSet->setMaxLength(QuestionSets::MaxNameLength);
    lblSet->setBuddy(txtSet);
    lblSetNote = label(QStringLiteral("lblSetNote"), QString(), this);
    setRow->addWidget(lblSet, 0, 0);
    setRow->addWidget(txtSet, 0, 1);
    setRow->addWidget(lblSetNote, 1, 1);
    layout->addLayout(setRow);

    chkPlayOnly = new QCheckBox(QStringLiteral("&Play only these questions (starts a new game)"), this);
    chkPlayOnly->setObjectName(QStringLiteral("chkPlayOnly"));
    layout->addWidget(chkPlayOnly);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdImport = new QPushButton(QStringLiteral("&Import"), this);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    cmdImport->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdImport);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(txtSet, &QLineEdit::textChanged, this, &frmImport::txtSet_Change);
    connect(cmdImport, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    txtSet_Change();
    resize(520, notes.isEmpty() ? 220 : 400);
}

frmImport::~frmImport() = default;

QString frmImport::setName() const { return QuestionSets::Tidy(txtSet->text()); }

bool frmImport::playOnly() const { return chkPlayOnly->isChecked(); }

void frmImport::txtSet_Change()
{
    QString note = QuestionSets::NameProblem(txtSet->text());
    const bool usable = note.isEmpty();
    if (usable)
        for (const QuestionSets::Set &set : std::as_const(m_sets))
            if (set.name == setName())
                note = QStringLiteral("The questions join the question set of this name, which has %1.")
                           .arg(set.count == 1 ? QStringLiteral("1 question") : QStringLiteral("%1 questions").arg(set.count));
    lblSetNote->setText(note);
    lblSetNote->setVisible(!note.isEmpty());
    cmdImport->setEnabled(usable && m_good > 0);
}
