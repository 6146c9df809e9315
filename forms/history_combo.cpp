#include "history_combo.h"

#include <QLineEdit>
#include <QStyledItemDelegate>

#include "text_order.h"

namespace {

// Items of the drop-down list all one height.
class FixedHeightItems : public QStyledItemDelegate {
public:
    FixedHeightItems(int height, QObject* parent) : QStyledItemDelegate(parent), m_height(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_height};
    }

private:
    int m_height;
};

}  // namespace

HistoryCombo::HistoryCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(true);
    // The history drops down one item high with a scroll bar, as the directory always had it.
    setMaxVisibleItems(1);
    setFrame(false);
    setItemDelegate(new FixedHeightItems(13, this));
}

void HistoryCombo::addToHistory(const QString& text) {
    const TextOrder& order = TextOrder::russian();
    int place = count();
    while (place > 0 && order.compare(itemText(place - 1), text) > 0)
        --place;
    const QString typed = currentText();
    insertItem(place, text);
    setEditText(typed);  // inserting must not replace what is being typed
}

QStringList HistoryCombo::history() const {
    QStringList items;
    for (int i = 0; i < count(); ++i)
        items << itemText(i);
    return items;
}
