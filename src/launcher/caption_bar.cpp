#include "launcher/caption_bar.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <cstdint>
#include <cstring>
#include <dlfcn.h>

#include "launcher/caption_buttons.h"
#include "launcher/dialog_form.h"

namespace {

const QColor Bar(48, 48, 48);
const QColor Rule(96, 96, 96);
const QColor Title(255, 255, 255);
const QColor CloseHovered(200, 32, 32);

constexpr int Margin = 8;  // between the title and the bar's ends, or its close button

QFont titleFont()
{
    return DialogForm::arial(13, true);
}

// The room kept free of the title at either end of the bar: the title stays centred over the
// whole bar, as a title bar's does, whether or not a button sits at one end.
int sideRoom(Qt::WindowFlags flags)
{
    return (flags & Qt::WindowCloseButtonHint) ? CaptionBar::Height + Margin / 2 : Margin;
}

// A square button with a cross, red under the pointer.
class CloseButton : public QAbstractButton {
public:
    explicit CloseButton(QWidget* parent) : QAbstractButton(parent)
    {
        setObjectName(QStringLiteral("CaptionClose"));
        setFocusPolicy(Qt::NoFocus);  // the dialog's keys stay where they are
        setCursor(Qt::ArrowCursor);
        setAttribute(Qt::WA_Hover);
        setToolTip(QStringLiteral("Close"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (underMouse() || isDown())
            painter.fillRect(rect(), isDown() ? CloseHovered.darker(130) : CloseHovered);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Title, 1.5));
        const QRectF cross = QRectF(rect()).adjusted(8.5, 8.5, -8.5, -8.5);
        painter.drawLine(cross.topLeft(), cross.bottomRight());
        painter.drawLine(cross.bottomLeft(), cross.topRight());
    }
};

// Whether the Wayland compositor draws the title bars of the windows that ask it to: it then
// announces the decoration manager, and Qt leaves the title bar to it. Asked once on a connection
// of our own. The Wayland platform has loaded the client library already; the program does not
// link it, so that it maps nothing more on other platforms.
bool compositorDrawsTitleBars()
{
    struct Display;
    struct Proxy;
    struct RegistryListener {
        void (*global)(void* found, Proxy*, uint32_t, const char* interface, uint32_t);
        void (*globalRemove)(void*, Proxy*, uint32_t);
    };
    void* wayland = ::dlopen("libwayland-client.so.0", RTLD_LAZY | RTLD_NOLOAD);
    if (!wayland)
        return false;
    const auto connect = reinterpret_cast<Display* (*)(const char*)>(::dlsym(wayland, "wl_display_connect"));
    const auto disconnect = reinterpret_cast<void (*)(Display*)>(::dlsym(wayland, "wl_display_disconnect"));
    const auto roundtrip = reinterpret_cast<int (*)(Display*)>(::dlsym(wayland, "wl_display_roundtrip"));
    const auto marshalConstructor =
        reinterpret_cast<Proxy* (*)(Proxy*, uint32_t, const void*, ...)>(::dlsym(wayland, "wl_proxy_marshal_constructor"));
    const auto addListener = reinterpret_cast<int (*)(Proxy*, void (**)(), void*)>(::dlsym(wayland, "wl_proxy_add_listener"));
    const auto destroy = reinterpret_cast<void (*)(Proxy*)>(::dlsym(wayland, "wl_proxy_destroy"));
    const void* registryInterface = ::dlsym(wayland, "wl_registry_interface");
    bool found = false;
    if (connect && disconnect && roundtrip && marshalConstructor && addListener && destroy && registryInterface) {
        if (Display* display = connect(nullptr)) {
            static const RegistryListener listener{
                [](void* found, Proxy*, uint32_t, const char* interface, uint32_t) {
                    if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0)
                        *static_cast<bool*>(found) = true;
                },
                [](void*, Proxy*, uint32_t) {}};
            const uint32_t getRegistry = 1;  // wl_display.get_registry
            Proxy* registry = marshalConstructor(reinterpret_cast<Proxy*>(display), getRegistry, registryInterface, nullptr);
            if (registry) {
                addListener(registry, reinterpret_cast<void (**)()>(const_cast<RegistryListener*>(&listener)), &found);
                roundtrip(display);
                destroy(registry);
            }
            disconnect(display);
        }
    }
    ::dlclose(wayland);
    return found;
}

}  // namespace

bool CaptionBar::wanted()
{
    static const bool wanted = onWayland() && !compositorDrawsTitleBars();
    return wanted;
}

Qt::WindowFlags CaptionBar::framelessFlags(Qt::WindowFlags flags)
{
    return (flags & ~(Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint |
                      Qt::WindowSystemMenuHint)) |
           Qt::FramelessWindowHint;
}

int CaptionBar::widthFor(const QString& title, Qt::WindowFlags flags)
{
    const int slack = 2;  // the laid-out text may run a pixel past its advance
    return QFontMetrics(titleFont()).horizontalAdvance(title) + 2 * sideRoom(flags) + slack;
}

CaptionBar::CaptionBar(QWidget& window, Qt::WindowFlags flags) : QWidget(&window), side_(sideRoom(flags))
{
    setObjectName(QStringLiteral("Caption"));
    setFocusPolicy(Qt::NoFocus);
    title_ = new QLabel(window.windowTitle(), this);
    title_->setObjectName(QStringLiteral("CaptionTitle"));
    title_->setFont(titleFont());
    title_->setAlignment(Qt::AlignCenter);
    title_->setAttribute(Qt::WA_TransparentForMouseEvents);  // a press on it drags the window
    DialogForm::setColour(*title_, QPalette::WindowText, Title);
    if (flags & Qt::WindowCloseButtonHint) {
        close_ = new CloseButton(this);
        connect(close_, &QAbstractButton::clicked, &window, &QWidget::close);
    }
    window.installEventFilter(this);
    setGeometry(0, 0, window.width(), Height);
    place();
}

bool CaptionBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent()) {
        if (event->type() == QEvent::WindowTitleChange)
            title_->setText(parentWidget()->windowTitle());
        else if (event->type() == QEvent::Resize)
            resize(parentWidget()->width(), Height);
    }
    return false;
}

void CaptionBar::mousePressEvent(QMouseEvent* event)
{
    // The window system moves the window for as long as the button is held.
    if (event->button() == Qt::LeftButton && window()->windowHandle())
        window()->windowHandle()->startSystemMove();
    event->accept();
}

void CaptionBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Bar);
    painter.fillRect(0, height() - 1, width(), 1, Rule);
}

void CaptionBar::resizeEvent(QResizeEvent*)
{
    place();
}

void CaptionBar::place()
{
    title_->setGeometry(side_, 0, width() - 2 * side_, Height - 1);
    if (close_)
        close_->setGeometry(width() - Height, 0, Height, Height - 1);
}
