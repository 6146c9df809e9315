#pragma once

#include <QTableView>

class DataSet;
class DirectoryModel;

// `DBGrid1`: the grid that lists the shown directory. Its current row is the data set's
// current row: moving in the grid moves the data set (which settles an edit first), and the
// grid follows the data set's moves. The option set is one number whose bits keep the old
// grid's meaning (see GridOption); it is readable and writable as the property "options".
class DBGrid : public QTableView {
    Q_OBJECT
    Q_PROPERTY(int options READ options WRITE setOptions)
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
    static constexpr int kStartOptions =
        2016;  // lines, tabs, row select, selection kept, confirm delete
    static constexpr int kEditOptions = 3809;    // edit mode on: editing, cell cursor
    static constexpr int kBrowseOptions = 4064;  // edit mode off: whole rows, no editing

    DBGrid(DirectoryModel& model, QWidget* parent);
    ~DBGrid() override;

    int options() const { return m_options; }
    void setOptions(int options);

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
    int m_options = 0;
    QMetaObject::Connection m_focusWatch;  // the application's focus changes, heard until the end
    bool m_following = false;  // the grid is moving to the data set's row, not the other way
};
