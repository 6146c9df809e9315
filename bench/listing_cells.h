#pragma once

#include <QString>
#include <vector>

class DataSet;

// The city listing's five columns read once: NUL-terminated texts one after another, and per
// cell a pointer to its text or null for no value.
class ListingCells {
public:
    static constexpr int kColumns = 5;

    explicit ListingCells(const QString& file);   // with SQLite, in stored order
    explicit ListingCells(const DataSet& shown);  // as the program holds them, in its order

    size_t rows() const { return m_cells.size() / kColumns; }
    const char* const* cells() const { return m_cells.data(); }  // rows x columns, row-major

private:
    void append(const char* text, qsizetype size);  // null text: no value
    void point();                                   // the pointers, once the text is complete

    std::vector<char> m_text;
    std::vector<qsizetype> m_offsets;
    std::vector<const char*> m_cells;
};
