// The analysis command and the drawing export on the current block: the
// corners are computed from the confirmed planes every time, a triple of
// planes that cuts out no corner stops both before anything is made, and
// the window shows the wedge and the report each figure belongs to.
#include "testkit.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStatusBar>

#include "analysis/block_analysis.h"
#include "model/files.h"
#include "model/numtext.h"
#include "model/size_limits.h"

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
    void sizeLimitedWedgeShowsItsOwnFigures();
    void reportFollowsTheConfirmedBlock();
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

// The figures beside Fs belong to the wedge Fs was worked out for: with a
// face trace, a bench and a minimum volume that scale the wedge down, both
// windows show its volume and weight, the scale and the limit that set it,
// the full-height volume beside, and that it is too small and leaves too
// narrow a bench - typed and clicked as a person does.
void Analysis::sizeLimitedWedgeShowsItsOwnFigures() {
    TestProgram program;
    app::Program& p = *program;
    program.confirmExample("w1");
    p.Loads.bringUp();
    typeInto(p.Loads.entryBox(LoadsField::SizeFaceTrace, 0), "60");
    auto* bench = p.Loads.findChild<QGroupBox*>("BenchGroup");
    QTest::mouseClick(bench, Qt::LeftButton, Qt::NoModifier,
                      QPoint(bench->fontMetrics().height(), bench->fontMetrics().height() / 2));
    QVERIFY(bench->isChecked());
    typeInto(p.Loads.entryBox(LoadsField::SizeBenchHeight), "30");
    typeInto(p.Loads.entryBox(LoadsField::SizeBenchWidth), "10");
    typeInto(p.Loads.entryBox(LoadsField::SizeCatchWidth), "5");
    typeInto(p.Loads.entryBox(LoadsField::SizeMinVolume), "100");
    QTest::mouseClick(program.button(&p.Loads, "AnalyseButton"), Qt::LeftButton);
    QCOMPARE(program.boxes.shown(), QStringList());

    const BlockDocument& document = p.workspace.document();
    const BlockRun run = runBlock(blockInput(document.block()), document.loads());
    const WedgeSizing& size = run.Full->Analysis.Size;
    QVERIFY(size.Scale.Decider && size.Scale.Factor < 0.5 && size.TooSmall && size.BenchTooNarrow);
    const QString volume = QString::fromStdString(floatToFixed4(size.Volume));
    QCOMPARE(program.edit("FullVolumeEdit")->text(), volume);
    QCOMPARE(program.edit("FullWeightEdit")->text(), QString::fromStdString(floatToFixed4(size.Weight)));
    QCOMPARE(program.edit("Edit3")->text(), QString("17896.9513")); // Kc's wedge keeps its full height
    const QString scale = QString::fromStdString(floatToFixed4(size.Scale.Factor));
    const QString fullVolume = QString::fromStdString(floatToFixed4(size.FullVolume));
    const QString decider = QString::fromUtf8(sizeLimitName(*size.Scale.Decider));
    const QString note = p.Form4.findChild<QLabel*>("SizeNote")->text();
    QVERIFY2(note.contains(scale) && note.contains(decider) && note.contains(fullVolume), qPrintable(note));
    const QString warning = p.Form4.findChild<QLabel*>("FullNote")->text();
    QVERIFY2(warning.contains("过小") && warning.contains("窄于最小安全平台宽度"), qPrintable(warning));
    const QString loads = p.Loads.resultsText();
    for (const QString& figure : {volume, scale, fullVolume, decider})
        QVERIFY2(loads.contains(figure), qPrintable(figure + " not in " + loads));
    QVERIFY(loads.contains("过小") && loads.contains("窄于最小安全平台宽度"));
}

// The viewer never keeps a report the block no longer has: the example
// analysed, its face dip changed to 70 and confirmed, the viewer shows the
// report just written (face 70, no figures) and the stale note stands clear
// of the status bar.
void Analysis::reportFollowsTheConfirmedBlock() {
    TestProgram program;
    app::Program& p = *program;
    program.confirmExample("w1");
    p.Form1.show();
    QTest::mouseClick(program.button(&p.Form1, "BitBtn3"), Qt::LeftButton);
    activate(&p.Form4);
    QTest::mouseClick(program.button(&p.Form4, "BitBtn1"), Qt::LeftButton);
    QVERIFY(p.Form4.reportShown().contains("Kc=\t1.18912355743381"));
    typeInto(program.box(&p.Form2, 24), "70"); // the slope face's dip
    activate(&p.Form2);
    QTest::mouseClick(program.button(&p.Form2, "BitBtn1"), Qt::LeftButton);
    QCOMPARE(program.boxes.shown(), QStringList());
    QVERIFY(p.Form4.reportShown().contains("4.坡面倾角及倾向角:\t\t70\t185"));
    QVERIFY(!p.Form4.reportShown().contains("1.18912355743381"));
    QVERIFY(!p.Form4.reportShown().contains("17896.9513"));
    const auto* note = p.Form4.findChild<QLabel*>("StaleNote");
    QCOMPARE(note->text(), QString::fromUtf8(StaleResultsNote));
    const QRect bar = p.Form4.findChild<QStatusBar*>("StatusBar1")->geometry();
    QVERIFY(note->geometry().bottom() < bar.top());
    QVERIFY(p.Form4.rect().contains(note->geometry()));
}

QTEST_MAIN(Analysis)
#include "analysis_test.moc"
