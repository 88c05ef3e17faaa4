#include "launcher/about_form.h"

TAboutForm::TAboutForm()
    : DialogForm(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    move(0, 0);
}

void TAboutForm::showAbout()
{
    show();
    raise();
    activateWindow();
}
