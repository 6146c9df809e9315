#include "directory_model.h"

#include "data_source.h"
#include "dataset.h"

DirectoryModel::DirectoryModel(DataSource& source, QObject* parent)
    : QAbstractTableModel(parent), m_source(source) {
    attach();
    connect(&source, &DataSource::dataSetChanged, this, [this] {
        beginResetModel();
        attach();
        endResetModel();
        emit currentRowChanged(dataSet().currentIndex());
    });
}

DataSet& DirectoryModel::dataSet() const {
    return m_source.dataSet();
}

void DirectoryModel::attach() {
    for (const auto& c : m_connections)
        disconnect(c);
    DataSet* set = &dataSet();
    m_connections = {
        connect(set, &DataSet::aboutToReset, this, [this] { beginResetModel(); }),
        connect(set, &DataSet::reset, this, [this] { endResetModel(); }),
        connect(set, &DataSet::aboutToInsertRow, this,
                [this](int row) { beginInsertRows({}, row, row); }),
        connect(set, &DataSet::rowInserted, this, [this] { endInsertRows(); }),
        connect(set, &DataSet::aboutToRemoveRow, this,
                [this](int row) { beginRemoveRows({}, row, row); }),
        connect(set, &DataSet::rowRemoved, this, [this] { endRemoveRows(); }),
        connect(
            set, &DataSet::rowChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); }),
        connect(set, &DataSet::currentChanged, this, &DirectoryModel::currentRowChanged),
    };
}

int DirectoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : dataSet().recordCount();
}

int DirectoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : dataSet().fieldCount();
}

QVariant DirectoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return dataSet().value(index.row(), index.column()).value_or(QString());
}

bool DirectoryModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    DataSet& set = dataSet();
    const QString text = value.toString();
    // Leaving a cell unchanged gives no value to the field, so an untouched row stays unmodified.
    if (text == set.value(index.row(), index.column()).value_or(QString()))
        return true;
    if (set.currentIndex() != index.row())
        set.moveTo(index.row());
    set.edit();
    set.setValue(index.column(), text);
    return true;
}

Qt::ItemFlags DirectoryModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant DirectoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const auto fields = dataSet().fields();
    return section >= 0 && section < int(fields.size())
               ? QVariant(fields[size_t(section)].heading.toString())
               : QVariant();
}
