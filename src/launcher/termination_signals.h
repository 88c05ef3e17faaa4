// The program ends in order when the session asks it to (SIGTERM at log-out, SIGHUP when its
// terminal goes, SIGINT for Ctrl+C): the signal handler only writes a byte to a pipe, and the event
// loop, reading it, dismisses every box that is open (each runs an event loop of its own that
// would hold the program up), then runs onSignal, which closes the windows as a click on the close
// button would.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Takes the three signals for as long as it lives. Without a pipe the signals keep their
    // default (the program ends at once) and a line goes to standard error.
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;

    // A signal came: the program is ending. A box that ran the loop it came in before the
    // program's own loop started leaves that loop to be started no more.
    bool received() const { return received_; }

private:
    std::function<void()> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool received_ = false;
};
