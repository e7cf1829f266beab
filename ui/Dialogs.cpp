#include "ui/Dialogs.h"

#include <QApplication>
#include <QFileDialog>

namespace tess::ui {
namespace {

struct Script {
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<QStringList> files;
    std::vector<AskedQuestion> asked;
    bool scripted = false;
};

Script& TheScript() {
    static Script script;
    return script;
}

QStringList NextFiles() {
    QStringList files = TheScript().files.front();
    TheScript().files.pop_front();
    return files;
}

}  // namespace

QMessageBox::StandardButton Dialogs::Ask(QWidget* parent, const QString& text,
                                         const QString& title, QMessageBox::Icon icon,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) {
    Script& script = TheScript();
    script.asked.push_back({text, title, icon, buttons});
    if (!script.answers.empty()) {
        const auto answer = script.answers.front();
        script.answers.pop_front();
        return answer;
    }
    if (script.scripted) return defaultButton;
    QMessageBox box(icon, title, text, buttons, parent ? parent : QApplication::activeWindow());
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QStringList Dialogs::OpenFiles(QWidget* parent, const QString& title) {
    if (!TheScript().files.empty()) return NextFiles();
    if (TheScript().scripted) return {};
    return QFileDialog::getOpenFileNames(parent, title, QString(), VisioFileFilter());
}

QString Dialogs::SaveFile(QWidget* parent, const QString& title, const QString& suggested) {
    if (!TheScript().files.empty()) {
        const QStringList files = NextFiles();
        return files.isEmpty() ? QString() : files.front();
    }
    if (TheScript().scripted) return {};
    return QFileDialog::getSaveFileName(parent, title, suggested, VisioFileFilter());
}

void Dialogs::QueueAnswer(QMessageBox::StandardButton answer) {
    TheScript().answers.push_back(answer);
}

void Dialogs::QueueFiles(const QStringList& files) { TheScript().files.push_back(files); }

const std::vector<AskedQuestion>& Dialogs::Asked() { return TheScript().asked; }

void Dialogs::Reset() {
    const bool scripted = TheScript().scripted;
    TheScript() = Script{};
    TheScript().scripted = scripted;
}

void Dialogs::SetScripted(bool scripted) { TheScript().scripted = scripted; }

bool Dialogs::AnswersLeft() { return !TheScript().answers.empty() || !TheScript().files.empty(); }

int16_t MessageBoxPrompt::MsgBox(const std::string& text, int16_t style,
                                 const std::string& title) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style & 0x70) {
        case app::vbQuestion: icon = QMessageBox::Question; break;
        case app::vbExclamation: icon = QMessageBox::Warning; break;
        case app::vbInformation: icon = QMessageBox::Information; break;
        case 16: icon = QMessageBox::Critical; break;
        default: break;
    }
    const bool yesNo = (style & 0x0F) == app::vbYesNo;
    const auto answer = Dialogs::Ask(
        nullptr, QString::fromStdString(text), QString::fromStdString(title), icon,
        yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::StandardButtons(QMessageBox::Ok),
        yesNo ? QMessageBox::Yes : QMessageBox::Ok);
    if (!yesNo) return app::vbOK;
    return answer == QMessageBox::Yes ? app::vbYes : app::vbNo;
}

QString VisioFileFilter() {
    return QStringLiteral(
        "Visio files (*.vsdx *.vsdm *.vssx *.vssm *.vstx *.vstm);;All files (*)");
}

}  // namespace tess::ui
