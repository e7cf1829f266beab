#include "ui/UiFixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <filesystem>

#include "support/Samples.h"
#include "ui/ShapeTree.h"

namespace tess::test {

void UiFixture::SetUp() {
    m_oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_folder.Path("config")));
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(m_folder.Path("runtime")));
    std::filesystem::create_directories(m_folder.Path("runtime"));
    std::filesystem::permissions(m_folder.Path("runtime"), std::filesystem::perms::owner_all);
    m_dialogs.SetScripted(true);
}

void UiFixture::TearDown() {
    if (m_program && m_program->Window()) {
        // Whatever the test left changed is discarded, not saved.
        for (size_t i = 0; i < m_program->TheDrawings().Documents().size(); ++i)
            m_dialogs.QueueAnswer(QMessageBox::Discard);
        m_program->Window()->close();
    }
    m_startup.reset();
    m_program.reset();
    if (m_oldConfig.isEmpty()) qunsetenv("XDG_CONFIG_HOME");
    else qputenv("XDG_CONFIG_HOME", m_oldConfig);
}

std::string UiFixture::CopySample(const std::string& fileName) {
    const std::string copy = m_folder.Path(fileName);
    std::filesystem::copy_file(SamplePath(fileName), copy,
                               std::filesystem::copy_options::overwrite_existing);
    return copy;
}

bool UiFixture::Start(const QStringList& files) {
    m_program = std::make_unique<ui::DesktopProgram>(files, Services());
    m_startup = std::make_unique<app::Startup>(*m_program);
    m_startup->Main();
    return m_startup->TheApplication() && m_program->Window();
}

void UiFixture::Click(const QString& buttonName) {
    auto* button = Control<QAbstractButton>(buttonName);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled()) << buttonName.toStdString() << " is disabled";
    QTest::mouseClick(button, Qt::LeftButton);
}

namespace {

/// The child of node (the top level for none) with that text, looking below the headings
/// (Masters, Pages) too unless the text names one.
QTreeWidgetItem* ChildNamed(QTreeWidget* tree, QTreeWidgetItem* node, const QString& text) {
    const int count = node ? node->childCount() : tree->topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* child = node ? node->child(i) : tree->topLevelItem(i);
        if (child->text(0) == text) return child;
        if (ui::ShapeTree::IsHeading(child)) {
            if (QTreeWidgetItem* below = ChildNamed(tree, child, text)) return below;
        }
    }
    return nullptr;
}

}  // namespace

QTreeWidgetItem* UiFixture::Node(const QStringList& texts) {
    auto* tree = Control<QTreeWidget>(QStringLiteral("tvwShapes"));
    QTreeWidgetItem* node = nullptr;
    for (const QString& text : texts) {
        QTreeWidgetItem* found = ChildNamed(tree, node, text);
        if (!found) {
            ADD_FAILURE() << "no tree node " << text.toStdString();
            return nullptr;
        }
        node = found;
        node->setExpanded(true);
    }
    return node;
}

void UiFixture::ClickItem(QAbstractItemView* view, const QModelIndex& index,
                          Qt::KeyboardModifiers modifiers) {
    ASSERT_TRUE(index.isValid());
    view->scrollTo(index);
    const QRect place = view->visualRect(index);
    ASSERT_FALSE(place.isEmpty()) << "the item is not shown";
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, place.center());
}

void UiFixture::ClickNode(QTreeWidgetItem* node, Qt::KeyboardModifiers modifiers) {
    ASSERT_NE(node, nullptr);
    QTreeWidget* tree = node->treeWidget();
    ClickItem(tree, tree->indexFromItem(node), modifiers);
}

void UiFixture::Tick(QAbstractButton* box) {
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(box->isEnabled()) << box->objectName().toStdString() << " is disabled";
    QStyleOptionButton option;
    option.initFrom(box);
    const QStyle::SubElement element = qobject_cast<QRadioButton*>(box)
                                           ? QStyle::SE_RadioButtonIndicator
                                           : QStyle::SE_CheckBoxIndicator;
    QTest::mouseClick(box, Qt::LeftButton, {},
                      box->style()->subElementRect(element, &option, box).center());
}

void UiFixture::ClickTab(int index) {
    QTabBar* tabs = Window().TabStrip()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    ASSERT_EQ(Window().TabStrip()->currentIndex(), index);
}

void UiFixture::Activate() {
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
}

void UiFixture::Choose(const QStringList& path) {
    QMenuBar* bar = Window().menuBar();
    QMenu* menu = nullptr;
    for (const QString& text : path) {
        const QList<QAction*> actions = menu ? menu->actions() : bar->actions();
        QAction* chosen = nullptr;
        for (QAction* action : actions) {
            if (QString(action->text()).remove(QLatin1Char('&')) == text) chosen = action;
        }
        ASSERT_NE(chosen, nullptr) << "no menu item " << text.toStdString();
        ASSERT_TRUE(chosen->isEnabled()) << text.toStdString() << " is disabled";
        if (!menu) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(chosen).center());
        } else {
            QTest::mouseMove(menu, menu->actionGeometry(chosen).center());
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
        }
        if (!chosen->menu()) return;
        menu = chosen->menu();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu)) << text.toStdString() << " did not open";
    }
}

void UiFixture::MakeSource(QTreeWidgetItem* node) {
    ASSERT_NE(node, nullptr);
    node->treeWidget()->setCurrentItem(node);
    Click(QStringLiteral("cmdAddToSource"));
}

void UiFixture::AddDestination(QTreeWidgetItem* node) {
    ASSERT_NE(node, nullptr);
    node->treeWidget()->setCurrentItem(node);
    Click(QStringLiteral("cmdAddToDest"));
}

std::vector<std::string> UiFixture::Messages() const {
    std::vector<std::string> texts;
    for (const ui::AskedQuestion& question : m_dialogs.Asked())
        texts.push_back(question.text.toStdString());
    return texts;
}

}  // namespace tess::test
