#include "core/MessageBox.h"

#include <cstdio>

namespace {
MsgBox::Handler &currentHandler()
{
    static MsgBox::Handler handler;
    return handler;
}
}

int MsgBox::show(const QString &text, int style, const QString &title)
{
    if (const auto &handler = currentHandler())
        return handler(text, style, title);
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(QString(text).replace(QChar('\r'), QChar(' '))));
    return (style & 0x7) == YesNo ? No : Ok;
}

MsgBox::Handler MsgBox::setHandler(Handler handler)
{
    Handler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}
