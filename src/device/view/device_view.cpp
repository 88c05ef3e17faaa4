#include "device_view.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWindow>

#include "picture_loader.h"

namespace {

QRect toQRect(const Rect& rect)
{
    return QRect(rect.left, rect.top, rect.width, rect.height);
}

MouseButton toMouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    default: return MouseButton::Middle;
    }
}

// A 1-bit segment picture shows only its dark pixels when it is transparent.
QImage darkPixelsOnly(const QImage& picture)
{
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qGray(line[x]) >= 128)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return image;
}

}  // namespace

Qt::CursorShape cursorShape(Cursor cursor)
{
    switch (cursor) {
    case Cursor::Hand: return Qt::PointingHandCursor;
    case Cursor::Help: return Qt::WhatsThisCursor;
    case Cursor::Default: break;
    }
    return Qt::ArrowCursor;
}

DeviceView::DeviceView(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
}

bool DeviceView::canPlaceWindows()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool DeviceView::attach(TForm1& form, TimerHost& host, const QString& pictureDir, QString* error)
{
    form_ = &form;
    host_ = &host;
    opaque_.clear();
    transparent_.clear();
    for (const std::string& file : form.pictures) {
        const QString path = pictureDir + QLatin1Char('/') + QString::fromStdString(file);
        QImage picture = loadPicture(path, error);
        if (picture.isNull())
            return false;
        transparent_.push_back(picture.depth() == 1 || picture.format() == QImage::Format_Indexed8
                                   ? darkPixelsOnly(picture)
                                   : picture);
        opaque_.push_back(picture.convertToFormat(QImage::Format_RGB32));
    }
    host.afterTicks = [this] { flushRepaint(); };
    geometryChanged();
    return true;
}

void DeviceView::deliver(const std::function<void()>& handler)
{
    host_->catchUp();
    handler();
    host_->rearm();
    flushRepaint();
}

void DeviceView::componentChanged(int index)
{
    if (form_)
        dirty_ += toQRect(form_->components()[size_t(index)].rect);
}

void DeviceView::flushRepaint()
{
    if (dirty_.isEmpty())
        return;
    update(dirty_);
    dirty_ = QRegion();
}

void DeviceView::geometryChanged()
{
    if (!form_)
        return;
    setFixedSize(form_->ClientWidth, TForm1::ClientHeight);
    if (canPlaceWindows())
        move(form_->Left, form_->Top);
    update();
}

void DeviceView::hintChanged(int) {}

void DeviceView::enabledChanged()
{
    if (form_)
        setEnabled(form_->Enabled);
}

void DeviceView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRegion region = event->region();
    painter.fillRect(event->rect(), Qt::black);
    if (!form_)
        return;
    for (const Component& component : form_->components()) {
        if (!component.visible || component.picture < 0)
            continue;
        const QRect rect = toQRect(component.rect);
        if (!region.intersects(rect))
            continue;
        const auto& pictures = component.def.transparent ? transparent_ : opaque_;
        // Pictures are drawn at their natural size from the rectangle's corner, never scaled.
        painter.drawImage(rect.topLeft(), pictures[size_t(component.picture)]);
    }
}

QPoint DeviceView::clientPoint(const QPointF& globalPosition) const
{
    // Measured against where the form has put the window, so a drag in progress never reads a
    // position relative to a move the window system has not finished yet.
    if (canPlaceWindows())
        return globalPosition.toPoint() - QPoint(form_->Left, form_->Top);
    return mapFromGlobal(globalPosition.toPoint());
}

void DeviceView::updateCursor(const QPoint& client)
{
    const int index = form_->ComponentAt(client.x(), client.y());
    const Qt::CursorShape shape = index >= 0 ? cursorShape(form_->components()[size_t(index)].def.cursor)
                                             : Qt::ArrowCursor;
    if (cursor().shape() != shape)
        setCursor(shape);
}

void DeviceView::mousePressEvent(QMouseEvent* event)
{
    if (!form_)
        return;
    if (pressed_ >= 0)
        return;  // a second button while one is held goes to the same component
    const QPoint client = clientPoint(event->globalPosition());
    pressed_ = form_->ComponentAt(client.x(), client.y());
    pressedButton_ = event->button();
    if (pressed_ < 0)
        return;
    const Rect& rect = form_->components()[size_t(pressed_)].rect;
    const int component = pressed_;
    deliver([&] {
        form_->MouseDown(component, toMouseButton(event->button()), client.x() - rect.left, client.y() - rect.top);
    });
    if (!canPlaceWindows() && event->button() == Qt::LeftButton
        && (pressed_ == form_->Im_Base || pressed_ == form_->Im_Front || pressed_ == form_->Im_SchermoLTop
            || pressed_ == form_->Im_SchermoRTop)
        && windowHandle()) {
        // Where programs may not place their windows, the window system moves it for us.
        windowHandle()->startSystemMove();
    }
}

void DeviceView::mouseMoveEvent(QMouseEvent* event)
{
    if (!form_)
        return;
    const QPoint client = clientPoint(event->globalPosition());
    if (pressed_ < 0) {
        updateCursor(client);
        return;
    }
    const Rect& rect = form_->components()[size_t(pressed_)].rect;
    const int component = pressed_;
    deliver([&] {
        form_->MouseMove(component, event->buttons() & Qt::LeftButton, client.x() - rect.left, client.y() - rect.top);
    });
}

void DeviceView::mouseReleaseEvent(QMouseEvent* event)
{
    // The command menu comes up as the right button is let go, as desktop menus do. Opened on the
    // press, it would take the release, and the device would wait for it for good, deaf to clicks.
    if (form_ && event->button() == Qt::RightButton && onContextMenu)
        onContextMenu(event->globalPosition().toPoint());
    if (!form_ || pressed_ < 0 || event->button() != pressedButton_)
        return;
    const QPoint client = clientPoint(event->globalPosition());
    const int component = pressed_;
    pressed_ = -1;
    pressedButton_ = Qt::NoButton;
    const Rect& rect = form_->components()[size_t(component)].rect;
    const bool stillOver = form_->ComponentAt(client.x(), client.y()) == component;
    deliver([&] {
        form_->MouseUp(component, toMouseButton(event->button()), client.x() - rect.left, client.y() - rect.top,
                       stillOver);
    });
    updateCursor(client);
}

void DeviceView::keyPressEvent(QKeyEvent* event)
{
    if (!form_)
        return;
    if (keyFilter && keyFilter(event))
        return;
    const int key = event->key();
    // The device's keys are letters; Qt's codes for A..Z are the desktop's virtual-key codes.
    if (key < 0 || key > 0xFFFF) {
        QWidget::keyPressEvent(event);
        return;
    }
    deliver([&] { form_->FormKeyDown(uint16_t(key)); });
}

void DeviceView::keyReleaseEvent(QKeyEvent* event)
{
    // The window system slips a release in before every auto-repeated press: not a real key-up.
    if (!form_ || event->isAutoRepeat())
        return;
    const int key = event->key();
    if (key < 0 || key > 0xFFFF)
        return;
    deliver([&] { form_->FormKeyUp(uint16_t(key)); });
}

bool DeviceView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && form_) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QPoint client = clientPoint(help->globalPos());
        const int index = form_->ComponentAt(client.x(), client.y());
        const std::string hint = index >= 0 ? form_->components()[size_t(index)].hint : std::string();
        if (hint.empty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), QString::fromStdString(hint), this);
        }
        return true;
    }
    return QWidget::event(event);
}

void DeviceView::closeEvent(QCloseEvent* event)
{
    if (form_ && !closing_) {
        closing_ = true;
        form_->FormClose();
        if (onClosing)
            onClosing();
    }
    event->accept();
}
