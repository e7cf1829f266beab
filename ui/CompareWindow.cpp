#include "ui/CompareWindow.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "app/ErrorReport.h"
#include "ui/Controls.h"
#include "ui/MainWindow.h"
#include "ui/Resources.h"
#include "ui/ShapesTab.h"
#include "window/RowDetails.h"
#include "window/RowListing.h"
#include "window/SectionsTab.h"

namespace tess::ui {
namespace {

constexpr app::Procedure kCompare{"frmCompare", "Compare"};

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

/// The sections chosen on the Sections tab; none when none is.
window::Entries ChosenEntries(const window::CopyWindow& state) {
    window::Entries entries;
    for (const engine::CatalogueEntry& entry : engine::CatalogueEntries()) {
        if (entry.kind != engine::EntryKind::Nothing &&
            window::IsSectionChosen(state.sections, entry.index))
            entries.push_back(&entry);
    }
    return entries;
}

/// A cell's formula, value and origin in three columns from column.
void SetSide(QTreeWidgetItem* item, int column, const std::optional<window::CellImage>& cell) {
    if (!cell) {
        item->setText(column, Res(1919));
        return;
    }
    item->setText(column, Q(window::FormulaDisplayText(cell->formula)));
    item->setText(column + 1, Q(cell->value));
    item->setText(column + 2, Q(window::OriginText(*cell)));
    // A long formula or value is cut to its column: the whole of it on hovering.
    for (int each = column; each < column + 3; ++each)
        item->setToolTip(each, item->text(each));
}

/// Fits the columns to what they show within room pixels where they can: each is cut to the
/// same number of characters, at most 36 and at least 12, as few as room asks. The section and
/// row headings span the row, so the first column fits the cell names alone.
void FitColumns(QTreeWidget& tree, int room) {
    const QFontMetrics metrics = tree.fontMetrics();
    const int character = metrics.averageCharWidth();
    std::vector<int> widths(static_cast<size_t>(tree.columnCount()), 0);
    for (int column = 0; column < tree.columnCount(); ++column)
        widths[static_cast<size_t>(column)] = tree.header()->sectionSizeHint(column);
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        const QTreeWidgetItem* item = *it;
        if (item->isFirstColumnSpanned()) continue;
        int depth = 0;
        for (const QTreeWidgetItem* up = item->parent(); up; up = up->parent())
            ++depth;
        for (int column = 0; column < tree.columnCount(); ++column) {
            const int indent = column == 0 ? tree.indentation() * (depth + 1) : 0;
            int& width = widths[static_cast<size_t>(column)];
            width = std::max(width, indent + metrics.horizontalAdvance(item->text(column)) +
                                        2 * character);
        }
    }
    // The cell names are never cut.
    int widest = 36 * character;
    const auto cut = [&](size_t column) {
        return column == 0 ? widths[0] : std::min(widths[column], widest);
    };
    const auto total = [&] {
        int sum = 0;
        for (size_t column = 0; column < widths.size(); ++column)
            sum += cut(column);
        return sum;
    };
    while (total() > room && widest > 12 * character)
        widest -= character;
    for (size_t column = 0; column < widths.size(); ++column)
        tree.setColumnWidth(static_cast<int>(column), cut(column));
}

QString Presence(bool inSource, bool inDestination) {
    return inSource ? (inDestination ? Res(1910) : Res(1911)) : Res(1912);
}

void AddRow(QTreeWidgetItem* section, const window::RowDifference& row) {
    QTreeWidgetItem* parent = section;
    if (!row.label.empty() || !row.inFirst || !row.inSecond) {
        const QString label = Q(row.label);
        parent = new QTreeWidgetItem(
            section, {row.inFirst && row.inSecond
                          ? label
                          : Res(1922).arg(label, Presence(row.inFirst, row.inSecond))});
        parent->setFirstColumnSpanned(true);
    }
    if (row.firstType != row.secondType) {
        auto* type = new QTreeWidgetItem(parent, {Res(1920)});
        type->setText(1, Q(row.firstType));
        type->setText(4, Q(row.secondType));
    }
    for (const window::CellDifference& cell : row.cells) {
        auto* item = new QTreeWidgetItem(parent, {Q(cell.name)});
        SetSide(item, 1, cell.first);
        SetSide(item, 4, cell.second);
    }
}

}  // namespace

CompareWindow::CompareWindow(window::CopyWindow& state, QWidget* parent)
    : QDialog(parent), m_state(state) {
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(Res(1902));
    auto* layout = new QVBoxLayout(this);
    m_destinations = Named(new QComboBox, QStringLiteral("cboDestination"), Res(1903));
    auto* label = Named(new QLabel(Res(1903)), QStringLiteral("lblDestination"), Res(1903));
    label->setBuddy(m_destinations);
    auto* choice = new QHBoxLayout;
    choice->addWidget(label);
    choice->addWidget(m_destinations, 1);
    layout->addLayout(choice);
    m_references = Named(new QLabel, QStringLiteral("txtReferences"));
    m_references->setWordWrap(true);
    layout->addWidget(m_references);
    m_tree = Named(new QTreeWidget, QStringLiteral("tvwDifferences"), Res(1921));
    m_tree->setHeaderLabels(
        {Res(1904), Res(1905), Res(1906), Res(1907), Res(1908), Res(1906), Res(1907)});
    m_tree->setAlternatingRowColors(true);
    layout->addWidget(m_tree, 1);
    m_summary = Named(new QLabel, QStringLiteral("txtSummary"));
    auto* buttons = new QDialogButtonBox;
    QPushButton* close =
        Named(buttons->addButton(Res(611), QDialogButtonBox::RejectRole), QStringLiteral("cmdClose"),
              Res(611));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_summary, 1);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);
    connect(m_destinations, &QComboBox::currentIndexChanged, this, &CompareWindow::Compare);
    resize(Twips(13000), Twips(7000));
}

void CompareWindow::Refresh(int destination) {
    const int current = destination >= 0 ? destination : std::max(m_destinations->currentIndex(), 0);
    {
        const QSignalBlocker quiet(m_destinations);
        m_destinations->clear();
        for (const window::ListItem& item : m_state.destinations)
            m_destinations->addItem(Q(item.text));
        m_destinations->setCurrentIndex(std::min(current, m_destinations->count() - 1));
    }
    Compare(m_destinations->currentIndex());
}

void CompareWindow::Compare(int destination) {
    m_tree->clear();
    m_references->clear();
    m_summary->setText(Res(1915));
    app::Trap(m_state.prompt, kCompare, [&] {
        const visio::ShapePtr source = window::GetSourceShape(m_state);
        if (!source || destination < 0 ||
            destination >= static_cast<int>(m_state.destinations.size()))
            return;
        const visio::ShapePtr other =
            window::ResolveItem(m_state, m_state.destinations[static_cast<size_t>(destination)])
                .sheet;
        if (!other) return;
        const window::SheetComparison comparison =
            window::DiffSheets(m_state.prompt, source, other, ChosenEntries(m_state));
        QStringList mapped;
        for (const auto& [from, to] : comparison.references)
            mapped << Res(1917).arg(Q(from), Q(to));
        m_references->setText(mapped.isEmpty() ? QString() : Res(1916).arg(mapped.join(", ")));
        Show(comparison.diff);
    });
    FitWidth();
}

void CompareWindow::Show(const window::SheetDiff& diff) {
    for (const window::SectionDifference& section : diff.sections) {
        const QString status = section.inFirst && section.inSecond && section.rows.empty()
                                   ? Res(1909)
                                   : Presence(section.inFirst, section.inSecond);
        auto* item = new QTreeWidgetItem(
            m_tree, {Res(1922).arg(Q(window::CaptionOf(*section.entry)), status)});
        item->setFirstColumnSpanned(true);
        for (const window::RowDifference& row : section.rows)
            AddRow(item, row);
    }
    m_tree->expandAll();
    FitColumns(*m_tree, ScreenArea().width() * 9 / 10 - Chrome());
    const size_t count = diff.Count();
    m_summary->setText(count == 0 ? Res(1913) : count == 1 ? Res(1923) : Res(1914).arg(count));
}

QRect CompareWindow::ScreenArea() const {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
}

int CompareWindow::Chrome() const {
    const QMargins margins = layout()->contentsMargins();
    return margins.left() + margins.right() + 2 * m_tree->frameWidth() +
           m_tree->verticalScrollBar()->sizeHint().width();
}

void CompareWindow::FitWidth() {
    // Wide enough for every column where the screen allows; never wider than most of it.
    int columns = 0;
    for (int column = 0; column < m_tree->columnCount(); ++column)
        columns += m_tree->columnWidth(column);
    const QRect area = ScreenArea();
    const int wanted = std::max(width(), columns + Chrome());
    resize(std::min(wanted, area.width() * 9 / 10), std::min(height(), area.height() * 9 / 10));
}

void AddCompareCommand(MainWindow& window) {
    QMenu* menu = window.menuBar()->addMenu(Res(1900));
    menu->setObjectName(QStringLiteral("mnuCompare"));
    auto* compare = new CompareWindow(window.State(), &window);
    QAction* action = menu->addAction(Res(1901), compare, [&window, compare] {
        // The destination selected in the list, else the first.
        const QModelIndexList selected =
            window.Shapes().DestinationList()->selectionModel()->selectedRows();
        compare->Refresh(selected.isEmpty() ? 0 : selected.front().row());
        compare->show();
        compare->raise();
    });
    action->setObjectName(QStringLiteral("mnuCompareSourceDestination"));
    // After a copy, the destination just written as it is now.
    QObject::connect(window.CopyButton(), &QPushButton::clicked, compare, [compare] {
        if (compare->isVisible()) compare->Refresh();
    });
}

}  // namespace tess::ui
