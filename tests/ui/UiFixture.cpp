#include "ui/UiFixture.h"

#include <QTest>
#include <filesystem>

#include "support/Samples.h"

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

QTreeWidgetItem* UiFixture::Node(const QStringList& texts) {
    auto* tree = Control<QTreeWidget>(QStringLiteral("tvwShapes"));
    QTreeWidgetItem* node = nullptr;
    for (const QString& text : texts) {
        QTreeWidgetItem* found = nullptr;
        const int count = node ? node->childCount() : tree->topLevelItemCount();
        for (int i = 0; i < count && !found; ++i) {
            QTreeWidgetItem* child = node ? node->child(i) : tree->topLevelItem(i);
            if (child->text(0) == text) found = child;
        }
        if (!found) {
            ADD_FAILURE() << "no tree node " << text.toStdString();
            return nullptr;
        }
        node = found;
        node->setExpanded(true);
    }
    return node;
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
