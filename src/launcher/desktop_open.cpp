#include "launcher/desktop_open.h"

#include <QDesktopServices>
#include <QMessageBox>

namespace {

QString cannotOpenMessage(const QUrl& url)
{
    const QString what = url.isLocalFile() ? url.toLocalFile() : url.toString();
    return QStringLiteral("%1 cannot be opened: no program to open it was found.").arg(what);
}

}  // namespace

bool openWithDesktop(const QUrl& url, QWidget* parent)
{
    if (QDesktopServices::openUrl(url))
        return true;
    QMessageBox::warning(parent, QStringLiteral("Open"), cannotOpenMessage(url));
    return false;
}
