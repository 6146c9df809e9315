#include "xlsx_workbook.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "error.h"
#include "system_reason.h"

namespace {

// What went wrong, in Russian, for the failures libxlsxwriter reports.
QString describe(lxw_error error, int systemError) {
    const QString own = QString::fromUtf8(lxw_strerror(error));
    QString cause;
    switch (error) {
        case LXW_ERROR_MEMORY_MALLOC_FAILED:
            cause = QStringLiteral("не хватает памяти");
            break;
        case LXW_ERROR_CREATING_XLSX_FILE:
        case LXW_ERROR_CREATING_TMPFILE:
        case LXW_ERROR_READING_TMPFILE:
        case LXW_ERROR_ZIP_FILE_OPERATION:
        case LXW_ERROR_ZIP_FILE_ADD:
        case LXW_ERROR_ZIP_CLOSE:
            // A file the library could not make, read or write: the system knows why.
            if (systemError != 0)
                return QStringLiteral("%1 (%2)").arg(systemReason(systemError), own);
            cause = QStringLiteral("ошибка записи файла");
            break;
        case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
            cause = QStringLiteral("строка или столбец за пределами листа");
            break;
        default:
            cause = QStringLiteral("ошибка построения книги");
    }
    return QStringLiteral("%1 (%2)").arg(cause, own);
}

QString sheetName(int number) {
    return number == 1 ? QStringLiteral("kalvex") : QStringLiteral("kalvex (%1)").arg(number);
}

}  // namespace

XlsxWorkbook::XlsxWorkbook(const QString& path, const DirectoryTable& table, unsigned sheetRows)
    : m_path(path), m_table(table), m_sheetRows(std::clamp(sheetRows, 2u, kSheetRows)) {
    // libxlsxwriter opens the file only when the workbook is closed; find out now, before
    // the whole listing has been written, whether the file can be made at all.
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly)) {
        throw Error(QStringLiteral("Не удалось создать файл «%1»: %2")
                        .arg(QDir::toNativeSeparators(path), systemReason(probe.errorString())));
    }
    probe.close();
    try {
        start();
    } catch (...) {
        abandon();
        throw;
    }
}

void XlsxWorkbook::start() {
    const QByteArray fileName = QFile::encodeName(m_path);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    m_workbook = workbook_new_opt(fileName.constData(), &options);
    if (m_workbook == nullptr || (m_bold = workbook_add_format(m_workbook)) == nullptr) {
        throw Error(QStringLiteral("Не удалось начать книгу Excel «%1»: не хватает памяти.")
                        .arg(QDir::toNativeSeparators(m_path)));
    }
    format_set_bold(m_bold);
    addSheet();
}

void XlsxWorkbook::addSheet() {
    const QByteArray name = sheetName(++m_sheets).toUtf8();
    m_sheet = workbook_add_worksheet(m_workbook, name.constData());
    if (m_sheet == nullptr) {
        throw Error(QStringLiteral("Не удалось добавить лист «%1» в книгу Excel «%2».")
                        .arg(QString::fromUtf8(name), QDir::toNativeSeparators(m_path)));
    }
    // Both directories set all six widths, as the old workbook did: after a city export the
    // sixth column is as wide as the mobile number's and empty.
    for (size_t c = 0; c < std::size(kPersonalColumns); ++c) {
        check(worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c),
                                   kPersonalColumns[c].sheetWidth, nullptr),
              "ширина столбца");
    }
    // The row's format makes the whole row bold; its cells take it over.
    check(worksheet_set_row(m_sheet, 0, LXW_DEF_ROW_HEIGHT, m_bold), "строка заголовка");
    for (size_t c = 0; c < m_table.columns.size(); ++c)
        writeText(0, int(c), m_table.columns[c].header.toUtf8());
    m_row = 0;
}

XlsxWorkbook::~XlsxWorkbook() {
    if (!m_finished) {
        abandon();
    }
}

// Frees a workbook that will not be written and takes away the file made for it, which is
// empty or, after a failed close, incomplete.
void XlsxWorkbook::abandon() {
    if (m_workbook != nullptr) {
        lxw_workbook_free(std::exchange(m_workbook, nullptr));
    }
    QFile::remove(m_path);
}

void XlsxWorkbook::write(ListingEntry entry) {
    if (m_row + 1 >= m_sheetRows)
        addSheet();
    ++m_row;
    for (size_t c = 0; c < entry.size(); ++c) {
        if (entry[c]) {
            writeText(m_row, int(c), *entry[c]);
        }
    }
}

void XlsxWorkbook::writeText(unsigned row, int column, QByteArrayView text) {
    const qsizetype size = text.size();
    if (m_text.size() <= size) {
        m_text.resize(size + 1);
    }
    char* buffer = m_text.data();
    if (size > 0) {
        std::memcpy(buffer, text.data(), std::size_t(size));
    }
    buffer[size] = '\0';
    check(worksheet_write_string(m_sheet, row, lxw_col_t(column), buffer, nullptr), "ячейка");
}

void XlsxWorkbook::finish() {
    // workbook_close() frees the workbook whatever the outcome.
    errno = 0;
    check(workbook_close(std::exchange(m_workbook, nullptr)), "файл книги");
    m_finished = true;
}

void XlsxWorkbook::check(int error, const char* doing) const {
    if (error != LXW_NO_ERROR) {
        const int systemError = errno;
        throw Error(QStringLiteral("Не удалось записать книгу Excel «%1» (%2): %3")
                        .arg(QDir::toNativeSeparators(m_path), QString::fromUtf8(doing),
                             describe(lxw_error(error), systemError)));
    }
}
