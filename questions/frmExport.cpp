#include "questions/frmExport.h"

#include "import/QuestionSets.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString questions(qint64 n) { return n == 1 ? QStringLiteral("1 question") : QStringLiteral("%1 questions").arg(n); }
}

frmExport::frmExport(QWidget *owner, const QList<QuestionSets::Set> &sets)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_sets(sets)
{
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(QStringLiteral("Export Questions"));
    setAccessibleName(windowTitle());

    auto *layout = new QVBoxLayout(this);
    auto *lblSet = new QLabel(QStringLiteral("&Questions to export:"), this);
    lblSet->setObjectName(QStringLiteral("lblSet"));
    cboSet = new QComboBox(this);
    cboSet->setObjectName(QStringLiteral("cboSet"));
    cboSet->setAccessibleName(QStringLiteral("Questions to export"));
    lblSet->setBuddy(cboSet);
    qint64 all = 0;
    for (const QuestionSets::Set &set : sets)
        all += set.count;
    cboSet->addItem(QStringLiteral("All questions (%1)").arg(questions(all)));
    for (const QuestionSets::Set &set : sets)
        cboSet->addItem(QStringLiteral("%1 (%2)").arg(QuestionSets::DisplayName(set.name), questions(set.count)));
    layout->addWidget(lblSet);
    layout->addWidget(cboSet);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdExport = new QPushButton(QStringLiteral("&Export..."), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdExport->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdExport);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(cmdExport, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(340);
}

frmExport::~frmExport() = default;

std::optional<QString> frmExport::chosenSet() const
{
    const int index = cboSet->currentIndex();
    if (index <= 0 || index > m_sets.size())
        return std::nullopt;
    return m_sets[index - 1].name;
}
