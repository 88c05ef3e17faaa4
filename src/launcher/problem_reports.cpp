#include "launcher/problem_reports.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "common/desktop.h"

ProblemReports::ProblemReports(QString title, QObject* parent) : QObject(parent), title_(std::move(title))
{
    showBox = [this](const QString& text, const QString& detail) {
        QMessageBox box(QMessageBox::Critical, title_, text, QMessageBox::Ok, QApplication::activeWindow());
        box.setInformativeText(detail);
        box.exec();
    };
}

namespace {

void printProblem(const QString& text, const QString& detail)
{
    ::printProblem(text.toStdString(), detail.toStdString());
}

}  // namespace

ProblemReports::~ProblemReports()
{
    endBoxes();
}

void ProblemReports::report(const QString& text, const QString& detail)
{
    const QString cause = detail.isEmpty() ? text : detail;
    if (ending_ || causesShown_.contains(cause)) {
        printProblem(text, detail);
        return;
    }
    causesShown_.insert(cause);
    pending_.push_back({text, detail});
    if (!scheduled_ && !showing_) {
        scheduled_ = true;
        QTimer::singleShot(0, this, [this] { showPending(); });
    }
}

void ProblemReports::endBoxes()
{
    ending_ = true;
    for (const Problem& problem : pending_)
        printProblem(problem.text, problem.detail);
    pending_.clear();
}

void ProblemReports::showPending()
{
    scheduled_ = false;
    // A problem met while a box is up joins the queue this loop is emptying.
    showing_ = true;
    while (!pending_.empty()) {
        const Problem problem = pending_.front();
        pending_.erase(pending_.begin());
        showBox(problem.text, problem.detail);
    }
    showing_ = false;
}
