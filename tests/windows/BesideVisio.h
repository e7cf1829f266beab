#pragma once

#include <QAction>
#include <memory>

#include "host/com/ComHost.h"
#include "ui/UiFixture.h"

// What the desktop program's tests on Windows share: the program beside a stand-in Visio.
namespace tess::test {

class StandInProcess;

/// The Sections tab's boxes of the sections the tests copy.
inline constexpr int kUserBox = 2;
inline constexpr int kScratchBox = 9;

/// An action of a window by its control name; fails the test when there is none.
QAction* Action(QWidget& window, const char* name);

/// The desktop program started beside a stand-in Visio whose active page holds Sheet.1, with a
/// User row and two Scratch rows (the first naming Sheet.1, the second the User row), and
/// Sheet.2 and Sheet.3 with neither section.
class BesideVisio : public UiFixture {
protected:
    BesideVisio();
    ~BesideVisio() override;
    void SetUp() override;
    void TearDown() override;

    visio::ShapePtr Shape(const std::string& name);
    /// The formula of a Scratch row's X cell.
    std::string ScratchX(const std::string& shape, int16_t row);
    /// Sheet.1 as the source and Sheet.2 and Sheet.3 as destinations, picked in the tree, and
    /// the sections' boxes ticked.
    void Choose(std::initializer_list<int> boxes);

    com::ComApartment m_apartment;
    std::unique_ptr<StandInProcess> m_standIn;
    std::unique_ptr<com::VisioConnection> m_connection;
    visio::ApplicationPtr m_visio;
};

}  // namespace tess::test
