// The whole program as a user drives it: name a block, enter its planes,
// confirm, enter the parameters with computed water pressures, confirm,
// export the drawing, open the analysis window and analyse.
#include "testkit.h"

#include <QRadioButton>
#include <QTextEdit>

#include "analysis/wedge.h"
#include "model/files.h"
#include "model/numtext.h"

using namespace trelmox;
using namespace trelmox::testkit;

namespace {

std::string goldenBytes(const char* name) {
    return readFileBytes(std::filesystem::path(TRELMOX_EXAMPLE).parent_path().parent_path() / "tests" / "data" / name);
}

} // namespace

class TypicalRun : public QObject {
    Q_OBJECT
private slots:
    void exampleBlockFromEntryToAnalysis();
};

void TypicalRun::exampleBlockFromEntryToAnalysis() {
    TestProgram program;
    app::Program& p = *program;

    // 1. Open the plane entry window, name the block and enter its planes.
    program.button(&p.Form1, "BitBtn1")->click();
    QVERIFY(p.Form2.isVisible());
    typeInto(p.Form2.blockNameBox(), "example");
    program.enterExamplePlanes();

    // 2. Confirm: model, list entry, report, then data file.
    program.button(&p.Form2, "BitBtn1")->click();
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(p.workspace.document().currentBlock(), std::string("example"));
    QCOMPARE(p.Form2.blockNameBox()->items(), QStringList{"example.txt"});
    QCOMPARE(p.workspace.document().attitudes()[0].DipDirection, 105.0);
    QCOMPARE(filesBelow(program.folder()), (QStringList{"分析报告/example.txt", "数据文件/example.txt"}));

    // 3. Parameters, switched to computed water pressures, confirmed.
    program.button(&p.Form1, "BitBtn2")->click();
    QVERIFY(p.Form3.isVisible());
    program.enterExampleParameters();
    p.Form3.findChild<QRadioButton*>("RadioButton2")->click();
    QCOMPARE(program.box(&p.Form3, 6)->text(), QString("65.4"));
    QCOMPARE(program.box(&p.Form3, 8)->text(), QString("65.4"));
    program.button(&p.Form3, "BitBtn1")->click();
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(readFileBytes(program.dataFile("example.txt")), readFileBytes(TRELMOX_EXAMPLE));

    // 4. The drawing.
    program.button(&p.Form1, "BitBtn4")->click();
    QCOMPARE(program.boxes.shown(), QStringList());
    const std::string drawing = readFileBytes(program.reportFile("exampleblock.dxf"));
    QCOMPARE(std::count(drawing.begin(), drawing.end(), '\n'), 163);

    // 5. The analysis window shows the report and names its block.
    program.button(&p.Form1, "BitBtn3")->click();
    QVERIFY(p.Form4.isVisible());
    QVERIFY(p.Form4.reportShown().startsWith("****************楔块example稳定分析导出文件"));
    QCOMPARE(p.Form4.blockName(), QString("example"));

    program.button(&p.Form4, "BitBtn1")->click();
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(program.edit("Edit3")->text(), QString("17896.9513"));
    QCOMPARE(program.edit("Edit4")->text(), QString("39.1259"));
    QCOMPARE(program.edit("Edit2")->text(), QString("31.1965"));
    const SafetyResult engine = computeSafetyFactor(p.workspace.document().attitudes(),
                                                    wedgeNumbers(parameterNumbers(p.workspace.document().params())));
    QCOMPARE(program.edit("Edit1")->text(), QString::fromStdString(floatToText(engine.SafetyFactor)));
    QVERIFY(program.edit("Edit1")->text().startsWith("1.1891"));

    // The files as the engine writes them, and the reloaded report.
    // The reference report differs from this one only in the safety factor's text.
    std::string expectedReport = goldenBytes("example_report.txt");
    const std::string referenceKc = "1.18913047657452";
    expectedReport.replace(expectedReport.find(referenceKc), referenceKc.size(), floatToText(engine.SafetyFactor));
    QCOMPARE(readFileBytes(program.reportFile("example.txt")), expectedReport);
    QCOMPARE(readFileBytes(program.dataFile("example.txt")), readFileBytes(TRELMOX_EXAMPLE));
    QVERIFY(p.Form4.reportShown().contains("V=\t17896.9513"));
    // Beside them the full analysis's own report; a block without loads gets
    // no companion file.
    QCOMPARE(filesBelow(program.folder()), (QStringList{"分析报告/example.txt", "分析报告/exampleblock.dxf",
                                                        "分析报告/example三维分析.txt", "数据文件/example.txt"}));
}

QTEST_MAIN(TypicalRun)
#include "typical_run_test.moc"
