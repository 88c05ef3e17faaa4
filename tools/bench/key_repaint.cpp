// Key press to repaint: a key event dispatched to the device window during Game A, to the end of
// the paint that shows the worker on his new floor. Then full repaints of the open device. Beside
// both, in the same run, a bare QWidget that repaints a rectangle of a worker's size on a key
// and paints one picture of the device's size.
//
//   bench_key_repaint [--presses N]      (500 unless told)
#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <optional>
#include <vector>

#include "tools/bench/device_harness.h"
#include "tools/bench/player.h"

namespace {

SteadyTime now()
{
    return std::chrono::steady_clock::now();
}

// The moment a key event is handed to the window, before any of its handlers runs.
class KeyDispatch : public QObject {
public:
    std::optional<SteadyTime> dispatched;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            dispatched = now();
        return false;
    }
};

// The bare window: a key repaints one worker-sized rectangle; a paint draws one picture.
class BareWidget : public QWidget {
public:
    BareWidget() : picture_(TForm1::OpenWidth, TForm1::ClientHeight, QImage::Format_RGB32)
    {
        picture_.fill(Qt::darkGreen);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(picture_.size());
    }
    std::optional<SteadyTime> pressed;
    std::vector<double> keyToPaint;

protected:
    void keyPressEvent(QKeyEvent*) override
    {
        pressed = now();
        update(QRect(100 + 40 * (int(keyToPaint.size()) % 3), 150, 40, 60));
    }
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.drawImage(event->rect().topLeft(), picture_, event->rect());
        painter.end();
        const SteadyTime end = now();
        if (pressed) {
            keyToPaint.push_back(msBetween(*pressed, end));
            pressed.reset();
        }
    }

private:
    QImage picture_;
};

// Full repaints of a widget, each timed around its repaint() call.
Summary timedRepaints(QWidget& widget)
{
    std::vector<double> times;
    for (int i = 0; i < 200; ++i) {
        const SteadyTime start = now();
        widget.repaint();
        times.push_back(msBetween(start, now()));
    }
    return summarize(times);
}

// Where a worker shows after a move: his ready pose on the floor he stands on.
QRect readyPoseRect(const TForm1& form, bool folko)
{
    const int level = folko ? form.FolkoLevel : form.ZernoLevel;
    const auto& images = folko ? form.FolkoImages : form.ZernoImages;
    const int pose = level == 3 && folko ? form.Im_Folko3 : images[size_t(level - 1) * 3 + 1];
    const Rect& r = form.components()[size_t(pose)].rect;
    return QRect(r.left, r.top, r.width, r.height);
}

}  // namespace

int main(int argc, char** argv)
{
    const int presses = int(optionValue(argc, argv, 1, "--presses", 500));
    offscreenUnlessTold();
    QApplication app(argc, argv);

    DeviceHarness device;
    if (!device.opened())
        return 2;
    TForm1& form = device.form();
    KeyDispatch dispatch;
    device.view().installEventFilter(&dispatch);

    // A move is measured when the paint covering the worker's new pose ends.
    std::vector<double> keyToPaint;
    std::optional<SteadyTime> moveDispatched;
    QRect moveRect;
    device.view().painted = [&](const QRegion& region, SteadyTime, SteadyTime end) {
        if (moveDispatched && region.contains(moveRect)) {
            keyToPaint.push_back(msBetween(*moveDispatched, end));
            moveDispatched.reset();
        }
    };

    // Every 30 ms one worker, in turn, is moved: towards the parcel he should take if there is
    // one, otherwise one floor up or down. The belt runs and the other worker is left to the player.
    QEventLoop loop;
    QTimer presser;
    bool folkoTurn = true;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        if (int(keyToPaint.size()) >= presses) {
            loop.quit();
            return;
        }
        folkoTurn = !folkoTurn;
        const bool free = folkoTurn ? form.FolkoFree : form.ZernoFree;
        if (!form.GameRunning || !free || moveDispatched)
            return;
        const int level = folkoTurn ? form.FolkoLevel : form.ZernoLevel;
        uint16_t key = folkoTurn ? folkoMove(form) : zernoMove(form);
        if (key == 0)
            key = folkoTurn ? form.KeyCodes[level < 3 ? 1 : 2] : form.KeyCodes[level < 3 ? 3 : 4];
        dispatch.dispatched.reset();
        device.pressKey(key);
        if ((folkoTurn ? form.FolkoLevel : form.ZernoLevel) == level || !dispatch.dispatched)
            return;
        moveDispatched = dispatch.dispatched;
        moveRect = readyPoseRect(form, folkoTurn);
    });
    device.setAutoplay(true);
    device.openAndClick("Puls_GameA");
    presser.start(30);
    loop.exec();
    presser.stop();
    device.setAutoplay(false);

    // Full repaints of the open device in a game, every segment as the game left it.
    std::vector<double> fullPaint;
    device.view().painted = [&](const QRegion& region, SteadyTime start, SteadyTime end) {
        if (region.contains(device.view().rect()))
            fullPaint.push_back(msBetween(start, end));
    };
    const Summary full = timedRepaints(device.view());

    // The bare window, the same way.
    BareWidget bare;
    bare.show();
    QApplication::processEvents();
    while (int(bare.keyToPaint.size()) < presses) {
        QApplication::postEvent(&bare, new QKeyEvent(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q"));
        QApplication::processEvents();
        runEventsFor(30);
    }
    const Summary bareRepaint = timedRepaints(bare);

    const Summary keys = summarize(keyToPaint);
    const Summary bareKeys = summarize(bare.keyToPaint);
    std::printf("key press to repaint, %d moves of a worker in Game A\n", presses);
    printSummary("device: key dispatched to end of paint", keys);
    printSummary("bare window: key to end of paint", bareKeys);
    printSummary("device: full repaint (repaint() call)", full);
    printSummary("device: full repaint (paintEvent alone)", summarize(fullPaint));
    printSummary("bare window: full repaint (repaint() call)", bareRepaint);
    printRow("Key press to repaint p99", ms(keys.p99), "<= 4 ms", "bare window " + ms(bareKeys.p99), keys.p99 <= 4.0);
    printRow("Full repaint of the open device p99", ms(full.p99), "<= 2 ms", "bare window " + ms(bareRepaint.p99),
             full.p99 <= 2.0);
    return 0;
}
