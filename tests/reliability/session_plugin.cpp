// zerno-session: a Qt input plugin that plays a user's session on the real zerno-bros, for the
// leak test. Qt loads it into any Qt program when QT_QPA_GENERIC_PLUGINS names it and
// QT_PLUGIN_PATH holds the folder above its generic/ folder; the program itself is not changed and
// does not know it is there. Mouse and keys go in through the window system layer, as QTest sends
// them, so this works on the offscreen platform without a display.
//
//   QT_QPA_GENERIC_PLUGINS=zerno-session:full            the whole session, below
//   QT_QPA_GENERIC_PLUGINS=zerno-session:launcher-quit   the launcher is closed right away
//
// Each step is checked; the first one that does not happen as a user would see it prints
// "zerno-session: FAILED: ..." and ends the program with status 3. A session that ran to its end
// prints "zerno-session: done" and then closes the device window, which ends the program as the
// user's own close would.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGenericPlugin>
#include <QMenu>
#include <QPushButton>
#include <QRect>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <initializer_list>
#include <utility>

#include "tests/support/list_pick.h"

namespace {

// A component's rectangle in the device window, from the same layout file the program reads.
QRect deviceComponent(const QString& name)
{
    QFile file(QStringLiteral(ZERNO_LAYOUT_FILE));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream lines(&file);
    while (!lines.atEnd()) {
        const QStringList fields = lines.readLine().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() >= 5 && fields[0] == name)
            return QRect(fields[1].toInt(), fields[2].toInt(), fields[3].toInt(), fields[4].toInt());
    }
    return {};
}

class Session : public QObject {
public:
    explicit Session(QString scenario) : scenario_(std::move(scenario))
    {
        // Starts once the program's event loop runs; the first step waits for its windows.
        QTimer::singleShot(0, this, [this] { run(); });
    }

private:
    void run()
    {
        const bool quitAtLauncher = scenario_ == QLatin1String("launcher-quit");
        if (!check(quitAtLauncher || scenario_ == QLatin1String("full"), "the session is full or launcher-quit"))
            return;
        if (!(quitAtLauncher ? launcherQuit() : full()))
            return;
        say("done");
        // The last step ends the program: control goes back to its event loop, which then returns.
        QWidget* last = quitAtLauncher ? launcher_ : device_;
        last->windowHandle()->close();
    }

    // Opens the launcher's sound list, leaves it with Esc, and closes the launcher from the window
    // system, as a window manager's close button would.
    bool launcherQuit()
    {
        if (!findLauncher())
            return false;
        auto* list = launcher_->findChild<QComboBox*>(QStringLiteral("CB_Sound"));
        if (!check(list, "the launcher has a sound list"))
            return false;
        QTest::mouseClick(list, Qt::LeftButton);
        if (!check(QTest::qWaitFor([&] { return list->view()->isVisible(); }), "the sound list drops down"))
            return false;
        QTest::keyClick(list->view(), Qt::Key_Escape);
        if (!check(QTest::qWaitFor([&] { return !list->view()->isVisible(); }), "Esc closes the sound list"))
            return false;
        return true;
    }

    // The launcher, a sound mode and PLAY; the cover opened; Game A played; the key settings
    // changed through a clash; the about dialog opened and closed; Game B, TIME and ACL.
    bool full()
    {
        if (!findLauncher())
            return false;
        auto* list = launcher_->findChild<QComboBox*>(QStringLiteral("CB_Sound"));
        auto* play = launcher_->findChild<QPushButton*>(QStringLiteral("Puls_Play"));
        if (!check(list && play, "the launcher has its sound list and PLAY"))
            return false;
        if (!check(!play->isEnabled(), "PLAY is grey until a sound mode is picked"))
            return false;
        if (!pick(list, QStringLiteral("Windows MM")) || !check(play->isEnabled(), "a sound mode enables PLAY"))
            return false;
        QTest::mouseClick(play, Qt::LeftButton);
        const bool shown = QTest::qWaitFor([&] {
            device_ = topLevel("DeviceView");
            return device_ && device_->isVisible() && !launcher_->isVisible();
        });
        if (!check(shown, "PLAY brings the device window and hides the launcher"))
            return false;
        say("PLAY");

        // The closed device: a click anywhere on its cover opens it to the full body.
        const QRect body = deviceComponent(QStringLiteral("Im_Base"));
        if (!check(!body.isEmpty(), "the device layout has Im_Base"))
            return false;
        QTest::mouseClick(device_, Qt::LeftButton, {}, device_->rect().center());
        if (!check(QTest::qWaitFor([&] { return device_->width() == body.width(); }), "a click opens the cover"))
            return false;
        say("cover opened");

        if (!holdButton("Puls_GameA"))
            return false;
        playKeys({Qt::Key_Q, Qt::Key_P, Qt::Key_A, Qt::Key_L}, 12);
        say("Game A played");

        // Folko up to P clashes with Zerno up: ACCEPT waits. Then W, and ACCEPT.
        if (!menuCommand("PM_10Keys"))
            return false;
        QWidget* keys = topLevel("KeysForm");
        if (!check(keys && QTest::qWaitFor([&] { return keys->isVisible(); }), "Keys settings shows the dialog"))
            return false;
        auto* folkoUp = keys->findChild<QComboBox*>(QStringLiteral("CB_1"));
        auto* accept = keys->findChild<QPushButton*>(QStringLiteral("Puls_Accept"));
        if (!check(folkoUp && accept, "the key dialog has its lists and ACCEPT"))
            return false;
        if (!pick(folkoUp, QStringLiteral("P")) || !check(!accept->isEnabled(), "a clash greys ACCEPT"))
            return false;
        if (!pick(folkoUp, QStringLiteral("W")) || !check(accept->isEnabled(), "no clash, ACCEPT is back"))
            return false;
        QTest::mouseClick(accept, Qt::LeftButton);
        if (!check(QTest::qWaitFor([&] { return !keys->isVisible(); }), "ACCEPT closes the key dialog"))
            return false;
        say("keys changed");
        playKeys({Qt::Key_W, Qt::Key_A, Qt::Key_P, Qt::Key_L}, 4);

        if (!menuCommand("PM_1About"))
            return false;
        QWidget* about = topLevel("AboutForm");
        if (!check(about && QTest::qWaitFor([&] { return about->isVisible(); }), "About... shows the about dialog"))
            return false;
        about->windowHandle()->close();
        if (!check(QTest::qWaitFor([&] { return !about->isVisible(); }), "the about dialog closes"))
            return false;
        say("about dialog shown and closed");

        if (!holdButton("Puls_GameB"))
            return false;
        playKeys({Qt::Key_W, Qt::Key_P, Qt::Key_A, Qt::Key_L}, 8);
        if (!holdButton("Puls_Time") || !holdButton("Puls_ACL"))
            return false;
        say("Game B, TIME and ACL");
        return true;
    }

    // The launcher on the screen and the program's other windows made (the program may make
    // them once the launcher shows), then a moment for the user to look before acting.
    bool findLauncher()
    {
        launcher_ = nullptr;
        const bool shown = QTest::qWaitFor([&] {
            launcher_ = topLevel("SplashForm");
            return launcher_ && launcher_->isVisible() && topLevel("DeviceView") && topLevel("KeysForm")
                   && topLevel("AboutForm");
        });
        if (!check(shown, "the launcher comes up and the program makes its windows"))
            return false;
        QTest::qWait(300);
        say("launcher shown");
        return true;
    }

    // A window of the program, by its layout name or by its class.
    static QWidget* topLevel(const char* name)
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QLatin1String(name) || widget->inherits(name))
                return widget;
        return nullptr;
    }

    // Picks an item of a drop-down list with the mouse: opens it, clicks the item.
    bool pick(QComboBox* list, const QString& text)
    {
        const char* failure = pickFromList(list, text);
        return check(failure == nullptr, failure ? failure : "");
    }

    // A right-click on the device's body, then a click on the command menu's item.
    bool menuCommand(const char* name)
    {
        auto* menu = device_->findChild<QMenu*>(QStringLiteral("PM_Menu"));
        QAction* item = menu ? menu->findChild<QAction*>(QLatin1String(name)) : nullptr;
        if (!check(item, "the command menu has the item"))
            return false;
        QTest::mouseClick(device_, Qt::RightButton, {}, QPoint(40, 40));
        if (!check(QTest::qWaitFor([&] { return menu->isVisible(); }), "a right-click brings the command menu"))
            return false;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        return check(QTest::qWaitFor([&] { return !menu->isVisible(); }), "a click on an item closes the menu");
    }

    // A button of the device held a moment and let go.
    bool holdButton(const char* name)
    {
        const QRect button = deviceComponent(QLatin1String(name));
        if (!check(!button.isEmpty(), "the device layout has the button"))
            return false;
        QTest::mousePress(device_, Qt::LeftButton, {}, button.center());
        QTest::qWait(400);
        QTest::mouseRelease(device_, Qt::LeftButton, {}, button.center());
        QTest::qWait(100);
        return true;
    }

    // The workers' keys in turn, a few a second, as a player would.
    void playKeys(std::initializer_list<Qt::Key> keys, int rounds)
    {
        for (int round = 0; round < rounds; ++round)
            for (Qt::Key key : keys) {
                device_->activateWindow();
                device_->setFocus();
                QTest::keyClick(device_, key);
                QTest::qWait(60);
            }
    }

    bool check(bool ok, const char* what)
    {
        if (!ok) {
            std::fprintf(stderr, "zerno-session: FAILED: %s\n", what);
            QCoreApplication::exit(3);
        }
        return ok;
    }

    static void say(const char* what) { std::fprintf(stderr, "zerno-session: %s\n", what); }

    QString scenario_;
    QWidget* launcher_ = nullptr;
    QWidget* device_ = nullptr;
};

}  // namespace

class SessionPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "session_plugin.json")
public:
    QObject* create(const QString& key, const QString& scenario) override
    {
        if (key.compare(QLatin1String("zerno-session"), Qt::CaseInsensitive) != 0)
            return nullptr;
        return new Session(scenario.isEmpty() ? QStringLiteral("full") : scenario);
    }
};

#include "session_plugin.moc"
