#pragma once

#include <QWidget>
#include <cstdint>

#include "engine/WindowState.h"
#include "platform/visio/Host.h"

class QLineEdit;
class QPushButton;

// The Tools tab: adding pages to the source's or the destinations' drawings.
namespace tess::ui {

class ToolsTab : public QWidget {
    Q_OBJECT
public:
    ToolsTab(engine::CopyWindow& window, visio::ApplicationPtr application,
             QWidget* parent = nullptr);

    QPushButton* AddToSource() const { return m_addToSource; }
    QPushButton* AddToDestination() const { return m_addToDestination; }

    /// Adds the pages to the source's drawing.
    void cmdAddPagesToSource_Click();
    /// Adds the pages to each destination drawing, up to the first destination that is not one.
    void cmdAddPagesToDest_Click();

signals:
    /// A click of either button has ended (pages may have been added: one more undo step).
    void PagesAdded();

private:
    /// The text box read as a number at this moment.
    double Number() const;
    /// Adds the text box's count of pages to the object when it is a document.
    void AddPages(const visio::ObjectPtr& object) const;
    visio::ObjectPtr Resolve(const engine::ListItem& item) const;

    engine::CopyWindow& m_window;
    visio::ApplicationPtr m_application;
    QLineEdit* m_count = nullptr;
    QPushButton* m_addToSource = nullptr;
    QPushButton* m_addToDestination = nullptr;
};

/// The leading number of a text (a sign, digits, a decimal point, an exponent, after any
/// spaces); 0 when the text does not start with one.
double LeadingNumber(const QString& text);
/// The nearest 16-bit integer, halves going to the even neighbour; a value out of range fails
/// with an overflow.
int16_t ToInt16(double value);

}  // namespace tess::ui
