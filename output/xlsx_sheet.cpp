#include "xlsx_sheet.h"

#include <xlsxwriter.h>
#include <zlib.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <array>

#include "deflate_pipeline.h"
#include "error.h"

namespace {

constexpr std::array<double, 6> kColumnWidths = {10, 30, 30, 11, 14, 30};
constexpr std::array<const char*, 6> kHeaders = {
    "Телефон", "ФИО", "Улица", "№ дома", "№ квартиры", "Мобильник",
};
constexpr char kSheetName[] = "xl/worksheets/sheet1.xml";
constexpr qsizetype kPiece = 1 << 20;  // rows handed to the pipeline at a time

}  // namespace

XlsxSheet::XlsxSheet(const QString& path, DirectoryKind kind)
    : m_path(path), m_fieldCount(fieldCount(kind)), m_rows(m_fieldCount) {
    // Find out now, before the whole listing has been written, whether the file can be
    // made at all.
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
    makeHeaderWorkbook();
    splitSheet();
    m_deflated.setFileTemplate(m_path + QStringLiteral(".XXXXXX"));
    if (!m_deflated.open()) {
        throw Error(QStringLiteral("Не удалось создать файл «%1»: %2")
                        .arg(QDir::toNativeSeparators(m_deflated.fileTemplate()),
                             m_deflated.errorString()));
    }
    m_deflate = std::make_unique<DeflatePipeline>(m_deflated);
    m_piece.reserve(kPiece + 64 * 1024);
}

// libxlsxwriter's workbook as it has always been made, with the header row and no entries,
// written to the file and read back.
void XlsxSheet::makeHeaderWorkbook() {
    const QByteArray fileName = QFile::encodeName(m_path);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(fileName.constData(), &options);
    if (workbook == nullptr) {
        throw Error(QStringLiteral("Не удалось начать таблицу Excel «%1».")
                        .arg(QDir::toNativeSeparators(m_path)));
    }
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "kalvex");
    lxw_format* bold = workbook_add_format(workbook);
    if (sheet == nullptr || bold == nullptr) {
        lxw_workbook_free(workbook);
        throw Error(QStringLiteral("Не удалось начать таблицу Excel «%1».")
                        .arg(QDir::toNativeSeparators(m_path)));
    }
    format_set_bold(bold);
    int error = LXW_NO_ERROR;
    for (int column = 0; column < int(kColumnWidths.size()) && !error; ++column) {
        error = worksheet_set_column(sheet, lxw_col_t(column), lxw_col_t(column),
                                     kColumnWidths[column], nullptr);
    }
    // The row's format makes the whole row bold; its cells take it over.
    if (!error)
        error = worksheet_set_row(sheet, 0, LXW_DEF_ROW_HEIGHT, bold);
    for (int column = 0; column < m_fieldCount && !error; ++column)
        error = worksheet_write_string(sheet, 0, lxw_col_t(column), kHeaders[column], nullptr);
    if (error) {
        lxw_workbook_free(workbook);
        check(error);
    }
    check(workbook_close(workbook));  // frees the workbook whatever the outcome

    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        failWriting(file.errorString());
    try {
        m_archive = readZip(file.readAll());
    } catch (const Error& e) {
        failWriting(e.text());
    }
    for (qsizetype i = 0; i < m_archive.size(); ++i)
        if (m_archive[i].name == kSheetName)
            m_sheetEntry = i;
    if (m_sheetEntry < 0)
        failWriting(QStringLiteral("в книге нет листа"));
}

// Cuts the header-only sheet where the entries' rows go and where the dimension names the
// last row, e.g. <dimension ref="A1:E1"/>.
void XlsxSheet::splitSheet() {
    QByteArray sheet;
    try {
        sheet = m_archive[m_sheetEntry].content();
    } catch (const Error& e) {
        failWriting(e.text());
    }
    static const QRegularExpression dimension(QStringLiteral("<dimension ref=\"A1:[A-Z]+(1)\"/>"));
    const QRegularExpressionMatch match = dimension.match(QString::fromUtf8(sheet));
    const qsizetype rowsEnd = sheet.indexOf("</sheetData>");
    if (!match.hasMatch() || rowsEnd < 0 || sheet.indexOf("</sheetData>", rowsEnd + 1) >= 0)
        failWriting(QStringLiteral("непредвиденное строение листа"));
    // The match is in UTF-16 units; everything before it is ASCII, so bytes count the same.
    const qsizetype number = match.capturedStart(1);
    m_sheetStart = sheet.left(number);
    m_sheetMiddle = sheet.mid(number + 1, rowsEnd - number - 1);
    m_sheetEnd = sheet.mid(rowsEnd);
}

XlsxSheet::~XlsxSheet() {
    if (!m_finished) {
        abandon();
    }
}

// Stops the compression and takes away the file, which is libxlsxwriter's header-only
// workbook or an incomplete one.
void XlsxSheet::abandon() {
    m_deflate.reset();
    QFile::remove(m_path);
}

void XlsxSheet::writeEntry(const OutputEntry& entry) {
    ++m_row;
    check(m_rows.append(m_piece, m_row, entry));
    if (m_piece.size() >= kPiece)
        handOver();
}

void XlsxSheet::handOver() {
    try {
        m_deflate->add(std::exchange(m_piece, QByteArray()));
    } catch (const Error& e) {
        failWriting(e.text());
    }
    m_piece.reserve(kPiece + 64 * 1024);
}

void XlsxSheet::finish() {
    if (!m_piece.isEmpty())
        handOver();
    try {
        assemble();
    } catch (const Error& e) {
        failWriting(e.text());
    }
    m_finished = true;
}

// The workbook as libxlsxwriter wrote it, its sheet taking in the rows: the sheet's start
// with the last row's number in the dimension, then the rows, then the sheet's end.
void XlsxSheet::assemble() {
    const DeflatePipeline::Totals rows = m_deflate->finish();
    m_deflate.reset();
    const QByteArray start =
        m_sheetStart + QByteArray::number(m_rows.lastRow() + 1) + m_sheetMiddle;
    const QByteArray startDeflated = deflatePart(start, {}, false);
    const QByteArray endDeflated = deflatePart(m_sheetEnd, {}, true);
    const auto crcOf = [](const QByteArray& text) {
        return crc32(0, reinterpret_cast<const Bytef*>(text.data()), uInt(text.size()));
    };
    uLong crc = crc32_combine(crcOf(start), rows.crc, rows.length);
    crc = crc32_combine(crc, crcOf(m_sheetEnd), m_sheetEnd.size());
    const std::int64_t length = start.size() + rows.length + m_sheetEnd.size();
    const std::int64_t deflated = startDeflated.size() + rows.written + endDeflated.size();

    QFile out(m_path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error(out.errorString());
    ZipWriter zip(out);
    for (qsizetype i = 0; i < m_archive.size(); ++i) {
        if (i != m_sheetEntry) {
            zip.copy(m_archive[i]);
            continue;
        }
        zip.begin(m_archive[i], std::uint32_t(crc), deflated, length);
        zip.write(startDeflated);
        if (!m_deflated.seek(0))
            throw Error(m_deflated.errorString());
        QByteArray block(1 << 20, Qt::Uninitialized);
        for (qint64 n; (n = m_deflated.read(block.data(), block.size())) > 0;)
            zip.write(QByteArrayView(block.data(), n));
        if (m_deflated.error() != QFileDevice::NoError)
            throw Error(m_deflated.errorString());
        zip.write(endDeflated);
    }
    zip.finish();
    if (!out.flush())
        throw Error(out.errorString());
    out.close();
}

void XlsxSheet::failWriting(const QString& reason) const {
    throw Error(QStringLiteral("Не удалось записать таблицу Excel «%1»: %2")
                    .arg(QDir::toNativeSeparators(m_path), reason));
}

void XlsxSheet::check(int error) const {
    if (error != LXW_NO_ERROR) {
        failWriting(QString::fromUtf8(lxw_strerror(lxw_error(error))));
    }
}
