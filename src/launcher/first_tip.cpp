#include "launcher/first_tip.h"

#include <QEvent>
#include <QTimer>
#include <QToolTip>
#include <utility>

#include "device/form1.h"
#include "device/view/device_view.h"
#include "device/view/window_fit.h"
#include "settings/stored_values.h"

FirstTip::FirstTip(DeviceView& view, TForm1& form, StoreKey& settingsStore)
    : view_(view), form_(form), settingsStore_(settingsStore)
{
}

FirstTip::~FirstTip()
{
    view_.removeEventFilter(this);
    if (label_)
        label_->removeEventFilter(this);  // its going would call back into a half-gone tip
}

QString FirstTip::text() const
{
    const auto key = [this](InputAction move) { return QString::fromStdString(form_.keyOf(move)); };
    return QStringLiteral("Folko: %1 up, %2 down.   Zerno: %3 up, %4 down.\n"
                          "Hold GAME A and let go of it to start a game.\n"
                          "Right-click the device for the menu.")
        .arg(key(InputAction::FolkoUp), key(InputAction::FolkoDown), key(InputAction::ZernoUp), key(InputAction::ZernoDown));
}

void FirstTip::deviceOpened()
{
    if (label_ || stored::TipShown.read(settingsStore_) != 0)
        return;
    label_ = std::make_unique<QLabel>(text(), nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
    label_->setObjectName(QStringLiteral("FirstTip"));
    label_->setPalette(QToolTip::palette());
    label_->setFont(QToolTip::font());
    label_->setFrameStyle(QFrame::Box | QFrame::Plain);
    label_->setMargin(6);
    label_->setAttribute(Qt::WA_ShowWithoutActivating);
    label_->adjustSize();
    placeLabel();
    // Kept as shown once it has been painted on the screen, not before: a tip that never came up
    // comes at the next open.
    label_->installEventFilter(this);
    label_->show();
    view_.installEventFilter(this);
    QTimer::singleShot(ShowMs, this, [this] { hideTip(); });
}

void FirstTip::placeLabel()
{
    // Under the device, else above it, else over the body's lower part: never on the screens,
    // always on the desktop's available area.
    const int scale = view_.scale();
    const QRect device(view_.mapToGlobal(view_.deviceOrigin()),
                       QSize(form_.ClientWidth, TForm1::ClientHeight) * scale);
    const int padsTop = device.top() + form_.components()[size_t(form_.Puls_Left)].rect.top * scale;
    label_->move(windowfit::tipPlace(device, label_->size(), view_.area(), padsTop, 6));
}

void FirstTip::hideTip()
{
    view_.removeEventFilter(this);
    if (label_)
        label_->hide();
}

bool FirstTip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == label_.get() && event->type() == QEvent::Paint) {
        if (!std::exchange(seen_, true))
            stored::TipShown.write(settingsStore_, 1);
        return false;
    }
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:  // a key the window's shortcuts take
    case QEvent::MouseButtonPress:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
        hideTip();
        break;
    default:
        break;
    }
    return false;
}
