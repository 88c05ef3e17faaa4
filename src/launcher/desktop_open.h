// Opening a file or a link the way the desktop opens it (its text viewer, browser, mail program).
#pragma once

#include <QString>
#include <QUrl>

class QWidget;

// Hands the file or link to the desktop. When no program to open it was found (a desktop without
// xdg-open, say), a warning box over `parent` names what could not be opened, and the result is
// false. A program that was found and then fails on its own is beyond what the desktop tells.
bool openWithDesktop(const QUrl& url, QWidget* parent);
