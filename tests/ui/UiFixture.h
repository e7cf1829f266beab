#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTreeWidget>
#include <memory>
#include <string>

#include "platform/registry/FileRegistry.h"
#include "support/TempFolder.h"
#include "ui/DesktopProgram.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"

namespace tess::test {

/// A desktop program started on copies of sample drawings in a folder of its own, with its
/// settings store in that folder and every message box answered from a script.
class UiFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Copies a sample into the test's folder and returns the copy's path.
    std::string CopySample(const std::string& fileName);
    /// Starts the program on the files (through start-up, as the executable does); false when
    /// start-up ended without a main window.
    bool Start(const QStringList& files);
    ui::MainWindow& Window() { return *m_program->Window(); }
    ui::DesktopProgram& Program() { return *m_program; }

    /// A control of the main window by its control name; fails the test when there is none.
    template <class T>
    T* Control(const QString& name) {
        T* control = Window().findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name.toStdString();
        return control;
    }
    void Click(const QString& buttonName);
    /// The tree node of a key path below the top level, expanding each node on the way: node
    /// texts, from a top-level node down.
    QTreeWidgetItem* Node(const QStringList& texts);
    /// Selects a tree node and presses Source or Destination.
    void MakeSource(QTreeWidgetItem* node);
    void AddDestination(QTreeWidgetItem* node);
    /// The texts of the message boxes shown so far.
    std::vector<std::string> Messages() const;

    TempFolder m_folder;
    /// The settings store of the test: a file in its folder.
    registry::FileRegistry m_settings{m_folder.Path("settings.conf")};

private:
    std::unique_ptr<ui::DesktopProgram> m_program;
    QByteArray m_oldConfig;
};

}  // namespace tess::test
