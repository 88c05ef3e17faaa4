// The pointer over a component that pops up a hint.
#pragma once

#include <QObject>
#include <memory>

// Keeps the pointer a component shows (the hand, the question mark) while its hint pops up: on
// Wayland a hint's window that appears sets the pointer to its own, the plain arrow, though the
// pointer is still over the component. Watches every hint while the returned watch lives.
std::unique_ptr<QObject> keepPointerUnderHints();
