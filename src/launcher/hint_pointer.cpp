#include "launcher/hint_pointer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace {

// A hint's window is shown while the component's hint event is handled: it gets that
// component's pointer.
class HintPointer : public QObject {
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::ToolTip) {
            hinted_ = widget;
        } else if (event->type() == QEvent::Show && widget->windowType() == Qt::ToolTip && hinted_) {
            widget->setCursor(hinted_->cursor());
            hinted_ = nullptr;
        }
        return false;
    }

    QPointer<QWidget> hinted_;
};

}  // namespace

std::unique_ptr<QObject> keepPointerUnderHints()
{
    auto watch = std::make_unique<HintPointer>();
    qApp->installEventFilter(watch.get());
    return watch;
}
