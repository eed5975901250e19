// The data folder the window uses when none is given: beside the program
// when it can write there, else the user's data folder.

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "ui/data_folder.hpp"

using quillmere::ui::default_data_dir;

class DataFolderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void beside_a_writable_program() {
        QTemporaryDir program, user;
        const QString beside = QDir(program.path()).filePath(QStringLiteral("data"));
        const QString fallback = QDir(user.path()).filePath(QStringLiteral("Quillmere"));
        // A missing data/ is still the place, as it always was.
        QCOMPARE(default_data_dir(program.path(), fallback), beside);
        QVERIFY(QDir().mkdir(beside));
        QCOMPARE(default_data_dir(program.path(), fallback), beside);
        QVERIFY(!QFileInfo::exists(fallback));
    }

    void an_unwritable_program_folder_uses_the_users_folder() {
        QTemporaryDir user;
        const QString fallback = QDir(user.path()).filePath(QStringLiteral("share/Quillmere"));
        // A folder that is not there cannot be written, whoever runs the test.
        QCOMPARE(default_data_dir(QStringLiteral("/nonexistent/usr/bin"), fallback), fallback);
        QVERIFY(QFileInfo(fallback).isDir());
        // data/ that is a file is not a folder to keep settings in.
        QTemporaryDir program;
        QFile file(QDir(program.path()).filePath(QStringLiteral("data")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(default_data_dir(program.path(), fallback), fallback);
    }
};

QTEST_GUILESS_MAIN(DataFolderTest)
#include "data_folder_test.moc"
