// The three ways of handing the listing on, each of all the entries held in the city view.
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

#include "bench_files.h"
#include "error.h"
#include "listing_cells.h"
#include "mainform.h"
#include "program_bench.h"
#include "program_driver.h"
#include "sample.h"
#include "tool_baselines.h"
#include "xlsx_plain.h"
#include "xlsx_workbook.h"

namespace {

qint64 fileSize(const QString& path, const char* what) {
    const QFileInfo info(path);
    if (!info.exists() || info.size() == 0)
        throw Error(
            QStringLiteral("the %1 export made no file %2").arg(QString::fromLatin1(what), path));
    return info.size();
}

// The page count from the PDF's page tree, which Qt writes near the end of the file, before
// the cross-reference table: about a thirtieth of the file after it, for a listing's pages.
int pdfPages(const QString& path) {
    QFile pdf(path);
    if (!pdf.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("cannot read %1").arg(path));
    pdf.seek(std::max<qint64>(0, pdf.size() - std::max<qint64>(qint64(4) << 20, pdf.size() / 8)));
    const QByteArray tail = pdf.readAll();
    const QRegularExpression count(QStringLiteral("/Type /Pages\\s[^>]*?/Count (\\d+)"));
    const auto match = count.match(QString::fromLatin1(tail));
    if (!match.hasMatch())
        throw Error(QStringLiteral("no page count in %1").arg(path));
    return match.captured(1).toInt();
}

// Hands a written file's data to the disk and waits for it, as QSaveFile does when our export
// commits (fdatasync on Linux), so that a baseline that only writes pays for the same.
void syncToDisk(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fdatasync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!synced)
        throw Error(QStringLiteral("cannot sync %1 to the disk").arg(path));
}

QString mb(qint64 bytes) {
    return QStringLiteral("%1 MB").arg(double(bytes) / 1e6, 0, 'f', 1);
}

}  // namespace

void ProgramBench::html() {
    sortedListing();
    const int count = m_program->directory().tel.recordCount();
    const QString path = workFile(QStringLiteral("listing.html"));
    const auto [ours, baseline] = collectPaired(
        m_options.runs,
        [&] {
            QFile::remove(path);  // so that the program does not ask whether to replace it
            m_program->modals().saveAs(path);
            m_program->trigger("Html");
            return m_program->modals().msSinceAnswer();
        },
        [&] {
            // Into a file on the disk as well: an export pays for the bytes it puts there.
            const QString output = workFile(QStringLiteral("sqlite3.html"));
            const double ms = timeSqlite3(m_files.big, {QStringLiteral("-html")},
                                          QString::fromLatin1(kAllEntriesSql), output) +
                              timeMs([&] { syncToDisk(output); });
            QFile::remove(output);
            return ms;
        });
    const qint64 size = fileSize(path, "HTML");
    m_report.add({QStringLiteral("HTML export of %1 entries").arg(count), formatMs(ours.median()),
                  formatMs(baseline.median()), formatRatio(ours.median() / baseline.median()),
                  QStringLiteral("<= 0.5x"), ours.median() / baseline.median() <= 0.5,
                  QStringLiteral("html"), ours.median()});
    m_report.note(QStringLiteral("HTML export: the Html command from the file dialog's answer "
                                 "to the finished file (%1), the listing sorted by surname; "
                                 "baseline: sqlite3 -html `%2` into a file, then the file "
                                 "synced to the disk (fdatasync), as QSaveFile syncs ours.")
                      .arg(mb(size), QString::fromLatin1(kAllEntriesSql)));
}

// One run of the Excel command, the spreadsheet program replaced by the window's seams: its
// time; the workbook's size goes to `size`, and the workbook is taken away again.
double ProgramBench::exportWorkbook(qint64& size) {
    Tmainform& window = m_program->window();
    QString made;
    window.spreadsheetAvailable = [] { return true; };
    window.openSpreadsheet = [&](const QString& path) { made = path; };
    const double ms = timeMs([&] { m_program->trigger("Excel"); });
    window.spreadsheetAvailable = nullptr;
    window.openSpreadsheet = nullptr;
    if (made.isEmpty())
        throw Error(QStringLiteral("the Excel command handed no workbook on"));
    size = fileSize(made, "xlsx");
    QFileInfo(made).dir().removeRecursively();
    return ms;
}

void ProgramBench::xlsx() {
    // The listing as the search returns it, in the order openpyxl writes it from the file too:
    // deflating depends on the order (sorted by surname, every writer takes about 15% longer).
    searchAll();
    const int count = m_program->directory().tel.recordCount();
    qint64 size = 0;
    // The baseline writes the same cells in the same order, in this same process, so that
    // both deflate the same text with the same heap and caches; its cells are taken from the
    // program beforehand and not timed.
    const QString plainBook = workFile(QStringLiteral("plain.xlsx"));
    const QByteArray plainPath = QFile::encodeName(plainBook);
    const ListingCells cells(m_program->directory().tel);
    const auto exportOnce = [&] { return exportWorkbook(size); };
    const auto [ours, plain] = collectPaired(m_options.runs, exportOnce, [&] {
        int error = 0;
        const double ms = timeMs([&] {
            error = plainXlsxWrite(plainPath.constData(), cells.cells(), cells.rows(),
                                   ListingCells::kColumns);
        });
        QFile::remove(plainBook);
        if (error)
            throw Error(QStringLiteral("plain libxlsxwriter loop failed with error %1").arg(error));
        return ms;
    });
    // openpyxl takes most of a minute a run, over which the machine's speed drifts; each of
    // its runs is paired with an export of ours right after it.
    Sample python, oursBesidePython;
    for (int i = 0; i < m_options.openpyxlRuns; ++i) {
        python.ms.push_back(runOpenpyxl(m_files.big, workFile(QStringLiteral("openpyxl.xlsx"))));
        oursBesidePython.ms.push_back(exportOnce());
    }

    const double ratio = ours.median() / plain.median();
    m_report.add({QStringLiteral(".xlsx export of %1 entries").arg(count), formatMs(ours.median()),
                  formatMs(plain.median()), formatRatio(ratio), QStringLiteral("<= 1.1x"),
                  ratio <= 1.1, QStringLiteral("xlsx"), ours.median()});
    const double speedup = python.median() / oursBesidePython.median();
    m_report.add({QStringLiteral(".xlsx export against openpyxl"),
                  formatMs(oursBesidePython.median()), formatMs(python.median()),
                  formatRatio(oursBesidePython.median() / python.median()),
                  QStringLiteral(">= 7x faster (%1x)").arg(speedup, 0, 'f', 1), speedup >= 7,
                  QStringLiteral("xlsx.openpyxl"), oursBesidePython.median()});
    m_report.note(
        QStringLiteral(
            ".xlsx export: the Excel command to the finished workbook (%1), the listing "
            "in stored order as the search returns it, the spreadsheet program replaced by the "
            "window's two "
            "seams; baselines: a plain C loop over libxlsxwriter in constant-memory mode "
            "writing the same cells in the same order (in this process, reading excluded), "
            "and openpyxl write-only (bench/openpyxl_baseline.py, writing and saving "
            "only, %2 run(s) without warm-up, each followed by one of ours for this row: "
            "each takes most of a minute).")
            .arg(mb(size))
            .arg(m_options.openpyxlRuns));
}

void ProgramBench::printing() {
    sortedListing();
    const int count = m_program->directory().tel.recordCount();
    const QString path = workFile(QStringLiteral("listing.pdf"));
    auto* dialog = m_program->window().findChild<QPrintDialog*>(QStringLiteral("PrintDialog1"));
    if (!dialog)
        throw Error(QStringLiteral("the main window has no PrintDialog1"));
    int pages = 0;
    qint64 size = 0;
    // No warm-up here: every run takes the better part of a minute, and the other exports
    // have already used the fonts and the file system.
    Sample ours;
    const auto once = [&] {
        QFile::remove(path);
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(path);
        m_program->modals().printTo(path);
        m_program->trigger("print");
        const double ms = m_program->modals().msSinceAnswer();
        size = fileSize(path, "print");
        pages = pdfPages(path);
        return ms;
    };
    for (int i = 0; i < m_options.printRuns; ++i)
        ours.ms.push_back(once());
    const double perSecond = pages / (ours.median() / 1000);
    m_report.add({QStringLiteral("printing %1 entries to PDF (%2 pages)").arg(count).arg(pages),
                  QStringLiteral("%1 pages/s").arg(perSecond, 0, 'f', 0), QStringLiteral("-"),
                  QStringLiteral("-"), QStringLiteral("report pages/s"), std::nullopt,
                  QStringLiteral("print"), ours.median()});
    m_report.note(
        QStringLiteral(
            "printing: the print command from the print dialog's answer to "
            "the finished PDF (%1, %2 pages in %3), the listing sorted by surname; the median of "
            "%4 runs without a warm-up, as many as the 10-minute budget "
            "allows.")
            .arg(mb(size))
            .arg(pages)
            .arg(formatMs(ours.median()))
            .arg(m_options.printRuns));
}

void ProgramBench::sheets() {
    // A listing longer than a worksheet holds: the export goes on in a second sheet. The
    // program is started anew on a file of its own for it.
    constexpr qint64 kEntries = 1100000;
    const QString file = benchFile(m_options.dataFolder, kEntries);
    m_program.reset();
    m_program = std::make_unique<ProgramDriver>(connectionStringFor(file));
    searchAll();
    const int count = m_program->directory().tel.recordCount();
    qint64 size = 0;
    const Sample ours = collect(std::min(m_options.runs, 3), [&] { return exportWorkbook(size); });
    const int sheets = int((count + XlsxWorkbook::kSheetRows - 2) / (XlsxWorkbook::kSheetRows - 1));
    m_report.add({QStringLiteral(".xlsx export of %1 entries, %2 sheets").arg(count).arg(sheets),
                  formatMs(ours.median()), QStringLiteral("-"), QStringLiteral("-"),
                  QStringLiteral("report"), std::nullopt, QStringLiteral("xlsx.sheets"),
                  ours.median()});
    m_report.note(QStringLiteral(".xlsx export over sheets: the Excel command on every entry with "
                                 "a house of a %1-entry file (%2), %3 runs after a warm-up.")
                      .arg(kEntries)
                      .arg(mb(size))
                      .arg(std::min(m_options.runs, 3)));
}
