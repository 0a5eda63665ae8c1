#pragma once

#include <QString>

// How long work (an import, a compaction, a new game over a large deck) tells how far it got,
// and learns that the player wants it stopped. The windows show a progress dialog through it;
// the core only calls it, so it never touches a widget.
class Progress
{
public:
    virtual ~Progress();

    // The work starts: its title, and whether the player may stop it.
    virtual void start(const QString &title, bool cancellable) = 0;
    // What is being done, and how far: done of total (total 0 while that cannot be told).
    // False when the player asked to stop (only cancellable work is ever told so).
    virtual bool step(const QString &doing, qint64 done, qint64 total) = 0;
    // The work ended, whether it finished, failed or was stopped.
    virtual void finish() = 0;

    // The same for an optional reporter: no reporter never stops anything.
    static bool step(Progress *progress, const QString &doing, qint64 done, qint64 total)
    {
        return !progress || progress->step(doing, done, total);
    }
};

// One piece of work on a reporter (which may be null): started here, finished when it ends,
// also by an error.
class ProgressRun
{
public:
    ProgressRun(Progress *progress, const QString &title, bool cancellable);
    ~ProgressRun();
    ProgressRun(const ProgressRun &) = delete;
    ProgressRun &operator=(const ProgressRun &) = delete;

    // False when the player asked to stop.
    bool step(const QString &doing, qint64 done, qint64 total) const { return Progress::step(m_progress, doing, done, total); }

private:
    Progress *m_progress;
};
