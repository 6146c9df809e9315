#pragma once

#include <array>

#include "output_entry.h"

class DataSet;

// Reads the current entry of the shown directory for the output builders, straight from the
// rows the data set holds. Fields are looked up by name once, ignoring letter case, so the
// personal table's `Ul` serves as "ul".
class ListingReader {
public:
    explicit ListingReader(const DataSet& dataSet, DirectoryKind kind);

    DirectoryKind kind() const { return m_kind; }
    OutputEntry current() const;

private:
    const DataSet& m_dataSet;
    DirectoryKind m_kind;
    std::array<int, 6> m_columns{};
};
