// FirstTip: the first time the device is opened, a tool tip under it tells the player the keys
// that move the workers (the letters as stored), how a game starts, and that a right-click brings
// the command menu.
// It goes after a few seconds, at the first key or click on the device, and never comes back:
// the settings file keeps "TipShown" under the game's key once it has been painted.
#pragma once

#include <QLabel>
#include <QObject>
#include <memory>

class DeviceView;
class StoreKey;
class TForm1;

class FirstTip : public QObject {
    Q_OBJECT
public:
    static constexpr int ShowMs = 8000;

    // Every reference must outlive the tip.
    FirstTip(DeviceView& view, TForm1& form, StoreKey& settingsStore);
    ~FirstTip() override;

    // The device has opened: shows the tip unless it was ever shown.
    void deviceOpened();

    // What the tip says, with the letters the device holds now.
    QString text() const;

    // The tip's window, for a look at it; null until shown.
    QLabel* label() const { return label_.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeLabel();
    void hideTip();

    DeviceView& view_;
    TForm1& form_;
    StoreKey& settingsStore_;
    std::unique_ptr<QLabel> label_;
    bool seen_ = false;  // the tip has been painted
};
