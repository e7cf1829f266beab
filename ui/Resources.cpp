#include "ui/Resources.h"

#include <QApplication>
#include <array>
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
    // Made once: a tree of thousands of nodes shares seven icons.
    static const std::array<QIcon, 7> icons = [] {
        static const char* const names[] = {"application", "drawing", "stencil", "page",
                                            "master",      "group",   "shape"};
        static const QStyle::StandardPixmap fallback[] = {
            QStyle::SP_ComputerIcon,           QStyle::SP_FileIcon,     QStyle::SP_DirClosedIcon,
            QStyle::SP_FileDialogContentsView, QStyle::SP_FileLinkIcon, QStyle::SP_DirIcon,
            QStyle::SP_FileIcon};
        std::array<QIcon, 7> made;
        for (size_t i = 0; i < made.size(); ++i) {
            const QIcon own = OwnIcon(names[i]);
            made[i] = own.isNull() ? QApplication::style()->standardIcon(fallback[i]) : own;
        }
        return made;
    }();
    return image >= 1 && image <= 7 ? icons[static_cast<size_t>(image - 1)] : QIcon();
}

QIcon HeadingIcon() {
    static const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    return icon;
}

}  // namespace tess::ui
