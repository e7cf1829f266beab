#include "ui/OptionsTab.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/Controls.h"
#include "ui/Resources.h"

namespace tess::ui {

using engine::CopyOptions;
using engine::CopyType;
using engine::SubShapes;

OptionsTab::OptionsTab(window::StoredOptions& options, QWidget* parent)
    : QWidget(parent), m_state(options) {
    auto* layout = new QVBoxLayout(this);

    m_copyType = Named(new QGroupBox(Res(1101)), QStringLiteral("fraCopyType"), Res(1101));
    auto* copyType = new QVBoxLayout(m_copyType);
    copyType->addWidget(AddOption(QStringLiteral("optOverwrite"), 1102, &CopyOptions::copyType,
                                  CopyType::Overwrite));
    copyType->addWidget(
        AddOption(QStringLiteral("optAppend"), 1103, &CopyOptions::copyType, CopyType::Append));
    layout->addWidget(m_copyType);

    m_subShapes = Named(new QGroupBox(Res(1104)), QStringLiteral("fraSubShapes"), Res(1104));
    auto* subShapes = new QVBoxLayout(m_subShapes);
    subShapes->addWidget(AddOption(QStringLiteral("optIgnoreSubShapes"), 1105,
                                   &CopyOptions::subShapes, SubShapes::Ignore));
    subShapes->addWidget(AddOption(QStringLiteral("optReplaceSubShapes"), 1106,
                                   &CopyOptions::subShapes, SubShapes::ReplaceAll));
    subShapes->addWidget(AddOption(QStringLiteral("optCopySubShapes"), 1107,
                                   &CopyOptions::subShapes, SubShapes::CopyCells));
    layout->addWidget(m_subShapes);

    auto* miscellaneous =
        Named(new QGroupBox(Res(1108)), QStringLiteral("fraMiscellaneous"), Res(1108));
    auto* checks = new QVBoxLayout(miscellaneous);
    CopyOptions& copy = m_state.copy;
    checks->addWidget(Check(QStringLiteral("chkCopyShapeText"), 1109, &copy.copyShapeText));
    checks->addWidget(Check(QStringLiteral("chkCopyHelpString"), 1110, &copy.copyHelpString));
    checks->addWidget(Check(QStringLiteral("chkCreateDestination"), 1111, &copy.createDestination));
    checks->addWidget(
        Check(QStringLiteral("chkLeaveTessalineRunning"), 1113, &m_state.leaveRunning));
    layout->addWidget(miscellaneous);
    layout->addStretch();
    ShowState(false);
}

template <class Field, class Value>
QRadioButton* OptionsTab::AddOption(const QString& name, int captionId, Field field, Value value) {
    auto* button = Named(new QRadioButton(Res(captionId)), name, Res(captionId));
    m_options.push_back(
        {button,
         [field, value](const window::StoredOptions& state) { return state.copy.*field == value; },
         [field, value](window::StoredOptions& state) { state.copy.*field = value; }});
    connect(button, &QRadioButton::toggled, this,
            [this, choose = m_options.back().choose](bool on) {
                if (!m_showing && on) choose(m_state);
            });
    return button;
}

QCheckBox* OptionsTab::Check(const QString& name, int captionId, bool* field) {
    auto* check = Named(new QCheckBox(Res(captionId)), name, Res(captionId));
    m_checks.emplace_back(check, field);
    connect(check, &QCheckBox::toggled, this, [this, field](bool on) {
        if (!m_showing) *field = on;
    });
    return check;
}

void OptionsTab::ShowState(bool copyTypeEnabled) {
    m_showing = true;
    for (const Option& option : m_options)
        option.button->setChecked(option.isChosen(m_state));
    for (auto& [check, field] : m_checks)
        check->setChecked(*field);
    m_copyType->setEnabled(copyTypeEnabled);
    m_showing = false;
}

}  // namespace tess::ui
