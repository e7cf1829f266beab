#pragma once

#include <QString>

namespace tess::desktop {

/// The desktop's default handlers: web pages and the help open in the user's browser. The
/// program's windows are handed them through this interface, so that tests can stand in.
class IDesktopServices {
public:
    virtual ~IDesktopServices() = default;
    /// Opens a web address or a file with the desktop's default handler; true when handed over.
    virtual bool OpenURL(const QString& target) = 0;
};

/// Qt's desktop services.
class QtDesktopServices : public IDesktopServices {
public:
    bool OpenURL(const QString& target) override;
};

/// The help's front page: the first of the program's help folders that holds it, beside the
/// program (a build) or in the installed data folder. Empty when none does.
QString HelpContentsPath();
/// Opens the help at its front page; false when the help is not there or cannot be opened.
bool ShowHelpContents(IDesktopServices& services);

}  // namespace tess::desktop
