// The program ends in order when the session asks it to (SIGTERM at log-out, SIGHUP when its
// terminal goes, SIGINT for Ctrl+C): the signal handler only writes a byte to a pipe, and the event
// loop, reading it, runs onSignal, which closes the windows as a click on the close button would.
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

private:
    std::function<void()> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};
