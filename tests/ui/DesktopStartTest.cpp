#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QProgressDialog>
#include <QRadioButton>
#include <QTest>

#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "support/Samples.h"
#include "ui/CopyProgress.h"
#include "ui/ShapeTree.h"
#include "ui/UiFixture.h"

namespace tess::test {
namespace {

using DesktopStart = UiFixture;


TEST_F(DesktopStart, FilesGivenOpenTheMainWindowOnTheirActivePage) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&Window())->text(QAccessible::Name),
              QStringLiteral("test6_shape_properties.vsdx — Tessaline"));
    auto* tree = Control<QTreeWidget>(QStringLiteral("tvwShapes"));
    // The file's active page is master_test: its top-level shapes, keyed by unique ID.
    const auto page = Program().TheDrawings().Model().Windows().ActivePage();
    ASSERT_EQ(page->name, "master_test");
    ASSERT_EQ(tree->topLevelItemCount(), static_cast<int>(page->shapes.size()));
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("data_prop_test"));
    EXPECT_EQ(ui::ShapeTree::Key(tree->topLevelItem(0)),
              QString::fromStdString(page->shapes[0]->uniqueId));
    EXPECT_TRUE(Messages().empty());
    EXPECT_FALSE(Control<QAbstractButton>(QStringLiteral("cmdCopy"))->isEnabled());
}

TEST_F(DesktopStart, NothingOpenedSaysSoAndEnds) {
    TheDialogs().QueueFiles({});  // the Open dialog cancelled
    EXPECT_FALSE(Start({}));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Tessaline requires a Visio document to be open."});
    ASSERT_EQ(TheDialogs().Asked().size(), 1u);
    EXPECT_EQ(TheDialogs().Asked()[0].title, QStringLiteral("Tessaline"));
    EXPECT_EQ(TheDialogs().Asked()[0].icon, QMessageBox::Information);
}

TEST_F(DesktopStart, FilesChosenInTheOpenDialogAreOpened) {
    TheDialogs().QueueFiles({QString::fromStdString(CopySample("test6_shape_properties.vsdx")),
                             QString::fromStdString(CopySample("Boxes.vssx"))});
    ASSERT_TRUE(Start({}));
    EXPECT_EQ(Program().TheDrawings().Documents().size(), 2u);
}

TEST_F(DesktopStart, AFileThatCannotBeReadIsReportedAndTheOthersOpen) {
    const std::string broken = m_folder.Path("broken.vsdx");
    WriteBytes(broken, "not a package");
    ASSERT_TRUE(Start({QString::fromStdString(broken),
                       QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    EXPECT_EQ(Program().TheDrawings().Documents().size(), 1u);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("broken.vsdx"), std::string::npos) << Messages()[0];
}

TEST_F(DesktopStart, ASecondCopySaysTheFirstRunsBeforeItAsksForAnyFile) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    TheDialogs().QueueFiles({QString::fromStdString(CopySample("Boxes.vssx"))});
    ui::DesktopProgram second({}, Services());
    app::Startup secondStart(second);
    secondStart.Main();
    EXPECT_EQ(second.Window(), nullptr);
    EXPECT_TRUE(second.TheDrawings().Documents().empty());
    EXPECT_TRUE(TheDialogs().AnswersLeft()) << "the second copy showed an Open dialog";
    EXPECT_EQ(Messages(), std::vector<std::string>{"Tessaline is already running."});
}

using DesktopCopy = UiFixture;

/// A shape of a page of the first open document, through the host objects.
visio::ShapePtr ShapeOf(const visio::ApplicationPtr& application, const std::string& page,
                        const std::string& shape) {
    return application->Documents()->Item(int16_t{1})->Pages()->Item(page)->Shapes()->Item(shape);
}

bool HasProperty(const visio::ShapePtr& shape, const std::string& name) {
    return shape->CellsSRCExists(243, 0, 0, 0) && [&] {
        for (int16_t row = 0; row < shape->RowCount(243); ++row)
            if (shape->CellsSRC(243, row, 0)->RowName() == name) return true;
        return false;
    }();
}

TEST_F(DesktopCopy, ASourceAndTwoDestinationsCopyUndoRedoAndSave) {
    const std::string file = CopySample("test6_shape_properties.vsdx");
    ASSERT_TRUE(Start({QString::fromStdString(file)}));
    const visio::ApplicationPtr application = Program().TheDrawings().App();
    const std::vector<std::pair<std::string, std::string>> destinations = {
        {"Page-1", "Sheet.5"}, {"Page-2", "Sheet.4"}};
    for (const auto& [page, shape] : destinations)
        ASSERT_FALSE(HasProperty(ShapeOf(application, page, shape), "my_property_name")) << shape;

    Control<QRadioButton>(QStringLiteral("optApplication"))->click();
    const QStringList drawing = {QStringLiteral("Application"),
                                 QStringLiteral("test6_shape_properties.vsdx")};
    MakeSource(Node(drawing + QStringList{QStringLiteral("Page-1"), QStringLiteral("Sheet.1")}));
    AddDestination(Node(drawing + QStringList{QStringLiteral("Page-1"), QStringLiteral("Sheet.5")}));
    AddDestination(Node(drawing + QStringList{QStringLiteral("Page-2"), QStringLiteral("Sheet.4")}));
    EXPECT_EQ(Control<QTreeWidget>(QStringLiteral("lvwDestination"))->topLevelItemCount(), 2);
    EXPECT_EQ(Control<QTreeWidget>(QStringLiteral("lvwSource"))->topLevelItem(0)->text(0),
              QStringLiteral("Application\\test6_shape_properties.vsdx\\Page-1\\Sheet.1"));

    auto* customProperties = Control<QCheckBox>(QStringLiteral("chkShapeSection_3"));
    ASSERT_TRUE(customProperties->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>(QStringLiteral("chkShapeSection_0"))->isEnabled());
    customProperties->setChecked(true);
    Click(QStringLiteral("cmdCopy"));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Clone Complete."});
    for (const auto& [page, shape] : destinations)
        EXPECT_TRUE(HasProperty(ShapeOf(application, page, shape), "my_property_name")) << shape;

    auto* undo = Window().findChild<QAction*>(QStringLiteral("mnuUndo"));
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo Tessaline"));
    undo->trigger();
    for (const auto& [page, shape] : destinations)
        EXPECT_FALSE(HasProperty(ShapeOf(application, page, shape), "my_property_name")) << shape;
    Window().findChild<QAction*>(QStringLiteral("mnuRedo"))->trigger();
    for (const auto& [page, shape] : destinations)
        EXPECT_TRUE(HasProperty(ShapeOf(application, page, shape), "my_property_name")) << shape;

    const auto document = Program().TheDrawings().Documents().front();
    EXPECT_TRUE(Program().TheDrawings().IsChanged(*document));
    Window().findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();
    EXPECT_FALSE(Program().TheDrawings().IsChanged(*document));

    const auto reread = std::make_shared<embedded::EmbeddedApplication>();
    vsdx::OpenDocument(reread->TheModel(), file);
    for (const auto& [page, shape] : destinations) {
        const visio::ShapePtr copy = ShapeOf(reread, page, shape);
        ASSERT_TRUE(HasProperty(copy, "my_property_name")) << shape;
        EXPECT_EQ(copy->Cells("Prop.my_property_name")->Formula(), "\"property value\"") << shape;
    }
}

TEST_F(DesktopCopy, ClosingWithChangesAsksAndCancelKeepsTheProgramRunning) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    auto& drawings = Program().TheDrawings();
    const auto document = drawings.Documents().front();
    drawings.Model().Shapes().AddPage(document);
    TheDialogs().QueueAnswer(QMessageBox::Cancel);
    EXPECT_FALSE(Window().close());
    EXPECT_TRUE(Window().isVisible());
    ASSERT_EQ(TheDialogs().Asked().size(), 1u);
    EXPECT_EQ(TheDialogs().Asked()[0].text,
              QStringLiteral("Do you want to save the changes you made to "
                             "'test6_shape_properties.vsdx'?"));
}

}  // namespace
}  // namespace tess::test

namespace tess::test {
namespace {

TEST_F(DesktopCopy, CopyingWithLeaveRunningOffClosesTheWindowAfterAskingAboutChanges) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    Control<QCheckBox>(QStringLiteral("chkLeaveTessalineRunning"))->setChecked(false);
    Control<QRadioButton>(QStringLiteral("optApplication"))->click();
    const QStringList page = {QStringLiteral("Application"),
                              QStringLiteral("test6_shape_properties.vsdx"), QStringLiteral("Page-1")};
    MakeSource(Node(page + QStringList{QStringLiteral("Sheet.1")}));
    AddDestination(Node(page + QStringList{QStringLiteral("Sheet.5")}));
    Control<QCheckBox>(QStringLiteral("chkShapeSection_3"))->setChecked(true);
    TheDialogs().QueueAnswer(QMessageBox::Ok);       // "Clone Complete."
    TheDialogs().QueueAnswer(QMessageBox::Discard);  // the changed drawing
    Click(QStringLiteral("cmdCopy"));
    EXPECT_FALSE(Window().isVisible());
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[0], "Clone Complete.");
    EXPECT_EQ(Messages()[1],
              "Do you want to save the changes you made to 'test6_shape_properties.vsdx'?");
}

TEST_F(DesktopCopy, TheFileMenuChoosesTheActiveDrawingAndPage) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx")),
                       QString::fromStdString(CopySample("test10_nested_shapes.vsdx"))}));
    auto* tree = Control<QTreeWidget>(QStringLiteral("tvwShapes"));
    auto* drawings = Window().findChild<QMenu*>(QStringLiteral("mnuActiveDrawing"));
    auto* pages = Window().findChild<QMenu*>(QStringLiteral("mnuActivePage"));
    ASSERT_NE(drawings, nullptr);
    ASSERT_NE(pages, nullptr);
    emit Window().findChild<QMenu*>(QStringLiteral("mnuFile"))->aboutToShow();
    ASSERT_EQ(drawings->actions().size(), 2);
    EXPECT_TRUE(drawings->actions()[1]->isChecked());  // the last opened is active
    drawings->actions()[0]->trigger();
    emit Window().findChild<QMenu*>(QStringLiteral("mnuFile"))->aboutToShow();
    EXPECT_TRUE(drawings->actions()[0]->isChecked());
    QStringList pageNames;
    for (QAction* action : pages->actions()) pageNames << action->text();
    EXPECT_EQ(pageNames, (QStringList{QStringLiteral("Page-1"), QStringLiteral("Page-2"),
                                      QStringLiteral("master_test")}));
    pages->actions()[1]->trigger();  // Page-2: a group and a shape
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Sheet.3"));
    EXPECT_TRUE(ui::ShapeTree::IsUnfilled(tree->topLevelItem(0)));
}

TEST_F(DesktopCopy, TheProgressDialogAppearsAfterHalfASecondAndItsCancelStopsTheRun) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    ui::CopyErrorForms errors(m_prompt);
    const engine::CopyRequest request;
    ui::CopyProgress progress(&Window(), errors, m_prompt, request);
    progress.Progress(1, 3, engine::ICopyFrontEnd::Stage::Preparing);
    EXPECT_EQ(Window().findChild<QProgressDialog*>(), nullptr) << "shown before half a second";
    QTest::qWait(550);
    progress.Progress(2, 3, engine::ICopyFrontEnd::Stage::Copying);
    auto* dialog = Window().findChild<QProgressDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->labelText(), QStringLiteral("Destination 2 of 3: copying sections"));
    EXPECT_TRUE(progress.GoOn());
    dialog->cancel();
    EXPECT_FALSE(progress.GoOn());
}

}  // namespace
}  // namespace tess::test
