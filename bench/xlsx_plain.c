#include "xlsx_plain.h"

#include <stdio.h>
#include <xlsxwriter.h>

static const char* const headers[] = {"Телефон", "ФИО", "Улица", "№ дома", "№ квартиры"};
static const double widths[] = {10, 30, 30, 11, 14};

/* A new sheet with the widths and the bold header row; NULL when the library refused. */
static lxw_worksheet* addSheet(lxw_workbook* workbook, lxw_format* bold, int number, int columns) {
    char name[32];
    if (number == 1)
        snprintf(name, sizeof name, "kalvex");
    else
        snprintf(name, sizeof name, "kalvex (%d)", number);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, name);
    lxw_error error = sheet ? LXW_NO_ERROR : LXW_ERROR_PARAMETER_VALIDATION;
    for (int c = 0; c < columns && !error; ++c)
        error = worksheet_set_column(sheet, (lxw_col_t)c, (lxw_col_t)c, widths[c], NULL);
    if (!error)
        error = worksheet_set_row(sheet, 0, LXW_DEF_ROW_HEIGHT, bold);
    for (int c = 0; c < columns && !error; ++c)
        error = worksheet_write_string(sheet, 0, (lxw_col_t)c, headers[c], NULL);
    return error ? NULL : sheet;
}

int plainXlsxWrite(const char* path, const char* const* cells, size_t rows, int columns) {
    if (columns > 5)
        return LXW_ERROR_PARAMETER_VALIDATION;
    lxw_workbook_options options = {.constant_memory = LXW_TRUE};
    lxw_workbook* workbook = workbook_new_opt(path, &options);
    if (!workbook)
        return LXW_ERROR_CREATING_XLSX_FILE;
    lxw_format* bold = workbook_add_format(workbook);
    format_set_bold(bold);
    int sheets = 1;
    lxw_worksheet* sheet = addSheet(workbook, bold, sheets, columns);
    lxw_error error = sheet ? LXW_NO_ERROR : LXW_ERROR_PARAMETER_VALIDATION;
    lxw_row_t row = 0;
    for (size_t r = 0; r < rows && !error; ++r) {
        if (row + 1 == LXW_ROW_MAX) {
            sheet = addSheet(workbook, bold, ++sheets, columns);
            if (!sheet) {
                error = LXW_ERROR_PARAMETER_VALIDATION;
                break;
            }
            row = 0;
        }
        ++row;
        for (int c = 0; c < columns && !error; ++c)
            if (cells[r * (size_t)columns + (size_t)c])
                error = worksheet_write_string(sheet, row, (lxw_col_t)c,
                                               cells[r * (size_t)columns + (size_t)c], NULL);
    }
    const lxw_error closed = workbook_close(workbook);
    return error ? (int)error : (int)closed;
}
