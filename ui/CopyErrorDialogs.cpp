#include "ui/CopyErrorDialogs.h"

#include <QApplication>
#include <algorithm>
#include <cmath>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/ErrorReport.h"
#include "ui/Accessibility.h"
#include "ui/Controls.h"
#include "ui/Resources.h"
#include "ui/WindowHelpers.h"

namespace tess::ui {
namespace {

QLabel* Label(const QString& text, const QString& name) {
    auto* label = Named(new QLabel(text), name, text);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

/// A read-only text shown as a label is, but whole: a long formula is one long word, which the
/// box wraps anywhere rather than cut off; it scrolls when it is longer than there is room for.
QTextEdit* WholeText(const QString& text, const QString& name) {
    auto* box = Named(new QTextEdit, name, text);
    box->setPlainText(text);
    box->setReadOnly(true);
    box->setFrameShape(QFrame::NoFrame);
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box->viewport()->setAutoFillBackground(false);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return box;
}

/// Makes a whole-text box as tall as its text at its width, up to most; then it scrolls.
void FitTextHeight(QTextEdit* box, int least, int most) {
    box->document()->setTextWidth(box->viewport()->width());
    const int needed = static_cast<int>(std::ceil(box->document()->size().height())) +
                       2 * box->frameWidth();
    box->setFixedHeight(std::clamp(needed, least, most));
}

QPushButton* Button(const QString& caption, const QString& name) {
    auto* button = Named(new QPushButton(caption), name, caption);
    button->setAutoDefault(false);
    return button;
}

/// The dialogs' captions are their own fixed texts, not the string table's. Their sizes are the
/// design's at the usual font, and grow with a larger one.
void Caption(QDialog& dialog, const QString& name, const QString& caption, int width) {
    InstallAccessibility();
    dialog.setObjectName(name);
    dialog.setAccessibleName(caption);
    dialog.setWindowTitle(caption);
    dialog.setModal(true);
    dialog.setMinimumWidth(Twips(width));
    dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

/// A list as tall as rows lines of its font.
void ListHeight(QListWidget* list, int twips) {
    list->setMinimumHeight(std::max(Twips(twips), list->fontMetrics().height() * 5));
}

}  // namespace

QString FormulaLine(const std::string& formula, const std::string& cellName) {
    const QString text = QString::fromStdString(formula);
    return cellName.empty() ? text : Res(1691).arg(QString::fromStdString(cellName), text);
}

CopyErrorDetailsDialog::CopyErrorDetailsDialog(const CopyErrorDetails& details,
                                               app::IPrompt& prompt, QWidget* parent)
    : QDialog(parent) {
    Caption(*this, QStringLiteral("frmCopyErrorDetails"), QStringLiteral("Copy Error Details"),
            8415);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label(QStringLiteral("Almost all copy errors are the result of invalid "
                                           "references in a formula that is trying to be copied "
                                           "into the destination shape"),
                            QStringLiteral("lblMsg")));
    layout->addSpacing(Twips(120));
    auto* original = Label(QStringLiteral("Original formulas from the source shape"),
                           QStringLiteral("lblOriginalFormulas"));
    m_original = Named(new QListWidget, QStringLiteral("lstOriginal"), original->text());
    m_original->setWordWrap(true);
    ListHeight(m_original, 2010);
    original->setBuddy(m_original);
    auto* resolved =
        Label(QStringLiteral("Potential Problems"), QStringLiteral("lblResolvedFormulas"));
    m_modified = Named(new QListWidget, QStringLiteral("lstModified"), resolved->text());
    m_modified->setWordWrap(true);
    ListHeight(m_modified, 1980);
    resolved->setBuddy(m_modified);
    for (QWidget* control :
         std::initializer_list<QWidget*>{original, m_original, resolved, m_modified})
        layout->addWidget(control, qobject_cast<QListWidget*>(control) ? 1 : 0);
    auto* ok = Button(QStringLiteral("OK"), QStringLiteral("cmdOK"));
    ok->setDefault(true);
    ok->setMinimumWidth(Twips(1155));
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    resize(std::max(Twips(8415), sizeHint().width()), std::max(Twips(6150), sizeHint().height()));
    app::Trap(prompt, app::proc::CopyErrorDetails_Form_Load, [&] { Form_Load(details); });
}

void CopyErrorDetailsDialog::Form_Load(const CopyErrorDetails& details) {
    CenterOn(*this, parentWidget());
    // A list of one formula has upper index 0, which shows none: the list is filled only from
    // an upper index above 0.
    const size_t upper = details.hasFormulas && !details.formulas.empty()
                             ? details.formulas.size() - 1
                             : 0;
    if (upper > 0) {
        for (size_t i = 0; i < details.formulas.size(); ++i) {
            const std::string cell = i < details.cellNames.size() ? details.cellNames[i] : "";
            m_original->addItem(FormulaLine(details.formulas[i], cell));
        }
    }
    m_modified->addItem(QStringLiteral(
        "A reference is made to a section or row that does not exist in the destination shape."));
    m_modified->addItem(QStringLiteral("A reference to a shape in the formula cannot be resolved."));
}

CopyErrorDialog::CopyErrorDialog(const QString& message, const RefusalPlace& place,
                                 const CopyErrorDetails& details, app::IPrompt& prompt,
                                 QWidget* parent)
    : QDialog(parent), m_details(details), m_prompt(prompt) {
    Caption(*this, QStringLiteral("frmCopyError"), QStringLiteral("Tessaline Copy Error"), 4680);
    auto* layout = new QVBoxLayout(this);
    QStringList where;
    for (const QString& line : {place.destination, place.refused})
        if (!line.isEmpty()) where << line;
    if (!where.isEmpty()) {
        m_where = WholeText(where.join(QLatin1Char('\n')), QStringLiteral("lblWhere"));
        QFont bold = m_where->font();
        bold.setBold(true);
        m_where->setFont(bold);
        layout->addWidget(m_where);
    }
    // The engine's message breaks its lines with carriage returns.
    QString text = message;
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_message = WholeText(text, QStringLiteral("lblMsg"));
    layout->addWidget(m_message, 1);
    auto* buttons = new QHBoxLayout;
    auto* showDetails = Button(QStringLiteral("&Details"), QStringLiteral("cmdDetails"));
    auto* ok = Button(QStringLiteral("Continue"), QStringLiteral("cmdOK"));
    auto* cancel = Button(QStringLiteral("Cancel Run"), QStringLiteral("cmdCancel"));
    for (QPushButton* button : {showDetails, ok, cancel}) {
        button->setMinimumWidth(Twips(1155));
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    ok->setDefault(true);
    ok->setFocus();
    connect(showDetails, &QPushButton::clicked, this, &CopyErrorDialog::cmdDetails_Click);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_cancelRun = true;
        reject();
    });
}

void CopyErrorDialog::showEvent(QShowEvent* event) {
    // As tall as the texts need at the dialog's width, up to half the screen between them.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int most = screen ? screen->availableGeometry().height() / 4 : Twips(3000);
    if (m_where) FitTextHeight(m_where, 0, most);
    FitTextHeight(m_message, Twips(1200), most);
    adjustSize();
    CenterOn(*this, parentWidget());
    QDialog::showEvent(event);
}

void CopyErrorDialog::cmdDetails_Click() {
    CopyErrorDetailsDialog details(m_details, m_prompt, this);
    details.exec();
}

void CopyErrorForms::SetDetails(const std::vector<std::string>& formulas,
                                const visio::ShapePtr& problemShape) {
    m_details.formulas = formulas;
    m_details.cellNames.clear();
    m_details.hasFormulas = true;
    m_details.problemShape = problemShape;
}

void CopyErrorForms::SetCells(const std::vector<std::string>& cellNames) {
    m_details.cellNames = cellNames;
}

bool CopyErrorForms::ShowModal(const std::string& message, const RefusalPlace& place,
                               QWidget* over) {
    CopyErrorDialog dialog(QString::fromStdString(message), place, m_details, m_prompt,
                           over ? over : QApplication::activeWindow());
    dialog.exec();
    return dialog.CancelRunChosen();
}

}  // namespace tess::ui
