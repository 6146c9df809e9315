#include "addform.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

#include "directory.h"
#include "guarded.h"
#include "message_boxes.h"
#include "phone_edit.h"
#include "phone_text.h"
#include "picture.h"
#include "picture_button.h"

namespace {

const QColor kInputColor(0xE0, 0xEB, 0xFE);
constexpr int kBevelWithMobile = 209;
constexpr int kBevelWithoutMobile = 177;

}  // namespace

Taddform::Taddform(QWidget& mainform, Directory& directory)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_mainform(mainform),
      m_directory(directory) {
    setObjectName(QStringLiteral("addform"));
    setWindowTitle(QStringLiteral("Добавление новой записи"));
    // The old 8-point MS Sans Serif, as near as the installed fonts come: the condensed cut
    // keeps the old widths, so "№ квартиры" still fits its label.
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setPixelSize(11);
    setFont(font);
    setFixedSize(296, 241);
    move(284, 104);
    createControls();
}

void Taddform::createControls() {
    // Created bottom to top: each control lies above the ones made before it.
    Image1 = new Picture(this, QStringLiteral("Image1"), QStringLiteral(":/images/background.png"),
                         QRect(-294, -71, 735, 464));
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 16, 153, kBevelWithMobile);

    m_ok = new PictureButton(this, QStringLiteral("OK"), ButtonPicture::Ok,
                             {QStringLiteral("OK1"), QStringLiteral("OK2"), QStringLiteral("ok3")},
                             {192, 16},
                             {PictureButton::Stacking::OneAtATime, PictureButton::Runs::OnClick});
    m_cancel = new PictureButton(
        this, QStringLiteral("can"), ButtonPicture::Cancel,
        {QStringLiteral("can1"), QStringLiteral("can2"), QStringLiteral("can3")}, {192, 56},
        {PictureButton::Stacking::OneAtATime, PictureButton::Runs::OnClick});

    Edit4 = new QLineEdit(this);
    styleInput(Edit4, QStringLiteral("Edit4"), QStringLiteral("Здесь введите № квартиры"),
               QRect(77, 160, 67, 19));
    Edit3 = new QLineEdit(this);
    styleInput(Edit3, QStringLiteral("Edit3"), QStringLiteral("Здесь введите № дома"),
               QRect(16, 160, 56, 19));
    Edit2 = new QLineEdit(this);
    styleInput(Edit2, QStringLiteral("Edit2"), QStringLiteral("Здесь введите улицу"),
               QRect(16, 120, 128, 19));
    telin = new PhoneEdit(this);
    styleInput(telin, QStringLiteral("telin"),
               QStringLiteral("Здесь введите телефон (возможно использование масок *)"),
               QRect(16, 40, 128, 19));
    QPalette black = telin->palette();
    black.setColor(QPalette::Text, Qt::black);
    telin->setPalette(black);
    Edit5 = new QLineEdit(this);
    styleInput(Edit5, QStringLiteral("Edit5"), QString(), QRect(16, 200, 128, 19));

    StaticText1 =
        addLabel(QStringLiteral("StaticText1"), QStringLiteral("ФИО"), QRect(16, 64, 128, 17));
    StaticText2 =
        addLabel(QStringLiteral("StaticText2"), QStringLiteral("Улица"), QRect(16, 104, 128, 17));
    StaticText3 =
        addLabel(QStringLiteral("StaticText3"), QStringLiteral("№ дома"), QRect(16, 144, 56, 17));
    StaticText4 = addLabel(QStringLiteral("StaticText4"), QStringLiteral("№ квартиры"),
                           QRect(77, 144, 67, 17));
    Statictext5 = addLabel(QStringLiteral("Statictext5"), QStringLiteral("Мобильник"),
                           QRect(16, 184, 128, 17));
    StaticText6 =
        addLabel(QStringLiteral("StaticText6"), QStringLiteral("Телефон"), QRect(16, 24, 128, 17));

    Edit1 = new QLineEdit(this);
    styleInput(Edit1, QStringLiteral("Edit1"), QString(), QRect(16, 80, 128, 19));
    // Each label names its input, to screen readers too.
    const std::pair<QLabel*, QWidget*> captions[] = {{StaticText6, telin}, {StaticText1, Edit1},
                                                     {StaticText2, Edit2}, {StaticText3, Edit3},
                                                     {StaticText4, Edit4}, {Statictext5, Edit5}};
    for (const auto& [caption, input] : captions)
        caption->setBuddy(input);

    setTabOrder(telin, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Edit4);
    setTabOrder(Edit4, Edit5);
    setTabOrder(Edit5, m_ok);
    setTabOrder(m_ok, m_cancel);
    telin->setFocus();  // for the first showing; later ones keep the focus where it was left

    connect(m_ok, &PictureButton::triggered, this, &Taddform::OK2Click);
    connect(m_cancel, &PictureButton::triggered, this, &Taddform::can2Click);
    connect(Image1, &Picture::mouseMoved, this, &Taddform::Image1MouseMove);
}

void Taddform::styleInput(QLineEdit* input, const QString& name, const QString& hint,
                          QRect geometry) {
    input->setObjectName(name);
    input->setFrame(false);
    QPalette palette = input->palette();
    palette.setColor(QPalette::Base, kInputColor);
    input->setPalette(palette);
    input->setToolTip(hint);
    input->setGeometry(geometry);
}

QLabel* Taddform::addLabel(const QString& name, const QString& text, QRect geometry) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setAutoFillBackground(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setIndent(1);
    label->setFocusPolicy(Qt::NoFocus);
    label->setGeometry(geometry);
    label->setFixedSize(geometry.size());
    return label;
}

void Taddform::open() {
    show();
    m_mainform.setEnabled(false);
    raise();
    activateWindow();
}

void Taddform::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void Taddform::closeEvent(QCloseEvent* event) {
    // Accepted, so the dialog is only hidden; it lives as long as the main window.
    event->accept();
    FormClose();
}

void Taddform::FormShow() {
    runGuarded([this] {
        // The city directory has no mobile numbers.
        const bool city = m_directory.showsCity();
        Edit5->setVisible(!city);
        Statictext5->setVisible(!city);
        Bevel1->resize(Bevel1->width(), city ? kBevelWithoutMobile : kBevelWithMobile);
    });
}

void Taddform::FormClose() {
    runGuarded([this] { m_mainform.setEnabled(true); });
}

void Taddform::Image1MouseMove() {
    runGuarded([this] {
        m_ok->reset();
        m_cancel->reset();
    });
}

void Taddform::OK2Click() {
    // The button shows its pressed picture while this runs.
    runGuarded([this] {
        if (fieldsEmpty())
            showWarningBox(this, QStringLiteral("Поля пусты!"));
        else
            addEntry();
        // A failed save ends above, leaving the dialog open with its texts for correction.
        m_mainform.setEnabled(true);
        m_ok->reset();
        close();
    });
}

void Taddform::can2Click() {
    runGuarded([this] {
        m_mainform.setEnabled(true);
        m_cancel->reset();
        close();
    });
}

bool Taddform::fieldsEmpty() const {
    // The mobile number alone does not make an entry.
    return Edit1->text().isEmpty() && Edit2->text().isEmpty() && Edit3->text().isEmpty() &&
           Edit4->text().isEmpty() && telin->maskedText() == kEmptyPhoneText;
}

void Taddform::addEntry() {
    const bool city = m_directory.showsCity();
    DataSet& set = city ? static_cast<DataSet&>(m_directory.tel) : m_directory.licht;
    QList<std::pair<Field, QString>> values = {
        {Field::Phone, PhoneToDigits(telin->maskedText())},
        {Field::Surname, Edit1->text()},
        {Field::Street, Edit2->text()},
        {Field::House, Edit3->text()},
        {Field::Apartment, Edit4->text()},
    };
    if (!city)
        values.append({Field::Mobile, Edit5->text()});
    // An entry an earlier OK could not save (file busy, disk full, a value too long) is still
    // the data set's unsaved new row: it is filled again and saved, not saved as it was with
    // one more added after it.
    if (!holdsUnsavedEntry(set)) {
        // Appending settles the current entry first: a changed one is saved, an unchanged one
        // released. On an empty listing edit() starts a new entry that append() releases again.
        set.edit();
        set.append();
    }
    for (const auto& [field, value] : values)
        set.setValue(set.table().indexOf(field), value);
    m_unsaved = {&set, values};
    set.post();
    m_unsaved = {};
}

bool Taddform::holdsUnsavedEntry(const DataSet& set) const {
    if (m_unsaved.set != &set || set.state() != DataSet::State::Insert)
        return false;
    for (const auto& [field, value] : m_unsaved.values)
        if (set.value(set.currentIndex(), set.table().indexOf(field)) != value)
            return false;
    return true;
}
