#include "ui/Dialogs.h"

#include <QApplication>
#include <QFileDialog>

namespace tess::ui {

QStringList Dialogs::NextFiles() {
    QStringList files = m_files.front();
    m_files.pop_front();
    return files;
}

QMessageBox::StandardButton Dialogs::Ask(QWidget* parent, const QString& text,
                                         const QString& title, QMessageBox::Icon icon,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) {
    m_asked.push_back({text, title, icon, buttons});
    if (!m_answers.empty()) {
        const auto answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    if (m_scripted) return defaultButton;
    QMessageBox box(icon, title, KeepNamesWhole(text), buttons,
                    parent ? parent : QApplication::activeWindow());
    box.setObjectName(QStringLiteral("msgBox"));
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QStringList Dialogs::OpenFiles(QWidget* parent, const QString& title, const QString& filter) {
    if (!m_files.empty()) return NextFiles();
    if (m_scripted) return {};
    return QFileDialog::getOpenFileNames(parent, title, QString(),
                                         filter.isEmpty() ? VisioFileFilter() : filter);
}

QString Dialogs::SaveFile(QWidget* parent, const QString& title, const QString& suggested,
                          const QString& filter) {
    if (!m_files.empty()) {
        const QStringList files = NextFiles();
        return files.isEmpty() ? QString() : files.front();
    }
    if (m_scripted) return {};
    return QFileDialog::getSaveFileName(parent, title, suggested,
                                        filter.isEmpty() ? VisioFileFilter() : filter);
}

void Dialogs::Reset() {
    m_answers.clear();
    m_files.clear();
    m_asked.clear();
}

app::Answer MessageBoxPrompt::MsgBox(const std::string& text, app::Style style,
                                     const std::string& title) {
    const bool question = style == app::Style::Question;
    const QMessageBox::Icon icon = question                       ? QMessageBox::Question
                                   : style == app::Style::Warning ? QMessageBox::Warning
                                                                  : QMessageBox::Information;
    const auto answer =
        m_dialogs.Ask(nullptr, QString::fromStdString(text), QString::fromStdString(title), icon,
                      question ? QMessageBox::Yes | QMessageBox::No
                               : QMessageBox::StandardButtons(QMessageBox::Ok),
                      question ? QMessageBox::Yes : QMessageBox::Ok);
    if (!question) return app::Answer::Ok;
    return answer == QMessageBox::Yes ? app::Answer::Yes : app::Answer::No;
}

QString KeepNamesWhole(const QString& text) {
    QString shown = text;
    bool quoted = false;
    for (QChar& c : shown) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (quoted && c == QLatin1Char('-'))
            c = QChar(0x2011);  // non-breaking hyphen
        else if (quoted && c == QLatin1Char(' '))
            c = QChar(0x00A0);  // no-break space
    }
    return shown;
}

QString VisioFileFilter() {
    return QStringLiteral(
        "Visio files (*.vsdx *.vsdm *.vssx *.vssm *.vstx *.vstm);;All files (*)");
}

}  // namespace tess::ui
