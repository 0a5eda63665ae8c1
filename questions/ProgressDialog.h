#pragma once

#include "core/Progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

// The progress window of long work: it appears only once the work has run for half a second,
// shows the step and how far it got (or a moving bar while that cannot be told), offers Cancel
// for work that may be stopped, and keeps the windows painting meanwhile. Work started inside
// other work (a new game's shuffle inside a new game) shares the window of the outer one.
class ProgressDialog : public Progress
{
public:
    static constexpr int ShowAfterMs = 500;

    explicit ProgressDialog(QWidget *owner);
    ~ProgressDialog() override;
    ProgressDialog(const ProgressDialog &) = delete;
    ProgressDialog &operator=(const ProgressDialog &) = delete;

    void start(const QString &title, bool cancellable) override;
    bool step(const QString &doing, qint64 done, qint64 total) override;
    void finish() override;

    // The window while it is shown (for tests), else nothing.
    QProgressDialog *dialog() const;

private:
    QWidget *m_owner;
    QPointer<QProgressDialog> m_dialog;
    QElapsedTimer m_clock;
    QElapsedTimer m_sincePaint;
    QString m_title;
    bool m_cancellable = false;
    bool m_cancelled = false;
    int m_depth = 0;
};
