#pragma once

#include <QWidget>
#include <functional>

#include "engine/WindowState.h"

class QCheckBox;
class QGroupBox;
class QRadioButton;

// The Options tab: copy type, sub-shapes and the four switches, kept in step with the window's
// OptionControls.
namespace tess::ui {

class OptionsTab : public QWidget {
    Q_OBJECT
public:
    OptionsTab(engine::OptionControls& options, QWidget* parent = nullptr);

    /// Shows the options as the state holds them.
    void ShowState();

private:
    QRadioButton* Option(const QString& name, int captionId, bool engine::OptionControls::*field,
                         std::function<void(engine::OptionControls&)> select);
    QCheckBox* Check(const QString& name, int captionId, engine::CheckBox engine::OptionControls::*field);

    engine::OptionControls& m_state;
    QGroupBox* m_copyType = nullptr;
    QGroupBox* m_subShapes = nullptr;
    std::vector<std::pair<QRadioButton*, bool engine::OptionControls::*>> m_options;
    std::vector<std::pair<QCheckBox*, engine::CheckBox engine::OptionControls::*>> m_checks;
    bool m_showing = false;
};

}  // namespace tess::ui
