#include "launcher/caption_buttons.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdint>
#include <cstdlib>
#include <dlfcn.h>
#include <xcb/xcb.h>

namespace {

// The Motif window manager hints, which X11 window managers read for a window's functions and
// decorations.
enum : uint32_t {
    HintsFunctions = 1,
    HintsDecorations = 2,
    FunctionMove = 4,
    FunctionMinimise = 8,
    FunctionMaximise = 16,
    FunctionClose = 32,
    DecorBorder = 2,
    DecorTitle = 8,
    DecorMenu = 16,
    DecorMinimise = 32,
    DecorMaximise = 64,
};

// One window's watch: the size it is fixed at while a maximise is being undone.
class StateKeeper : public QObject {
public:
    explicit StateKeeper(QWidget* window) : QObject(window), window_(window)
    {
        window->installEventFilter(this);
        connect(window->windowHandle(), &QWindow::windowStateChanged, this, [this] { stateChanged(); });
    }

private:
    void stateChanged()
    {
        QWindow* handle = window_->windowHandle();
        const Qt::WindowStates states = handle->windowStates();
        if ((states & Qt::WindowMinimized) && !(window_->windowFlags() & Qt::WindowMinimizeButtonHint) &&
            (window_->windowFlags() & Qt::CustomizeWindowHint)) {
            // A Wayland surface cannot ask to be shown again once minimised: a new one is mapped.
            QTimer::singleShot(0, window_, [window = QPointer<QWidget>(window_)] {
                if (!window || !window->isVisible())
                    return;
                window->hide();
                window->setWindowState(Qt::WindowNoState);
                window->show();
            });
            return;
        }
        if (!(states & Qt::WindowMaximized) || fixed_.isValid() || window_->minimumSize() != window_->maximumSize())
            return;
        if (!onWayland()) {
            handle->setWindowStates(states & ~Qt::WindowMaximized);
            return;
        }
        fixed_ = window_->minimumSize();
        window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window_ || event->type() != QEvent::Resize || !fixed_.isValid())
            return false;
        QWindow* handle = window_->windowHandle();
        if (window_->size() != fixed_) {
            // The compositor's maximised size is taken; now the window asks to be restored.
            QTimer::singleShot(0, this, [handle] { handle->setWindowStates(handle->windowStates() & ~Qt::WindowMaximized); });
        } else if (!(handle->windowStates() & Qt::WindowMaximized)) {
            window_->setMaximumSize(fixed_);
            fixed_ = QSize();
        }
        return false;
    }

    QWidget* window_;
    QSize fixed_;
};

// Gives each window its keeper the first time it is shown, once its native window exists.
class CaptionStates : public QObject {
public:
    using QObject::QObject;

private:
    static constexpr const char* Kept = "captionStatesKept";

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* window = static_cast<QWidget*>(watched);
            if (window->isWindow() && window->windowHandle() && !window->property(Kept).toBool()) {
                window->setProperty(Kept, true);
                new StateKeeper(window);
            }
        }
        return false;
    }
};

}  // namespace

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

std::unique_ptr<QObject> keepCaptionStates()
{
    auto watch = std::make_unique<CaptionStates>();
    qApp->installEventFilter(watch.get());
    return watch;
}

void askForCaptionButtons(QWidget* window)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    // The X11 platform has loaded libxcb already; the program does not link it, so that it maps
    // nothing more on other platforms.
    void* xcb = ::dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (!xcb)
        return;
    const auto internAtom = reinterpret_cast<decltype(&xcb_intern_atom)>(::dlsym(xcb, "xcb_intern_atom"));
    const auto atomReply = reinterpret_cast<decltype(&xcb_intern_atom_reply)>(::dlsym(xcb, "xcb_intern_atom_reply"));
    const auto changeProperty = reinterpret_cast<decltype(&xcb_change_property)>(::dlsym(xcb, "xcb_change_property"));
    if (internAtom && atomReply && changeProperty) {
        xcb_connection_t* connection = x11->connection();
        static const char name[] = "_MOTIF_WM_HINTS";
        xcb_intern_atom_reply_t* atom =
            atomReply(connection, internAtom(connection, 0, sizeof name - 1, name), nullptr);
        if (atom) {
            const Qt::WindowFlags flags = window->windowFlags();
            uint32_t hints[5] = {HintsFunctions | HintsDecorations, FunctionMove, DecorBorder | DecorTitle, 0, 0};
            if (flags & Qt::WindowCloseButtonHint)
                hints[1] |= FunctionClose;
            if (flags & Qt::WindowMinimizeButtonHint) {
                hints[1] |= FunctionMinimise;
                hints[2] |= DecorMinimise;
            }
            if (flags & Qt::WindowMaximizeButtonHint) {
                hints[1] |= FunctionMaximise;
                hints[2] |= DecorMaximise;
            }
            if (flags & Qt::WindowSystemMenuHint)
                hints[2] |= DecorMenu;
            changeProperty(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), atom->atom, atom->atom,
                           32, 5, hints);
            std::free(atom);
        }
    }
    ::dlclose(xcb);
}
