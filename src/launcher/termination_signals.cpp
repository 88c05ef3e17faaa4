#include "launcher/termination_signals.h"

#include <QApplication>
#include <QDialog>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "common/desktop.h"

namespace {

int wakePipe[2] = {-1, -1};
constexpr int handledSignals[] = {SIGTERM, SIGHUP, SIGINT};

void onTerminationSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up: nothing is lost.
    [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &byte, 1);
    errno = saved;
}

// Every modal box open is dismissed as its Esc key would: its exec() returns to its caller.
void closeBoxes()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || !window->isModal())
            continue;
        if (auto* box = qobject_cast<QDialog*>(window))
            box->reject();
        else
            window->close();
    }
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal))
{
    if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        printProblem(std::string("pipe2: ") + std::strerror(errno) + "; a signal ends the program at once");
        wakePipe[0] = wakePipe[1] = -1;
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(wakePipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(wakePipe[0], bytes, sizeof bytes) > 0) {
        }
        received_ = true;
        closeBoxes();
        if (onSignal_)
            onSignal_();
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : handledSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (wakePipe[0] < 0)
        return;
    for (int signal : handledSignals)
        std::signal(signal, SIG_DFL);
    notifier_.reset();
    ::close(wakePipe[0]);
    ::close(wakePipe[1]);
    wakePipe[0] = wakePipe[1] = -1;
}
