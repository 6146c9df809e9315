// Handing the shown listing on: an HTML file, a spreadsheet, a printout. Each hands the
// listing to its writer through the one walk (listing_walk.h), which moves the shown
// directory's own cursor from its first entry.
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QUrl>

#include "error.h"
#include "html_document.h"
#include "html_file_name.h"
#include "listing_printer.h"
#include "listing_walk.h"
#include "mainform.h"
#include "message_boxes.h"
#include "output_progress.h"
#include "spreadsheet_app.h"
#include "system_reason.h"
#include "xlsx_workbook.h"

namespace {

// An output refuses an empty listing with a warning and leaves everything as it was.
bool refusedAsEmpty(QWidget* parent, const DataSet& shown, const QString& warning) {
    if (shown.recordCount() > 0)
        return false;
    showWarningBox(parent, warning);
    return true;
}

const QString kNothingToExport = QStringLiteral("Нет данных для экспорта");
const QString kNothingToPrint = QStringLiteral("Нет данных для печати");

bool confirmReplace(QWidget* parent, const QString& path) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Экспорт в HTML"),
                    QStringLiteral("Файл «%1» уже существует. Заменить его?")
                        .arg(QDir::toNativeSeparators(path)),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(QStringLiteral("confirmReplace"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

// Opens the workbook as the desktop offers: with the application registered for the type,
// else with the spreadsheet program found on PATH.
void openInSpreadsheetApplication(const SpreadsheetOpener& opener, const QString& path) {
    const bool started = opener.kind == SpreadsheetOpener::Kind::Program
                             ? QProcess::startDetached(opener.program, {path})
                             : QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    if (!started)
        throw Error(QStringLiteral("Не удалось открыть книгу «%1» в программе электронных таблиц.")
                        .arg(path));
}

}  // namespace

void Tmainform::HtmlExecute() {
    DataSet& shown = m_directory.shown();
    // The move comes before any test, so a refused or cancelled export moves too. Counted
    // after it: a new entry left unchanged is dropped there and is not exported.
    shown.first();
    if (refusedAsEmpty(this, shown, kNothingToExport))
        return;
    if (!SaveDialog1) {
        // Made when first needed: a file dialog starts threads that start-up does not need.
        SaveDialog1 = new QFileDialog(this);
        SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
        SaveDialog1->setOption(QFileDialog::DontUseNativeDialog);
        SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
        SaveDialog1->setOption(
            QFileDialog::DontConfirmOverwrite);  // asked for the name really written
        SaveDialog1->setNameFilter(QStringLiteral("HTML файл (*.html)"));
    }
    SaveDialog1->setWindowTitle(QStringLiteral("Экспорт в HTML"));
    SaveDialog1->selectFile(m_lastHtmlName);
    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty())
        return;
    m_lastHtmlName = SaveDialog1->selectedFiles().first();
    const QString path = htmlFileName(m_lastHtmlName);
    if (QFileInfo::exists(path) && !confirmReplace(this, path))
        return;

    // The document goes to a temporary file that replaces the chosen one only when complete,
    // so a failed export leaves no truncated document behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("Не удалось создать файл «%1»: %2.")
                        .arg(path, systemReason(file.errorString())));
    HtmlDocument document(file, shown.table());
    OutputProgress progress(this, QStringLiteral("Экспорт в HTML"), progressDelayMs);
    if (walkListing(shown, document, &progress) < shown.recordCount())
        return;  // cancelled: the unfinished file goes, an old one stays as it was
    document.finish();
    if (!file.commit())
        throw Error(QStringLiteral("Не удалось записать файл «%1»: %2.")
                        .arg(path, systemReason(file.errorString())));
}

void Tmainform::ExcelExecute() {
    // The way to open the workbook is found once, by the availability test; a test's seam
    // in its place leaves it to be found when the workbook is opened.
    std::optional<SpreadsheetOpener> opener;
    if (!spreadsheetAvailable)
        opener = findSpreadsheetOpener();
    if (!(opener ? opener->kind != SpreadsheetOpener::Kind::None : spreadsheetAvailable())) {
        showWarningBox(this, QStringLiteral("MS Excel не установлен!"));
        return;
    }
    DataSet& shown = m_directory.shown();
    shown.first();  // settles an edit in progress before the entries are counted
    if (refusedAsEmpty(this, shown, kNothingToExport))
        return;
    // Every export is a new workbook in a folder of its own, left for the spreadsheet program
    // once the workbook is complete; a failed export takes the folder away again.
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/telspr-XXXXXX"));
    if (!folder.isValid())
        throw Error(QStringLiteral("Не удалось создать временную папку для книги: %1.")
                        .arg(systemReason(folder.errorString())));
    const QString path = folder.filePath(QStringLiteral("kalvex.xlsx"));
    {
        XlsxWorkbook workbook(path, shown.table());
        OutputProgress progress(this, QStringLiteral("Экспорт в MS Excel"), progressDelayMs);
        if (walkListing(shown, workbook, &progress) < shown.recordCount())
            return;  // cancelled: the workbook and its folder go
        // Packing the workbook takes seconds for a large listing; the window answers meanwhile.
        progress.runAside(QStringLiteral("Сохранение книги..."), [&] { workbook.finish(); });
        if (progress.cancelled())
            return;
    }
    folder.setAutoRemove(false);
    if (openSpreadsheet)
        openSpreadsheet(path);
    else
        openInSpreadsheetApplication(opener ? *opener : findSpreadsheetOpener(), path);
}

void Tmainform::printExecute() {
    DataSet& shown = m_directory.shown();
    if (refusedAsEmpty(this, shown, kNothingToPrint))
        return;
    if (PrintDialog1->exec() != QDialog::Accepted)
        return;
    // The job starts before the cursor moves: a job that cannot start leaves the cursor and
    // an edit in progress as they were.
    ListingPrinter printer(m_printer, shown.table());
    OutputProgress progress(this, QStringLiteral("Печать"), progressDelayMs);
    const int printed = walkListing(shown, printer, &progress);
    if (printed < shown.recordCount()) {
        printer.abort();  // cancelled: nothing half-printed goes out
        return;
    }
    if (printed == 0) {
        // The move to the first entry dropped the only one, a new entry left unchanged.
        printer.abort();
        refusedAsEmpty(this, shown, kNothingToPrint);
        return;
    }
    printer.finish();
}
