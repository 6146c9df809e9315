#pragma once

#include <QAbstractTableModel>
#include <QMetaObject>

class DataSet;
class DataSource;

// Presents the shown directory (whatever DataSource1 feeds) to a view: one column per visible
// field in field order, values as plain texts, and the data set's current row as a signal.
// Rows are settled by the data set when its current row moves, not by the view's submit().
class DirectoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DirectoryModel(DataSource& source, QObject* parent = nullptr);

    DataSet& dataSet() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool submit() override { return true; }

signals:
    void currentRowChanged(int row);

private:
    void attach();

    DataSource& m_source;
    QList<QMetaObject::Connection> m_connections;
};
