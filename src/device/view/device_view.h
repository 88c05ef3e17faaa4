// DeviceView: the device window on screen. It paints the visible components of a TForm1 in
// layout order, repainting only the rectangles that changed, and feeds the form its mouse and
// key events. All game behaviour stays in TForm1.
#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <vector>

#include "form1.h"
#include "timer_host.h"

// The desktop's pointer for a pointer shape of the layouts.
Qt::CursorShape cursorShape(Cursor cursor);

class DeviceView : public QWidget, public DeviceListener {
    Q_OBJECT
public:
    // The listener must be set on the form's ports before FormCreate; the view is built first,
    // then attach() once the form exists and its pictures are loaded.
    explicit DeviceView(QWidget* parent = nullptr);

    // Loads every picture the form names from pictureDir. On failure returns false and sets error
    // to a message naming the file.
    bool attach(TForm1& form, TimerHost& host, const QString& pictureDir, QString* error);

    // Runs a device handler as an event of the window: due ticks first, then the handler, then the
    // timers re-armed and the changes painted.
    void deliver(const std::function<void()>& handler);

    // Keys that act before the game sees them (the command menu's shortcuts): return true to
    // consume the key.
    std::function<bool(QKeyEvent*)> keyFilter;
    // A right-click on the window (the command menu), with the global position.
    std::function<void(const QPoint&)> onContextMenu;
    // The window is closing: the form has run FormClose.
    std::function<void()> onClosing;

    // Whether the windowing system lets us place windows (not on Wayland).
    static bool canPlaceWindows();

    // DeviceListener
    void componentChanged(int index) override;
    void geometryChanged() override;
    void hintChanged(int index) override;
    void enabledChanged() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPoint clientPoint(const QPointF& globalPosition) const;
    void updateCursor(const QPoint& client);
    void flushRepaint();

    TForm1* form_ = nullptr;
    TimerHost* host_ = nullptr;
    std::vector<QImage> opaque_;       // each picture painted whole
    std::vector<QImage> transparent_;  // each picture with its light pixels see-through
    QRegion dirty_;
    int pressed_ = -1;
    Qt::MouseButton pressedButton_ = Qt::NoButton;
    bool closing_ = false;
};
