#include "ui/CopyErrorDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "app/ErrorReport.h"
#include "ui/Controls.h"
#include "ui/Resources.h"
#include "ui/WindowHelpers.h"

namespace tess::ui {
namespace {

QLabel* Label(QWidget* parent, const QString& text, const QString& name) {
    auto* label = Named(new QLabel(text, parent), name, text);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QPushButton* Button(QWidget* parent, const QString& caption, const QString& name) {
    auto* button = Named(new QPushButton(caption, parent), name, caption);
    button->setAutoDefault(false);
    return button;
}

/// The dialogs' captions are their own fixed texts, not the string table's.
void Caption(QDialog& dialog, const QString& name, const QString& caption, int width, int height) {
    dialog.setObjectName(name);
    dialog.setAccessibleName(caption);
    dialog.setWindowTitle(caption);
    dialog.setModal(true);
    dialog.setFixedSize(Twips(width), Twips(height));
    dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

}  // namespace

CopyErrorDetailsDialog::CopyErrorDetailsDialog(const CopyErrorDetails& details,
                                               app::IPrompt& prompt, QWidget* parent)
    : QDialog(parent) {
    Caption(*this, QStringLiteral("frmCopyErrorDetails"), QStringLiteral("Copy Error Details"),
            8415, 6150);
    auto* message = Label(this,
                          QStringLiteral("Almost all copy errors are the result of invalid "
                                         "references in a formula that is trying to be copied "
                                         "into the destination shape"),
                          QStringLiteral("lblMsg"));
    Place(message, 240, 180, 7755, 375);
    FitHeight(message);
    auto* original = Label(this, QStringLiteral("Original formulas from the source shape"),
                           QStringLiteral("lblOriginalFormulas"));
    Place(original, 180, 780, 5895, 195);
    m_original = Named(new QListWidget(this), QStringLiteral("lstOriginal"), original->text());
    Place(m_original, 180, 1020, 8055, 2010);
    original->setBuddy(m_original);
    auto* resolved = Label(this, QStringLiteral("Potential Problems"),
                           QStringLiteral("lblResolvedFormulas"));
    Place(resolved, 180, 3240, 7875, 195);
    m_modified = Named(new QListWidget(this), QStringLiteral("lstModified"), resolved->text());
    Place(m_modified, 180, 3480, 8055, 1980);
    resolved->setBuddy(m_modified);
    auto* ok = Button(this, QStringLiteral("OK"), QStringLiteral("cmdOK"));
    ok->setDefault(true);
    Place(ok, 3600, 5640, 1155, 375);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    app::Trap(prompt, app::proc::CopyErrorDetails_Form_Load, [&] { Form_Load(details); });
}

void CopyErrorDetailsDialog::Form_Load(const CopyErrorDetails& details) {
    CenterForm(*this);
    // A list of one formula has upper index 0, which shows none: the list is filled only from
    // an upper index above 0.
    const size_t upper = details.hasFormulas && !details.formulas.empty()
                             ? details.formulas.size() - 1
                             : 0;
    if (upper > 0) {
        for (const std::string& formula : details.formulas)
            m_original->addItem(QString::fromStdString(formula));
    }
    m_modified->addItem(QStringLiteral(
        "A reference is made to a section or row that does not exist in the destination shape."));
    m_modified->addItem(QStringLiteral("A reference to a shape in the formula cannot be resolved."));
}

CopyErrorDialog::CopyErrorDialog(const QString& message, const CopyErrorDetails& details,
                                 app::IPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_details(details), m_prompt(prompt) {
    Caption(*this, QStringLiteral("frmCopyError"), QStringLiteral("Tessaline Copy Error"), 4680,
            3195);
    // The engine's message breaks its lines with carriage returns.
    QString text = message;
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    auto* label = Label(this, text, QStringLiteral("lblMsg"));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Place(label, 180, 180, 4275, 2175);
    auto* showDetails = Button(this, QStringLiteral("&Details"), QStringLiteral("cmdDetails"));
    Place(showDetails, 240, 2640, 1155, 375);
    auto* ok = Button(this, QStringLiteral("Continue"), QStringLiteral("cmdOK"));
    Place(ok, 1680, 2640, 1155, 375);
    ok->setDefault(true);
    ok->setFocus();
    auto* cancel = Button(this, QStringLiteral("Cancel Run"), QStringLiteral("cmdCancel"));
    Place(cancel, 3120, 2640, 1335, 375);
    connect(showDetails, &QPushButton::clicked, this, &CopyErrorDialog::cmdDetails_Click);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_cancelRun = true;
        reject();
    });
    CenterForm(*this);
}

void CopyErrorDialog::cmdDetails_Click() {
    CopyErrorDetailsDialog details(m_details, m_prompt, this);
    details.exec();
}

void CopyErrorForms::SetDetails(const std::vector<std::string>& formulas,
                                const visio::ShapePtr& problemShape) {
    m_details.formulas = formulas;
    m_details.hasFormulas = true;
    m_details.problemShape = problemShape;
}

bool CopyErrorForms::ShowModal(const std::string& message) {
    CopyErrorDialog dialog(QString::fromStdString(message), m_details, m_prompt,
                           QApplication::activeWindow());
    dialog.exec();
    return dialog.CancelRunChosen();
}

}  // namespace tess::ui
