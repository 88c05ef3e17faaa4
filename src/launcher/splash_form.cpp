#include "launcher/splash_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QDateTime>
#include <QUrl>
#include <algorithm>
#include <random>

#include "common/desktop.h"
#include "device/form1.h"
#include "device/view/device_view.h"
#include "device/view/window_fit.h"
#include "launcher/about_form.h"
#include "launcher/desktop_open.h"
#include "launcher/focus_ring.h"
#include "launcher/keys_form.h"
#include "settings/stored_values.h"
#include "sound/sound.h"

TSplashForm::TSplashForm(Forms& forms, SplashPorts ports)
    : DialogForm(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      forms_(forms),
      ports_(std::move(ports))
{
}

TSplashForm::~TSplashForm()
{
    delete PM_Menu.data();
}

Expected<void> TSplashForm::build(const DialogWindow& layout, const QString& pictureDir)
{
    if (Expected<void> built = DialogForm::build(layout, pictureDir); !built)
        return built;
    std::string missing;
#define LOOK_UP(name, kind, Widget) name = component<Widget>(#name, missing);
    SPLASH_FORM_COMPONENTS(LOOK_UP)
#undef LOOK_UP
    if (!missing.empty())
        return failure(missing);
    buildMenu();
    move(centredOnScreen(forms_, size()));
    // The only window reached with the tab key; the look stays, a ring in the launcher's yellow
    // showing on the black once the keyboard is in use.
    CB_Sound->setFocusPolicy(Qt::StrongFocus);
    Puls_Play->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(CB_Sound, Puls_Play);
    new FocusRing(*this, {CB_Sound, Puls_Play}, QColor(Qt::yellow));
    Puls_Play->installEventFilter(this);
    return {};
}

void TSplashForm::buildMenu()
{
    PM_Menu = new QMenu(forms_.device.view.get());
    PM_Menu->setObjectName(QStringLiteral("PM_Menu"));
    auto item = [&](const char* name, const QString& caption, QKeySequence key, void (TSplashForm::*command)()) {
        QAction* action = PM_Menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        // The key acts on the device window; while the menu itself is open the keys only move
        // through it.
        action->setShortcut(key);
        if (!key.isEmpty())
            forms_.device.view->addAction(action);
        connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
        return action;
    };
    PM_1About = item("PM_1About", QStringLiteral("About..."), Qt::Key_F1, &TSplashForm::PM_1AboutClick);
    PM_Menu->setDefaultAction(PM_1About);  // shown bold
    PM_Menu->addSeparator()->setObjectName(QStringLiteral("PM_2N1"));
    PM_3Readme = item("PM_3Readme", QStringLiteral("View 'Readme.txt'"), Qt::Key_F2, &TSplashForm::PM_3ReadmeClick);
    PM_4Whatsnew = item("PM_4Whatsnew", QStringLiteral("View 'Whatsnew.txt'"), Qt::Key_F3, &TSplashForm::PM_4WhatsnewClick);
    PM_Menu->addSeparator()->setObjectName(QStringLiteral("PM_5N2"));
    PM_6Instruct = item("PM_6Instruct", QStringLiteral("Open 'Manual.exe'"), Qt::Key_F4, &TSplashForm::PM_6InstructClick);
    PM_Menu->addSeparator()->setObjectName(QStringLiteral("PM_7N3"));
    PM_8Hiscore = item("PM_8Hiscore", QStringLiteral("Reset Hiscores"), QKeySequence(), &TSplashForm::PM_8HiscoreClick);
    PM_Menu->addSeparator()->setObjectName(QStringLiteral("PM_9N4"));
    PM_10Keys = item("PM_10Keys", QStringLiteral("Keys settings"), QKeySequence(), &TSplashForm::PM_10KeysClick);
    PM_Menu->addSeparator()->setObjectName(QStringLiteral("PM_11N4"));
    PM_12Exit = item("PM_12Exit", QStringLiteral("E&xit"), QKeySequence(), &TSplashForm::PM_12ExitClick);
    // Shown only: Esc on the device window also ends a replay or full screen (ProgramWindows).
    PM_12Exit->setShortcut(Qt::Key_Escape);

    // Replays, an addition of this program: below the device's own items.
    PM_Menu->addSeparator()->setObjectName(QStringLiteral("PM_ReplaysN"));
    PM_WatchBest = PM_Menu->addAction(QStringLiteral("Watch best game"));
    PM_WatchBest->setObjectName(QStringLiteral("PM_WatchBest"));
    connect(PM_WatchBest, &QAction::triggered, this, [this] {
        if (ports_.watchBestGame)
            ports_.watchBestGame();
    });
}

void TSplashForm::FormCreate()
{
    const int mode = stored::SoundMode.read(*ports_.settingsStore);
    CB_Sound->setCurrentIndex(mode >= 0 && mode < CB_Sound->count() ? mode : -1);
    if (CB_Sound->currentText().isEmpty())
        Puls_Play->setEnabled(false);
    showBox(1);
    std::mt19937 random(uint32_t(QDateTime::currentMSecsSinceEpoch()));
    BoxArtIndex = int(random() % 2) + 1;
    showBox(BoxArtIndex);

    connect(CB_Sound, &QComboBox::currentIndexChanged, this, [this] { CB_SoundChange(); });
    connect(Im_PiccinaTop, &ClickLabel::clicked, this, [this] { Im_PiccinaTopClick(); });
    connect(Puls_Play, &QPushButton::clicked, this, [this] { Puls_PlayClick(); });
    connect(La_Http, &ClickLabel::clicked, this, [this] { La_HttpClick(); });
    connect(La_Email, &ClickLabel::clicked, this, [this] { La_EmailClick(); });
}

void TSplashForm::showBox(int index)
{
    Im_PiccinaTop->setPixmap((index == 1 ? Im_Piccina : Im_PiccinaAlt)->pixmap());
}

void TSplashForm::CB_SoundChange()
{
    if (!CB_Sound->currentText().isEmpty())
        Puls_Play->setEnabled(true);
}

void TSplashForm::Im_PiccinaTopClick()
{
    BoxArtIndex = BoxArtIndex == 1 ? 2 : 1;
    showBox(BoxArtIndex);
}

void TSplashForm::Puls_PlayClick()
{
    Sound& sound = *ports_.sound;
    StoreKey& SettingsStore = *ports_.settingsStore;
    const QString mode = CB_Sound->currentText();
    int outputType = 0;
    if (mode == QLatin1String("(no sound)")) {
        sound.SoundOn = false;
        stored::SoundMode.write(SettingsStore, stored::SoundModeSilent);
    } else if (mode == QLatin1String("Windows MM")) {
        sound.SoundOn = true;
        outputType = 1;
        stored::SoundMode.write(SettingsStore, stored::SoundModeFirstOutput);
    } else if (mode == QLatin1String("DirectSound")) {
        sound.SoundOn = true;
        outputType = 2;
        stored::SoundMode.write(SettingsStore, stored::SoundModeSecondOutput);
    }
    // A box over no window, its details below the text.
    const auto tell = [](QMessageBox::Icon icon, const QString& title, const QString& text, const QString& details) {
        QMessageBox box(icon, title, text, QMessageBox::Ok);
        box.setInformativeText(details);
        box.exec();
    };
    const bool soundStarted = !sound.SoundOn || sound.startSound(outputType, dataFile(QStringLiteral("SOUND")).toStdString());
    // Which wave files failed and why, for the player who reads the message and for the console.
    QString damaged;
    for (const std::string& failure : sound.unreadableFiles) {
        printProblem(failure);
        damaged += (damaged.isEmpty() ? QString() : QStringLiteral("\n")) + QString::fromStdString(failure);
    }
    if (!sound.libraryError.empty()) {
        // Not the sound folder's fault: the files were never tried. The game goes on silent and
        // the chosen mode is kept for the day the library is there again.
        printProblem(sound.libraryError);
        sound.SoundOn = false;
        tell(QMessageBox::Warning, QStringLiteral("Sound"),
             QStringLiteral("The sound library %1 cannot be loaded; the game goes on without sound.")
                 .arg(QString::fromStdString(Sound::libraryName())),
             QString::fromStdString(sound.libraryError));
    }
    if (!soundStarted) {
        tell(QMessageBox::Critical, QStringLiteral("Error"),
             QStringLiteral("Sound folder unproperly installed. Read instructions then reinstall."), damaged);
        // The next start asks again. The device never comes on screen.
        stored::SoundMode.write(SettingsStore, stored::SoundModeNone);
        ports_.quit();
        return;
    }
    if (!damaged.isEmpty()) {
        // The device plays on without these sounds, as it always has; the player is told once.
        tell(QMessageBox::Warning, QStringLiteral("Sound"), QStringLiteral("These sounds cannot be played and stay silent:"),
             damaged);
    }

    // Centred for the open device, although it is still closed and narrower, and clear of the
    // desktop's panels where it fits between them.
    DeviceView& view = *forms_.device.view;
    const QSize open = QSize(TForm1::OpenWidth, TForm1::ClientHeight) * view.zoom();
    view.placeAt(windowfit::keptInside(QRect(centredOnScreen(forms_, open), open), view.area()).topLeft());
    view.show();
    hide();
    view.raise();
    view.activateWindow();
    if (ports_.deviceShown)
        ports_.deviceShown();
}

void TSplashForm::La_HttpClick()
{
    openWithDesktop(QUrl(La_Http->text()), this);
}

void TSplashForm::La_EmailClick()
{
    openWithDesktop(QUrl(La_Email->text()), this);
}

QString TSplashForm::dataFile(const QString& name) const
{
    for (const QString& folder : ports_.dataFolders) {
        const QString path = folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
        if (QFileInfo::exists(path))
            return path;
    }
    return name;
}

QWidget* TSplashForm::boxParent()
{
    DeviceView* view = forms_.device.view.get();
    return view && view->isVisible() ? static_cast<QWidget*>(view) : this;
}

void TSplashForm::openFile(const QString& fileName)
{
    // A help file or the manual that is not there is ignored; one the desktop has no program
    // for is named in a box.
    const QFileInfo file(dataFile(fileName));
    if (file.exists())
        openWithDesktop(QUrl::fromLocalFile(file.absoluteFilePath()), boxParent());
}

void TSplashForm::PM_1AboutClick()
{
    // The dialogs are made just after the launcher first shows; a click can hardly come sooner.
    if (!forms_.AboutForm)
        return;
    forms_.AboutForm->showAbout();
}

void TSplashForm::PM_3ReadmeClick()
{
    openFile(QStringLiteral("readme.txt"));
}

void TSplashForm::PM_4WhatsnewClick()
{
    openFile(QStringLiteral("whatsnew.txt"));
}

void TSplashForm::PM_6InstructClick()
{
    // A Manual.EXE where the device would find one wins, as on the device: the player who put it
    // there asked for it. Otherwise the illustrated manual.
    if (!QFileInfo::exists(dataFile(QStringLiteral("Manual.EXE"))) && QFileInfo::exists(ports_.manual)) {
        openWithDesktop(QUrl::fromLocalFile(QFileInfo(ports_.manual).absoluteFilePath()), boxParent());
        return;
    }
    openFile(QStringLiteral("Manual.EXE"));
}

void TSplashForm::PM_8HiscoreClick()
{
    // No question asked, and the digits on display stay as they are.
    TForm1& Form1 = *forms_.device.form;
    StoreKey& SettingsStore = *ports_.settingsStore;
    forms_.device.view->deliver([&] {
        Form1.HiscoreA = 0;
        Form1.HiscoreB = 0;
    });
    stored::HiscoreA.write(SettingsStore, 0);
    stored::HiscoreB.write(SettingsStore, 0);
    QApplication::beep();
}

void TSplashForm::PM_10KeysClick()
{
    if (!forms_.KeysForm)
        return;
    forms_.KeysForm->showCentred();
    TForm1& Form1 = *forms_.device.form;
    forms_.device.view->deliver([&] { Form1.setEnabled(false); });
}

void TSplashForm::PM_12ExitClick()
{
    forms_.device.view->close();
}

void TSplashForm::popUpMenu(const QPoint& globalPosition)
{
    PM_Menu->popup(globalPosition);
}

bool TSplashForm::eventFilter(QObject* watched, QEvent* event)
{
    // A push button would take the arrows to move the keyboard on; here they pick a sound mode.
    if (watched == Puls_Play && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right) {
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        }
    }
    return DialogForm::eventFilter(watched, event);
}

void TSplashForm::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (Puls_Play->isEnabled())
            Puls_Play->click();
        return;
    case Qt::Key_Up:
    case Qt::Key_Left:
    case Qt::Key_Down:
    case Qt::Key_Right: {
        // The list takes its own arrows while it has the keyboard; these are the rest.
        const bool back = event->key() == Qt::Key_Up || event->key() == Qt::Key_Left;
        const int index = CB_Sound->currentIndex() < 0 ? 0 : CB_Sound->currentIndex() + (back ? -1 : 1);
        CB_Sound->setCurrentIndex(std::clamp(index, 0, CB_Sound->count() - 1));
        return;
    }
    default:
        DialogForm::keyPressEvent(event);
    }
}

void TSplashForm::closeEvent(QCloseEvent* event)
{
    if (forms_.device.view)
        forms_.device.view->close();
    event->accept();
}
