// TSplashForm: the launcher, the window the user sees first. It shows the program's title and
// box, asks for the sound output, and PLAY starts the sound, brings the device window on screen
// and hides the launcher for good. It also owns the command menu PM_Menu, which serves the device
// window as its right-click menu and through its shortcut keys.
#pragma once

#include <QPointer>
#include <QStringList>
#include <functional>
#include <string>

#include "launcher/dialog_form.h"
#include "launcher/forms.h"

class QAction;
class QComboBox;
class QKeyEvent;
class QMenu;
class QPushButton;
class Sound;
class StoreKey;

// What the launcher needs besides the other windows. Every pointer must outlive it.
struct SplashPorts {
    StoreKey* settingsStore = nullptr;  // SettingsStorePath
    Sound* sound = nullptr;
    // Where the SOUND folder and the help files are looked for, in order ("" is the current folder).
    QStringList dataFolders{QString()};
    // The illustrated manual (its index.html) that F4 opens where no Manual.EXE is found; empty
    // when there is none.
    QString manual;
    // Asks the application to end once control is back in the event loop.
    std::function<void()> quit;
    // "Watch best game": plays the best replay of the mode last played.
    std::function<void()> watchBestGame;
    // PLAY has brought the device window on screen.
    std::function<void()> deviceShown;
};

class TSplashForm : public DialogForm {
    Q_OBJECT
public:
    TSplashForm(Forms& forms, SplashPorts ports);
    ~TSplashForm() override;

    // Builds the window and the command menu, then finds the components; false (and error set)
    // when one is missing.
    Expected<void> build(const DialogWindow& layout, const QString& pictureDir);

    void FormCreate();
    void CB_SoundChange();
    void Im_PiccinaTopClick();
    void Puls_PlayClick();
    void La_HttpClick();
    void La_EmailClick();

    // The first of the data folders that holds name, as a path to it; the current folder's when
    // none does, so that a report names what was looked for.
    QString dataFile(const QString& name) const;

    void PM_1AboutClick();
    void PM_3ReadmeClick();
    void PM_4WhatsnewClick();
    void PM_6InstructClick();
    void PM_8HiscoreClick();
    void PM_10KeysClick();
    void PM_12ExitClick();

    // The device window's right-click: the menu at the pointer.
    void popUpMenu(const QPoint& globalPosition);

    QLabel* La_Title = nullptr;
    QLabel* La_Version = nullptr;
    QLabel* Im_Piccina = nullptr;
    QLabel* Im_PiccinaAlt = nullptr;
    ClickLabel* Im_PiccinaTop = nullptr;
    QLabel* La_dedicated = nullptr;
    ClickLabel* La_Http = nullptr;
    ClickLabel* La_Email = nullptr;
    QLabel* La_Sound = nullptr;
    QComboBox* CB_Sound = nullptr;
    QPushButton* Puls_Play = nullptr;
    int BoxArtIndex = 1;

    // The command menu. It is made a child of the device window, where it pops up, but it is the
    // launcher's: made and destroyed with it.
    QPointer<QMenu> PM_Menu;
    QAction* PM_1About = nullptr;
    QAction* PM_3Readme = nullptr;
    QAction* PM_4Whatsnew = nullptr;
    QAction* PM_6Instruct = nullptr;
    QAction* PM_8Hiscore = nullptr;
    QAction* PM_10Keys = nullptr;
    QAction* PM_12Exit = nullptr;
    QAction* PM_WatchBest = nullptr;

protected:
    // The launcher without a mouse: Return plays, the arrows pick a sound mode wherever the
    // keyboard is (Tab moves it between the list and PLAY).
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing the launcher from the window system (it has no close button, but a window manager
    // may still offer one) ends the program as Exit does: the device window is not on screen yet
    // and nothing else would be left to end it.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    void showBox(int index);
    void openFile(const QString& fileName);
    // The window a box about a menu command shows over: the device window once it is on screen.
    QWidget* boxParent();

    Forms& forms_;
    SplashPorts ports_;
};
