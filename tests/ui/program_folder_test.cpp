// Where the program keeps its files: beside a writable program, in the
// user's data location for an installed (read-only) one, and which folder
// the main window names.
#include "testkit.h"

#include <QLabel>

#include <filesystem>

#include "model/files.h"

using namespace trelmox;
using namespace trelmox::testkit;
namespace fs = std::filesystem;

class ProgramFolder : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void choice_data();
    void choice();
    void userChangesSurviveTheNextStart();
    void statusBarNamesTheFolder();

private:
    QTemporaryDir userData_;
    fs::path userFolder() const { return fs::path(userData_.path().toStdString()) / "TRELMOX"; }
};

void ProgramFolder::initTestCase() {
    QCoreApplication::setApplicationName(QStringLiteral("TRELMOX"));
    qputenv("XDG_DATA_HOME", userData_.path().toLocal8Bit());
}

void ProgramFolder::choice_data() {
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("besideProgram");
    // A build folder: writable, the build made the data folder.
    QTest::newRow("build folder") << true << true;
    // Installed: a system folder the user may not write, no data folder.
    QTest::newRow("installed") << false << false;
}

void ProgramFolder::choice() {
    QFETCH(bool, writable);
    QFETCH(bool, besideProgram);
    fs::remove_all(userFolder());
    QTemporaryDir programDir;
    const fs::path program = programDir.path().toStdString();
    if (writable) fs::create_directory(program / ui::DataFolderName);
    fs::permissions(program, writable ? fs::perms(0755) : fs::perms(0555));

    const fs::path folder = app::openProgramFolder(program);
    fs::permissions(program, fs::perms(0755));

    QCOMPARE(QString::fromStdString(folder.string()),
             QString::fromStdString((besideProgram ? program : userFolder()).string()));
    QVERIFY(fs::is_directory(folder / ui::DataFolderName));
    QVERIFY(fs::is_directory(folder / ui::ReportFolderName));
    if (!besideProgram) {
        QCOMPARE(readFileBytes(folder / ui::DataFolderName / "example.txt"), readFileBytes(TRELMOX_EXAMPLE));
        QVERIFY(filesBelow(program).isEmpty());
    }
}

void ProgramFolder::userChangesSurviveTheNextStart() {
    fs::remove_all(userFolder());
    QTemporaryDir programDir;
    const fs::path program = programDir.path().toStdString();
    fs::permissions(program, fs::perms(0555));
    const fs::path data = app::openProgramFolder(program) / ui::DataFolderName;
    fs::remove(data / "example.txt");
    writeFileAtomically(data / "mine.txt", "x");

    app::openProgramFolder(program);
    fs::permissions(program, fs::perms(0755));
    QCOMPARE(filesBelow(data), QStringList{"mine.txt"});
}

void ProgramFolder::statusBarNamesTheFolder() {
    TestProgram program;
    const QLabel* label = program->Form1.findChild<QLabel*>(QStringLiteral("ProgramFolder"));
    QVERIFY(label);
    QCOMPARE(label->toolTip(), QString::fromStdString(program.folder().string()));
    QVERIFY(label->text().startsWith(QStringLiteral("文件夹：")));
}

QTEST_MAIN(ProgramFolder)
#include "program_folder_test.moc"
