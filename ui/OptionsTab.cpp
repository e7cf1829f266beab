#include "ui/OptionsTab.h"

#include <functional>

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/Controls.h"
#include "ui/Resources.h"

namespace tess::ui {

using engine::OptionControls;

OptionsTab::OptionsTab(OptionControls& options, QWidget* parent) : QWidget(parent), m_state(options) {
    auto* layout = new QVBoxLayout(this);

    m_copyType = Named(new QGroupBox(Res(1101)), QStringLiteral("fraCopyType"), Res(1101));
    auto* copyType = new QVBoxLayout(m_copyType);
    copyType->addWidget(Option(QStringLiteral("optOverwrite"), 1102, &OptionControls::optOverwrite,
                               &OptionControls::SelectOverwrite));
    copyType->addWidget(Option(QStringLiteral("optAppend"), 1103, &OptionControls::optAppend,
                               &OptionControls::SelectAppend));
    layout->addWidget(m_copyType);

    m_subShapes = Named(new QGroupBox(Res(1104)), QStringLiteral("fraSubShapes"), Res(1104));
    auto* subShapes = new QVBoxLayout(m_subShapes);
    subShapes->addWidget(Option(QStringLiteral("optIgnoreSubShapes"), 1105,
                                &OptionControls::optIgnoreSubShapes,
                                &OptionControls::SelectIgnoreSubShapes));
    subShapes->addWidget(Option(QStringLiteral("optReplaceSubShapes"), 1106,
                                &OptionControls::optReplaceSubShapes,
                                &OptionControls::SelectReplaceSubShapes));
    subShapes->addWidget(Option(QStringLiteral("optCopySubShapes"), 1107,
                                &OptionControls::optCopySubShapes,
                                &OptionControls::SelectCopySubShapes));
    layout->addWidget(m_subShapes);

    auto* miscellaneous =
        Named(new QGroupBox(Res(1108)), QStringLiteral("fraMiscellaneous"), Res(1108));
    auto* checks = new QVBoxLayout(miscellaneous);
    checks->addWidget(Check(QStringLiteral("chkCopyShapeText"), 1109, &OptionControls::chkCopyShapeText));
    checks->addWidget(Check(QStringLiteral("chkCopyHelpString"), 1110, &OptionControls::chkCopyHelpString));
    checks->addWidget(Check(QStringLiteral("chkCreateDestination"), 1111,
                            &OptionControls::chkCreateDestination));
    checks->addWidget(Check(QStringLiteral("chkLeaveTessalineRunning"), 1113,
                            &OptionControls::chkLeaveTessalineRunning));
    layout->addWidget(miscellaneous);
    layout->addStretch();
    ShowState();
}

QRadioButton* OptionsTab::Option(const QString& name, int captionId,
                                 bool OptionControls::*field, void (OptionControls::*select)()) {
    auto* option = Named(new QRadioButton(Res(captionId)), name, Res(captionId));
    m_options.emplace_back(option, field);
    // Held as a function object: GCC's sanitizer build warns about a member pointer captured
    // by value here.
    const std::function<void(OptionControls&)> choose = select;
    connect(option, &QRadioButton::toggled, this, [this, choose](bool on) {
        if (m_showing || !on) return;
        choose(m_state);
    });
    return option;
}

QCheckBox* OptionsTab::Check(const QString& name, int captionId,
                             engine::CheckBox OptionControls::*field) {
    auto* check = Named(new QCheckBox(Res(captionId)), name, Res(captionId));
    m_checks.emplace_back(check, field);
    connect(check, &QCheckBox::toggled, this, [this, field](bool on) {
        if (!m_showing) (m_state.*field).value = on ? 1 : 0;
    });
    return check;
}

void OptionsTab::ShowState() {
    m_showing = true;
    for (auto& [option, field] : m_options) option->setChecked(m_state.*field);
    for (auto& [check, field] : m_checks) {
        check->setChecked((m_state.*field).value == 1);
        check->setEnabled((m_state.*field).enabled);
    }
    m_copyType->setEnabled(m_state.copyTypeFrameEnabled);
    m_subShapes->setEnabled(m_state.subShapesFrameEnabled);
    m_showing = false;
}

}  // namespace tess::ui
