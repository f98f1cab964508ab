#pragma once

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QRadioButton;

// A captioned group of radio items laid out in columns. ItemIndex is -1 while
// nothing is selected. Selecting a different item, by the user or from code
// through SetItemIndex, raises itemClicked once.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent = nullptr);

    int ItemIndex() const { return index_; }
    void SetItemIndex(int index);
    void SetItemEnabled(int index, bool enabled);
    bool ItemEnabled(int index) const;
    int ItemCount() const { return static_cast<int>(buttons_.size()); }
    QRadioButton* Button(int index) const { return buttons_.at(static_cast<size_t>(index)); }

signals:
    void itemClicked();

private:
    void Select(int index);

    std::vector<QRadioButton*> buttons_;
    int index_ = -1;
};
