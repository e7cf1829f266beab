#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>

#include "support/ScriptedPrompt.h"
#include "ui/AboutBox.h"
#include "ui/CopyErrorDialogs.h"
#include "ui/UiFixture.h"

// What a screen reader or a script needs of every control: a control name, an accessible name,
// and a way to it from the keyboard.
namespace tess::test {
namespace {

/// The controls the program made, not the parts Qt builds inside its own composite widgets.
std::vector<QWidget*> ProgramControls(QWidget& window) {
    std::vector<QWidget*> controls;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        bool inner = false;
        for (QWidget* up = widget->parentWidget(); up && up != &window; up = up->parentWidget())
            inner = inner || qobject_cast<QComboBox*>(up) || qobject_cast<QTabBar*>(up) ||
                    qobject_cast<QLineEdit*>(up) || qobject_cast<QAbstractItemView*>(up) ||
                    qobject_cast<QPlainTextEdit*>(up) || qobject_cast<QTextEdit*>(up);
        const bool control = qobject_cast<QAbstractButton*>(widget) ||
                             qobject_cast<QComboBox*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                             qobject_cast<QAbstractItemView*>(widget) ||
                             qobject_cast<QPlainTextEdit*>(widget) ||
                             qobject_cast<QTextEdit*>(widget) || qobject_cast<QGroupBox*>(widget);
        if (control && !inner && !widget->objectName().startsWith(QStringLiteral("qt_")))
            controls.push_back(widget);
    }
    return controls;
}

using Accessibility = UiFixture;

void ExpectNamedAndReachable(QWidget& window) {
    for (QWidget* control : ProgramControls(window)) {
        const std::string what = std::string(control->metaObject()->className()) + " " +
                                 control->objectName().toStdString();
        EXPECT_FALSE(control->objectName().isEmpty()) << what;
        EXPECT_FALSE(control->accessibleName().isEmpty()) << what;
        EXPECT_FALSE(control->accessibleName().contains(QLatin1Char('&')) &&
                     !control->accessibleName().contains(QStringLiteral(" & ")))
            << what << ": the mnemonic marker is not part of the name";
        if (!qobject_cast<QGroupBox*>(control)) {
            EXPECT_TRUE(control->focusPolicy() & Qt::TabFocus) << what << " cannot be reached by Tab";
        }
    }
}

TEST_F(Accessibility, EveryControlHasANameAnAccessibleNameAndKeyboardFocus) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    EXPECT_GT(ProgramControls(Window()).size(), 60u);
    ExpectNamedAndReachable(Window());
}

TEST(DialogAccessibility, TheDialogsControlsAreNamedAndReachable) {
    RecordingDesktop desktop;
    ui::AboutBox about(desktop);
    ExpectNamedAndReachable(about);
    const ui::CopyErrorDetails details;
    ScriptedPrompt prompt;
    ui::CopyErrorDialog error(QStringLiteral("message"), {}, details, prompt);
    ExpectNamedAndReachable(error);
    EXPECT_EQ(ProgramControls(error).size(), 4u);  // the message, Details, Continue, Cancel Run
    ui::CopyErrorDetailsDialog list(details, prompt);
    ExpectNamedAndReachable(list);
}

TEST_F(Accessibility, EveryTabAndButtonOfTheWindowHasItsMnemonic) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    auto* tabs = Control<QTabWidget>(QStringLiteral("tabStripMain"));
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
    EXPECT_EQ(captions, (QStringList{QStringLiteral("&Shapes"), QStringLiteral("Se&ctions"),
                                     QStringLiteral("&Rows"), QStringLiteral("Row Or&der"),
                                     QStringLiteral("O&ptions"), QStringLiteral("&Tools")}));
    EXPECT_EQ(Control<QAbstractButton>(QStringLiteral("cmdCopy"))->text(), QStringLiteral("Cop&y"));
    // Labels lead to the control they name.
    for (QLabel* label : Window().findChildren<QLabel*>()) {
        if (label->objectName().startsWith(QStringLiteral("lbl"))) {
            EXPECT_NE(label->buddy(), nullptr) << label->objectName().toStdString();
        }
    }
}

}  // namespace
}  // namespace tess::test
