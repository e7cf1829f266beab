#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QTreeWidget>
#include <memory>
#include <string>

#include "app/Startup.h"
#include "platform/desktop/DesktopServices.h"
#include "platform/registry/FileRegistry.h"
#include "support/TempFolder.h"
#include "ui/DesktopProgram.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"

namespace tess::test {

/// Records what the program hands the desktop instead of opening it.
class RecordingDesktop : public desktop::IDesktopServices {
public:
    bool OpenURL(const QString& target) override {
        opened << target;
        return true;
    }
    QStringList opened;
};

/// A desktop program started on copies of sample drawings in a folder of its own, with its
/// settings store in that folder, every message box answered from a script and the desktop's
/// handlers recorded.
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
    app::Startup& TheStartup() { return *m_startup; }
    ui::Dialogs& TheDialogs() { return m_dialogs; }
    /// What a desktop program of the test is made with.
    ui::ProgramServices Services() {
        return {m_dialogs, m_prompt, registry::Registry(m_settings), m_desktop};
    }

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
    /// Clicks an item of a tree or list where it shows, scrolled into view first.
    static void ClickItem(QAbstractItemView* view, const QModelIndex& index,
                          Qt::KeyboardModifiers modifiers = {});
    static void ClickNode(QTreeWidgetItem* node, Qt::KeyboardModifiers modifiers = {});
    /// Chooses a command of the menu bar as a person does: each menu opened and the item
    /// clicked, by their texts without the mnemonic marker ("File", "Active Drawing", "x.vsdx").
    void Choose(const QStringList& path);
    /// Clicks a check box or option button on its box, where a person clicks it.
    static void Tick(QAbstractButton* box);
    /// Clicks the tab of that index.
    void ClickTab(int index);
    /// Makes the main window the active one, as a click on it would.
    void Activate();
    /// The texts of the message boxes shown so far.
    std::vector<std::string> Messages() const;

    TempFolder m_folder;
    /// The settings store of the test: a file in its folder.
    registry::FileRegistry m_settings{m_folder.Path("settings.conf")};
    registry::Registry m_registry{m_settings};
    ui::Dialogs m_dialogs;
    ui::MessageBoxPrompt m_prompt{m_dialogs};
    RecordingDesktop m_desktop;

private:
    std::unique_ptr<ui::DesktopProgram> m_program;
    std::unique_ptr<app::Startup> m_startup;
    QByteArray m_oldConfig;
};

}  // namespace tess::test
