#include "launcher/forms.h"

#include "launcher/about_form.h"
#include "launcher/keys_form.h"
#include "launcher/splash_form.h"

Forms::~Forms() = default;

QPoint centredOnScreen(const Forms& forms, QSize windowSize)
{
    const QSize screen = forms.screenSize();
    return QPoint((screen.width() - windowSize.width()) / 2, (screen.height() - windowSize.height()) / 2);
}
