#include "questions/ProgressDialog.h"

#include <QApplication>
#include <QProgressDialog>

#include <limits>

ProgressDialog::ProgressDialog(QWidget *owner) : m_owner(owner) {}

ProgressDialog::~ProgressDialog() { delete m_dialog; }

QProgressDialog *ProgressDialog::dialog() const { return m_dialog; }

void ProgressDialog::start(const QString &title, bool cancellable)
{
    if (m_depth++ > 0)
        return;
    m_title = title;
    m_cancellable = cancellable;
    m_cancelled = false;
    m_clock.start();
}

bool ProgressDialog::step(const QString &doing, qint64 done, qint64 total)
{
    if (m_depth == 0)
        return true;
    if (!m_dialog && m_clock.elapsed() >= ShowAfterMs) {
        m_dialog = new QProgressDialog(m_owner);
        m_dialog->setObjectName(QStringLiteral("dlgProgress"));
        m_dialog->setAccessibleName(m_title);
        m_dialog->setWindowTitle(m_title);
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setMinimumDuration(0);
        m_dialog->setMinimumWidth(320);
        if (!m_cancellable)
            m_dialog->setCancelButton(nullptr);
        m_dialog->show();
        m_sincePaint.invalidate();
    }
    if (m_dialog) {
        // Painting costs time too: a few times a second is enough.
        if (!m_sincePaint.isValid() || m_sincePaint.elapsed() >= 50) {
            m_dialog->setLabelText(doing);
            const bool known = total > 0;
            const int scale = known && total > std::numeric_limits<int>::max() / 2 ? 1000 : 1;
            m_dialog->setRange(0, known ? int(total / scale) : 0);
            m_dialog->setValue(known ? int(std::min(done, total) / scale) : 0);
            QApplication::processEvents();
            m_sincePaint.start();
        }
        m_cancelled = m_cancelled || (m_cancellable && m_dialog && m_dialog->wasCanceled());
    }
    return !m_cancelled;
}

void ProgressDialog::finish()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    delete m_dialog;
}
