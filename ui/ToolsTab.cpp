#include "ui/ToolsTab.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ErrorReport.h"
#include "ui/Controls.h"
#include "ui/Resources.h"
#include "window/Settings.h"

namespace tess::ui {
namespace {

/// The busy pointer for as long as it lives, restored on every way out.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

/// Runs body as one undo step of the host. What was added before a failure stays added (and
/// undoable), as it does when Add to Destination stops early.
template <class Body>
void AsOneUndoStep(visio::IApplication& application, const QString& name, Body&& body) {
    const int32_t scope = application.BeginUndoScope(name.toStdString());
    try {
        body();
    } catch (...) {
        app::IgnoreFailure([&] { application.EndUndoScope(scope, true); });
        throw;
    }
    application.EndUndoScope(scope, true);
}

}  // namespace

ToolsTab::ToolsTab(window::CopyWindow& window, QWidget* parent)
    : QWidget(parent), m_window(window) {
    auto* layout = new QVBoxLayout(this);
    auto* frame = Named(new QGroupBox(Res(1151)), QStringLiteral("fraAddPages"), Res(1151));
    auto* grid = new QGridLayout(frame);
    m_count = Named(new QLineEdit(QStringLiteral("1")), QStringLiteral("txtNumberOfPagesToAdd"), Res(1152));
    m_count->setMaximumWidth(Twips(1200));
    auto* label = Named(new QLabel(Res(1152)), QStringLiteral("lblNumberOfPages"), Res(1152));
    label->setBuddy(m_count);
    m_addToSource = Named(new QPushButton(Res(1153)), QStringLiteral("cmdAddPagesToSource"), Res(1153));
    m_addToDestination =
        Named(new QPushButton(Res(1154)), QStringLiteral("cmdAddPagesToDest"), Res(1154));
    m_addToSource->setEnabled(false);
    m_addToDestination->setEnabled(false);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_count, 0, 1, Qt::AlignLeft);
    grid->addWidget(m_addToSource, 1, 0);
    grid->addWidget(m_addToDestination, 1, 1);
    layout->addWidget(frame);
    layout->addStretch();
    connect(m_addToSource, &QPushButton::clicked, this, &ToolsTab::cmdAddPagesToSource_Click);
    connect(m_addToDestination, &QPushButton::clicked, this, &ToolsTab::cmdAddPagesToDest_Click);
}

double ToolsTab::Number() const {
    return window::LeadingNumber(m_count->text().toStdString());
}

void ToolsTab::AddPages(const visio::ObjectPtr& object) {
    // A document that no longer resolves is passed over without a word.
    const auto document = std::dynamic_pointer_cast<visio::IDocument>(object);
    if (!document) return;
    const int16_t count = window::ToInteger(Number());
    const visio::PagesPtr pages = document->Pages();
    for (int16_t i = 0; i < count; ++i) {
        pages->Add();
        if (i == 0) m_added.emplace_back(QString::fromStdString(document->Name()), 0);
        ++m_added.back().second;
    }
}

QString ToolsTab::AddedText() const {
    // Each drawing gets the same number of pages.
    if (m_added.empty()) return {};
    QStringList where;
    for (const auto& added : m_added)
        where << added.first;
    const QString documents = where.join(QStringLiteral(", "));
    const int pages = m_added.front().second;
    return pages == 1 ? Res(1684).arg(documents) : Res(1685).arg(pages).arg(documents);
}

void ToolsTab::cmdAddPagesToSource_Click() {
    m_added.clear();
    app::Trap(m_window.prompt, app::proc::cmdAddPagesToSource_Click, [&] {
        if (Number() < 0) return;
        if (m_window.source.empty()) Raise(err::kSubscriptOutOfRange);
        const window::ListItem item = m_window.source.front();
        if (item.image != visio::kImageDrawing) return;
        const visio::ObjectPtr document = window::ResolveItem(m_window, item).object;
        BusyCursor busy;
        AsOneUndoStep(*m_window.host, Res(1660), [&] { AddPages(document); });
    });
    emit PagesAdded(AddedText());
}

void ToolsTab::cmdAddPagesToDest_Click() {
    m_added.clear();
    app::Trap(m_window.prompt, app::proc::cmdAddPagesToDest_Click, [&] {
        if (Number() < 0) return;
        BusyCursor busy;
        // A copy: the list cannot change under the loop, whatever the host does meanwhile.
        const std::vector<window::ListItem> destinations = m_window.destinations;
        AsOneUndoStep(*m_window.host, Res(1660), [&] {
            for (const window::ListItem& item : destinations) {
                if (item.image != visio::kImageDrawing) break;
                AddPages(window::ResolveItem(m_window, item).object);
            }
        });
    });
    emit PagesAdded(AddedText());
}

}  // namespace tess::ui
