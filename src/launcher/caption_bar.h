// CaptionBar: the plain title bar the program draws itself where the window system leaves the
// frame to the program (a Wayland compositor that draws no title bars). The title bar Qt would
// draw there offers minimise, maximise and close on every window whatever its flags ask; this one
// shows the whole title, a close button only on a window that asks for one, and moves the window
// when dragged.
#pragma once

#include <QWidget>

class QAbstractButton;
class QLabel;

class CaptionBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int Height = 24;

    // Whether the windows of the program get this bar instead of the window system's: true where
    // the program is a Wayland client of a compositor that leaves the title bars to the program.
    static bool wanted();

    // The flags a window asking for the buttons in `flags` is made with where it has this bar:
    // frameless, and none of the buttons, which would give it the window system's title bar back.
    static Qt::WindowFlags framelessFlags(Qt::WindowFlags flags);

    // The bar across the top of window, with its title and the buttons `flags` ask for (the
    // window's own flags name none, see framelessFlags).
    CaptionBar(QWidget& window, Qt::WindowFlags flags);

    // The narrowest window whose title this bar shows whole.
    static int widthFor(const QString& title, Qt::WindowFlags flags);

    QLabel* title() const { return title_; }
    // Null where the window asks for no close button.
    QAbstractButton* closeButton() const { return close_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    int side_;  // the room kept free of the title at either end

    QLabel* title_ = nullptr;
    QAbstractButton* close_ = nullptr;
};
