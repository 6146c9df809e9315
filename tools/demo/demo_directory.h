#pragma once

#include <QString>
#include <cstdint>

#include "error.h"

inline constexpr std::uint64_t kDefaultDemoSeed = 19570404;

struct DemoOptions {
    qint64 cityEntries = 20000;
    qint64 personalEntries = 12;
    std::uint64_t seed = kDefaultDemoSeed;  // the same seed makes the same file, byte for byte
    bool replace = false;                   // whether an existing file may be replaced
};

// Thrown when the file exists and may not be replaced.
class DemoFileExists : public Error {
public:
    using Error::Error;
};

// Writes a new directory file of made-up entries of the town, with the search index. The
// file appears only once complete: it is written under a temporary name in the same folder
// and then renamed, so an existing file is either left alone or replaced whole.
void writeDemoDirectory(const QString& path, const DemoOptions& options);
