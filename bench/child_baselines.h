#pragma once

#include <QString>

// Baselines that run as children of tel_bench, so that their memory stays out of the
// benchmark's own peak: each prints one number.

// `--xlsx-baseline <file> <workbook>`: the milliseconds the plain C libxlsxwriter loop
// takes to write the city listing's cells (reading them excluded).
int runXlsxBaseline(const QString& file, const QString& workbook);

// `--naive-memory <file>`: bytes per row that a naive list of five QStrings per row holds
// for the city listing, as malloc counts them.
int runNaiveMemory(const QString& file);
