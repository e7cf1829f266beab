#include "ui/ToolsTab.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/Controls.h"
#include "ui/Resources.h"

namespace tess::ui {

ToolsTab::ToolsTab(engine::CopyWindow& window, QWidget* parent) : QWidget(parent), m_window(window) {
    auto* layout = new QVBoxLayout(this);
    auto* frame = Named(new QGroupBox(Res(1151)), QStringLiteral("fraAddPages"), Res(1151));
    auto* grid = new QGridLayout(frame);
    m_count = Named(new QLineEdit(QStringLiteral("1")), QStringLiteral("txtNumberOfPagesToAdd"), Res(1152));
    auto* label = Named(new QLabel(Res(1152)), QStringLiteral("lblNumberOfPages"), Res(1152));
    label->setBuddy(m_count);
    m_addToSource = Named(new QPushButton(Res(1153)), QStringLiteral("cmdAddPagesToSource"), Res(1153));
    m_addToDestination =
        Named(new QPushButton(Res(1154)), QStringLiteral("cmdAddPagesToDest"), Res(1154));
    m_addToSource->setEnabled(false);
    m_addToDestination->setEnabled(false);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_count, 0, 1);
    grid->addWidget(m_addToSource, 1, 0);
    grid->addWidget(m_addToDestination, 1, 1);
    layout->addWidget(frame);
    layout->addStretch();
}

}  // namespace tess::ui
