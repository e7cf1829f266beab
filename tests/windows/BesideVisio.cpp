#include "tests/windows/BesideVisio.h"

#include <QCheckBox>

#include "platform/visio/Constants.h"
#include "tests/windows/StandInProcess.h"

namespace tess::test {

using namespace visio;

QAction* Action(QWidget& window, const char* name) {
    auto* action = window.findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(action, nullptr) << name;
    return action;
}

BesideVisio::BesideVisio() = default;
BesideVisio::~BesideVisio() = default;

void BesideVisio::SetUp() {
    UiFixture::SetUp();
    m_standIn = std::make_unique<StandInProcess>();
    m_connection = com::AttachToRunningVisio();
    m_visio = m_connection->Application();
    const PagePtr page = m_visio->Documents()->Add("")->Pages()->Item(int16_t{1});
    const ShapePtr source = page->DrawRectangle(1, 1, 2, 2);
    page->DrawRectangle(3, 1, 4, 2);
    page->DrawRectangle(5, 1, 6, 2);
    source->AddNamedRow(visSectionUser, "Size", 0);
    source->Cells("User.Size")->SetFormula("Width*2");
    source->AddSection(visSectionScratch);
    for (const char* formula : {"Sheet.1!Height/2", "User.Size+1 in"}) {
        const int16_t row = source->AddRow(visSectionScratch, visRowLast, 0);
        source->CellsSRC(visSectionScratch, row, 0)->SetFormula(formula);
    }
}

void BesideVisio::TearDown() {
    UiFixture::TearDown();
    m_visio.reset();
    m_connection.reset();
    m_standIn.reset();
}

ShapePtr BesideVisio::Shape(const std::string& name) {
    return m_visio->ActivePage()->Shapes()->Item(name);
}

std::string BesideVisio::ScratchX(const std::string& shape, int16_t row) {
    return Shape(shape)->CellsSRC(visSectionScratch, row, 0)->Formula();
}

void BesideVisio::Choose(std::initializer_list<int> boxes) {
    MakeSource(Node({QStringLiteral("Sheet.1")}));
    AddDestination(Node({QStringLiteral("Sheet.2")}));
    AddDestination(Node({QStringLiteral("Sheet.3")}));
    for (const int box : boxes) {
        auto* check = Control<QCheckBox>(QStringLiteral("chkShapeSection_%1").arg(box));
        ASSERT_TRUE(check && check->isEnabled()) << box;
        check->setChecked(true);
    }
}

}  // namespace tess::test
