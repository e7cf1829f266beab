#pragma once

#include <QWidget>
#include <array>

#include "window/CopyWindow.h"

class QCheckBox;
class QGroupBox;
class QPushButton;

// The Sections tab: a check box per catalogue entry, kept in step with the window's
// SectionBoxes, which the window's rules change.
namespace tess::ui {

class SectionsTab : public QWidget {
    Q_OBJECT
public:
    SectionsTab(window::SectionBoxes& boxes, QWidget* parent = nullptr);

    /// Shows the boxes as the state holds them (after the rules changed it).
    void ShowState();
    QCheckBox* Box(int index) const { return m_boxes[static_cast<size_t>(index)]; }

signals:
    /// A box was ticked or unticked by the user (or by All and None).
    void ChoiceChanged();

private:
    QGroupBox* MakeFrame(const QString& name, int captionId, int first, int last);

    window::SectionBoxes& m_state;
    std::array<QCheckBox*, 52> m_boxes{};
    QGroupBox* m_pageFrame = nullptr;
    QGroupBox* m_documentFrame = nullptr;
    bool m_showing = false;
};

}  // namespace tess::ui
