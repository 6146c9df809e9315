// Settling unsaved changes of the shown directory before its contents change.
#include <QTest>

#include "directory.h"
#include "error.h"
#include "pending_changes.h"
#include "test_directory.h"

class PendingChangesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDirectory> file;
    std::unique_ptr<Directory> directory;
    int questions = 0;
    bool answer = true;

    AskToSave ask() {
        return [this] {
            ++questions;
            return answer;
        };
    }

    void openCity() {
        directory->tel.setCriteria(CityCriteria::everything());
        directory->tel.open();
    }

private slots:
    void init() {
        file = std::make_unique<TestDirectory>();
        file->addCity(cityEntry("11111", "Иванов", "Мира", "1", "1"));
        file->addPersonal({"22222", "Петров", "Мира", "2", "2", "m"});
        directory = std::make_unique<Directory>(file->connectionString());
        questions = 0;
        openCity();
    }

    void nothingModifiedAsksNothing() {
        ConfirmPendingChanges(*directory, ask());
        directory->tel.edit();  // editing without a change
        ConfirmPendingChanges(*directory, ask());
        QCOMPARE(questions, 0);
        QCOMPARE(directory->tel.state(), DataSet::State::Edit);  // left in its editing state
    }

    void cityYesPosts() {
        directory->tel.edit();
        directory->tel.setFieldValue(u"fam", QStringLiteral("Сохранён"));
        answer = true;
        ConfirmPendingChanges(*directory, ask());
        QCOMPARE(questions, 1);
        QCOMPARE(file->city()[0].fam, Value("Сохранён"));
    }

    void cityNoCancels() {
        directory->tel.edit();
        directory->tel.setFieldValue(u"fam", QStringLiteral("Отброшен"));
        answer = false;
        ConfirmPendingChanges(*directory, ask());
        QCOMPARE(directory->tel.fieldValue(u"fam"), Value("Иванов"));
        QCOMPARE(file->city()[0].fam, Value("Иванов"));
    }

    void cityNoDropsANewEntry() {
        directory->tel.append();
        directory->tel.setFieldValue(u"fam", QStringLiteral("Новый"));
        answer = false;
        ConfirmPendingChanges(*directory, ask());
        QCOMPARE(directory->tel.recordCount(), 1);
        QCOMPARE(file->city().size(), 1);
    }

    void personalPostsWithoutAsking() {
        directory->licht.open();
        directory->DataSource1.setDataSet(directory->licht);
        directory->licht.edit();
        directory->licht.setFieldValue(u"mob", QStringLiteral("+7 900"));
        // A change in the city directory, which is not shown, is left alone.
        directory->tel.edit();
        directory->tel.setFieldValue(u"fam", QStringLiteral("не тронут"));
        ConfirmPendingChanges(*directory, ask());
        QCOMPARE(questions, 0);
        QCOMPARE(file->personal()[0].mob, Value("+7 900"));
        QVERIFY(directory->tel.isModified());
    }

    void failingPostStopsTheCaller() {
        directory->tel.edit();
        directory->tel.setFieldValue(u"dom", QStringLiteral("123456"));  // longer than 5
        answer = true;
        QVERIFY_THROWS_EXCEPTION(Error, ConfirmPendingChanges(*directory, ask()));
        QVERIFY(directory->tel.isModified());
        QCOMPARE(file->city()[0].dom, Value("1"));
    }
};

QTEST_GUILESS_MAIN(PendingChangesTest)
#include "test_pending_changes.moc"
