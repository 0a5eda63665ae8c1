#include "about/frmAbout.h"

#include "resources/Twips.h"
#include "resources/Resources.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

frmAbout::frmAbout(QWidget *owner) : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    Resources::init();
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Quillory"));
    setFixedSize(Twips::ToPixels(4995), Twips::ToPixels(2355));

    lblTitle = new QLabel(QStringLiteral("Quillory v1.0"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setGeometry(Twips::Rect(840, 240, 2895, 255));

    auto snake = [this](const QString &name, const QString &resource, const QString &accessible) {
        auto *label = new QLabel(this);
        label->setObjectName(name);
        label->setPixmap(Resources::picture(resource));
        label->setGeometry(Twips::Rect(150, 300, 480, 480));
        label->setAccessibleName(accessible);
        return label;
    };
    imgSnakeIn = snake(QStringLiteral("imgSnakeIn"), QStringLiteral("SNAKE_IN"), QStringLiteral("Snake and apple"));
    imgSnakeOut = snake(QStringLiteral("imgSnakeOut"), QStringLiteral("SNAKE_OUT"), QStringLiteral("Snake flicking its tongue"));
    imgSnakeIn->hide();

    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setGeometry(Twips::Rect(3960, 120, 855, 375));
    cmdOk->setDefault(true);
    connect(cmdOk, &QPushButton::clicked, this, &frmAbout::cmdOk_Click);

    tmrSnake = new QTimer(this);
    tmrSnake->setObjectName(QStringLiteral("tmrSnake"));
    tmrSnake->setInterval(1000);
    connect(tmrSnake, &QTimer::timeout, this, &frmAbout::tmrSnake_Timer);
    tmrSnake->start();
}

frmAbout::~frmAbout() = default;

void frmAbout::tmrSnake_Timer()
{
    if (!imgSnakeOut->isHidden()) {
        imgSnakeIn->show();
        imgSnakeOut->hide();
    } else {
        imgSnakeIn->hide();
        imgSnakeOut->show();
    }
}

void frmAbout::cmdOk_Click() { accept(); }
