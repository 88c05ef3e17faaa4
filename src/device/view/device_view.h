// DeviceView: the device window on screen. It paints the visible components of a TForm1 in
// layout order, repainting only the rectangles that changed, and feeds the form its mouse and
// key events. All game behaviour stays in TForm1.
//
// The window may show the device zoomed (every picture pixel a square of zoom × zoom, never
// smoothed) or fill the screen. The form knows nothing of either: it gets its own coordinates,
// and its Left and Top count in steps of the zoom, so the window sits at (Left × zoom, Top × zoom).
// A drag then moves the window a whole picture pixel at a time, the grabbed pixel staying under
// the pointer, and a device that opens grows to the right from where it stands. Where the
// window system places windows (Wayland), it would place the narrow closed window and never move
// it as it grows: there the window has the open size from the start, and while the device is
// closed the part beyond the cover is see-through and lets clicks through to what is behind.
#pragma once

#include <QImage>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "common/expected.h"
#include "device/device_input.h"
#include "device/form1.h"
#include "device/view/timer_host.h"

// The desktop's pointer for a pointer shape of the layouts.
Qt::CursorShape cursorShape(Cursor cursor);

class DeviceView : public QWidget, public DeviceListener {
    Q_OBJECT
public:
    // The listener must be set on the form's ports before FormCreate; the view is built first,
    // then attached once the form exists.
    explicit DeviceView(QWidget* parent = nullptr);

    // Shows and drives form from now on. Until its pictures are loaded the window paints black.
    void attach(TForm1& form, TimerHost& host);

    // Loads every picture the form names from pictureDir and repaints. On failure the message
    // names the file; the window then keeps painting black.
    Expected<void> loadPictures(const QString& pictureDir);

    // The rules by which presses and keys reach the form: every source of input goes through it,
    // inside deliver. Null until attached.
    DeviceInput* input() { return input_.get(); }
    // The form shown, or null until attached.
    TForm1* form() { return form_; }

    // Runs a device handler as an event of the window: due ticks first, then the handler, then the
    // timers re-armed and the changes painted.
    void deliver(const std::function<void()>& handler);

    // While blocked, the player's clicks, keys and pads do not reach the device (a replay plays
    // on it); the window's shortcuts and the right-click menu still work.
    void setInputBlocked(bool blocked) { inputBlocked_ = blocked; }
    bool inputBlocked() const { return inputBlocked_; }

    // Whether the windowing system lets us place windows (not on Wayland).
    static bool canPlaceWindows();

    // ---- Zoom and full screen ----
    static constexpr int MaxZoom = 4;
    int zoom() const { return zoom_; }
    // Zooms the window, 1..MaxZoom (another value is clamped). A window on display zooms about
    // the centre of the open device's place, kept on the screen's available area; where the
    // window system places windows, a window that grows is put on the screen anew, for it to
    // place it whole.
    void setZoom(int zoom);
    // The part of the screen the window may take; without availableArea, the available area
    // (panels left out) of the screen the window is on.
    std::function<QRect()> availableArea;
    QRect area() const;
    // The largest zoom at which the open device fits that area (1 when none does).
    int largestFittingZoom() const;
    // The window's size at its zoom: the device's width now, or where the window system places
    // windows itself, the open width from the start, so that opening never grows the window.
    QSize windowSize() const;
    // Puts the window's top-left corner at a point of the screen (to the nearest whole zoom step).
    void placeAt(const QPoint& topLeft);
    // The screen filled, black all round, the device centred at the largest whole zoom that fits;
    // off again, the window comes back at its zoom and place (where the window system sizes
    // windows, once it has answered).
    void setFullScreen(bool on);
    bool fullScreen() const { return fullScreen_; }
    // How many screen pixels a picture pixel takes now, and where the device's corner is painted.
    int scale() const { return scale_; }
    QPoint deviceOrigin() const { return origin_; }
    // The pointer hides after this long without moving in full screen.
    static constexpr int PointerHideMs = 2000;
    // How long the window waits at most for the window system's answer when full screen ends.
    static constexpr int WindowedSizeWaitMs = 1000;

    // DeviceListener
    void componentChanged(int index) override;
    void geometryChanged() override;
    void enabledChanged() override;

signals:
    // After every handler deliver runs (a recorder notices a game's start or end there).
    void delivered();
    // A right-click on the window (the command menu), with the global position.
    void menuRequested(const QPoint& globalPosition);
    // A click on the window while the device is disabled (the key dialog is up).
    void blockedClick();
    // A picture that was let go while hidden cannot be read again when it is to be shown (its
    // file went away or broke since the start): what and why. That component stays black. With
    // nothing connected the problem goes to standard error.
    void pictureProblem(const QString& what, const QString& why);
    // The window is closing: first closing, then the form runs FormClose, then closed.
    void closing();
    void closed();
    // The device opened (its window grew to the open width).
    void opened();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPoint clientPoint(const QPointF& globalPosition) const;
    void updateCursor(const QPoint& client);
    void flushRepaint();
    // Where the form has put the window's top left corner, in screen pixels.
    QPoint windowCorner() const;
    // Where a rectangle of the form's client area is painted in the window.
    QRect toWindow(const Rect& rect) const;
    // The scale and the device's corner for the window's size now; repaints.
    void layOut();
    // Where windows cannot be placed: the see-through part beyond a closed cover.
    void maskClosedPart();
    void pointerMoved(const QPoint& client);

    // A picture of this size or more (the open device's body, the cover) is held only while a
    // component shows it, and read again when one does: the body is hidden until the device
    // opens, the cover for good once it has.
    static constexpr qsizetype bigPictureBytes = 256 * 1024;

    struct PictureUse {
        std::vector<int> components;  // the components that start with it
        QImage source;                // as read from its file; null while let go
        QImage opaque;                // painted whole
        QImage transparent;           // with its light pixels see-through
        bool startsOpaque = false;    // one of those components paints it whole
        bool startsTransparent = false;
        bool big = false;
        bool reported = false;        // could not be read again, and the player was told
    };

    Expected<void> readPicture(size_t picture);
    const QImage& pictureToDraw(size_t picture, bool transparent);
    void releaseIfUnseen(size_t picture);

    TForm1* form_ = nullptr;
    TimerHost* host_ = nullptr;
    std::vector<QString> picturePaths_;
    std::vector<PictureUse> uses_;  // one for each picture the form names
    QRegion dirty_;
    std::unique_ptr<DeviceInput> input_;
    bool closing_ = false;
    bool inputBlocked_ = false;

    int zoom_ = 1;
    int scale_ = 1;
    QPoint origin_;
    bool fullScreen_ = false;
    // Out of full screen where the window system sizes the window: until its answer comes, the
    // window keeps the size it has, so nothing is drawn at a size it has not yet granted.
    bool awaitingWindowedSize_ = false;
    int shownWidth_ = 0;  // the form's width the window last took
    QPoint placeBeforeFullScreen_;  // the form's Left and Top
    QTimer pointerHide_;
    bool pointerHidden_ = false;
};
