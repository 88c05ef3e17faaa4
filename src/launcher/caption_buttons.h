// The caption buttons a dialog asks the window manager for.
#pragma once

#include <QObject>
#include <memory>

class QWidget;

// Tells an X11 window manager exactly which caption buttons and functions the window's flags
// name (move always; close, minimise and maximise only when asked for). Qt draws the caption
// from the flags, but when a window asks for none of minimise, maximise and close it leaves every
// function allowed, and window managers such as openbox then offer all three. Nothing happens
// elsewhere than on X11. Call once the native window exists and before it is mapped.
void askForCaptionButtons(QWidget* window);

// Whether the program is a Wayland client: Qt then draws the title bars, and the compositor has
// the last word on a window's size.
bool onWayland();

// Keeps every window of the program to the states its caption offers, on every platform: a
// window of fixed size is never left maximised, and a window that asks for no minimise button is
// never left minimised. Some title bars offer both whatever a window asks for (a compositor's, or
// Qt's own on Wayland), and a Wayland compositor makes the maximised size a demand: a surface that
// keeps its fixed size ends the connection. So a maximised fixed window first takes the size it was
// given, its content drawn at the top left on its own background, and then asks to be restored;
// its fixed size comes back with the compositor's answer. A minimised one is shown anew, as no
// task bar may be there to bring it back. Watches every window the program shows while the
// returned watch lives.
std::unique_ptr<QObject> keepCaptionStates();
