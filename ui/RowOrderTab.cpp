#include "ui/RowOrderTab.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/Controls.h"
#include "ui/Resources.h"
#include "ui/RowsTab.h"
#include "ui/SectionDropDown.h"

namespace tess::ui {
namespace {

/// Shows the rows in a list; a name too long for the list is shown whole, the list scrolling
/// sideways, and in the item's tool tip.
void ShowRows(QListWidget* list, const std::vector<std::string>& rows) {
    list->clear();
    for (const std::string& row : rows) {
        auto* item = new QListWidgetItem(QString::fromStdString(row));
        item->setToolTip(item->text());
        list->addItem(item);
    }
}

}  // namespace

RowOrderTab::RowOrderTab(window::CopyWindow& window, QWidget* parent)
    : QWidget(parent), m_window(window) {
    auto* layout = new QVBoxLayout(this);
    auto* frame = Named(new QGroupBox(Res(1051)), QStringLiteral("fraReorder"), Res(1051));
    auto* grid = new QGridLayout(frame);
    // Both tabs' drop-downs have the same label: each is named for what it chooses.
    m_sections = Named(new QComboBox, QStringLiteral("cboOrderSection"), Res(1697));
    m_current = Named(new QListWidget, QStringLiteral("lstCurrentOrder"), Res(1053));
    m_new = Named(new QListWidget, QStringLiteral("lstNewOrder"), Res(1054));
    m_up = Named(new QToolButton, QStringLiteral("UpDown1_Up"), Res(1640));
    m_down = Named(new QToolButton, QStringLiteral("UpDown1_Down"), Res(1641));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    m_details = Named(new QPlainTextEdit, QStringLiteral("txtOrderDetails"), Res(1055));
    m_details->setReadOnly(true);
    for (QListWidget* list : {m_current, m_new}) {
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        list->setTextElideMode(Qt::ElideNone);
        list->setSpacing(Twips(15));
    }
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

    // The arrows take no focus from the list; the same moves are on the list's own keys.
    const QKeySequence upKey(Qt::ALT | Qt::Key_Up);
    const QKeySequence downKey(Qt::ALT | Qt::Key_Down);
    m_up->setToolTip(Res(1640) + QStringLiteral(" (") + upKey.toString(QKeySequence::NativeText) +
                     QStringLiteral(")"));
    m_down->setToolTip(Res(1641) + QStringLiteral(" (") +
                       downKey.toString(QKeySequence::NativeText) + QStringLiteral(")"));
    for (const auto& [key, step] : {std::pair{upKey, -1}, std::pair{downKey, 1}}) {
        auto* shortcut = new QShortcut(key, m_new);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step] { MoveRow(step); });
    }
    connect(m_up, &QToolButton::clicked, this, &RowOrderTab::MoveRowUp);
    connect(m_down, &QToolButton::clicked, this, &RowOrderTab::MoveRowDown);
    connect(m_sections, &QComboBox::currentIndexChanged, this, &RowOrderTab::RefreshOrderLists);
    connect(m_new->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RowOrderTab::lstNewOrder_Click);
    connect(m_new->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RowOrderTab::ShowArrows);
    ShowArrows();
}

void RowOrderTab::SetupRowOrderTab() {
    const std::vector<std::string> items = window::SetupRowOrderTab(m_window);
    m_lists = {};
    m_current->clear();
    m_new->clear();
    m_details->clear();
    ShowSectionItems(m_sections, items, false);
    ShowArrows();
}

void RowOrderTab::UpdateRowsOnRowOrderTab() {
    std::vector<std::string> items = SectionItems(m_sections);
    window::UpdateRowsOnRowOrderTab(m_window, items);
    ShowSectionItems(m_sections, items, true);
}

void RowOrderTab::RefreshOrderLists() {
    m_current->clear();
    m_new->clear();
    m_details->clear();
    m_lists = window::RefreshOrderLists(m_window, PickedSection(m_sections));
    ShowRows(m_current, m_lists.current);
    ShowRows(m_new, m_lists.next);
    ShowArrows();
}

void RowOrderTab::ShowArrows() {
    const window::PossibleMoves moves = window::MovesOf(m_lists, SelectedNewRow());
    m_up->setEnabled(moves.up);
    m_down->setEnabled(moves.down);
}

void RowOrderTab::MoveRowUp() {
    MoveRow(-1);
}

void RowOrderTab::MoveRowDown() {
    MoveRow(1);
}

void RowOrderTab::MoveRow(int step) {
    int selected = SelectedNewRow();
    switch (window::MoveRow(m_window, PickedSection(m_sections), m_lists, selected, step)) {
        case window::MoveOutcome::Refused:
            m_window.prompt.MsgBox(
                "Reordering of rows with Visio assigned names (i.e Prop.Row_XX or User.Row_XX) is "
                "not allowed.",
                app::Style::Warning, app::kTitle);
            return;
        case window::MoveOutcome::Unmoved:
            return;
        case window::MoveOutcome::Moved:
            break;
    }
    ShowRows(m_new, m_lists.next);
    m_new->setCurrentRow(selected);
    ShowArrows();
}

int RowOrderTab::SelectedNewRow() const {
    const QModelIndexList selected = m_new->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

void RowOrderTab::lstNewOrder_Click() {
    m_details->setPlainText(DetailsText(
        window::NewOrderDetails(m_window, PickedSection(m_sections), m_lists, SelectedNewRow())));
}

}  // namespace tess::ui
