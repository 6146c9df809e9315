#include "data_source.h"

DataSource::DataSource(DataSet& initial, QObject* parent) : QObject(parent), m_dataSet(&initial) {
    setObjectName(QStringLiteral("DataSource1"));
}

void DataSource::setDataSet(DataSet& dataSet) {
    if (m_dataSet == &dataSet)
        return;
    m_dataSet = &dataSet;
    emit dataSetChanged();
}
