#include "forms.h"

#include "about_form.h"
#include "keys_form.h"
#include "splash_form.h"

Forms::~Forms() = default;

QPoint centredOnScreen(const Forms& forms, QSize windowSize)
{
    const QSize screen = forms.screenSize();
    return QPoint((screen.width() - windowSize.width()) / 2, (screen.height() - windowSize.height()) / 2);
}
