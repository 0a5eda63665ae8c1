#include "WindowFixture.h"

#include "app/frmMain.h"
#include "core/basMain.h"
#include "game/GameSession.h"
#include "settings/SettingsStore.h"
#include "settings/basGame.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

WindowFixture::WindowFixture() = default;
WindowFixture::~WindowFixture() = default;

frmMain &WindowFixture::start(int rows, const QStringList &players, bool timed, const QStringList &testaments)
{
    static int n = 0;
    close();
    basMain::DatabasePath = TestSupport::makeDatabase(m_dir.filePath(QStringLiteral("q%1.mdb").arg(++n)),
                                                      TestSupport::sampleRows(rows, testaments));
    TestSupport::clearSettings();
    const QString section = QStringLiteral("GameSettings");
    SettingsStore::SaveSetting(section, QStringLiteral("PlayerCnt"), QString::number(players.size()));
    for (int i = 0; i < players.size(); ++i)
        SettingsStore::SaveSetting(section, QStringLiteral("Player%1").arg(i + 1), players[i]);
    SettingsStore::SaveSetting(section, QStringLiteral("Timed"), timed ? QStringLiteral("True") : QStringLiteral("False"));
    basGame::GameSettings = {};
    m_window = std::make_unique<frmMain>();
    m_root = m_window.get();
    m_window->Form_Load();
    return *m_window;
}

void WindowFixture::close()
{
    m_root = nullptr;
    m_window.reset();
}

GameSession &WindowFixture::game() const { return m_window->game(); }

QString WindowFixture::text(const QString &label) const { return child<QLabel>(label)->text(); }
QString WindowFixture::panel(int i) const { return text(QStringLiteral("staStatusBarPanel%1").arg(i)); }
bool WindowFixture::shown(const QString &name) const { return !child<QWidget>(name)->isHidden(); }
void WindowFixture::trigger(const QString &action) const { child<QAction>(action)->trigger(); }

int WindowFixture::button(bool right) const
{
    // The sample's right answers read "Right k".
    for (int i = 1; i <= 4; ++i)
        if (game().answerText(i).startsWith(QStringLiteral("Right")) == right)
            return i;
    qFatal("no such answer");
}

void WindowFixture::answer(bool right) const { child<QPushButton>(QStringLiteral("cmdAnswer%1").arg(button(right)))->click(); }
void WindowFixture::next() const { child<QPushButton>(QStringLiteral("cmdNewQuestion"))->click(); }

QStringList WindowFixture::dialogsOf(const std::function<void()> &act, const std::function<void(QDialog *)> &look)
{
    QStringList seen;
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [&seen, &look] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            seen << dialog->objectName();
            if (look)
                look(dialog);
            dialog->reject();
        }
    });
    closer.start();
    act();
    return seen;
}

void WindowFixture::whenModal(std::function<void(QDialog *)> action)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}
