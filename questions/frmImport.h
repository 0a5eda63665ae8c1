#pragma once

#include <QDialog>
#include <QList>
#include <QString>

namespace QuestionImport {
struct Preview;
}
namespace QuestionSets {
struct Set;
}
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The preview of an import, before anything is written: how many rows are good, every row left
// out with its line and reason, the name of the question set (the file's name at first; it can
// be changed), and whether to play only these questions now. Import is offered only when there
// is something to import under a name that can be used.
class frmImport : public QDialog
{
    Q_OBJECT

public:
    frmImport(QWidget *owner, const QString &fileName, const QuestionImport::Preview &preview,
              const QList<QuestionSets::Set> &sets);
    ~frmImport() override;

    QString setName() const;
    bool playOnly() const;

    // The preview in plain words: how many rows are ready, skipped and at fault.
    static QString Summary(const QuestionImport::Preview &preview);

private:
    void txtSet_Change();

    QList<QuestionSets::Set> m_sets;
    qsizetype m_good = 0;
    QLabel *lblSummary;
    QListWidget *lstLeftOut;
    QLineEdit *txtSet;
    QLabel *lblSetNote;
    QCheckBox *chkPlayOnly;
    QPushButton *cmdImport;
    QPushButton *cmdCancel;
};
