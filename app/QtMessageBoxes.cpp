#include "app/QtMessageBoxes.h"

#include "core/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace QtMessageBoxes {

void install()
{
    MsgBox::setHandler([](const QString &text, int style, const QString &title) {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(title);
        // Messages carry a bare carriage return between lines; show it as a line break.
        box.setText(QString(text).replace(QChar('\r'), QChar('\n')));
        box.setTextFormat(Qt::PlainText);
        if ((style & 0x70) == MsgBox::Exclamation)
            box.setIcon(QMessageBox::Warning);
        else if ((style & 0x70) == MsgBox::Question)
            box.setIcon(QMessageBox::Question);
        if ((style & 0x7) == MsgBox::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton((style & MsgBox::DefaultButton2) ? QMessageBox::No : QMessageBox::Yes);
        } else {
            box.setStandardButtons(QMessageBox::Ok);
        }
        const int pressed = box.exec();
        if (pressed == QMessageBox::Yes)
            return int(MsgBox::Yes);
        if (pressed == QMessageBox::No)
            return int(MsgBox::No);
        return int(MsgBox::Ok);
    });
}
}
