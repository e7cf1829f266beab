#include "ui/Resources.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <cmath>

#include "app/StringTable.h"

namespace tess::ui {

QString Res(int id) { return QString::fromStdString(app::LoadResString(id)); }

int Twips(double twips) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

QIcon OwnIcon(const char* name) {
    // Without an SVG renderer the icon draws nothing; callers fall back to the style's.
    QIcon own(QStringLiteral(":/tessaline/icons/%1.svg").arg(QLatin1String(name)));
    return own.pixmap(16).isNull() ? QIcon() : own;
}

QIcon AppIcon() {
    const QIcon own = OwnIcon("tessaline");
    return own.isNull() ? QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView)
                        : own;
}

QIcon NodeIcon(int16_t image) {
    static const char* const names[] = {"application", "drawing", "stencil", "page",
                                        "master",      "group",   "shape"};
    if (image < 1 || image > 7) return {};
    const QIcon own = OwnIcon(names[image - 1]);
    if (!own.isNull()) return own;
    static const QStyle::StandardPixmap fallback[] = {
        QStyle::SP_ComputerIcon, QStyle::SP_FileIcon,         QStyle::SP_DirClosedIcon,
        QStyle::SP_FileDialogContentsView, QStyle::SP_FileLinkIcon, QStyle::SP_DirIcon,
        QStyle::SP_FileIcon};
    return QApplication::style()->standardIcon(fallback[image - 1]);
}

}  // namespace tess::ui
