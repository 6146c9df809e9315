#include "xlsx_sheet.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <array>
#include <cstring>

#include "error.h"

namespace {

constexpr std::array<double, 6> kColumnWidths = {10, 30, 30, 11, 14, 30};
constexpr std::array<const char*, 6> kHeaders = {
    "Телефон", "ФИО", "Улица", "№ дома", "№ квартиры", "Мобильник",
};

}  // namespace

XlsxSheet::XlsxSheet(const QString& path, DirectoryKind kind)
    : m_path(path), m_fieldCount(fieldCount(kind)) {
    // libxlsxwriter opens the file only when the workbook is closed; find out now, before
    // the whole listing has been written, whether the file can be made at all.
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly)) {
        throw Error(QStringLiteral("Не удалось создать файл «%1»: %2")
                        .arg(QDir::toNativeSeparators(path), probe.errorString()));
    }
    probe.close();
    try {
        start();
    } catch (...) {
        abandon();
        throw;
    }
}

void XlsxSheet::start() {
    const QByteArray fileName = QFile::encodeName(m_path);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    m_workbook = workbook_new_opt(fileName.constData(), &options);
    if (m_workbook == nullptr) {
        throw Error(QStringLiteral("Не удалось начать таблицу Excel «%1».")
                        .arg(QDir::toNativeSeparators(m_path)));
    }
    m_sheet = workbook_add_worksheet(m_workbook, "kalvex");
    lxw_format* bold = workbook_add_format(m_workbook);
    if (m_sheet == nullptr || bold == nullptr) {
        throw Error(QStringLiteral("Не удалось начать таблицу Excel «%1».")
                        .arg(QDir::toNativeSeparators(m_path)));
    }
    format_set_bold(bold);
    for (int column = 0; column < int(kColumnWidths.size()); ++column) {
        check(worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column),
                                   kColumnWidths[column], nullptr));
    }
    // The row's format makes the whole row bold; its cells take it over.
    check(worksheet_set_row(m_sheet, 0, LXW_DEF_ROW_HEIGHT, bold));
    for (int column = 0; column < m_fieldCount; ++column) {
        writeText(column, kHeaders[column]);
    }
}

XlsxSheet::~XlsxSheet() {
    if (!m_finished) {
        abandon();
    }
}

// Frees a workbook that will not be written and takes away the file made for it, which is
// empty or, after a failed close, incomplete.
void XlsxSheet::abandon() {
    if (m_workbook != nullptr) {
        lxw_workbook_free(std::exchange(m_workbook, nullptr));
    }
    QFile::remove(m_path);
}

void XlsxSheet::writeEntry(const OutputEntry& entry) {
    ++m_row;
    for (int column = 0; column < m_fieldCount; ++column) {
        if (entry.fields[column]) {
            writeText(column, *entry.fields[column]);
        }
    }
}

void XlsxSheet::writeText(int column, QByteArrayView text) {
    const qsizetype size = text.size();
    if (m_text.size() <= size) {
        m_text.resize(size + 1);
    }
    char* buffer = m_text.data();
    if (size > 0) {
        std::memcpy(buffer, text.data(), std::size_t(size));
    }
    buffer[size] = '\0';
    check(worksheet_write_string(m_sheet, m_row, lxw_col_t(column), buffer, nullptr));
}

void XlsxSheet::finish() {
    // workbook_close() frees the workbook whatever the outcome.
    check(workbook_close(std::exchange(m_workbook, nullptr)));
    m_finished = true;
}

void XlsxSheet::check(int error) const {
    if (error != LXW_NO_ERROR) {
        throw Error(QStringLiteral("Не удалось записать таблицу Excel «%1»: %2")
                        .arg(QDir::toNativeSeparators(m_path),
                             QString::fromUtf8(lxw_strerror(lxw_error(error)))));
    }
}
