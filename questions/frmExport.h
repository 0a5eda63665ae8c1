#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <optional>

namespace QuestionSets {
struct Set;
}
class QComboBox;
class QPushButton;

// Which questions to export: all of them, or one question set.
class frmExport : public QDialog
{
    Q_OBJECT

public:
    frmExport(QWidget *owner, const QList<QuestionSets::Set> &sets);
    ~frmExport() override;

    // The set chosen by its stored name; nothing for every question.
    std::optional<QString> chosenSet() const;

private:
    QList<QuestionSets::Set> m_sets;
    QComboBox *cboSet;
    QPushButton *cmdExport;
    QPushButton *cmdCancel;
};
