// The program's four windows, each held here once and reached by the others through it, made in
// their order: the device window Form1 (its core, the widget that shows it, its clock), AboutForm,
// SplashForm, KeysForm; a dialog not yet made is null.
#pragma once

#include <QPoint>
#include <QSize>
#include <functional>
#include <memory>

#include "device/view/device_session.h"

class TAboutForm;
class TSplashForm;
class TKeysForm;

struct Forms {
    ~Forms();

    DeviceSession device;
    std::unique_ptr<TAboutForm> AboutForm;
    std::unique_ptr<TSplashForm> SplashForm;
    std::unique_ptr<TKeysForm> KeysForm;

    // The screen's width and height in pixels, for centring windows.
    std::function<QSize()> screenSize;
};

// The top-left corner that centres a window of this size on the screen; each quotient is
// truncated toward zero, so a screen narrower than the window gives a negative left.
QPoint centredOnScreen(const Forms& forms, QSize windowSize);
