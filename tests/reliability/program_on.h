#pragma once

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

#include "error_report.h"
#include "file_connection.h"
#include "program_under_test.h"
#include "typing.h"

// The real program started in-process on a directory the test prepared (or left out).
class ProgramOn : public ProgramUnderTest {
public:
    explicit ProgramOn(const QString& connectionString) { start(connectionString); }

    // Every entry of the city directory: "%" typed as the house number, then the search.
    void searchAll() {
        widget<QComboBox>(QStringLiteral("Edit3"))->setEditText(QStringLiteral("%"));
        run(QStringLiteral("SearchAct"));
    }

    QAbstractItemView* grid() { return widget<QAbstractItemView>(QStringLiteral("DBGrid1")); }
    QString cell(int row, int column) {
        return grid()->model()->index(row, column).data().toString();
    }
    // Opens the cell's editor as a double click does; returns it.
    QLineEdit* openCell(int row, int column) {
        QAbstractItemView* view = grid();
        view->setFocus();
        view->setCurrentIndex(view->model()->index(row, column));
        view->edit(view->currentIndex());
        // The cell's own editor: one a cell left before may still await deletion.
        auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(view->currentIndex()));
        if (!editor)
            QTest::qFail("no cell editor", __FILE__, __LINE__);
        return editor;
    }

    // The add-record dialog: opened from the menu, the texts typed key by key (the phone
    // as digits), then OK clicked with the mouse.
    QWidget* addDialogInput(const char* name) {
        return program.addform->findChild<QWidget*>(QString::fromLatin1(name));
    }
    void openAddDialog() { run(QStringLiteral("add")); }
    void typeInto(const char* name, const QString& text) {
        QWidget* input = addDialogInput(name);
        static_cast<QLineEdit*>(input)->clear();
        typeText(input, text);
    }
    void pressAddOk() {
        QTest::mouseMove(addDialogInput("Image1"), QPoint(294 + 280, 71 + 150));
        QWidget* ok = addDialogInput("OK1");
        QTest::mouseMove(ok, ok->rect().center());
        QTest::mouseClick(addDialogInput("OK2"), Qt::LeftButton);
    }

    // The texts of the error reports shown since the last call (other boxes, such as the
    // question whether to save, are left out); each must look as the error report does.
    QStringList takeErrors() {
        QStringList texts;
        for (const SeenBox& box : boxes.seen()) {
            if (box.objectName != u"errorReport")
                continue;
            if (box.title != kApplicationTitle || box.icon != QMessageBox::Critical)
                QTest::qFail(qPrintable("error report without its caption or icon: " + box.text),
                             __FILE__, __LINE__);
            texts << box.text;
        }
        boxes.clear();
        return texts;
    }
};
