#pragma once

#include <QTableView>

class DataSet;
class DirectoryModel;

// `DBGrid1`: the grid that lists the shown directory. Its current row is the data set's
// current row: moving in the grid moves the data set (which settles an edit first), and the
// grid follows the data set's moves. Its options are the old grid's flags, with their old
// bits; the property "options" reads and writes them as the number the old grid stored.
class DBGrid : public QTableView {
    Q_OBJECT
    Q_PROPERTY(int options READ optionsValue WRITE setOptionsValue)
public:
    enum GridOption {
        dgEditing = 1 << 0,
        dgAlwaysShowEditor = 1 << 1,
        dgTitles = 1 << 2,
        dgIndicator = 1 << 3,
        dgColumnResize = 1 << 4,
        dgColLines = 1 << 5,
        dgRowLines = 1 << 6,
        dgTabs = 1 << 7,
        dgRowSelect = 1 << 8,
        dgAlwaysShowSelection = 1 << 9,
        dgConfirmDelete = 1 << 10,
        dgCancelOnExit = 1 << 11,
        dgMultiSelect = 1 << 12,
    };
    Q_DECLARE_FLAGS(GridOptions, GridOption)
    Q_FLAG(GridOptions)

    // As the window is laid out (2016): whole rows, lines, tabs, the selection kept, delete
    // confirmed.
    static constexpr GridOptions kStartOptions = GridOptions(dgColLines) | dgRowLines | dgTabs |
                                                 dgRowSelect | dgAlwaysShowSelection |
                                                 dgConfirmDelete;
    // Edit mode off (4064): as at the start, and an unchanged new row dropped on leaving.
    static constexpr GridOptions kBrowseOptions = kStartOptions | dgCancelOnExit;
    // Edit mode on (3809): editable cells with a cell cursor instead of whole rows.
    static constexpr GridOptions kEditOptions =
        (kBrowseOptions & ~GridOptions(dgRowSelect)) | dgEditing;

    DBGrid(DirectoryModel& model, QWidget* parent);
    ~DBGrid() override;

    GridOptions options() const { return m_options; }
    void setOptions(GridOptions options);
    int optionsValue() const { return int(m_options.toInt()); }
    void setOptionsValue(int value) { setOptions(GridOptions::fromInt(value)); }

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    DataSet& dataSet() const;
    void followDataSet(int row);
    void applyColumnWidths();
    void deleteWithConfirmation();
    void closeCellEditor();
    void focusMoved(QWidget* old, QWidget* now);

    DirectoryModel& m_model;
    GridOptions m_options;
    QMetaObject::Connection m_focusWatch;  // the application's focus changes, heard until the end
    bool m_following = false;  // the grid is moving to the data set's row, not the other way
};

Q_DECLARE_OPERATORS_FOR_FLAGS(DBGrid::GridOptions)
