// FocusRing: a plain frame round the widget of a window that has the keyboard, drawn on the
// window's own background a little outside the widget, so that the launcher's black shows which of
// its two controls the keys go to. It shows once a key has been used there (Tab, an arrow) and
// goes at a click, as the desktop's own focus frame does.
#pragma once

#include <QColor>
#include <QWidget>
#include <vector>

class FocusRing : public QWidget {
    Q_OBJECT
public:
    static constexpr int Gap = 2;    // between the widget and the ring
    static constexpr int Width = 2;

    // Rings whichever of `widgets` (children of window) has the focus.
    FocusRing(QWidget& window, std::vector<QWidget*> widgets, QColor colour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();

    std::vector<QWidget*> widgets_;
    QColor colour_;
    bool keyboardUsed_ = false;
};
