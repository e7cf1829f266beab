#include "ui/RowsTab.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "ui/Controls.h"
#include "ui/Resources.h"

namespace tess::ui {

RowsTab::RowsTab(engine::CopyWindow& window, QWidget* parent) : QWidget(parent), m_window(window) {
    auto* layout = new QVBoxLayout(this);
    auto* frame = Named(new QGroupBox(Res(1001)), QStringLiteral("fraRows"), Res(1001));
    auto* inner = new QVBoxLayout(frame);
    m_sections = Named(new QComboBox, QStringLiteral("cboRowsSection"), Res(1002));
    m_rows = Named(new QListWidget, QStringLiteral("lstRows"), Res(1003));
    m_details = Named(new QPlainTextEdit, QStringLiteral("txtRowDetails"), Res(1004));
    m_details->setReadOnly(true);
    auto label = [](int id, const QString& name, QWidget* buddy) {
        auto* text = Named(new QLabel(Res(id)), name, Res(id));
        text->setBuddy(buddy);
        return text;
    };
    inner->addWidget(label(1002, QStringLiteral("lblRowsSection"), m_sections));
    inner->addWidget(m_sections);
    inner->addWidget(label(1003, QStringLiteral("lblRows"), m_rows));
    inner->addWidget(m_rows, 2);
    inner->addWidget(label(1004, QStringLiteral("lblRowDetails"), m_details));
    inner->addWidget(m_details, 1);
    layout->addWidget(frame);
}

void RowsTab::SetupRowsTab() {}
void RowsTab::UpdateRowsOnRowsTab() {}
void RowsTab::RefreshRowsList() {}

}  // namespace tess::ui
