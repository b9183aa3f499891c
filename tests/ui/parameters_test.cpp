// The parameter window: the water-pressure modes, the confirm command with
// its remembered texts and files, and its failures.
#include "testkit.h"

#include <QRadioButton>

#include "model/files.h"

using namespace trelmox;
using namespace trelmox::testkit;

namespace {

QRadioButton* radio(TestProgram& program, const char* name) { return program->Form3.findChild<QRadioButton*>(name); }

QList<bool> waterBoxesEnabled(TestProgram& program) {
    QList<bool> enabled;
    for (int number = 5; number <= 8; ++number) enabled << program.box(&program->Form3, number)->isEnabled();
    return enabled;
}

} // namespace

class Parameters : public QObject {
    Q_OBJECT
private slots:
    void computedWaterPressure_data();
    void computedWaterPressure();
    void modeSwitchKeepsTexts();
    void confirmRemembersTexts();
    void confirmWithoutBlockName();
    void confirmWithoutReportFolder();
    void confirmWritesTheModeInUse_data();
    void confirmWritesTheModeInUse();
};

void Parameters::computedWaterPressure_data() {
    QTest::addColumn<QString>("waterUnitWeight");
    QTest::addColumn<QString>("slopeHeight");
    QTest::addColumn<QString>("computed");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("10 x 30 / 6") << "10"
                                 << "30"
                                 << "50" << QStringList{};
    QTest::newRow("9.81 x 20 / 6") << "9.81"
                                   << "20"
                                   << "32.7" << QStringList{};
    QTest::newRow("9.81 x 40 / 6") << "9.81"
                                   << "40"
                                   << "65.4" << QStringList{};
    // A bad text: the boxes switch, the computed boxes keep their texts.
    QTest::newRow("bad slope height") << "10"
                                      << "4O"
                                      << "old" << QStringList{"error: '4O' is not a valid floating point value."};
    QTest::newRow("empty water unit weight") << ""
                                             << "30"
                                             << "old" << QStringList{"error: '' is not a valid floating point value."};
}

void Parameters::computedWaterPressure() {
    QFETCH(QString, waterUnitWeight);
    QFETCH(QString, slopeHeight);
    QFETCH(QString, computed);
    QFETCH(QStringList, shown);
    TestProgram program;
    // Right after start all four water boxes are enabled.
    QCOMPARE(waterBoxesEnabled(program), (QList<bool>{true, true, true, true}));
    typeInto(program.box(&program->Form3, 2), waterUnitWeight);
    typeInto(program.box(&program->Form3, 3), slopeHeight);
    program.box(&program->Form3, 6)->setText("old");
    program.box(&program->Form3, 8)->setText("old");
    radio(program, "RadioButton2")->click();
    QCOMPARE(program.boxes.shown(), shown);
    QCOMPARE(program.box(&program->Form3, 6)->text(), computed);
    QCOMPARE(program.box(&program->Form3, 8)->text(), computed);
    QCOMPARE(waterBoxesEnabled(program), (QList<bool>{false, true, false, true}));
    QCOMPARE(program->workspace.document().params().WaterPressureMode, TWaterPressureMode::Computed);
}

void Parameters::modeSwitchKeepsTexts() {
    TestProgram program;
    typeInto(program.box(&program->Form3, 2), "10");
    typeInto(program.box(&program->Form3, 3), "30");
    typeInto(program.box(&program->Form3, 5), "7");
    radio(program, "RadioButton2")->click();
    radio(program, "RadioButton1")->click();
    QCOMPARE(waterBoxesEnabled(program), (QList<bool>{true, false, true, false}));
    QCOMPARE(program.box(&program->Form3, 5)->text(), QString("7"));
    QCOMPARE(program.box(&program->Form3, 6)->text(), QString("50"));
    QCOMPARE(program->workspace.document().params().WaterPressureMode, TWaterPressureMode::Entered);
    // Later changes reach the computed boxes only by switching again.
    typeInto(program.box(&program->Form3, 3), "60");
    QCOMPARE(program.box(&program->Form3, 6)->text(), QString("50"));
    radio(program, "RadioButton2")->click();
    QCOMPARE(program.box(&program->Form3, 6)->text(), QString("100"));
}

void Parameters::confirmRemembersTexts() {
    TestProgram program;
    program->Form2.setBlockNameText("b1");
    program.enterExampleParameters();
    program.button(&program->Form3, "BitBtn1")->click();
    program.button(&program->Form3, "BitBtn1")->click();
    QCOMPARE(program.box(&program->Form3, 1)->items(), (QStringList{"25", "25"}));
    QCOMPARE(program.box(&program->Form3, 5)->items(), (QStringList{"", ""}));
    QCOMPARE(program.box(&program->Form3, 12)->items(), (QStringList{"0.577", "0.577"}));
    QCOMPARE(program.box(&program->Form3, 12)->text(), QString("0.577"));
    // A double click on the rock unit weight box remembers its text too.
    QTest::mouseDClick(program.box(&program->Form3, 1)->lineEdit(), Qt::LeftButton);
    QCOMPARE(program.box(&program->Form3, 1)->items().size(), 3);
    QTest::mouseDClick(program.box(&program->Form3, 2)->lineEdit(), Qt::LeftButton);
    QCOMPARE(program.box(&program->Form3, 2)->items().size(), 2);
}

void Parameters::confirmWithoutBlockName() {
    TestProgram program;
    program.enterExampleParameters();
    program.button(&program->Form3, "BitBtn1")->click();
    // Refused once, before either file is written.
    QCOMPARE(program.boxes.shown(), (QStringList{"message: 请输入或选择块体名称"}));
    QCOMPARE(filesBelow(program.folder()), QStringList());
    QCOMPARE(program.box(&program->Form3, 1)->items(), QStringList{"25"});
}

void Parameters::confirmWithoutReportFolder() {
    TestProgram program(TestProgram::Folders::DataOnly);
    program->Form2.setBlockNameText("b1");
    program.enterExamplePlanes();
    program.button(&program->Form2, "BitBtn1")->click();
    program.enterExampleParameters();
    program->Form3.findChild<QRadioButton*>("RadioButton2")->click(); // every pressure a number
    program.button(&program->Form3, "BitBtn1")->click();
    QCOMPARE(program.boxes.shown(), (QStringList{"error: File not found.", "error: File not found."}));
    QCOMPARE(filesBelow(program.folder()), QStringList());
}

void Parameters::confirmWritesTheModeInUse_data() {
    QTest::addColumn<bool>("computed");
    QTest::addColumn<std::string>("waterLines");
    QTest::newRow("entered") << false << std::string("z,1\r\nz,2\r\n");
    QTest::newRow("computed") << true << std::string("j,65.4\r\nj,65.4\r\n");
}

void Parameters::confirmWritesTheModeInUse() {
    QFETCH(bool, computed);
    QFETCH(std::string, waterLines);
    TestProgram program;
    program->Form2.setBlockNameText("b1");
    program.enterExamplePlanes();
    program.button(&program->Form2, "BitBtn1")->click();
    program.enterExampleParameters();
    typeInto(program.box(&program->Form3, 5), "1");
    typeInto(program.box(&program->Form3, 7), "2");
    if (computed) radio(program, "RadioButton2")->click();
    program.button(&program->Form3, "BitBtn1")->click();
    QCOMPARE(program.boxes.shown(), QStringList());
    const std::string data = readFileBytes(program.dataFile("b1.txt"));
    QVERIFY2(data.find("\r\n1\r\n" + waterLines + "24\r\n") != std::string::npos, data.c_str());
    QCOMPARE(filesBelow(program.folder()), (QStringList{"分析报告/b1.txt", "数据文件/b1.txt"}));
}

QTEST_MAIN(Parameters)
#include "parameters_test.moc"
