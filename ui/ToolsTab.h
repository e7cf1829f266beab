#pragma once

#include <QWidget>
#include <cstdint>

#include "platform/visio/Host.h"
#include "window/CopyWindow.h"

class QLineEdit;
class QPushButton;

// The Tools tab: adding pages to the source's or the destinations' drawings.
namespace tess::ui {

class ToolsTab : public QWidget {
    Q_OBJECT
public:
    explicit ToolsTab(window::CopyWindow& window, QWidget* parent = nullptr);

    QPushButton* AddToSource() const { return m_addToSource; }
    QPushButton* AddToDestination() const { return m_addToDestination; }

    /// Adds the pages to the source's drawing.
    void cmdAddPagesToSource_Click();
    /// Adds the pages to each destination drawing, up to the first destination that is not one.
    void cmdAddPagesToDest_Click();

signals:
    /// A click of either button has ended (pages may have been added: one more undo step);
    /// text says how many were added to which drawings, empty when none was.
    void PagesAdded(const QString& text);

private:
    /// The text box read as a number at this moment.
    double Number() const;
    /// Adds the text box's count of pages to the object when it is a document; what was added
    /// is counted in m_added.
    void AddPages(const visio::ObjectPtr& object);
    /// What the pages added so far in this click come to, in words.
    QString AddedText() const;

    std::vector<std::pair<QString, int>> m_added;  // documents and their pages added, in order

    window::CopyWindow& m_window;
    QLineEdit* m_count = nullptr;
    QPushButton* m_addToSource = nullptr;
    QPushButton* m_addToDestination = nullptr;
};

}  // namespace tess::ui
