#include "launcher/replay_banner.h"

#include <QEvent>
#include <QLabel>
#include <QToolTip>

#include "device/view/device_view.h"

namespace {

const char* const BannerText = "Watching a replay: keys and clicks do nothing until it ends. Esc ends it.";

}  // namespace

ReplayBanner::ReplayBanner(DeviceView& view) : view_(view)
{
    label_ = new QLabel(QString::fromLatin1(BannerText), &view_);
    label_->setObjectName(QStringLiteral("ReplayBanner"));
    // The colours of a hint, which the desktop makes readable on anything.
    QPalette colours = QToolTip::palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
    label_->setPalette(colours);
    label_->setAutoFillBackground(true);
    label_->setFrameStyle(QFrame::Box | QFrame::Plain);
    label_->setAlignment(Qt::AlignCenter);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    label_->hide();
    view_.installEventFilter(this);
}

ReplayBanner::~ReplayBanner()
{
    view_.removeEventFilter(this);
}

void ReplayBanner::setShown(bool shown)
{
    if (shown == !label_->isHidden())
        return;
    if (shown) {
        title_ = view_.windowTitle();
        view_.setWindowTitle(title_ + QStringLiteral(" - ") + QString::fromLatin1(BannerText));
        place();
        label_->show();
        label_->raise();
    } else {
        label_->hide();
        view_.setWindowTitle(title_);
    }
}

void ReplayBanner::place()
{
    // Over the body above the screens, at the zoom the device is painted at now.
    const int scale = view_.scale();
    QFont font = QToolTip::font();
    font.setPixelSize(12 * scale);
    label_->setFont(font);
    label_->setMargin(2 * scale);
    label_->setLineWidth(scale);
    label_->adjustSize();
    const QPoint origin = view_.deviceOrigin();
    const int width = view_.form() ? view_.form()->ClientWidth * scale : view_.width();
    label_->move(origin.x() + (width - label_->width()) / 2, origin.y() + TopPixels * scale);
}

bool ReplayBanner::eventFilter(QObject*, QEvent* event)
{
    // A zoom or full screen while it plays lays the device out anew, in the view's own handler
    // after this one: the line follows once it has.
    if (event->type() == QEvent::Resize && !label_->isHidden())
        QMetaObject::invokeMethod(this, [this] { place(); }, Qt::QueuedConnection);
    return false;
}
