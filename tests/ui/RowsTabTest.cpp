// The Rows and Row Order tabs on a real drawing: rows chosen, unticked and reordered through
// the controls, and a copy from the window that honours them.
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <QAction>

#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"
#include "ui/DialogDriver.h"
#include "ui/UiFixture.h"

namespace tess::test {
namespace {

using Strings = std::vector<std::string>;

const QStringList kDrawing = {QStringLiteral("Application"),
                              QStringLiteral("test6_shape_properties.vsdx")};

class RowsTabs : public UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
        Control<QRadioButton>(QStringLiteral("optApplication"))->click();
    }

    visio::ShapePtr Shape(const std::string& page, const std::string& shape) {
        return Program()
            .TheDrawings()
            .App()
            ->Documents()
            ->Item(int16_t{1})
            ->Pages()
            ->Item(page)
            ->Shapes()
            ->Item(shape);
    }
    QTreeWidgetItem* ShapeNode(const QString& page, const QString& shape) {
        return Node(kDrawing + QStringList{page, shape});
    }
    /// Makes the shape the source with Custom Properties chosen on the Sections tab.
    void SourceWithProperties(const QString& page, const QString& shape) {
        MakeSource(ShapeNode(page, shape));
        Control<QCheckBox>(QStringLiteral("chkShapeSection_3"))->setChecked(true);
    }
    void ShowTab(int index) {
        Control<QTabWidget>(QStringLiteral("tabStripMain"))->setCurrentIndex(index);
    }
    void Pick(const QString& comboName, const QString& section) {
        auto* combo = Control<QComboBox>(comboName);
        const int index = combo->findText(section);
        ASSERT_GE(index, 0) << section.toStdString();
        combo->setCurrentIndex(index);
    }
    static Strings Texts(const QListWidget* list) {
        Strings texts;
        for (int i = 0; i < list->count(); ++i)
            texts.push_back(list->item(i)->text().toStdString());
        return texts;
    }
    static Strings Items(const QComboBox* combo) {
        Strings texts;
        for (int i = 0; i < combo->count(); ++i)
            texts.push_back(combo->itemText(i).toStdString());
        return texts;
    }
    static std::vector<bool> Ticks(const QListWidget* list) {
        std::vector<bool> ticks;
        for (int i = 0; i < list->count(); ++i)
            ticks.push_back(list->item(i)->checkState() == Qt::Checked);
        return ticks;
    }
    static Strings RowNames(const visio::ShapePtr& shape) {
        Strings names;
        for (int16_t row = 0; row < shape->RowCount(visio::visSectionProp); ++row)
            names.push_back(shape->CellsSRC(visio::visSectionProp, row, 0)->RowName());
        return names;
    }

    /// Gives the list the keyboard focus, as a click would.
    void Focus(QWidget* widget) {
        Window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
        widget->setFocus();
    }

    static constexpr int kShapesTab = 0;
    static constexpr int kRowsTab = 2;
    static constexpr int kRowOrderTab = 3;
};

TEST_F(RowsTabs, ChosenUntickedAndReorderedRowsAreWhatTheCopyWritesAndSaves) {
    // A third property, so that one can be left out and the other two still reordered; its
    // prompt names a row of the source's own, which the destinations lack: refused there.
    const visio::ShapePtr source = Shape("Page-1", "Sheet.1");
    source->AddNamedRow(visio::visSectionUser, "Only", 0);
    source->Cells("User.Only")->SetFormula("1");
    const int16_t row = source->AddNamedRow(visio::visSectionProp, "third_property", 0);
    source->CellsSRC(visio::visSectionProp, row, 0)->SetFormula("\"third value\"");
    source->CellsSRC(visio::visSectionProp, row, 1)->SetFormula("User.Only");
    source->CellsSRC(visio::visSectionProp, row, 2)->SetFormula("\"third label\"");
    SourceWithProperties(QStringLiteral("Page-1"), QStringLiteral("Sheet.1"));
    AddDestination(ShapeNode(QStringLiteral("Page-1"), QStringLiteral("Sheet.5")));
    AddDestination(ShapeNode(QStringLiteral("Page-2"), QStringLiteral("Sheet.4")));

    ShowTab(kRowsTab);
    auto* sections = Control<QComboBox>(QStringLiteral("cboRowsSection"));
    auto* rows = Control<QListWidget>(QStringLiteral("lstRows"));
    auto* details = Control<QPlainTextEdit>(QStringLiteral("txtRowDetails"));
    EXPECT_EQ(Items(sections), Strings{"Custom Properties"});
    EXPECT_EQ(sections->currentIndex(), 0) << "the one section offered is shown at once";
    EXPECT_EQ(Texts(rows), (Strings{"Prop.my_property_name", "Prop.my_second_property_name",
                                    "Prop.third_property"}));
    EXPECT_EQ(Ticks(rows), (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(rows->item(0)->isSelected());
    EXPECT_TRUE(
        details->toPlainText().startsWith(QStringLiteral("Label = \"my_property_label\"\n")))
        << details->toPlainText().toStdString();
    rows->item(2)->setSelected(true);
    EXPECT_TRUE(details->toPlainText().startsWith(QStringLiteral("Label = \"third label\"")));

    rows->item(1)->setCheckState(Qt::Unchecked);
    ShowTab(kShapesTab);
    ShowTab(kRowsTab);
    EXPECT_EQ(sections->currentText(), QStringLiteral("Custom Properties"));
    EXPECT_EQ(Ticks(rows), (std::vector<bool>{true, false, true})) << "the untick is kept";

    ShowTab(kRowOrderTab);
    Pick(QStringLiteral("cboOrderSection"), QStringLiteral("Custom Properties"));
    auto* current = Control<QListWidget>(QStringLiteral("lstCurrentOrder"));
    auto* next = Control<QListWidget>(QStringLiteral("lstNewOrder"));
    const Strings chosen = {"Prop.my_property_name", "Prop.third_property"};
    EXPECT_EQ(Texts(current), chosen);
    EXPECT_EQ(Texts(next), chosen);
    next->setCurrentRow(1);
    Click(QStringLiteral("UpDown1_Up"));
    const Strings reordered = {chosen[1], chosen[0]};
    EXPECT_EQ(Texts(next), reordered);
    EXPECT_EQ(Texts(current), chosen);
    EXPECT_TRUE(next->item(0)->isSelected()) << "the selection follows the moved row";
    EXPECT_TRUE(Control<QPlainTextEdit>(QStringLiteral("txtOrderDetails"))
                    ->toPlainText()
                    .startsWith(QStringLiteral("Label = \"third label\"")));
    ShowTab(kShapesTab);
    ShowTab(kRowOrderTab);
    EXPECT_EQ(Texts(next), reordered) << "the order is kept";

    // The refused prompt on each destination: its details, then Continue.
    DialogDriver driver;
    driver.Then(QStringLiteral("frmCopyError"), [](QDialog& dialog) {
        ClickIn(dialog, QStringLiteral("cmdDetails"));
        ClickIn(dialog, QStringLiteral("cmdOK"));
    });
    QStringList formulas;
    driver.Then(QStringLiteral("frmCopyErrorDetails"), [&](QDialog& list) {
        formulas = test::Items(list, QStringLiteral("lstOriginal"));
        ClickIn(list, QStringLiteral("cmdOK"));
    });
    driver.Then(QStringLiteral("frmCopyError"),
                [](QDialog& dialog) { ClickIn(dialog, QStringLiteral("cmdOK")); });
    Click(QStringLiteral("cmdCopy"));
    EXPECT_TRUE(driver.Done());
    // Each formula with the cell it came from.
    EXPECT_TRUE(formulas.contains(QStringLiteral("Prop.third_property.Prompt = User.Only")))
        << formulas.join('|').toStdString();
    EXPECT_EQ(Messages(), std::vector<std::string>{"Clone Complete."});

    // Overwriting, each destination's section is replaced by the chosen rows in the new order,
    // in the window and in the saved file.
    Window().findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();
    const auto reread = std::make_shared<embedded::EmbeddedApplication>();
    vsdx::OpenDocument(reread->TheModel(), Program().TheDrawings().Documents().front()->path);
    for (const auto& [page, shape] : {std::pair{"Page-1", "Sheet.5"}, {"Page-2", "Sheet.4"}}) {
        for (const visio::ShapePtr& destination :
             {Shape(page, shape), reread->Documents()->Item(int16_t{1})->Pages()->Item(page)
                                      ->Shapes()->Item(shape)}) {
            EXPECT_EQ(RowNames(destination), (Strings{"third_property", "my_property_name"}))
                << shape;
            // The refused formula never reached the destination.
            EXPECT_NE(destination->CellsSRC(visio::visSectionProp, 0, 1)->Formula(), "User.Only");
            EXPECT_EQ(destination->Cells("Prop.my_property_name")->Formula(),
                      "\"property value\"");
        }
    }
}

TEST_F(RowsTabs, RowsNamedByVisioAreNotReorderedAndALoneRowIsNotSelected) {
    SourceWithProperties(QStringLiteral("Page-2"), QStringLiteral("Sheet.4"));
    ShowTab(kRowsTab);
    Pick(QStringLiteral("cboRowsSection"), QStringLiteral("Custom Properties"));
    auto* rows = Control<QListWidget>(QStringLiteral("lstRows"));
    EXPECT_EQ(Texts(rows), Strings{"Prop.Row_1"});
    EXPECT_TRUE(rows->selectedItems().isEmpty());
    EXPECT_TRUE(Control<QPlainTextEdit>(QStringLiteral("txtRowDetails"))->toPlainText().isEmpty());

    ShowTab(kRowOrderTab);
    Pick(QStringLiteral("cboOrderSection"), QStringLiteral("Custom Properties"));
    auto* next = Control<QListWidget>(QStringLiteral("lstNewOrder"));
    ASSERT_EQ(Texts(next), Strings{"Prop.Row_1"});
    Click(QStringLiteral("UpDown1_Down"));  // with no row selected
    next->setCurrentRow(0);
    Focus(next);
    QTest::keyClick(next, Qt::Key_Up, Qt::AltModifier);
    ASSERT_EQ(TheDialogs().Asked().size(), 2u);
    for (const ui::AskedQuestion& asked : TheDialogs().Asked()) {
        EXPECT_EQ(asked.text, QStringLiteral("Reordering of rows with Visio assigned names (i.e "
                                             "Prop.Row_XX or User.Row_XX) is not allowed."));
        EXPECT_EQ(asked.title, QStringLiteral("Tessaline"));
        EXPECT_EQ(asked.icon, QMessageBox::Warning);
        EXPECT_EQ(asked.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    EXPECT_EQ(Texts(next), Strings{"Prop.Row_1"});
}

TEST_F(RowsTabs, TheListsFollowTheSectionsTabTheSourceAndTheKeys) {
    const visio::ShapePtr source = Shape("Page-1", "Sheet.1");
    source->AddNamedRow(visio::visSectionProp, "third_property", 0);
    SourceWithProperties(QStringLiteral("Page-1"), QStringLiteral("Sheet.1"));
    auto* box = Control<QCheckBox>(QStringLiteral("chkShapeSection_3"));
    auto* sections = Control<QComboBox>(QStringLiteral("cboRowsSection"));
    auto* rows = Control<QListWidget>(QStringLiteral("lstRows"));
    ShowTab(kRowsTab);
    Pick(QStringLiteral("cboRowsSection"), QStringLiteral("Custom Properties"));
    rows->item(0)->setCheckState(Qt::Unchecked);

    // Dropped on the Sections tab: gone from the drop-down, its choice forgotten.
    ShowTab(kShapesTab);
    box->setChecked(false);
    Control<QCheckBox>(QStringLiteral("chkShapeSection_8"))->setChecked(true);
    ShowTab(kRowsTab);
    EXPECT_EQ(Items(sections), Strings{"Geometry"});
    EXPECT_EQ(sections->currentText(), QStringLiteral("Geometry")) << "the section left is shown";
    EXPECT_EQ(rows->count(), 6);
    ShowTab(kShapesTab);
    box->setChecked(true);
    ShowTab(kRowsTab);
    EXPECT_EQ(Items(sections), (Strings{"Geometry", "Custom Properties"}));
    Pick(QStringLiteral("cboRowsSection"), QStringLiteral("Custom Properties"));
    EXPECT_EQ(Ticks(rows), (std::vector<bool>{true, true, true})) << "listed afresh";

    // Reordered by keys on the new-order list.
    ShowTab(kRowOrderTab);
    Pick(QStringLiteral("cboOrderSection"), QStringLiteral("Custom Properties"));
    auto* next = Control<QListWidget>(QStringLiteral("lstNewOrder"));
    Focus(next);
    next->setCurrentRow(0);
    QTest::keyClick(next, Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(next, Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(next, Qt::Key_Down, Qt::AltModifier);  // already last: nothing moves
    EXPECT_EQ(Texts(next), (Strings{"Prop.my_second_property_name", "Prop.third_property",
                                    "Prop.my_property_name"}));
    EXPECT_EQ(next->currentRow(), 2);

    // A new source forgets every choice and order, and offers nothing until sections are chosen.
    ShowTab(kShapesTab);
    MakeSource(ShapeNode(QStringLiteral("Page-1"), QStringLiteral("Sheet.2")));
    ShowTab(kRowOrderTab);
    EXPECT_EQ(Control<QComboBox>(QStringLiteral("cboOrderSection"))->count(), 0);
    EXPECT_EQ(next->count(), 0);
    ShowTab(kShapesTab);
    box->setChecked(true);
    ShowTab(kRowOrderTab);
    Pick(QStringLiteral("cboOrderSection"), QStringLiteral("Custom Properties"));
    EXPECT_EQ(Texts(next), Strings{"Prop.my_property_name"});

    // Without a source no section is chosen, so none is offered.
    ShowTab(kShapesTab);
    auto* sourceList = Control<QTreeWidget>(QStringLiteral("lvwSource"));
    sourceList->setFocus();
    QTest::keyClick(sourceList, Qt::Key_Delete);
    ASSERT_EQ(sourceList->topLevelItemCount(), 0);
    ShowTab(kRowsTab);
    EXPECT_EQ(sections->count(), 0);
    EXPECT_EQ(rows->count(), 0);
    EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace tess::test
