#include "device_view.h"

#include <cstdio>
#include <utility>

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

// Whether `button` is among the buttons down now.
bool isDown(Qt::MouseButtons buttons, MouseButton button)
{
    switch (button) {
    case MouseButton::Left: return buttons & Qt::LeftButton;
    case MouseButton::Right: return buttons & Qt::RightButton;
    default: return buttons & ~(Qt::LeftButton | Qt::RightButton);
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

void DeviceView::attach(TForm1& form, TimerHost& host)
{
    form_ = &form;
    host_ = &host;
    input_ = std::make_unique<DeviceInput>(form);
    host.afterTicks = [this] { flushRepaint(); };
    geometryChanged();
}

bool DeviceView::loadPictures(const QString& pictureDir, QString* error)
{
    const size_t count = form_->pictures.size();
    std::vector<PictureUse> uses(count);
    for (size_t index = 0; index < form_->components().size(); ++index) {
        const Component& component = form_->components()[index];
        if (component.picture < 0)
            continue;
        PictureUse& use = uses[size_t(component.picture)];
        use.components.push_back(int(index));
        (component.def.transparent ? use.startsTransparent : use.startsOpaque) = true;
    }
    std::vector<QString> paths;
    for (const std::string& file : form_->pictures)
        paths.push_back(pictureDir + QLatin1Char('/') + QString::fromStdString(file));
    picturePaths_ = std::move(paths);
    uses_ = std::move(uses);
    // Every file is read now, so that a damaged one is named before the device is used; a big
    // picture that nothing shows yet is let go again at once.
    for (size_t picture = 0; picture < count; ++picture)
        if (!readPicture(picture, error)) {
            uses_.clear();
            return false;
        }
    for (size_t picture = 0; picture < count; ++picture)
        releaseIfUnseen(picture);
    update();
    return true;
}

bool DeviceView::readPicture(size_t picture, QString* error)
{
    const QImage image = loadPicture(picturePaths_[picture], error);
    if (image.isNull())
        return false;
    PictureUse& use = uses_[picture];
    use.source = image;
    // A true-colour picture is drawn as it is either way. A 1-bit segment picture gets its
    // 32-bit form for each way its components draw it now, so that no paint in a game has to
    // make one; a digit position that takes another digit's picture gets the other form on
    // first use.
    const bool oneBit = image.depth() == 1 || image.format() == QImage::Format_Indexed8;
    use.opaque = oneBit ? QImage() : image;
    use.transparent = oneBit ? QImage() : image;
    use.big = image.sizeInBytes() >= bigPictureBytes;
    if (oneBit) {
        if (use.startsOpaque)
            pictureToDraw(picture, false);
        if (use.startsTransparent)
            pictureToDraw(picture, true);
    }
    return true;
}

const QImage& DeviceView::pictureToDraw(size_t picture, bool transparent)
{
    PictureUse& use = uses_[picture];
    QImage& drawn = transparent ? use.transparent : use.opaque;
    if (drawn.isNull())
        drawn = transparent ? darkPixelsOnly(use.source) : use.source.convertToFormat(QImage::Format_RGB32);
    return drawn;
}

void DeviceView::releaseIfUnseen(size_t picture)
{
    PictureUse& use = uses_[picture];
    if (!use.big || use.source.isNull())
        return;
    for (int index : use.components)
        if (form_->components()[size_t(index)].visible)
            return;
    use.source = use.opaque = use.transparent = QImage();
}

bool DeviceView::attach(TForm1& form, TimerHost& host, const QString& pictureDir, QString* error)
{
    attach(form, host);
    return loadPictures(pictureDir, error);
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
    if (!form_)
        return;
    const Component& component = form_->components()[size_t(index)];
    dirty_ += toQRect(component.rect);
    if (!component.visible && size_t(component.picture) < uses_.size())
        releaseIfUnseen(size_t(component.picture));
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
        const size_t picture = size_t(component.picture);
        if (picture >= uses_.size())
            continue;  // not loaded yet
        if (uses_[picture].source.isNull()) {  // let go while hidden
            QString error;
            if (!readPicture(picture, &error)) {
                if (std::exchange(uses_[picture].reported, true))
                    continue;
                const QString what = QStringLiteral("A picture of the device cannot be read, so part of it stays dark.");
                if (onPictureProblem)
                    onPictureProblem(what, error);
                else
                    std::fprintf(stderr, "%s (%s)\n", qPrintable(what), qPrintable(error));
                continue;
            }
        }
        // Pictures are drawn at their natural size from the rectangle's corner, never scaled.
        painter.drawImage(rect.topLeft(), pictureToDraw(picture, component.def.transparent));
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
    const QPoint client = clientPoint(event->globalPosition());
    const MouseButton button = toMouseButton(event->button());
    const bool heldStillDown = input_->held() >= 0 && isDown(event->buttons(), input_->heldButton());
    deliver([&] { input_->pressAt(button, client.x(), client.y(), heldStillDown); });
    const int held = input_->held();
    if (!canPlaceWindows() && button == MouseButton::Left && input_->holding(MouseButton::Left)
        && form_->isDragSurface(held) && windowHandle() && windowHandle()->startSystemMove()) {
        // Where programs may not place their windows, the window system moves it for us, and the
        // release goes to it: the press ends here.
        deliver([&] { input_->endPress(true, client.x(), client.y()); });
    }
}

void DeviceView::mouseMoveEvent(QMouseEvent* event)
{
    if (!form_)
        return;
    const QPoint client = clientPoint(event->globalPosition());
    if (input_->held() < 0) {
        updateCursor(client);
        return;
    }
    deliver([&] { input_->move(event->buttons() & Qt::LeftButton, client.x(), client.y()); });
}

void DeviceView::mouseReleaseEvent(QMouseEvent* event)
{
    // The command menu comes up as the right button is let go, as desktop menus do. Opened on the
    // press, it would take the release, and the device would wait for it for good, deaf to clicks.
    if (form_ && event->button() == Qt::RightButton && onContextMenu)
        onContextMenu(event->globalPosition().toPoint());
    if (!form_ || !input_->holding(toMouseButton(event->button())))
        return;
    const QPoint client = clientPoint(event->globalPosition());
    deliver([&] { input_->releaseAt(toMouseButton(event->button()), client.x(), client.y()); });
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
    deliver([&] { input_->keyDown(uint16_t(key)); });
}

void DeviceView::keyReleaseEvent(QKeyEvent* event)
{
    // The window system slips a release in before every auto-repeated press: not a real key-up.
    if (!form_ || event->isAutoRepeat())
        return;
    const int key = event->key();
    if (key < 0 || key > 0xFFFF)
        return;
    deliver([&] { input_->keyUp(uint16_t(key)); });
}

bool DeviceView::event(QEvent* event)
{
    // A disabled window gets no mouse events; the click still tells which window the player wants.
    if (event->type() == QEvent::MouseButtonPress && !isEnabled() && onBlockedClick)
        onBlockedClick();
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
