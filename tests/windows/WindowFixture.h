#pragma once

#include "TestSupport.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>

class QDialog;
class frmMain;
class GameSession;

// The window tests' shared set-up: the program's main window on a small test database, its
// controls found by objectName, and modal dialogs answered without blocking.
class WindowFixture
{
public:
    WindowFixture();
    ~WindowFixture();

    // A main window loaded on a fresh database of `rows` sample questions, for these players.
    frmMain &start(int rows, const QStringList &players = {QStringLiteral("Ann")}, bool timed = false,
                   const QStringList &testaments = {QStringLiteral("OT"), QStringLiteral("NT")});
    void close();
    frmMain &window() const { return *m_window; }
    GameSession &game() const;

    // A control of the window by objectName (the test stops when there is none).
    template <class T = QWidget>
    T *child(const QString &name) const
    {
        T *w = m_root ? m_root->findChild<T *>(name) : nullptr;
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QString text(const QString &label) const;        // a label's text
    QString panel(int i) const;                      // status bar panel i
    bool shown(const QString &name) const;           // not hidden
    void trigger(const QString &action) const;       // a menu or toolbar command
    int button(bool right) const;                    // the answer button with the right (or a wrong) answer
    void answer(bool right) const;                   // clicks it
    void next() const;                               // New Question

    // Runs act, closing every modal dialog it opens (after look had a look at it); the dialogs'
    // objectNames.
    static QStringList dialogsOf(const std::function<void()> &act, const std::function<void(QDialog *)> &look = {});
    // Runs action on the next modal dialog that opens (the action must close it).
    static void whenModal(std::function<void(QDialog *)> action);

    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;
    QWidget *m_root = nullptr; // the same window, for finding its controls
};

#define QUILLORY_TEST_MAIN(TestClass)                                                                          \
    int main(int argc, char *argv[])                                                                           \
    {                                                                                                          \
        TestSupport::initProcess();                                                                            \
        QApplication app(argc, argv);                                                                          \
        TestClass test;                                                                                        \
        return QTest::qExec(&test, argc, argv);                                                                \
    }
