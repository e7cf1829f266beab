#include "platform/desktop/DesktopServices.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace tess::desktop {

bool QtDesktopServices::OpenURL(const QString& target) {
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl(target);
    return QDesktopServices::openUrl(url);
}

QString HelpContentsPath() {
    const QString program = QCoreApplication::applicationDirPath();
    const QString candidates[] = {
        program + QStringLiteral("/help/index.html"),
        program + QStringLiteral("/../share/tessaline/help/index.html"),
        program + QStringLiteral("/../../resources/help/index.html"),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate)) return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

bool ShowHelpContents(IDesktopServices& services) {
    const QString path = HelpContentsPath();
    return !path.isEmpty() && services.OpenURL(path);
}

}  // namespace tess::desktop
