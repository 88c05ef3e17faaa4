#include "first_tip.h"

#include <QEvent>
#include <QScreen>
#include <QToolTip>
#include <algorithm>

#include "device_view.h"
#include "form1.h"

namespace {

QString letterOf(int letterIndex)
{
    return QString::fromStdString(TForm1::letterOf(letterIndex));
}

}  // namespace

FirstTip::FirstTip(DeviceView& view, TForm1& form, StoreKey& settingsStore)
    : view_(view), form_(form), settingsStore_(settingsStore)
{
    hideTimer_.setSingleShot(true);
    hideTimer_.setInterval(ShowMs);
    connect(&hideTimer_, &QTimer::timeout, this, [this] { hideTip(); });
}

FirstTip::~FirstTip()
{
    view_.removeEventFilter(this);
    if (label_)
        label_->removeEventFilter(this);  // its going would call back into a half-gone tip
}

QString FirstTip::text() const
{
    const auto& letters = form_.KeyLetters;
    return QStringLiteral("Folko: %1 up, %2 down.   Zerno: %3 up, %4 down.\n"
                          "Hold GAME A and let go of it to start a game.\n"
                          "Right-click the device for the menu.")
        .arg(letterOf(letters[1]), letterOf(letters[2]), letterOf(letters[3]), letterOf(letters[4]));
}

void FirstTip::deviceOpened()
{
    if (label_ || settingsStore_.ReadInteger("TipShown", 0) != 0)
        return;
    settingsStore_.WriteInteger("TipShown", 1);
    label_ = std::make_unique<QLabel>(text(), nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
    label_->setObjectName(QStringLiteral("FirstTip"));
    label_->setPalette(QToolTip::palette());
    label_->setFont(QToolTip::font());
    label_->setFrameStyle(QFrame::Box | QFrame::Plain);
    label_->setMargin(6);
    label_->setAttribute(Qt::WA_ShowWithoutActivating);
    label_->adjustSize();
    placeLabel();
    label_->show();
    label_->installEventFilter(this);
    view_.installEventFilter(this);
    hideTimer_.start();
}

void FirstTip::placeLabel()
{
    // Under the device, else above it, else over the body's lower part: never on the screens.
    const int scale = view_.scale();
    const QRect device(view_.mapToGlobal(view_.deviceOrigin()),
                       QSize(form_.ClientWidth, TForm1::ClientHeight) * scale);
    const QRect area = view_.screen() ? view_.screen()->availableGeometry() : device;
    const QSize size = label_->size();
    const int gap = 6;
    int y = device.bottom() + 1 + gap;
    if (y + size.height() > area.bottom() + 1) {
        y = device.top() - gap - size.height();
        if (y < area.top())
            y = std::max(device.top() + form_.components()[size_t(form_.Puls_Left)].rect.top * scale,
                         device.bottom() + 1 - gap - size.height());
    }
    const int x = std::clamp(device.center().x() - size.width() / 2, area.left(),
                             std::max(area.left(), area.right() + 1 - size.width()));
    label_->move(x, y);
}

void FirstTip::hideTip()
{
    hideTimer_.stop();
    view_.removeEventFilter(this);
    if (label_)
        label_->hide();
}

bool FirstTip::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
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
