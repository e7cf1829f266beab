#include "ui/RowOrderTab.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/Controls.h"
#include "ui/Resources.h"

namespace tess::ui {

RowOrderTab::RowOrderTab(engine::CopyWindow& window, QWidget* parent)
    : QWidget(parent), m_window(window) {
    auto* layout = new QVBoxLayout(this);
    auto* frame = Named(new QGroupBox(Res(1051)), QStringLiteral("fraReorder"), Res(1051));
    auto* grid = new QGridLayout(frame);
    m_sections = Named(new QComboBox, QStringLiteral("cboOrderSection"), Res(1052));
    m_current = Named(new QListWidget, QStringLiteral("lstCurrentOrder"), Res(1053));
    m_new = Named(new QListWidget, QStringLiteral("lstNewOrder"), Res(1054));
    m_up = Named(new QToolButton, QStringLiteral("UpDown1_Up"), QStringLiteral("Up"));
    m_down = Named(new QToolButton, QStringLiteral("UpDown1_Down"), QStringLiteral("Down"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    m_details = Named(new QPlainTextEdit, QStringLiteral("txtOrderDetails"), Res(1055));
    m_details->setReadOnly(true);
    auto label = [](int id, const QString& name, QWidget* buddy) {
        auto* text = Named(new QLabel(Res(id)), name, Res(id));
        text->setBuddy(buddy);
        return text;
    };
    grid->addWidget(label(1052, QStringLiteral("lblOrderSection"), m_sections), 0, 0, 1, 3);
    grid->addWidget(m_sections, 1, 0, 1, 3);
    grid->addWidget(label(1053, QStringLiteral("lblCurrentOrder"), m_current), 2, 0);
    grid->addWidget(label(1054, QStringLiteral("lblNewOrder"), m_new), 2, 1);
    grid->addWidget(m_current, 3, 0, 2, 1);
    grid->addWidget(m_new, 3, 1, 2, 1);
    grid->addWidget(m_up, 3, 2, Qt::AlignBottom);
    grid->addWidget(m_down, 4, 2, Qt::AlignTop);
    grid->addWidget(label(1055, QStringLiteral("lblOrderDetails"), m_details), 5, 0, 1, 3);
    grid->addWidget(m_details, 6, 0, 1, 3);
    layout->addWidget(frame);
}

void RowOrderTab::SetupRowOrderTab() {}
void RowOrderTab::UpdateRowsOnRowOrderTab() {}
void RowOrderTab::RefreshOrderLists() {}

}  // namespace tess::ui
