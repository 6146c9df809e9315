#pragma once

#include <QString>
#include <memory>

#include "storage_engine.h"

class CsvScratch;
class Statement;
struct sqlite3;

// The records of a CSV file as entries of a directory table, in file order. The header names
// the columns in any order and any letter case; every column of the table must be there,
// other columns are left out. An empty field becomes no value. A value longer than its field
// stops the load with an Error naming the record.
class CsvEntries : public EntrySource {
public:
    // Throws an Error when the header lacks a column of the table or names one twice.
    CsvEntries(const CsvScratch& scratch, const DirectoryTable& table, QString csvPath);
    ~CsvEntries() override;
    CsvEntries(const CsvEntries&) = delete;
    CsvEntries& operator=(const CsvEntries&) = delete;

    bool next(std::span<RowStore::Field> fields) override;

private:
    const DirectoryTable& m_table;
    QString m_csvPath;
    sqlite3* m_db = nullptr;
    std::unique_ptr<Statement> m_select;
};
