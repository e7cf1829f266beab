// The desktop program on the largest drawing built from a sample: the sample's first page
// filled with copies of its own shapes (groups and master instances among them) up to
// kShapes top-level shapes, saved, then opened by the program as a user would. Prints the time
// from start to the main window shown, to the Application scope's tree, and to the tree fully
// expanded (every node filled), with the node count.
#include <QApplication>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTreeWidget>
#include <cstdio>
#include <functional>

#include "app/Startup.h"
#include "host/embedded/Model.h"
#include "host/vsdx/Vsdx.h"
#include "platform/registry/FileRegistry.h"
#include "support/Samples.h"
#include "support/TempFolder.h"
#include "ui/DesktopProgram.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/ShapeTree.h"

namespace {

using namespace tess;

constexpr size_t kShapes = 5000;

size_t CountShapes(const std::vector<embedded::SheetPtr>& shapes) {
    size_t count = shapes.size();
    for (const auto& shape : shapes) count += CountShapes(shape->shapes);
    return count;
}

/// Builds the drawing and returns its path and its shape count at every depth.
std::pair<std::string, size_t> BuildLargeDrawing(const test::TempFolder& folder) {
    embedded::Model model;
    const auto document = vsdx::OpenDocument(model, test::SamplePath("BFlowcht.vsdx"));
    const auto page = document->pages.front();
    model.LoadShapes(*page);
    const std::vector<embedded::SheetPtr> originals = page->shapes;
    for (size_t i = 0; page->shapes.size() < kShapes; ++i) {
        const auto& shape = originals[i % originals.size()];
        model.DropCopy(page, shape, static_cast<double>(i % 100) * 0.3,
                       static_cast<double>(i / 100) * 0.3);
    }
    const std::string path = folder.Path("large.vsdx");
    vsdx::SaveDocument(model, *document, path);
    return {path, CountShapes(page->shapes)};
}

void ExpandAll(QTreeWidgetItem* node, size_t& nodes) {
    ++nodes;
    // As a person would: every node with an expand button, which fills it the first time.
    if (node->childCount() > 0 || ui::ShapeTree::IsUnfilled(node)) node->setExpanded(true);
    for (int i = 0; i < node->childCount(); ++i) ExpandAll(node->child(i), nodes);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    test::TempFolder folder;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.Path("config")));
    const auto [path, shapes] = BuildLargeDrawing(folder);
    ui::Dialogs dialogs;
    dialogs.SetScripted(true);
    ui::MessageBoxPrompt prompt(dialogs);
    registry::FileRegistry settings(folder.Path("settings.tsv"));
    desktop::QtDesktopServices desktop;

    QElapsedTimer clock;
    clock.start();
    ui::DesktopProgram program({QString::fromStdString(path)},
                               {dialogs, prompt, registry::Registry(settings), desktop});
    app::Startup startup(program);
    startup.Main();
    if (!program.Window()) return 1;
    QApplication::processEvents();
    const qint64 shown = clock.elapsed();
    auto* tree = program.Window()->findChild<QTreeWidget*>(QStringLiteral("tvwShapes"));
    const int activePageNodes = tree->topLevelItemCount();

    clock.restart();
    program.Window()->findChild<QRadioButton*>(QStringLiteral("optApplication"))->click();
    QApplication::processEvents();
    const qint64 applicationScope = clock.elapsed();

    clock.restart();
    size_t nodes = 0;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) ExpandAll(tree->topLevelItem(i), nodes);
    QApplication::processEvents();
    const qint64 expanded = clock.elapsed();

    std::printf("drawing: %zu shapes at every depth, %d top-level shapes on the active page\n",
                shapes, activePageNodes);
    std::printf("start to main window shown (file read, Active Page tree built): %lld ms\n",
                static_cast<long long>(shown));
    std::printf("Application scope tree built: %lld ms\n", static_cast<long long>(applicationScope));
    std::printf("tree fully expanded: %lld ms for %zu nodes\n", static_cast<long long>(expanded),
                nodes);
    dialogs.QueueAnswer(QMessageBox::Discard);
    program.Window()->close();
    return 0;
}
