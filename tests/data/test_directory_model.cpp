// The item model that feeds the grid: rows and columns of the shown directory, edits, and
// keeping in step with the data set.
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include "directory.h"
#include "directory_model.h"
#include "test_directory.h"

class DirectoryModelTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDirectory> file;
    std::unique_ptr<Directory> directory;
    std::unique_ptr<DirectoryModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;

private slots:
    void init() {
        file = std::make_unique<TestDirectory>();
        file->addCity(cityEntry("11111", "Иванов", "Мира", "1", {}));
        file->addCity(cityEntry("22222", "Петров", "Мира", "2", "2"));
        file->addPersonal({"33333", "Сидоров", "Лесная", "3", "3", "+7 900"});
        directory = std::make_unique<Directory>(file->connectionString());
        model = std::make_unique<DirectoryModel>(directory->DataSource1);
        tester = std::make_unique<QAbstractItemModelTester>(
            model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        CityCriteria fiveDigitPhones = CityCriteria::everything();
        fiveDigitPhones.kalvex = LikeParameter{QStringLiteral("_____")};
        directory->tel.setCriteria(fiveDigitPhones);
        directory->tel.open();
    }
    void cleanup() {
        tester.reset();
        model.reset();
        directory.reset();
        file.reset();
    }

    void showsTheVisibleFieldsAsPlainTexts() {
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->columnCount(), 5);
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("Иванов"));
        QCOMPARE(model->index(0, 4).data().toString(), QString());  // no value shows as empty
    }

    void followsTheDataSourceToThePersonalDirectory() {
        QSignalSpy current(model.get(), &DirectoryModel::currentRowChanged);
        directory->licht.open();
        directory->DataSource1.setDataSet(directory->licht);
        QCOMPARE(model->columnCount(), 6);
        QCOMPARE(model->index(0, 5).data().toString(), QStringLiteral("+7 900"));
        QVERIFY(!current.isEmpty());
    }

    void editingACellEditsTheRowAndLeavingItPosts() {
        QVERIFY(model->setData(model->index(1, 1), QStringLiteral("Петрова"), Qt::EditRole));
        QCOMPARE(directory->tel.state(), DataSet::State::Edit);
        QCOMPARE(directory->tel.currentIndex(), 1);
        QVERIFY(model->submit());  // the view's submit settles nothing
        QCOMPARE(file->city()[1].fam, Value("Петров"));
        directory->tel.moveTo(0);
        QCOMPARE(file->city()[1].fam, Value("Петрова"));
    }

    void leavingACellUnchangedDoesNotModify() {
        QVERIFY(model->setData(model->index(0, 4), QString(), Qt::EditRole));
        QCOMPARE(directory->tel.state(), DataSet::State::Browse);
        QCOMPARE(file->city()[0].kv, Value());
    }

    void newRowsAndDeletionsShowAsRowChanges() {
        directory->tel.append();
        QCOMPARE(model->rowCount(), 3);
        directory->tel.cancel();
        QCOMPARE(model->rowCount(), 2);
        directory->tel.remove();
        QCOMPARE(model->rowCount(), 1);
        directory->tel.sortBy(u"fam");
        QCOMPARE(model->rowCount(), 1);
    }
};

QTEST_GUILESS_MAIN(DirectoryModelTest)
#include "test_directory_model.moc"
