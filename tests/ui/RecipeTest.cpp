// Recipes in the desktop program: one saved from the window's choices copies from the command
// line exactly as the flags it stands for; loading one ticks, chooses, orders and sets, and
// names in one message what the source lacks; a bad one changes nothing.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>
#include <fstream>
#include <sstream>

#include "cli/Commands.h"
#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "support/ModelDump.h"
#include "support/Samples.h"
#include "ui/Resources.h"
#include "ui/RowOrderTab.h"
#include "ui/UiFixture.h"

namespace tess::test {
namespace {

const QStringList kSource = {QStringLiteral("Application"),
                             QStringLiteral("test6_shape_properties.vsdx"),
                             QStringLiteral("Page-1"), QStringLiteral("Sheet.1")};

class Recipes : public UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
        Control<QRadioButton>(QStringLiteral("optApplication"))->click();
        MakeSource(Node(kSource));
    }
    QCheckBox* Box(int index) {
        return Control<QCheckBox>(QStringLiteral("chkShapeSection_%1").arg(index));
    }
    void Trigger(const QString& action) { Window().findChild<QAction*>(action)->trigger(); }
    void ShowTab(int index) {
        Control<QTabWidget>(QStringLiteral("tabStripMain"))->setCurrentIndex(index);
    }
    void Pick(const QString& comboName, const QString& section) {
        auto* combo = Control<QComboBox>(comboName);
        combo->setCurrentIndex(combo->findText(section));
    }
    QStringList Lines(const QString& listName) {
        QStringList lines;
        auto* list = Control<QListWidget>(listName);
        for (int i = 0; i < list->count(); ++i) {
            const bool unticked = list->item(i)->data(Qt::CheckStateRole).isValid() &&
                                  list->item(i)->checkState() != Qt::Checked;
            lines << (unticked ? QStringLiteral("-") : QString()) + list->item(i)->text();
        }
        return lines;
    }

    /// Copies Page-1/Sheet.1 to Page-1/Sheet.5 of a fresh copy of the sample from the command
    /// line, with the flags given; the drawing written, read back and dumped.
    std::string CopiedFromTheCommandLine(const std::string& name,
                                         std::function<void(cli::CopyOptions&)> flags) {
        std::filesystem::create_directories(m_folder.Path(name));
        cli::CopyOptions options;
        options.files = {m_folder.Path(name + "/test6_shape_properties.vsdx")};
        std::filesystem::copy_file(SamplePath("test6_shape_properties.vsdx"), options.files[0]);
        options.from = "page:Page-1/Sheet.1";
        options.to = {"page:Page-1/Sheet.5"};
        options.output = m_folder.Path(name + "/out.vsdx");
        flags(options);
        std::ostringstream out;
        EXPECT_EQ(cli::RunCopy(options, out), 0) << name << ": " << out.str();
        embedded::Model written;
        vsdx::OpenDocument(written, options.output);
        return DumpModel(written);
    }
};

TEST_F(Recipes, ASavedRecipeCopiesFromTheCommandLineAsTheFlagsItStandsFor) {
    for (const int box : {3, 8, 13})
        Box(box)->setChecked(true);
    // Geometry without its third row; the two custom properties the other way round.
    ShowTab(2);
    Pick(QStringLiteral("cboRowsSection"), QStringLiteral("Geometry"));
    Control<QListWidget>(QStringLiteral("lstRows"))->item(2)->setCheckState(Qt::Unchecked);
    ShowTab(3);
    Pick(QStringLiteral("cboOrderSection"), QStringLiteral("Custom Properties"));
    Control<QListWidget>(QStringLiteral("lstNewOrder"))->setCurrentRow(1);
    Window().RowOrder().MoveRowUp();
    Control<QRadioButton>(QStringLiteral("optAppend"))->setChecked(true);
    Control<QCheckBox>(QStringLiteral("chkCopyShapeText"))->setChecked(true);

    const std::string recipe = m_folder.Path("saved.json");
    TheDialogs().QueueFiles({QString::fromStdString(recipe)});
    Trigger(QStringLiteral("mnuSaveRecipe"));
    ASSERT_TRUE(std::filesystem::exists(recipe)) << Messages().front();
    EXPECT_TRUE(Messages().empty());

    const std::string byRecipe = CopiedFromTheCommandLine(
        "recipe", [&](cli::CopyOptions& options) { options.recipe = recipe; });
    const std::string byFlags = CopiedFromTheCommandLine("flags", [](cli::CopyOptions& options) {
        options.sections = {"Custom Properties", "Line Format"};
        options.rows = {"Geometry=1.1,1.2,1.4,1.5,1.6"};
        options.orders = {"Custom Properties=my_second_property_name,my_property_name"};
        options.append = true;
        options.shapeText = true;
    });
    EXPECT_EQ(byRecipe, byFlags);
    const std::string plain = CopiedFromTheCommandLine("plain", [](cli::CopyOptions& options) {
        options.sections = {"Custom Properties", "Line Format", "Geometry"};
    });
    EXPECT_NE(byRecipe, plain) << "the recipe's rows, order and options made a difference";
}

TEST_F(Recipes, LoadingTicksChoosesOrdersAndSetsAndNamesWhatTheSourceLacks) {
    Box(14)->setChecked(true);  // ticked before: the recipe's choice replaces it
    const std::string recipe = m_folder.Path("load.json");
    std::ofstream(recipe) << R"({"program": "Tessaline", "version": 1,
        "sections": [
            {"caption": "Custom Properties",
             "rows": ["my_property_name", "my_second_property_name", "no_such_property"],
             "order": ["my_second_property_name", "my_property_name"]},
            {"caption": "Line Format"},
            {"caption": "Layers"}],
        "options": {"copyType": "append", "subShapes": "replace", "helpString": true}})";
    TheDialogs().QueueFiles({QString::fromStdString(recipe)});
    Trigger(QStringLiteral("mnuLoadRecipe"));

    ASSERT_EQ(Messages().size(), 1u);
    const QString message = QString::fromStdString(Messages()[0]);
    EXPECT_TRUE(message.startsWith(ui::Res(1666))) << Messages()[0];
    EXPECT_TRUE(message.contains(QStringLiteral("sections[0].rows[2]"))) << Messages()[0];
    EXPECT_TRUE(message.contains(QStringLiteral("no section 'Layers'"))) << Messages()[0];
    EXPECT_TRUE(Box(3)->isChecked() && Box(13)->isChecked());
    EXPECT_FALSE(Box(14)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(QStringLiteral("optReplaceSubShapes"))->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(QStringLiteral("chkCopyHelpString"))->isChecked());
    ShowTab(2);
    Pick(QStringLiteral("cboRowsSection"), QStringLiteral("Custom Properties"));
    EXPECT_EQ(Lines(QStringLiteral("lstRows")),
              (QStringList{QStringLiteral("Prop.my_property_name"),
                           QStringLiteral("Prop.my_second_property_name")}));
    ShowTab(3);
    Pick(QStringLiteral("cboOrderSection"), QStringLiteral("Custom Properties"));
    EXPECT_EQ(Lines(QStringLiteral("lstNewOrder")),
              (QStringList{QStringLiteral("Prop.my_second_property_name"),
                           QStringLiteral("Prop.my_property_name")}));

    // A file that is no recipe is refused, and the window stays as it was.
    std::ofstream(m_folder.Path("bad.json")) << "{\"program\": \"Tessaline\", \"version\": 7}";
    TheDialogs().QueueFiles({QString::fromStdString(m_folder.Path("bad.json"))});
    Trigger(QStringLiteral("mnuLoadRecipe"));
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_TRUE(QString::fromStdString(Messages()[1]).startsWith(ui::Res(1667)));
    EXPECT_NE(Messages()[1].find("version: version 7 is unknown"), std::string::npos);
    EXPECT_TRUE(Box(3)->isChecked() && Box(13)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(QStringLiteral("optAppend"))->isChecked());
}

}  // namespace
}  // namespace tess::test
