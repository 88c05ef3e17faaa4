// ViewMenu: the command menu's block for the window itself, after the device's own items behind
// a separator: "Zoom in", "Zoom out" and "Full screen". The zoom is kept in the settings file as
// "Zoom" (1..4) under the game's key and read when the program starts.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class DeviceView;
class QAction;
class QMenu;
class StoreKey;

class ViewMenu : public QObject {
    Q_OBJECT
public:
    // Adds the block to menu, its keys to view (Ctrl with +, = or -, from the keypad too, and F11;
    // a zoom key does nothing while its item is grey), and zooms view as stored. A stored zoom
    // outside 1..4 is told to report, with the number and the zoom kept instead, the nearest,
    // which is stored. A stored zoom at which the open device does not fit this screen shows as
    // the largest that fits; the stored one stays for a bigger screen. Zoom in is offered only up
    // to that largest zoom.
    // Every reference must outlive this object; the items belong to the menu.
    ViewMenu(QMenu& menu, DeviceView& view, StoreKey& settingsStore, std::function<void(const QString&)> report);

    void PM_FullScreenClick();

    QAction* PM_ZoomIn = nullptr;
    QAction* PM_ZoomOut = nullptr;
    QAction* PM_FullScreen = nullptr;

private:
    void zoomBy(int step);
    void updateItems();

    DeviceView& view_;
    StoreKey& settingsStore_;
};
