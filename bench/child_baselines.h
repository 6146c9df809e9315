#pragma once

#include <QString>

// A baseline that runs as a child of tel_bench, so that its memory stays out of the
// benchmark's own peak: it prints one number.

// `--naive-memory <file>`: bytes per row that a naive list of five QStrings per row holds
// for the city listing, as malloc counts them.
int runNaiveMemory(const QString& file);
