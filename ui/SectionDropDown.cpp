#include "ui/SectionDropDown.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace tess::ui {

std::vector<std::string> SectionItems(const QComboBox* box) {
    std::vector<std::string> items;
    for (int i = 0; i < box->count(); ++i)
        items.push_back(box->itemText(i).toStdString());
    return items;
}

void ShowSectionItems(QComboBox* box, const std::vector<std::string>& items, bool keepPicked) {
    const QSignalBlocker quiet(box);
    const QString picked = keepPicked ? QString::fromStdString(PickedSection(box)) : QString();
    box->clear();
    for (const std::string& item : items)
        box->addItem(QString::fromStdString(item));
    const int kept = picked.isEmpty() ? -1 : box->findText(picked, Qt::MatchExactly);
    box->setCurrentIndex(kept >= 0 || items.empty() ? kept : 0);
}

std::string PickedSection(const QComboBox* box) {
    return box->currentIndex() < 0 ? std::string() : box->currentText().toStdString();
}

}  // namespace tess::ui
