// The analysis command and the drawing export on the current block: the
// corners are computed from the confirmed planes every time, and a triple
// of planes that cuts out no corner stops both before anything is made.
#include "testkit.h"

#include <QRadioButton>

#include "model/files.h"

using namespace trelmox;
using namespace trelmox::testkit;

namespace {

QStringList results(TestProgram& program) {
    QStringList texts;
    for (const char* name : {"Edit3", "Edit4", "Edit1", "Edit2"}) texts << program.edit(name)->text();
    return texts;
}

void analyse(TestProgram& program) { program.button(&program->Form4, "BitBtn1")->click(); }

} // namespace

class Analysis : public QObject {
    Q_OBJECT
private slots:
    void analysisBeforeAnyExport();
    void analysisFollowsTheCurrentBlock();
    void contactMessages_data();
    void contactMessages();
    void failedTriplesStopExportAndAnalysis_data();
    void failedTriplesStopExportAndAnalysis();
    void failureInsideTheSafetyFactor();
    void exportWithoutReportFolder();
};

void Analysis::analysisBeforeAnyExport() {
    TestProgram program;
    program.confirmExample("w1");
    analyse(program);
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(results(program), (QStringList{"17896.9513", "39.1259", "1.18912355743381", "31.1965"}));
    QVERIFY(program->Form4.reportShown().contains("Kc=\t1.18912355743381"));
}

void Analysis::analysisFollowsTheCurrentBlock() {
    // An export of one block, then a second block with a lower slope: the
    // volume belongs to the second block, not to the first export.
    TestProgram program;
    program.confirmExample("w1");
    program.button(&program->Form1, "BitBtn4")->click();
    typeInto(program.box(&program->Form3, 3), "20");
    program.confirmExample("w2");
    typeInto(program.box(&program->Form3, 3), "20");
    analyse(program);
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(program.edit("Edit3")->text(), QString("2237.1189")); // 17896.9513 / 8
    QCOMPARE(program.edit("Edit4")->text(), QString("19.5630"));
}

void Analysis::contactMessages_data() {
    QTest::addColumn<QString>("overhang");
    QTest::addColumn<QString>("water1");
    QTest::addColumn<QString>("water2");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("safetyFactor");
    QTest::newRow("no block") << "-1"
                              << ""
                              << "" << QStringList{"message: 不能切除块体"} << "0";
    QTest::newRow("lift-off") << "1"
                              << "300"
                              << "300" << QStringList{"message: 切块与两平面皆失去接触，楔块浮起，安全系数下降为零"}
                              << "0";
    QTest::newRow("first plane only") << "1"
                                      << "0"
                                      << "300" << QStringList{} << "0.495";
    QTest::newRow("overhang not an integer") << "1.0"
                                             << ""
                                             << "" << QStringList{"error: '1.0' is not a valid integer value."} << "";
}

void Analysis::contactMessages() {
    QFETCH(QString, overhang);
    QFETCH(QString, water1);
    QFETCH(QString, water2);
    QFETCH(QStringList, shown);
    QFETCH(QString, safetyFactor);
    TestProgram program;
    program.confirmExample("w1");
    typeInto(program.box(&program->Form3, 4), overhang);
    if (!water1.isEmpty()) {
        program->Form3.findChild<QRadioButton*>("RadioButton1")->click();
        typeInto(program.box(&program->Form3, 5), water1);
        typeInto(program.box(&program->Form3, 7), water2);
    }
    analyse(program);
    QCOMPARE(program.boxes.shown(), shown);
    QVERIFY2(program.edit("Edit1")->text().startsWith(safetyFactor), qPrintable(program.edit("Edit1")->text()));
    QCOMPARE(program.edit("Edit3")->text(), QString(safetyFactor.isEmpty() ? "" : "17896.9513"));
}

void Analysis::failedTriplesStopExportAndAnalysis_data() {
    QTest::addColumn<QStringList>("firstPlane");
    QTest::addColumn<QStringList>("shown");
    // A horizontal first cutting plane is parallel to the horizontal top.
    QTest::newRow("horizontal first cutting plane")
        << QStringList{"N", "60", "E", "S", "E", "0"}
        << QStringList{"message: 1、2、3三平面不能切出块体", "message: 1、3、4三平面不能切出块体"};
}

void Analysis::failedTriplesStopExportAndAnalysis() {
    QFETCH(QStringList, firstPlane);
    QFETCH(QStringList, shown);
    TestProgram program;
    // The worked block: horizontal top at H = 10, face N0E dipping SE 60.
    const QStringList planes = firstPlane + QStringList{"N", "60", "W", "N", "E", "45", "N", "0", "E",
                                                        "S", "E",  "0", "N", "0", "E",  "S", "E", "60"};
    program->Form2.setBlockNameText("t1");
    for (int i = 0; i < planes.size(); ++i) program.box(&program->Form2, i + 1)->setText(planes[i]);
    program.enterExampleParameters();
    typeInto(program.box(&program->Form3, 3), "10");
    program.button(&program->Form2, "BitBtn1")->click();
    QCOMPARE(program.boxes.shown(), QStringList());
    const QStringList filesBefore = filesBelow(program.folder());
    const std::string reportBefore = readFileBytes(program.reportFile("t1.txt"));

    program.button(&program->Form1, "BitBtn4")->click();
    QCOMPARE(program.boxes.shown(), shown);
    analyse(program);
    QCOMPARE(program.boxes.shown(), shown + shown);
    QCOMPARE(results(program), (QStringList{"", "", "", ""}));
    QCOMPARE(filesBelow(program.folder()), filesBefore);
    QCOMPARE(readFileBytes(program.reportFile("t1.txt")), reportBefore);
}

void Analysis::failureInsideTheSafetyFactor() {
    TestProgram program;
    program.confirmExample("w1");
    const std::string dataBefore = readFileBytes(program.dataFile("w1.txt"));
    analyse(program);
    QCOMPARE(program.boxes.shown(), QStringList());
    typeInto(program.box(&program->Form3, 9), "x");
    analyse(program);
    QCOMPARE(program.boxes.shown(), QStringList{"error: 'x' is not a valid floating point value."});
    // No result is left that the block's data no longer gives.
    QCOMPARE(results(program), (QStringList{"", "", "", ""}));
    QCOMPARE(readFileBytes(program.dataFile("w1.txt")), dataBefore);
}

void Analysis::exportWithoutReportFolder() {
    TestProgram program;
    program.confirmExample("w1");
    std::filesystem::remove_all(program.folder() / ui::ReportFolderName);
    program.button(&program->Form1, "BitBtn4")->click();
    QCOMPARE(program.boxes.shown(), QStringList{"error: File not found."});
    QCOMPARE(filesBelow(program.folder()), QStringList{"数据文件/w1.txt"});
}

QTEST_MAIN(Analysis)
#include "analysis_test.moc"
