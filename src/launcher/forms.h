// The program's four windows as each of them reaches the others, filled in as they are created:
// the device window Form1 (its core and the widget that shows it), AboutForm, SplashForm,
// KeysForm.
#pragma once

#include <QPoint>
#include <QSize>
#include <functional>

class TForm1;
class DeviceView;
class TAboutForm;
class TSplashForm;
class TKeysForm;

struct Forms {
    TForm1* Form1 = nullptr;
    DeviceView* Form1View = nullptr;
    TAboutForm* AboutForm = nullptr;
    TSplashForm* SplashForm = nullptr;
    TKeysForm* KeysForm = nullptr;

    // The screen's width and height in pixels, for centring windows.
    std::function<QSize()> screenSize;
};

// The top-left corner that centres a window of this size on the screen; each quotient is
// truncated toward zero, so a screen narrower than the window gives a negative left.
QPoint centredOnScreen(const Forms& forms, QSize windowSize);
