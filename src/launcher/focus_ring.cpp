#include "launcher/focus_ring.h"

#include <QFocusEvent>
#include <QPainter>
#include <algorithm>

FocusRing::FocusRing(QWidget& window, std::vector<QWidget*> widgets, QColor colour)
    : QWidget(&window), widgets_(std::move(widgets)), colour_(colour)
{
    setObjectName(QStringLiteral("FocusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    for (QWidget* widget : widgets_)
        widget->installEventFilter(this);
}

bool FocusRing::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        keyboardUsed_ = true;
        break;
    case QEvent::MouseButtonPress:
        keyboardUsed_ = false;
        break;
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
            keyboardUsed_ = true;
        else if (reason == Qt::MouseFocusReason)
            keyboardUsed_ = false;
        break;
    }
    case QEvent::FocusOut:
    case QEvent::Hide:
    case QEvent::EnabledChange:
        break;
    default:
        return false;
    }
    follow();
    return false;
}

void FocusRing::follow()
{
    const auto focused = std::ranges::find_if(widgets_, [](QWidget* widget) { return widget->hasFocus() && widget->isVisible(); });
    if (focused == widgets_.end() || !keyboardUsed_) {
        hide();
        return;
    }
    const int reach = Gap + Width;
    setGeometry((*focused)->geometry().adjusted(-reach, -reach, reach, reach));
    show();
    // Under the widget: only the part outside it shows.
    stackUnder(*focused);
}

void FocusRing::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(colour_);
    for (int n = 0; n < Width; ++n)
        painter.drawRect(rect().adjusted(n, n, -n - 1, -n - 1));
}
