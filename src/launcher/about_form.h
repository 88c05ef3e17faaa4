// TAboutForm: the about dialog. A photo in a raised frame and five lines about the people behind
// the program; opened from the command menu, not modal, in the top-left corner of the screen.
#pragma once

#include "launcher/dialog_form.h"

class TAboutForm : public DialogForm {
    Q_OBJECT
public:
    TAboutForm();

    // Shows the dialog, or brings the one already shown to the front.
    void showAbout();
};
