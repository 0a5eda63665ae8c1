#include "core/Progress.h"

Progress::~Progress() = default;

ProgressRun::ProgressRun(Progress *progress, const QString &title, bool cancellable) : m_progress(progress)
{
    if (m_progress)
        m_progress->start(title, cancellable);
}

ProgressRun::~ProgressRun()
{
    if (m_progress)
        m_progress->finish();
}
