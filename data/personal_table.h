#pragma once

#include "dataset.h"

// The personal directory `licht`: the whole table `lich`, with the mobile number.
class PersonalTable : public DataSet {
    Q_OBJECT
public:
    explicit PersonalTable(Connection& connection, QObject* parent = nullptr);

protected:
    void load(StorageEngine& engine, RowStore& rows) override;
};
