#include "launcher/view_menu.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

#include "device/ports.h"
#include "device/view/device_view.h"
#include "settings/stored_values.h"

static_assert(stored::Zoom.most == DeviceView::MaxZoom, "the stored zoom is one the window has");

ViewMenu::ViewMenu(QMenu& menu, DeviceView& view, StoreKey& settingsStore, std::function<void(const QString&)> report)
    : QObject(&menu), view_(view), settingsStore_(settingsStore)
{
    auto item = [&](const char* name, const QString& caption, const std::function<void()>& command) {
        QAction* action = menu.addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    // The keys act on the device window. The plus sign is a shifted key on most keyboards; Qt
    // tries a keypad key without its modifier.
    auto keys = [&](QAction* item, const QList<QKeySequence>& sequences) {
        item->setShortcut(sequences.front());  // shown in the menu
        auto* key = new QAction(this);
        key->setShortcuts(sequences);
        connect(key, &QAction::triggered, item, [item] {
            if (item->isEnabled())
                item->trigger();
        });
        view.addAction(key);
    };
    menu.addSeparator()->setObjectName(QStringLiteral("PM_ViewBlock"));
    PM_ZoomIn = item("PM_ZoomIn", QStringLiteral("Zoom in"), [this] { zoomBy(1); });
    keys(PM_ZoomIn, {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus)});
    PM_ZoomOut = item("PM_ZoomOut", QStringLiteral("Zoom out"), [this] { zoomBy(-1); });
    keys(PM_ZoomOut, {QKeySequence(Qt::CTRL | Qt::Key_Minus), QKeySequence(Qt::CTRL | Qt::Key_Underscore),
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Underscore)});
    PM_FullScreen = item("PM_FullScreen", QStringLiteral("Full screen"), [this] { PM_FullScreenClick(); });
    keys(PM_FullScreen, {QKeySequence(Qt::Key_F11)});
    PM_FullScreen->setCheckable(true);

    // A number outside 1..4 (edited by hand) is a zoom of the right type but too far: the nearest
    // one is kept in its place, so the player is told once.
    const int storedZoom = stored::Zoom.read(settingsStore_);
    const int zoom = std::clamp(storedZoom, stored::Zoom.least, stored::Zoom.most);
    if (zoom != storedZoom) {
        if (report)
            report(QStringLiteral("The stored zoom %1 is not one of 1 to %2; zoom %3 is kept instead.")
                       .arg(storedZoom)
                       .arg(stored::Zoom.most)
                       .arg(zoom));
        stored::Zoom.write(settingsStore_, zoom);
    }
    // A zoom kept from a bigger screen shows here as the largest that fits, and stays kept for
    // that screen: only the player's zooming stores a zoom.
    view_.setZoom(std::min(zoom, view_.largestFittingZoom()));
    updateItems();
    // The window may have gone to another screen since.
    connect(&menu, &QMenu::aboutToShow, this, [this] { updateItems(); });
}

void ViewMenu::zoomBy(int step)
{
    const int before = view_.zoom();
    if (step > 0 && before + step > view_.largestFittingZoom())
        return;  // the device would not fit the screen
    view_.setZoom(before + step);
    if (view_.zoom() != before)
        stored::Zoom.write(settingsStore_, view_.zoom());
    updateItems();
}

void ViewMenu::PM_FullScreenClick()
{
    view_.setFullScreen(!view_.fullScreen());
    updateItems();
}

void ViewMenu::updateItems()
{
    // Full screen has a zoom of its own; the window's waits for its return.
    // Only the zooms at which the open device fits the screen are offered.
    PM_ZoomIn->setEnabled(!view_.fullScreen() && view_.zoom() < view_.largestFittingZoom());
    PM_ZoomOut->setEnabled(!view_.fullScreen() && view_.zoom() > 1);
    PM_FullScreen->setChecked(view_.fullScreen());
}
