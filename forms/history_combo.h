#pragma once

#include <QComboBox>

// A search input with a drop-down history: editable, the list kept in Russian alphabetical
// order, a text taken again even when it is already listed. Enter does not add to the list;
// the search does.
class HistoryCombo : public QComboBox {
    Q_OBJECT
public:
    explicit HistoryCombo(QWidget* parent = nullptr);

    void addToHistory(const QString& text);
    QStringList history() const;
};
