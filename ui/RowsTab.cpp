#include "ui/RowsTab.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "ui/Controls.h"
#include "ui/Resources.h"
#include "ui/SectionDropDown.h"
#include "window/RowsTab.h"

namespace tess::ui {

RowsTab::RowsTab(window::CopyWindow& window, QWidget* parent) : QWidget(parent), m_window(window) {
    auto* layout = new QVBoxLayout(this);
    auto* frame = Named(new QGroupBox(Res(1001)), QStringLiteral("fraRows"), Res(1001));
    auto* inner = new QVBoxLayout(frame);
    // Both tabs' drop-downs have the same label: each is named for what it chooses.
    m_sections = Named(new QComboBox, QStringLiteral("cboRowsSection"), Res(1696));
    m_rows = Named(new QListWidget, QStringLiteral("lstRows"), Res(1003));
    m_details = Named(new QPlainTextEdit, QStringLiteral("txtRowDetails"), Res(1004));
    m_details->setReadOnly(true);
    // Room between the rows, so that each check box stands clear of the next.
    m_rows->setSpacing(Twips(30));
    auto label = [](int id, const QString& name, QWidget* buddy) {
        auto* text = Named(new QLabel(Res(id)), name, Res(id));
        text->setBuddy(buddy);
        return text;
    };
    inner->addWidget(label(1002, QStringLiteral("lblRowsSection"), m_sections));
    inner->addWidget(m_sections);
    inner->addWidget(label(1003, QStringLiteral("lblRows"), m_rows));
    inner->addWidget(m_rows, 1);
    inner->addWidget(label(1004, QStringLiteral("lblRowDetails"), m_details));
    inner->addWidget(m_details, 1);
    layout->addWidget(frame);

    connect(m_sections, &QComboBox::currentIndexChanged, this, &RowsTab::RefreshRowsList);
    connect(m_rows, &QListWidget::itemChanged, this, &RowsTab::CheckRow);
    connect(m_rows->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RowsTab::SelectRow);
}

void RowsTab::SetupRowsTab() {
    const std::vector<std::string> items = window::SetupRowsTab(m_window);
    m_rows->clear();
    m_details->clear();
    ShowSectionItems(m_sections, items, false);
}

void RowsTab::UpdateRowsOnRowsTab() {
    std::vector<std::string> items = SectionItems(m_sections);
    window::UpdateRowsOnRowsTab(m_window, items);
    ShowSectionItems(m_sections, items, true);
}

void RowsTab::RefreshRowsList() {
    m_filling = true;
    m_rows->clear();
    m_details->clear();
    for (const window::RowLine& line :
         window::RefreshRowsList(m_window, PickedSection(m_sections))) {
        auto* item = new QListWidgetItem(QString::fromStdString(line.text));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(line.ticked ? Qt::Checked : Qt::Unchecked);
        m_rows->addItem(item);
    }
    m_filling = false;
    // A lone row is not selected: its details stay empty until the user picks it.
    if (m_rows->count() >= 2) {
        m_rows->setCurrentRow(0);
    } else {
        SelectRow();
    }
}

void RowsTab::CheckRow(QListWidgetItem* item) {
    if (m_filling) return;
    window::CheckRow(m_window, PickedSection(m_sections), m_rows->row(item),
                     item->checkState() == Qt::Checked);
}

void RowsTab::SelectRow() {
    if (m_filling) return;
    m_details->clear();
    const QModelIndexList selected = m_rows->selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return;
    m_details->setPlainText(DetailsText(
        window::SelectRow(m_window, PickedSection(m_sections), selected.front().row())));
}

QString DetailsText(const std::string& details) {
    return QString::fromStdString(details).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace tess::ui
