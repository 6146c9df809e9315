#include "child_baselines.h"

#include <malloc.h>

#include <QFile>
#include <QList>
#include <array>
#include <cstdio>
#include <vector>

#include "listing_cells.h"

namespace {

size_t mallocInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace

int runNaiveMemory(const QString& file) {
    const ListingCells cells(file);
    malloc_trim(0);
    const size_t before = mallocInUse();
    constexpr int kColumns = ListingCells::kColumns;
    QList<std::array<QString, kColumns>> rows;
    for (size_t r = 0; r < cells.rows(); ++r) {
        std::array<QString, kColumns> row;
        for (int c = 0; c < kColumns; ++c) {
            if (const char* text = cells.cells()[r * kColumns + size_t(c)])
                row[size_t(c)] = QString::fromUtf8(text);
        }
        rows.append(std::move(row));
    }
    const size_t after = mallocInUse();
    std::printf("%.1f\n", double(after - before) / double(rows.size()));
    return 0;
}
