#include "xlsx_plain.h"

#include <xlsxwriter.h>

int plainXlsxWrite(const char* path, const char* const* cells, size_t rows, int columns) {
    static const char* const headers[] = {"Телефон", "ФИО", "Улица", "№ дома", "№ квартиры"};
    static const double widths[] = {10, 30, 30, 11, 14};
    if (columns > 5)
        return LXW_ERROR_PARAMETER_VALIDATION;
    lxw_workbook_options options = {.constant_memory = LXW_TRUE};
    lxw_workbook* workbook = workbook_new_opt(path, &options);
    if (!workbook)
        return LXW_ERROR_CREATING_XLSX_FILE;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "kalvex");
    lxw_format* bold = workbook_add_format(workbook);
    format_set_bold(bold);
    lxw_error error = LXW_NO_ERROR;
    for (int c = 0; c < columns && !error; ++c)
        error = worksheet_set_column(sheet, (lxw_col_t)c, (lxw_col_t)c, widths[c], NULL);
    if (!error)
        error = worksheet_set_row(sheet, 0, LXW_DEF_ROW_HEIGHT, bold);
    for (int c = 0; c < columns && !error; ++c)
        error = worksheet_write_string(sheet, 0, (lxw_col_t)c, headers[c], NULL);
    for (size_t r = 0; r < rows && !error; ++r)
        for (int c = 0; c < columns && !error; ++c)
            if (cells[r * (size_t)columns + (size_t)c])
                error = worksheet_write_string(sheet, (lxw_row_t)(r + 1), (lxw_col_t)c,
                                               cells[r * (size_t)columns + (size_t)c], NULL);
    const lxw_error closed = workbook_close(workbook);
    return error ? (int)error : (int)closed;
}
