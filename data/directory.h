#pragma once

#include <QObject>

#include "city_query.h"
#include "connection.h"
#include "connection_settings.h"
#include "data_source.h"
#include "personal_table.h"

// The directory's data as the main window holds it: the connection, the city query `tel`,
// the personal table `licht` and the data source `DataSource1`, which feeds `tel` at first.
class Directory : public QObject {
    Q_OBJECT
public:
    explicit Directory(QString connectionString = QString::fromLatin1(kConnectionString),
                       QObject* parent = nullptr);

    Connection connection;
    CityQuery tel;
    PersonalTable licht;
    DataSource DataSource1;

    // The shown directory is the city directory exactly when DataSource1 feeds `tel`.
    bool showsCity() const { return &DataSource1.dataSet() == &tel; }
    DataSet& shown() const { return DataSource1.dataSet(); }
};
