#include "platform/desktop/DesktopServices.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace tess::desktop {
namespace {
IDesktopServices* g_services = nullptr;
}

bool QtDesktopServices::OpenURL(const QString& target) {
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl(target);
    return QDesktopServices::openUrl(url);
}

void SetDesktopServices(IDesktopServices* services) { g_services = services; }

IDesktopServices& DesktopServices() {
    static QtDesktopServices qtServices;
    return g_services ? *g_services : qtServices;
}

bool OpenURL(const QString& target) { return DesktopServices().OpenURL(target); }

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

bool ShowHelpContents() {
    const QString path = HelpContentsPath();
    return !path.isEmpty() && OpenURL(path);
}

}  // namespace tess::desktop
