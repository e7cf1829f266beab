#pragma once

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QString>

#include "platform/desktop/DesktopServices.h"

// The About box (frmAbout): title and build, notice, legal warning, and two web links.
namespace tess::ui {

/// A label that opens a web page when clicked (or, with the keyboard focus, on Space or Enter):
/// blue text under a hand pointer; the page is "http://" and the caption.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& caption, desktop::IDesktopServices& desktop,
              QWidget* parent = nullptr);
    /// Opens the link's page.
    void Open() const;
    /// The link's resting colour.
    void ShowBlue();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    desktop::IDesktopServices& m_desktop;
};

struct ProgramServices;

class AboutBox : public QDialog {
    Q_OBJECT
public:
    /// desktop: what opens the box's web links.
    explicit AboutBox(desktop::IDesktopServices& desktop, QWidget* parent = nullptr);
    /// Prepares the box and shows it modally (the Help menu's About).
    static void Display(QWidget* parent, const ProgramServices& services);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    /// A message and its link on one line.
    static QHBoxLayout* LinkLine(QLabel* message, QLabel* link);

    LinkLabel* m_link1 = nullptr;
    LinkLabel* m_link2 = nullptr;
};

/// "Build " and the major, minor and revision numbers of a version text (missing ones are 0).
QString BuildText(const QString& version);
/// text with every occurrence (count -1) or the first count occurrences of the placeholder
/// replaced by value.
QString ReplacePlaceHolder(QString text, const QString& value, const QString& placeholder,
                           int count);

}  // namespace tess::ui
