#include "db_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyledItemDelegate>

#include "dataset.h"
#include "directory_model.h"
#include "guarded.h"

namespace {

// Cell editors take no more characters than the field holds, but never fewer than the cell
// already shows: a longer value stored by another program, or one of characters outside the
// BMP (two UTF-16 units each), must not be cut short just because its cell was opened.
class FieldEditorDelegate : public QStyledItemDelegate {
public:
    FieldEditorDelegate(DirectoryModel& model, QObject* parent)
        : QStyledItemDelegate(parent), m_model(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            const int shown = int(index.data(Qt::EditRole).toString().size());
            line->setMaxLength(
                std::max(m_model.dataSet().fields()[size_t(index.column())].size, shown));
        }
        return editor;
    }

private:
    DirectoryModel& m_model;
};

}  // namespace

DBGrid::DBGrid(DirectoryModel& model, QWidget* parent) : QTableView(parent), m_model(model) {
    setObjectName(QStringLiteral("DBGrid1"));
    setModel(&model);
    setItemDelegate(new FieldEditorDelegate(model, this));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);

    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor(0xFE, 0xFE, 0xF5));
    colours.setColor(QPalette::Text, QColor(0x30, 0x4E, 0x9C));
    setPalette(colours);

    connect(&model, &DirectoryModel::currentRowChanged, this, &DBGrid::followDataSet);
    connect(&model, &QAbstractItemModel::modelReset, this, &DBGrid::applyColumnWidths);
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, &DBGrid::focusMoved);
    setOptions(kStartOptions);
}

DBGrid::~DBGrid() {
    // QWidget's destructor gives the focus away when the grid holds it; this grid is gone
    // by then and must not hear of it.
    disconnect(m_focusWatch);
}

DataSet& DBGrid::dataSet() const {
    return m_model.dataSet();
}

void DBGrid::applyColumnWidths() {
    // As wide as the field's display width in digits of the grid font, plus a little.
    const int digit = fontMetrics().horizontalAdvance(u'0');
    const auto fields = dataSet().fields();
    for (size_t c = 0; c < fields.size(); ++c)
        setColumnWidth(int(c), fields[c].displayWidth * digit + 4);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 3);
}

void DBGrid::setOptions(GridOptions options) {
    const bool editingBefore = m_options.testFlag(dgEditing);
    m_options = options;
    const bool editing = options.testFlag(dgEditing);
    if (editingBefore && !editing && state() == EditingState) {
        // Leaving edit mode closes an open cell editor; its text is handed to the row first.
        QWidget* editor = QApplication::focusWidget();
        if (editor && viewport()->isAncestorOf(editor)) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
    setEditTriggers(editing ? DoubleClicked | SelectedClicked | EditKeyPressed | AnyKeyPressed
                            : NoEditTriggers);
    setSelectionBehavior(options.testFlag(dgRowSelect) ? SelectRows : SelectItems);
    setSelectionMode(options.testFlag(dgMultiSelect) ? ExtendedSelection : SingleSelection);
    setShowGrid(options.testAnyFlags(GridOptions(dgColLines) | dgRowLines));
    setTabKeyNavigation(options.testFlag(dgTabs));
    horizontalHeader()->setVisible(options.testFlag(dgTitles));
    verticalHeader()->setVisible(options.testFlag(dgIndicator));
    horizontalHeader()->setSectionResizeMode(
        options.testFlag(dgColumnResize) ? QHeaderView::Interactive : QHeaderView::Fixed);
    QPalette colours = palette();
    const QPalette::ColorGroup shown =
        options.testFlag(dgAlwaysShowSelection) ? QPalette::Active : QPalette::Inactive;
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette().color(shown, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette().color(shown, QPalette::HighlightedText));
    setPalette(colours);
    followDataSet(dataSet().currentIndex());
}

void DBGrid::followDataSet(int row) {
    m_following = true;
    if (row < 0 || row >= model()->rowCount()) {
        selectionModel()->clearCurrentIndex();
        selectionModel()->clearSelection();
    } else {
        const QModelIndex index = model()->index(row, std::max(currentIndex().column(), 0));
        const auto rows = m_options.testFlag(dgRowSelect) ? QItemSelectionModel::Rows
                                                          : QItemSelectionModel::NoUpdate;
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | rows);
        scrollTo(index);
    }
    m_following = false;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);  // hands an open cell's text to the row first
    if (m_following || !current.isValid() || current.row() == dataSet().currentIndex())
        return;
    runGuarded([&] { dataSet().moveTo(current.row()); });
    // A move the data set refused (its row could not be saved) puts the grid back.
    if (currentIndex().row() != dataSet().currentIndex())
        followDataSet(dataSet().currentIndex());
}

QModelIndex DBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const int column = std::max(currentIndex().column(), 0);
    if (action == MoveHome)
        return model()->index(0, column);
    if (action == MoveEnd)
        return model()->index(model()->rowCount() - 1, column);
    return QTableView::moveCursor(action, modifiers);
}

void DBGrid::deleteWithConfirmation() {
    if (dataSet().recordCount() == 0)
        return;
    if (m_options.testFlag(dgConfirmDelete)) {
        QMessageBox question(QMessageBox::Question, QStringLiteral("Confirm"),
                             QStringLiteral("Delete record?"),
                             QMessageBox::Ok | QMessageBox::Cancel, this);
        question.setObjectName(QStringLiteral("confirmDelete"));
        if (question.exec() != QMessageBox::Ok)
            return;
    }
    runGuarded([&] { dataSet().remove(); });
}

void DBGrid::keyPressEvent(QKeyEvent* event) {
    const bool editing = m_options.testFlag(dgEditing);
    const bool inCell = state() == EditingState;
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
        deleteWithConfirmation();
        return;
    }
    if (editing && !inCell && event->key() == Qt::Key_Insert &&
        event->modifiers() == Qt::NoModifier) {
        runGuarded([&] { dataSet().insert(); });
        return;
    }
    if (editing && event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier &&
        dataSet().isOpen() && currentIndex().row() == model()->rowCount() - 1) {
        // Moving down past the last row appends a new entry, unless that row is one still
        // empty. A cell being edited hands its text on first, as any move does.
        runGuarded([&] {
            if (inCell)
                closeCellEditor();
            const bool emptyNewRow =
                dataSet().state() == DataSet::State::Insert && !dataSet().isModified();
            if (!emptyNewRow)
                dataSet().append();
        });
        return;
    }
    QTableView::keyPressEvent(event);
}

void DBGrid::closeCellEditor() {
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void DBGrid::focusMoved(QWidget* old, QWidget* now) {
    // The focus leaves the grid (or a cell editor in it) for another control of the window;
    // a modal box or another application taking the focus is not leaving the grid.
    const auto inGrid = [this](QWidget* w) { return w && (w == this || isAncestorOf(w)); };
    if (!inGrid(old) || inGrid(now) || !now || now->window() != window())
        return;
    if (m_options.testFlag(dgCancelOnExit) && dataSet().state() == DataSet::State::Insert &&
        !dataSet().isModified())
        runGuarded([&] { dataSet().cancel(); });
}
