// ReplayBanner: while a replay plays on the device window, a line over the top of the device's
// body says so and how to leave it, and the window's title says the same to the task bar. The
// device's own pictures stay as they are: the line is a label of its own laid over them, deaf to
// the pointer, so a click or a right-click reaches the device as ever.
#pragma once

#include <QObject>
#include <QString>

class DeviceView;
class QLabel;

class ReplayBanner : public QObject {
    Q_OBJECT
public:
    static constexpr int TopPixels = 10;  // from the device's top edge, in picture pixels

    explicit ReplayBanner(DeviceView& view);
    ~ReplayBanner() override;

    void setShown(bool shown);
    // The line, for a look at it; the view owns it.
    QLabel* label() const { return label_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    DeviceView& view_;
    QLabel* label_ = nullptr;
    QString title_;  // the window's own, given back when the replay ends
};
