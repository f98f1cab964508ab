#include "ui/widgets/RadioGroup.h"

#include <QGridLayout>
#include <QRadioButton>

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(caption, parent) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(2);
    const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setAutoExclusive(false);
        layout->addWidget(button, i % rows, i / rows);
        buttons_.push_back(button);
        connect(button, &QRadioButton::clicked, this, [this, i] { Select(i); });
    }
}

void RadioGroup::Select(int index) {
    for (int i = 0; i < ItemCount(); ++i)
        buttons_[static_cast<size_t>(i)]->setChecked(i == index);
    if (index == index_) return;
    index_ = index;
    emit itemClicked();
}

void RadioGroup::SetItemIndex(int index) {
    if (index < -1 || index >= ItemCount()) return;
    Select(index);
}

void RadioGroup::SetItemEnabled(int index, bool enabled) {
    if (index < 0 || index >= ItemCount()) return;
    buttons_[static_cast<size_t>(index)]->setEnabled(enabled);
}

bool RadioGroup::ItemEnabled(int index) const {
    if (index < 0 || index >= ItemCount()) return false;
    return buttons_[static_cast<size_t>(index)]->isEnabled();
}
