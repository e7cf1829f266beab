#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "window/CopyWindow.h"

class QCheckBox;
class QGroupBox;
class QRadioButton;

// The Options tab: copy type, sub-shapes and the four switches, kept in step with the window's
// stored options.
namespace tess::ui {

class OptionsTab : public QWidget {
    Q_OBJECT
public:
    explicit OptionsTab(window::StoredOptions& options, QWidget* parent = nullptr);

    /// Shows the options as the state holds them; copyTypeEnabled: whether the copy type can be
    /// chosen (there are destinations to append to).
    void ShowState(bool copyTypeEnabled);

private:
    /// An option button: selected while its choice is the state's, and choosing it makes it so.
    struct Option {
        QRadioButton* button;
        std::function<bool(const window::StoredOptions&)> isChosen;
        std::function<void(window::StoredOptions&)> choose;
    };
    template <class Field, class Value>
    QRadioButton* AddOption(const QString& name, int captionId, Field field, Value value);
    QCheckBox* Check(const QString& name, int captionId, bool* field);

    window::StoredOptions& m_state;
    QGroupBox* m_copyType = nullptr;
    QGroupBox* m_subShapes = nullptr;
    std::vector<Option> m_options;
    std::vector<std::pair<QCheckBox*, bool*>> m_checks;
    bool m_showing = false;
};

}  // namespace tess::ui
