#pragma once

#include <QObject>

class DataSet;

// `DataSource1`: which data set feeds the grid. That data set is the shown directory.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(DataSet& initial, QObject* parent = nullptr);

    DataSet& dataSet() const { return *m_dataSet; }
    void setDataSet(DataSet& dataSet);

signals:
    void dataSetChanged();

private:
    DataSet* m_dataSet;
};
