// The caption buttons a dialog asks the window manager for.
#pragma once

class QWidget;

// Tells an X11 window manager exactly which caption buttons and functions the window's flags
// name (move always; close, minimise and maximise only when asked for). Qt draws the caption
// from the flags, but when a window asks for none of minimise, maximise and close it leaves every
// function allowed, and window managers such as openbox then offer all three. Nothing happens
// elsewhere than on X11. Call once the native window exists and before it is mapped.
void askForCaptionButtons(QWidget* window);
