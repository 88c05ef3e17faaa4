// The problems the program meets while it runs (a settings file that cannot be written, a timer
// that cannot be armed), told to the player in an error box. A box opens only once the handler
// that met the problem has returned to the event loop: a device handler always runs to its end,
// and the box's own event loop never runs ticks in the middle of one. Each cause (the file and
// the system's reason, or the text itself when there is none) gets one box a run; the same cause
// met again goes to standard error.
#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <vector>

class ProblemReports : public QObject {
    Q_OBJECT
public:
    explicit ProblemReports(QString title, QObject* parent = nullptr);
    // Problems still waiting for their box when the program ends go to standard error.
    ~ProblemReports() override;

    // text: what failed, in the device's words ("Failed to set data for 'Key1'"); detail: where
    // and why ("FILE: No space left on device"), or empty.
    void report(const QString& text, const QString& detail = {});

    // The program is ending: no box opens any more; every problem, those still waiting too, goes
    // to standard error.
    void endBoxes();

    // Shows one box; the default is a modal critical QMessageBox over the active window.
    std::function<void(const QString& text, const QString& detail)> showBox;

private:
    struct Problem {
        QString text;
        QString detail;
    };
    void showPending();

    QString title_;
    QSet<QString> causesShown_;
    std::vector<Problem> pending_;
    bool showing_ = false;
    bool scheduled_ = false;
    bool ending_ = false;
};
