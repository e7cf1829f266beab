#pragma once

#include <QWidget>

#include "engine/WindowState.h"

class QLineEdit;
class QPushButton;

// The Tools tab: adding pages to the source's or the destinations' drawings.
namespace tess::ui {

class ToolsTab : public QWidget {
    Q_OBJECT
public:
    ToolsTab(engine::CopyWindow& window, QWidget* parent = nullptr);

    QPushButton* AddToSource() const { return m_addToSource; }
    QPushButton* AddToDestination() const { return m_addToDestination; }

private:
    engine::CopyWindow& m_window;
    QLineEdit* m_count = nullptr;
    QPushButton* m_addToSource = nullptr;
    QPushButton* m_addToDestination = nullptr;
};

}  // namespace tess::ui
