#pragma once

#include <QList>
#include <QWidget>
#include <utility>

#include "columns.h"

class DataSet;
class Directory;
class PhoneEdit;
class Picture;
class PictureButton;
class QFrame;
class QLabel;
class QLineEdit;

// The add-record dialog: a tool window of its own, made once at start-up and only hidden
// when closed. The main window shows it and disables itself; every way of closing it
// enables the main window again. A new entry goes to the directory the grid shows. OK and
// cancel are picture buttons; Enter and Escape in an input neither save nor cancel.
class Taddform : public QWidget {
    Q_OBJECT
public:
    Taddform(QWidget& mainform, Directory& directory);

    // What the main window's add command does: show the dialog and disable itself.
    void open();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    QLabel* addLabel(const QString& name, const QString& text, QRect geometry);
    void styleInput(QLineEdit* input, const QString& name, const QString& hint, QRect geometry);

    void FormShow();
    void FormClose();
    void OK2Click();
    void can2Click();
    void Image1MouseMove();

    bool fieldsEmpty() const;
    void addEntry();
    bool holdsUnsavedEntry(const DataSet& set) const;

    QWidget& m_mainform;
    Directory& m_directory;
    // The new entry of the last OK while its save has not succeeded: where and with what.
    struct {
        const DataSet* set = nullptr;
        QList<std::pair<Field, QString>> values;
    } m_unsaved;

    Picture* Image1;      // the background; moving over it returns both buttons to normal
    QFrame* Bevel1;       // the frame around the inputs; shorter without the mobile row
    QLineEdit* Edit4;     // apartment
    QLineEdit* Edit3;     // house
    QLineEdit* Edit2;     // street
    PhoneEdit* telin;     // phone number, masked 9-99-99
    QLineEdit* Edit5;     // mobile number, personal directory only
    QLabel* StaticText1;  // caption of Edit1
    QLabel* StaticText2;  // caption of Edit2
    QLabel* StaticText3;  // caption of Edit3
    QLabel* StaticText4;  // caption of Edit4
    QLabel* Statictext5;  // caption of Edit5
    QLabel* StaticText6;  // caption of telin
    QLineEdit* Edit1;     // surname and initials

    // The picture buttons, lying between the frame and the inputs.
    PictureButton* m_ok;      // OK1 normal, OK2 under the pointer (a click saves), ok3 pressed
    PictureButton* m_cancel;  // can1, can2 (a click cancels), can3 pressed (never shown)
};
