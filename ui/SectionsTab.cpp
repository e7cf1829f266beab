#include "ui/SectionsTab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/Controls.h"
#include "ui/Resources.h"
#include "window/SectionsTab.h"

namespace tess::ui {
namespace {

int CaptionId(int index) {
    if (index < 40) return 702 + index;
    if (index < 50) return 741 + index - 40;
    return 761 + index - 50;
}

}  // namespace

SectionsTab::SectionsTab(window::SectionBoxes& boxes, QWidget* parent)
    : QWidget(parent), m_state(boxes) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeFrame(QStringLiteral("fraShapeSections"), 701, 0, 28), 1);
    auto* lower = new QHBoxLayout;
    m_pageFrame = MakeFrame(QStringLiteral("fraPageSections"), 740, 40, 45);
    m_documentFrame = MakeFrame(QStringLiteral("fraDocumentSections"), 760, 50, 51);
    lower->addWidget(m_pageFrame);
    auto* right = new QVBoxLayout;
    right->addWidget(m_documentFrame);
    auto* buttons = new QHBoxLayout;
    auto* all = Named(new QPushButton(Res(750)), QStringLiteral("cmdAllSections"), Res(750));
    auto* none = Named(new QPushButton(Res(751)), QStringLiteral("cmdNoSections"), Res(751));
    buttons->addWidget(all);
    buttons->addWidget(none);
    right->addLayout(buttons);
    right->addStretch();
    lower->addLayout(right);
    layout->addLayout(lower);

    connect(all, &QPushButton::clicked, this, [this] {
        window::CheckAllSections(m_state);
        ShowState();
        emit ChoiceChanged();
    });
    connect(none, &QPushButton::clicked, this, [this] {
        window::UnCheckAllSections(m_state);
        ShowState();
        emit ChoiceChanged();
    });
    ShowState();
}

QGroupBox* SectionsTab::MakeFrame(const QString& name, int captionId, int first, int last) {
    auto* frame = Named(new QGroupBox(Res(captionId)), name, Res(captionId));
    auto* grid = new QGridLayout(frame);
    grid->setVerticalSpacing(2);
    const int rows = last - first + 1 > 6 ? (last - first + 2) / 2 : last - first + 1;
    for (int index = first; index <= last; ++index) {
        // Section names carry no mnemonic: "Ruler & Grid" shows its ampersand.
        QString caption = Res(CaptionId(index));
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* box = Named(new QCheckBox(caption),
                          QStringLiteral("chkShapeSection_%1").arg(index), caption);
        m_boxes[static_cast<size_t>(index)] = box;
        const int position = index - first;
        grid->addWidget(box, position % rows, position / rows);
        // toggled, not clicked: a screen reader or a script that sets the box counts too.
        connect(box, &QCheckBox::toggled, this, [this, index](bool checked) {
            if (m_showing) return;
            m_state.boxes[static_cast<size_t>(index)].value = checked ? 1 : 0;
            emit ChoiceChanged();
        });
    }
    return frame;
}

void SectionsTab::ShowState() {
    m_showing = true;
    for (size_t index = 0; index < m_boxes.size(); ++index) {
        if (!m_boxes[index]) continue;
        m_boxes[index]->setChecked(m_state.boxes[index].value == 1);
        m_boxes[index]->setEnabled(m_state.boxes[index].enabled);
    }
    m_pageFrame->setEnabled(m_state.pageFrameEnabled);
    m_documentFrame->setEnabled(m_state.documentFrameEnabled);
    m_showing = false;
}

}  // namespace tess::ui
