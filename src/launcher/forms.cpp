#include "forms.h"

QPoint centredOnScreen(const Forms& forms, QSize windowSize)
{
    const QSize screen = forms.screenSize();
    return QPoint((screen.width() - windowSize.width()) / 2, (screen.height() - windowSize.height()) / 2);
}
