#include "mainform.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPageSetupDialog>
#include <QPrintDialog>

#include "aboutform.h"
#include "addform.h"
#include "db_grid.h"
#include "guarded.h"
#include "history_combo.h"
#include "image_list.h"
#include "menu_item.h"
#include "message_boxes.h"
#include "pending_changes.h"
#include "phone_edit.h"
#include "picture_button.h"
#include "status_bar.h"

Tmainform::Tmainform(const QString& connectionString, QWidget* parent)
    : QWidget(parent), m_directory(connectionString, this), m_model(m_directory.DataSource1) {
    setObjectName(QStringLiteral("mainform"));
    buildControls();
    buildCommands();
    buildMenuBar();
    buildPopupMenu();
    showView(true);
    // The connection opens while the window is built; then the window opens its data.
    runGuarded([this] { m_directory.connection.open(); });
    runGuarded([this] { FormCreate(); });
}

Tmainform::~Tmainform() {
    // The grid reads the model and the data sets, which as members end before QWidget deletes
    // the children; the grid goes first, so that what it does on its way out (an open cell
    // editor handing on its text, losing the focus) still finds them.
    delete DBGrid1;
}

void Tmainform::setDialogs(Taddform* addform, Taboutform* aboutform) {
    m_addform = addform;
    m_aboutform = aboutform;
}

void Tmainform::FormCreate() {
    // The phone pattern is the empty text; house and apartment have no value yet, so the
    // statement selects nothing and the grid starts empty.
    CityCriteria criteria = m_directory.tel.criteria();
    criteria.kalvex = LikeParameter{QString()};
    m_directory.tel.setCriteria(criteria);
    m_directory.tel.open();
}

void Tmainform::ConfirmPendingChanges() {
    ::ConfirmPendingChanges(m_directory, [this] { return askToSaveChanges(this); });
}

void Tmainform::closeEvent(QCloseEvent* event) {
    // FormClose: unsaved changes are settled; only a failed save keeps the window open.
    bool settled = false;
    runGuarded([&] {
        ConfirmPendingChanges();
        settled = true;
    });
    if (!settled) {
        event->ignore();
        return;
    }
    if (m_addform)
        m_addform->close();
    if (m_aboutform)
        m_aboutform->close();
    event->accept();
}

void Tmainform::exitExecute() {
    close();
}

void Tmainform::prsetExecute() {
    // The printer settings: page setup for a printer of the system; the PDF printer that Qt
    // offers without one has no page setup of its own, so the print dialog sets it up.
    if (m_printer.outputFormat() != QPrinter::NativeFormat) {
        PrintDialog1->exec();
        return;
    }
    if (!PrinterSetupDialog1) {
        PrinterSetupDialog1 = new QPageSetupDialog(&m_printer, this);
        PrinterSetupDialog1->setObjectName(QStringLiteral("PrinterSetupDialog1"));
    }
    PrinterSetupDialog1->exec();
}

void Tmainform::mouseMoveEvent(QMouseEvent*) {
    m_searchButton->reset();
}

bool Tmainform::eventFilter(QObject* watched, QEvent* event) {
    // telinKeyPress and Edit1KeyPress: Enter starts the search, and the input then goes on
    // to handle the key in its ordinary way.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->text() == u"\r" && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isVisible())
            runGuarded([this] { SearchbClick(); });
    }
    return QWidget::eventFilter(watched, event);
}

void Tmainform::aboutExecute() {
    m_aboutform->open();
}
