#include "device/view/device_view.h"

#include <utility>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <QWindow>
#include <algorithm>

#include "common/desktop.h"
#include "device/view/picture_loader.h"
#include "device/view/window_fit.h"

namespace {

// Division rounding down, so that a point left of or above the window, as a drag may reach, maps
// to the picture pixel it is over.
int floorDiv(int value, int divisor)
{
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
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
    // Where the window has its open size from the start, what lies beyond the closed cover shows
    // the desktop behind it.
    if (!canPlaceWindows())
        setAttribute(Qt::WA_TranslucentBackground);
    pointerHide_.setParent(this);
    pointerHide_.setObjectName(QStringLiteral("pointerHide"));
    pointerHide_.setSingleShot(true);
    pointerHide_.setInterval(PointerHideMs);
    connect(&pointerHide_, &QTimer::timeout, this, [this] {
        if (!fullScreen_)
            return;
        pointerHidden_ = true;
        setCursor(Qt::BlankCursor);
    });
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
    connect(&host, &TimerHost::ticked, this, &DeviceView::flushRepaint);
    geometryChanged();
}

Expected<void> DeviceView::loadPictures(const QString& pictureDir)
{
    const size_t count = form_->pictures.size();
    uses_.assign(count, PictureUse());
    for (size_t index = 0; index < form_->components().size(); ++index) {
        const Component& component = form_->components()[index];
        if (component.picture < 0)
            continue;
        PictureUse& use = uses_[size_t(component.picture)];
        use.components.push_back(int(index));
        (component.def.transparent ? use.startsTransparent : use.startsOpaque) = true;
    }
    picturePaths_.clear();
    for (const std::string& file : form_->pictures)
        picturePaths_.push_back(pictureDir + QLatin1Char('/') + QString::fromStdString(file));
    // Every file is read now, so that a damaged one is named before the device is used; a big
    // picture that nothing shows yet is let go again at once.
    for (size_t picture = 0; picture < count; ++picture)
        if (Expected<void> read = readPicture(picture); !read) {
            uses_.clear();
            return read;
        }
    for (size_t picture = 0; picture < count; ++picture)
        releaseIfUnseen(picture);
    update();
    return {};
}

Expected<void> DeviceView::readPicture(size_t picture)
{
    Expected<QImage> read = loadPicture(picturePaths_[picture]);
    if (!read)
        return failure(read.error());
    const QImage& image = *read;
    PictureUse& use = uses_[picture];
    // A true-colour picture is drawn as it is either way. A 1-bit segment picture gets its
    // 32-bit form for each way its components draw it now, so that no paint in a game has to
    // make one; a digit position that takes another digit's picture gets the other form on
    // first use.
    const bool oneBit = image.depth() == 1 || image.format() == QImage::Format_Indexed8;
    use.source = image;
    use.opaque = use.transparent = oneBit ? QImage() : image;
    use.big = image.sizeInBytes() >= bigPictureBytes;
    if (oneBit && use.startsOpaque)
        pictureToDraw(picture, false);
    if (oneBit && use.startsTransparent)
        pictureToDraw(picture, true);
    return {};
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
    const auto shown = [&](int index) { return form_->components()[size_t(index)].visible; };
    if (!use.big || use.source.isNull() || std::ranges::any_of(use.components, shown))
        return;
    use.source = use.opaque = use.transparent = QImage();
}

void DeviceView::deliver(const std::function<void()>& handler)
{
    host_->catchUp();
    handler();
    host_->rearm();
    emit delivered();
    flushRepaint();
}

void DeviceView::componentChanged(int index)
{
    if (!form_)
        return;
    const Component& component = form_->components()[size_t(index)];
    dirty_ += toWindow(component.rect);
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
    // In full screen the window stays as it is; the form's moves wait for its return.
    if (!fullScreen_ && !awaitingWindowedSize_) {
        setFixedSize(windowSize());
        if (canPlaceWindows())
            move(windowCorner());
        maskClosedPart();
    }
    layOut();
    const bool justOpened = form_->ClientWidth == TForm1::OpenWidth && shownWidth_ != TForm1::OpenWidth;
    shownWidth_ = form_->ClientWidth;
    if (justOpened)
        emit opened();
}

QSize DeviceView::windowSize() const
{
    const int width = canPlaceWindows() && form_ ? form_->ClientWidth : TForm1::OpenWidth;
    return QSize(width, TForm1::ClientHeight) * zoom_;
}

void DeviceView::maskClosedPart()
{
    if (canPlaceWindows())
        return;
    const int width = form_ ? form_->ClientWidth : TForm1::OpenWidth;
    if (fullScreen_ || width >= TForm1::OpenWidth)
        clearMask();
    else
        setMask(QRegion(0, 0, width * zoom_, TForm1::ClientHeight * zoom_));
}

QRect DeviceView::area() const
{
    if (availableArea)
        return availableArea();
    const QScreen* shownOn = screen() ? screen() : QGuiApplication::primaryScreen();
    return shownOn ? shownOn->availableGeometry() : QRect(0, 0, 1024, 768);
}

int DeviceView::largestFittingZoom() const
{
    return windowfit::largestZoom(area().size(), QSize(TForm1::OpenWidth, TForm1::ClientHeight), MaxZoom);
}

QPoint DeviceView::windowCorner() const
{
    return QPoint(form_->Left, form_->Top) * zoom_;
}

QRect DeviceView::toWindow(const Rect& rect) const
{
    return QRect(origin_.x() + rect.left * scale_, origin_.y() + rect.top * scale_, rect.width * scale_,
                 rect.height * scale_);
}

void DeviceView::layOut()
{
    const int deviceWidth = form_ ? form_->ClientWidth : TForm1::ClosedWidth;
    if (fullScreen_) {
        scale_ = std::max(1, std::min(width() / deviceWidth, height() / TForm1::ClientHeight));
        origin_ = QPoint((width() - deviceWidth * scale_) / 2, (height() - TForm1::ClientHeight * scale_) / 2);
    } else {
        scale_ = zoom_;
        origin_ = QPoint();
    }
    update();
}

void DeviceView::setZoom(int zoom)
{
    zoom = std::clamp(zoom, 1, MaxZoom);
    if (zoom == zoom_)
        return;
    if (!form_ || fullScreen_) {
        zoom_ = zoom;  // taken up when the window comes back
        return;
    }
    // About the open device's place, closed or not: the cover opens into it.
    const QRect open(windowCorner(), QSize(TForm1::OpenWidth, TForm1::ClientHeight) * zoom_);
    const QPoint corner = isVisible() ? windowfit::zoomedAboutCentre(open, zoom_, zoom, area()).topLeft()
                                      : open.topLeft();
    const bool grows = zoom > zoom_;
    zoom_ = zoom;
    placeAt(corner);
    if (grows && isVisible() && !canPlaceWindows()) {
        // The window system places a window only as it comes on screen, and would let the grown
        // one reach past the screen's edges from where it stands: it comes on screen anew at
        // its new size, to be placed whole.
        hide();
        show();
        raise();
        activateWindow();
    }
}

void DeviceView::placeAt(const QPoint& topLeft)
{
    if (!form_)
        return;
    deliver([&] { form_->MoveTo(floorDiv(topLeft.x(), zoom_), floorDiv(topLeft.y(), zoom_)); });
}

void DeviceView::setFullScreen(bool on)
{
    if (on == fullScreen_ || !form_)
        return;
    if (on) {
        if (!std::exchange(awaitingWindowedSize_, false))
            placeBeforeFullScreen_ = windowCorner();
        fullScreen_ = true;
        maskClosedPart();
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        showFullScreen();
        pointerHide_.start();
    } else {
        fullScreen_ = false;
        pointerHide_.stop();
        if (pointerHidden_) {
            pointerHidden_ = false;
            setCursor(Qt::ArrowCursor);
        }
        showNormal();
        // A Wayland compositor answers with the windowed size; a window resized before that
        // answer leaves it unanswered, and the desktop stays covered until the next input. A
        // window that never had the screen's size, or an answer that never comes, waits no more.
        if (canPlaceWindows() || size() == windowSize()) {
            placeAt(placeBeforeFullScreen_);
        } else {
            awaitingWindowedSize_ = true;
            QTimer::singleShot(WindowedSizeWaitMs, this, [this] {
                if (std::exchange(awaitingWindowedSize_, false))
                    placeAt(placeBeforeFullScreen_);
            });
        }
    }
    layOut();
}

void DeviceView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (std::exchange(awaitingWindowedSize_, false)) {
        placeAt(placeBeforeFullScreen_);
        return;
    }
    layOut();
}

void DeviceView::pointerMoved(const QPoint& client)
{
    if (!fullScreen_)
        return;
    pointerHide_.start();
    if (pointerHidden_) {
        pointerHidden_ = false;
        updateCursor(client);
    }
}

void DeviceView::enabledChanged()
{
    if (form_)
        setEnabled(form_->Enabled);
}

void DeviceView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRegion region = event->region();
    if (!form_) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    // Beyond a closed cover in a window of the open size nothing is painted: it stays see-through.
    QRect black = event->rect();
    if (!fullScreen_ && !canPlaceWindows())
        black &= QRect(origin_, QSize(form_->ClientWidth, TForm1::ClientHeight) * scale_);
    painter.fillRect(black, Qt::black);
    // Zoomed by the painter's scale alone: without its smooth-transform hint every picture pixel
    // becomes a sharp square, on a high-density screen too.
    painter.translate(origin_);
    painter.scale(scale_, scale_);
    for (const Component& component : form_->components()) {
        if (!component.visible || component.picture < 0)
            continue;
        const Rect& rect = component.rect;
        if (!region.intersects(toWindow(rect)))
            continue;
        const size_t picture = size_t(component.picture);
        if (picture >= uses_.size())
            continue;  // not loaded yet
        if (uses_[picture].source.isNull()) {  // let go while hidden
            if (Expected<void> read = readPicture(picture); !read) {
                if (std::exchange(uses_[picture].reported, true))
                    continue;
                const QString what = QStringLiteral("A picture of the device cannot be read, so part of it stays dark.");
                if (isSignalConnected(QMetaMethod::fromSignal(&DeviceView::pictureProblem)))
                    emit pictureProblem(what, QString::fromStdString(read.error()));
                else
                    printProblem(what.toStdString(), read.error());
                continue;
            }
        }
        // Pictures are drawn at their natural size from the rectangle's corner, never stretched.
        painter.drawImage(rect.left, rect.top, pictureToDraw(picture, component.def.transparent));
    }
}

QPoint DeviceView::clientPoint(const QPointF& globalPosition) const
{
    // Measured against where the form has put the window, so a drag in progress never reads a
    // position relative to a move the window system has not finished yet.
    QPoint inWindow = canPlaceWindows() && !fullScreen_
                          ? globalPosition.toPoint() - windowCorner()
                          : mapFromGlobal(globalPosition.toPoint());
    inWindow -= origin_;
    return QPoint(floorDiv(inWindow.x(), scale_), floorDiv(inWindow.y(), scale_));
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
    if (!form_ || inputBlocked_)
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
    if (!form_ || inputBlocked_)
        return;
    const QPoint client = clientPoint(event->globalPosition());
    pointerMoved(client);
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
    if (form_ && event->button() == Qt::RightButton)
        emit menuRequested(event->globalPosition().toPoint());
    if (!form_ || inputBlocked_ || !input_->holding(toMouseButton(event->button())))
        return;
    const QPoint client = clientPoint(event->globalPosition());
    deliver([&] { input_->releaseAt(toMouseButton(event->button()), client.x(), client.y()); });
    updateCursor(client);
}

void DeviceView::keyPressEvent(QKeyEvent* event)
{
    if (!form_ || inputBlocked_)
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
    if (!form_ || inputBlocked_ || event->isAutoRepeat())
        return;
    const int key = event->key();
    if (key < 0 || key > 0xFFFF)
        return;
    deliver([&] { input_->keyUp(uint16_t(key)); });
}

bool DeviceView::event(QEvent* event)
{
    // A disabled window gets no mouse events; the click still tells which window the player wants.
    if (event->type() == QEvent::MouseButtonPress && !isEnabled())
        emit blockedClick();
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
        emit closing();
        form_->FormClose();
        emit closed();
    }
    event->accept();
}
