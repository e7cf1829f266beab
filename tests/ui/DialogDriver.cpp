#include "ui/DialogDriver.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QListWidget>
#include <QTest>
#include <algorithm>

namespace tess::test {

DialogDriver::DialogDriver() {
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &DialogDriver::Poll);
    m_timer.start();
}

void DialogDriver::Then(const QString& formName, Action action) {
    m_steps.push_back({formName, std::move(action)});
}

void DialogDriver::Poll() {
    auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!modal || !modal->isVisible()) return;
    if (std::find(m_acting.begin(), m_acting.end(), modal) != m_acting.end()) return;
    // The copy's progress window comes and goes on its own; the program's forms and its message
    // boxes (when the test lets them show) are answered.
    if (!modal->objectName().startsWith(QStringLiteral("frm")) &&
        modal->objectName() != QStringLiteral("msgBox"))
        return;
    if (m_steps.empty() || m_steps.front().formName != modal->objectName()) {
        ADD_FAILURE() << "unexpected window " << modal->objectName().toStdString();
        modal->reject();
        return;
    }
    const QString shots =
        qEnvironmentVariable("TESSALINE_UI_SHOTS", QStringLiteral(TESSALINE_SCREENSHOTS "/dialogs"));
    if (!shots.isEmpty() && QDir().mkpath(shots))
        modal->grab().save(QDir(shots).filePath(
            QStringLiteral("%1-%2.png").arg(modal->objectName()).arg(++m_shots)));
    Action action = std::move(m_steps.front().action);
    m_steps.pop_front();
    m_acting.push_back(modal);
    // Acting from a timer of its own: an action that opens another modal window waits in it,
    // while this timer goes on answering.
    QPointer<QDialog> target(modal);
    QTimer::singleShot(0, this, [this, modal, target, action = std::move(action)] {
        if (target) action(*target);
        m_acting.erase(std::find(m_acting.begin(), m_acting.end(), modal));
    });
}

void ClickIn(QWidget& window, const QString& buttonName) {
    auto* button = window.findChild<QAbstractButton*>(buttonName);
    ASSERT_NE(button, nullptr) << buttonName.toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList Items(QWidget& window, const QString& listName) {
    QStringList texts;
    auto* list = window.findChild<QListWidget*>(listName);
    EXPECT_NE(list, nullptr) << listName.toStdString();
    for (int i = 0; list && i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
}

}  // namespace tess::test
