#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The .xlsx baseline: a plain C loop over libxlsxwriter in constant-memory mode writing the
   given cells (rows x columns, row-major, NULL for no value) under a bold header row, with
   the program's column widths and sheet name, going on in sheets "kalvex (2)", ... as the
   program does when a sheet is full. Returns 0 or a libxlsxwriter error code. */
int plainXlsxWrite(const char* path, const char* const* cells, size_t rows, int columns);

#ifdef __cplusplus
}
#endif
