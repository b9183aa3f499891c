// The loads and support of a block under real input: entered in the
// "荷载与支护" window, analysed beside Kc, saved in the companion file and
// loaded back with the block; a bad text points at its box.
#include "testkit.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <QRadioButton>

#include "model/companion.h"
#include "model/files.h"
#include "report/figures.h"
#include "tests/support/added_load_field.h"

using namespace trelmox;
using namespace trelmox::testkit;

namespace {

QPushButton* loadsButton(TestProgram& program, const char* name) { return program.button(&program->Loads, name); }

void openFromMenu(TestProgram& program) {
    activate(&program->Form1);
    program->Form1.findChild<QPushButton*>("PicturesButton")->menu()->findChild<QAction*>("LoadsCommand")->trigger();
    QVERIFY(program->Loads.isVisible());
}

// A click on a checkable group's title ticks it.
void clickTitle(QGroupBox* group) {
    activate(group->window());
    QTest::mouseClick(group, Qt::LeftButton, Qt::NoModifier,
                      QPoint(group->fontMetrics().height(), group->fontMetrics().height() / 2));
}

QLineEdit* box(TestProgram& program, LoadsField field, int row = -1) {
    QLineEdit* found = program->Loads.entryBox(field, row);
    if (!found) qFatal("no box for field %d row %d", static_cast<int>(field), row);
    return found;
}

// The example block's crack and one active bolt, as the user types them.
void enterCrackAndBolt(TestProgram& program) {
    clickTitle(program->Loads.findChild<QGroupBox*>("CrackGroup"));
    QVERIFY(program->Loads.findChild<QGroupBox*>("CrackGroup")->isChecked());
    typeInto(box(program, LoadsField::CrackDip), "80");
    typeInto(box(program, LoadsField::CrackDipDirection), "10");
    typeInto(box(program, LoadsField::CrackDistance), "5");
    loadsButton(program, "AddBoltButton")->click();
    typeInto(box(program, LoadsField::BoltForce, 0), "800");
    typeInto(box(program, LoadsField::BoltTrend, 0), "330");
    typeInto(box(program, LoadsField::BoltPlunge, 0), "15");
    auto* mode = program->Loads.findChild<QWidget*>("BoltsTable")->findChildren<QComboBox*>().front();
    QTest::mouseClick(mode, Qt::LeftButton); // the list opens; the key picks the item above
    QVERIFY(QTest::qWaitForWindowExposed(mode->view()->window()));
    QTest::keyClick(mode->view(), Qt::Key_Up);
    QTest::keyClick(mode->view(), Qt::Key_Return);
    QCOMPARE(mode->currentText(), QString("主动"));
}

WedgeLoads crackAndBolt() {
    WedgeLoads loads;
    loads.Crack = TensionCrack{{80, 10}, 5, 0};
    loads.Bolts = {{800, {330, 15}, BoltMode::Active}};
    return loads;
}

// A model picked from a plane's list as a person does: the list opened by a
// click, the item reached with the arrow keys, taken with Return.
void pickModel(TestProgram& program, int plane, int downs) {
    auto* model = program->Loads.findChild<QComboBox*>(QString("StrengthModel%1").arg(plane + 1));
    activate(&program->Loads);
    QTest::mouseClick(model, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(model->view()->window()));
    for (int i = 0; i < 3; ++i) QTest::keyClick(model->view(), Qt::Key_Up); // from the top
    for (int i = 0; i < downs; ++i) QTest::keyClick(model->view(), Qt::Key_Down);
    QTest::keyClick(model->view(), Qt::Key_Return);
}

} // namespace

class Loads : public QObject {
    Q_OBJECT
private slots:
    void crackAndBoltAnalysedBesideKc();
    void companionFileLoadsWithTheBlock();
    void badTextGetsTheFocus();
    void strengthModelPerPlane();
    void sizeLimitsTypedAndSaved();
    void boltCapacityAndPattern();
    void switchedOffPatternTakesNoTyping();
    void addedLoadFieldRoundTrips();
};

void Loads::crackAndBoltAnalysedBesideKc() {
    TestProgram program;
    program.confirmExample("w1");
    openFromMenu(program);
    enterCrackAndBolt(program);
    loadsButton(program, "AnalyseButton")->click();
    QCOMPARE(program.boxes.shown(), QStringList());

    // What the engine gives for the loads the user meant.
    const FullFigureTexts expected =
        fullFigureTexts(runBlock(blockInput(program->workspace.document().block()), crackAndBolt()));
    QCOMPARE(program->Form4.fullFactorText(), QString::fromStdString(expected.Factor));
    QCOMPARE(program->Form4.fullContactText(), QString::fromStdString(expected.Contact));
    QCOMPARE(program->Form4.stateText(), QString::fromStdString(expected.State));
    QVERIFY(!expected.State.empty());
    QVERIFY(program->Form4.fullFactorText() != program.edit("Edit1")->text()); // Kc keeps its own figure
    QVERIFY(program.edit("Edit1")->text().startsWith("1.1891"));
    QVERIFY(program->Loads.resultsText().contains(QString::fromStdString(expected.LeastBolt)));

    // Saved with the block, and the full analysis's own report beside Kc's.
    QCOMPARE(parseCompanion(readFileBytes(program.dataFile("w1.json")), "w1.json"), crackAndBolt());
    QVERIFY(fileText(program.reportFile("w1三维分析.txt")).find("5.张裂缝:\t\t80°\t10°\t距坡顶线\t5 m") !=
            std::string::npos);
}

void Loads::companionFileLoadsWithTheBlock() {
    TestProgram program;
    program.confirmExample("w1");
    openFromMenu(program);
    enterCrackAndBolt(program);
    program.button(&program->Form3, "BitBtn1")->click(); // the parameters' confirm saves the block with its loads
    writeFile(program.dataFile("plain.txt"), readFileBytes(TRELMOX_EXAMPLE));
    program.button(&program->Form1, "BitBtn1")->click();

    // A block without loads: the defaults, and its files stay as they were.
    pick(program->Form2.blockNameBox(), "plain.txt");
    QCOMPARE(program.boxes.questions, QStringList());
    QVERIFY(!program->Loads.findChild<QGroupBox*>("CrackGroup")->isChecked());
    QCOMPARE(program->Loads.entryBox(LoadsField::BoltForce, 0), nullptr);
    program->Form2.findChild<QRadioButton*>("RadioButton1")->click();
    program.button(&program->Form2, "BitBtn1")->click();
    program.button(&program->Form4, "BitBtn1")->click();
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(readFileBytes(program.dataFile("plain.txt")), readFileBytes(TRELMOX_EXAMPLE));
    QVERIFY(!std::filesystem::exists(program.dataFile("plain.json")));

    // The block with loads brings them back.
    pick(program->Form2.blockNameBox(), "w1.txt");
    QVERIFY(program->Loads.findChild<QGroupBox*>("CrackGroup")->isChecked());
    QCOMPARE(box(program, LoadsField::CrackDip)->text(), QString("80"));
    QCOMPARE(box(program, LoadsField::BoltTrend, 0)->text(), QString("330"));

    // A loads edit is an edit: loading over it asks, and 否 keeps it.
    typeInto(box(program, LoadsField::CrackDistance), "6");
    pick(program->Form2.blockNameBox(), "plain.txt");
    QCOMPARE(program.boxes.questions, QStringList{"当前块体数据已修改，是否放弃修改并载入“plain.txt”？"});
    QCOMPARE(box(program, LoadsField::CrackDistance)->text(), QString("6"));
}

void Loads::badTextGetsTheFocus() {
    TestProgram program;
    program.confirmExample("w1");
    const QStringList filesBefore = filesBelow(program.folder());
    const std::string dataBefore = readFileBytes(program.dataFile("w1.txt"));
    program.button(&program->Form4, "LoadsButton")->click();
    QVERIFY(program->Loads.isVisible());
    clickTitle(program->Loads.findChild<QGroupBox*>("CrackGroup"));
    typeInto(box(program, LoadsField::CrackDip), "8O");
    program.button(&program->Form4, "BitBtn1")->click();
    QCOMPARE(program.boxes.shown(), QStringList{"error: 张裂缝倾角“8O”不是有效的数。"});
    QCOMPARE(QApplication::focusWidget(), box(program, LoadsField::CrackDip));
    QCOMPARE(box(program, LoadsField::CrackDip)->selectedText(), QString("8O"));
    QCOMPARE(filesBelow(program.folder()), filesBefore);
    QCOMPARE(readFileBytes(program.dataFile("w1.txt")), dataBefore);
    QCOMPARE(program->Form4.fullFactorText(), QString());

    // Out of range names the box as well; a table's box by its row.
    typeInto(box(program, LoadsField::CrackDip), "80");
    typeInto(box(program, LoadsField::CrackDipDirection), "10");
    typeInto(box(program, LoadsField::CrackDistance), "5");
    loadsButton(program, "AddForceButton")->click();
    typeInto(box(program, LoadsField::ForceMagnitude, 0), "-5");
    loadsButton(program, "ConfirmButton")->click();
    QCOMPARE(program.boxes.shown().last(), QString("error: 第1个外力的大小不能为负数，现为-5。"));
    QCOMPARE(QApplication::focusWidget(), box(program, LoadsField::ForceMagnitude, 0));
}

// Each plane's strength model and its parameters, chosen and typed in the
// window, reach the document, the analysis and the companion file; a bad
// parameter points at its box.
void Loads::strengthModelPerPlane() {
    TestProgram program;
    program.confirmExample("w1");
    openFromMenu(program);
    QVERIFY(!program->Loads.findChild<QLineEdit*>("Plane1Jrc")->isVisible()); // Mohr-Coulomb: no parameters
    pickModel(program, 0, 1);
    QVERIFY(box(program, LoadsField::StrengthJrc, 0)->isVisible());
    typeInto(box(program, LoadsField::StrengthJrc, 0), "10");
    typeInto(box(program, LoadsField::StrengthJcs, 0), "40000");
    typeInto(box(program, LoadsField::StrengthResidualFriction, 0), "26");
    pickModel(program, 1, 3);
    typeInto(box(program, LoadsField::StrengthSigci, 1), "25000");
    typeInto(box(program, LoadsField::StrengthWaviness, 1), "3");

    WedgeLoads expected;
    expected.Strength[0].Model = StrengthModel::BartonBandis;
    expected.Strength[0].Jrc = 10, expected.Strength[0].Jcs = 40000, expected.Strength[0].ResidualFriction = 26;
    expected.Strength[1].Model = StrengthModel::HoekBrown;
    expected.Strength[1].Sigci = 25000, expected.Strength[1].Waviness = 3;
    QCOMPARE(loadsFromEntries(program->workspace.document().loadsEntries()), expected);

    loadsButton(program, "AnalyseButton")->click();
    QCOMPARE(program.boxes.shown(), QStringList());
    const FullFigureTexts figures =
        fullFigureTexts(runBlock(blockInput(program->workspace.document().block()), expected));
    QCOMPARE(program->Form4.fullFactorText(), QString::fromStdString(figures.Factor));
    QCOMPARE(parseCompanion(readFileBytes(program.dataFile("w1.json")), "w1.json"), expected);
    QVERIFY(fileText(program.reportFile("w1三维分析.txt")).find("第一切割面抗剪强度:\t巴顿-班迪斯") !=
            std::string::npos);

    // Back to Mohr-Coulomb: the plane's texts stay for a change of mind.
    pickModel(program, 0, 0);
    QVERIFY(!box(program, LoadsField::StrengthJrc, 0)->isVisible());
    QCOMPARE(program->workspace.document().loadsEntries().Strength[0].Jrc, std::string("10"));

    typeInto(box(program, LoadsField::StrengthWaviness, 1), "95");
    loadsButton(program, "ConfirmButton")->click();
    QCOMPARE(program.boxes.shown().last(), QString("error: 第二切割面的起伏角应在0与90之间（不含90），现为95。"));
    QCOMPARE(QApplication::focusWidget(), box(program, LoadsField::StrengthWaviness, 1));
}

// The size limits typed in their group reach the document, the analysis and
// the companion file, stay there while other loads are edited, come back
// with the block, and a bad one points at its box.
void Loads::sizeLimitsTypedAndSaved() {
    TestProgram program;
    program.confirmExample("w1");
    openFromMenu(program);
    typeInto(box(program, LoadsField::SizeFaceTrace, 0), "30");
    typeInto(box(program, LoadsField::SizePersistence, 1), "25");
    clickTitle(program->Loads.findChild<QGroupBox*>("BenchGroup"));
    typeInto(box(program, LoadsField::SizeBenchHeight), "20");
    typeInto(box(program, LoadsField::SizeBenchWidth), "12");
    typeInto(box(program, LoadsField::SizeCatchWidth), "6");
    typeInto(box(program, LoadsField::SizeMinVolume), "5");
    WedgeLoads expected;
    expected.Size.FaceTrace[0] = 30;
    expected.Size.Persistence[1] = 25;
    expected.Size.Bench = BenchLimits{20, 12, 6};
    expected.Size.MinVolume = 5;
    QCOMPARE(loadsFromEntries(program->workspace.document().loadsEntries()), expected);

    loadsButton(program, "AnalyseButton")->click();
    QCOMPARE(program.boxes.shown(), QStringList());
    const FullFigureTexts figures =
        fullFigureTexts(runBlock(blockInput(program->workspace.document().block()), expected));
    QCOMPARE(program->Form4.fullFactorText(), QString::fromStdString(figures.Factor));
    QCOMPARE(parseCompanion(readFileBytes(program.dataFile("w1.json")), "w1.json"), expected);

    // Another load edited: the limits stay with it.
    typeInto(box(program, LoadsField::Seismic), "0.1");
    expected.SeismicCoefficient = 0.1;
    loadsButton(program, "ConfirmButton")->click();
    QCOMPARE(parseCompanion(readFileBytes(program.dataFile("w1.json")), "w1.json"), expected);

    writeFile(program.dataFile("plain.txt"), readFileBytes(TRELMOX_EXAMPLE));
    program.button(&program->Form1, "BitBtn1")->click();
    pick(program->Form2.blockNameBox(), "plain.txt");
    QCOMPARE(box(program, LoadsField::SizeFaceTrace, 0)->text(), QString());
    QVERIFY(!program->Loads.findChild<QGroupBox*>("BenchGroup")->isChecked());
    pick(program->Form2.blockNameBox(), "w1.txt");
    QCOMPARE(box(program, LoadsField::SizeFaceTrace, 0)->text(), QString("30"));
    QCOMPARE(box(program, LoadsField::SizeCatchWidth)->text(), QString("6"));
    QVERIFY(program->Loads.findChild<QGroupBox*>("BenchGroup")->isChecked());

    typeInto(box(program, LoadsField::SizePersistence, 1), "0");
    loadsButton(program, "ConfirmButton")->click();
    QCOMPARE(program.boxes.shown().last(), QString("error: 第二切割面的延伸长度应大于0，现为0。"));
    QCOMPARE(QApplication::focusWidget(), box(program, LoadsField::SizePersistence, 1));
}

// While 系统锚杆 is off, none of its boxes takes typing - its plate box
// included, which the capacity model once enabled by hand; switched on,
// the plate box takes typing again (the end-anchored bolt has a plate).
void Loads::switchedOffPatternTakesNoTyping() {
    TestProgram program;
    program.confirmExample("w1");
    openFromMenu(program);
    auto* pattern = program->Loads.findChild<QGroupBox*>("PatternGroup");
    QLineEdit* plate = box(program, LoadsField::PatternPlate);
    const LoadsEntries before = program->workspace.document().loadsEntries();
    QVERIFY(!pattern->isChecked());
    QVERIFY(!plate->isEnabled());
    clickTitle(pattern);
    QVERIFY(plate->isEnabled());
    clickTitle(pattern);
    QVERIFY(!pattern->isChecked());
    QVERIFY(!plate->isEnabled());
    QTest::mouseClick(plate, Qt::LeftButton);
    QVERIFY(QApplication::focusWidget() != plate);
    QCOMPARE(program->workspace.document().loadsEntries(), before);
}

// A bolt given a capacity model and a pattern on the face, as a person sets
// them: the type picked from the row's list (its defaults fill the figures
// not typed), a figure typed over, the pattern's group ticked.
void Loads::boltCapacityAndPattern() {
    TestProgram program;
    program.confirmExample("w1");
    openFromMenu(program);
    loadsButton(program, "AddBoltButton")->click();
    typeInto(box(program, LoadsField::BoltTrend, 0), "330");
    typeInto(box(program, LoadsField::BoltPlunge, 0), "15");
    auto* type = program->Loads.findChild<QComboBox*>("BoltsTable0_4");
    QVERIFY(type);
    activate(&program->Loads);
    QTest::mouseClick(type, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(type->view()->window()));
    for (int i = 0; i < 3; ++i) QTest::keyClick(type->view(), Qt::Key_Down);
    QTest::keyClick(type->view(), Qt::Key_Return);
    QCOMPARE(type->currentText(), QString("锚索"));
    QVERIFY(!box(program, LoadsField::BoltForce, 0)->isEnabled());
    QCOMPARE(box(program, LoadsField::BoltTendon, 0)->text(), QString("520"));
    typeInto(box(program, LoadsField::BoltLength, 0), "12");
    clickTitle(program->Loads.findChild<QGroupBox*>("PatternGroup"));
    typeInto(box(program, LoadsField::PatternSpacingStrike), "3");
    typeInto(box(program, LoadsField::PatternSpacingDip), "3");
    typeInto(box(program, LoadsField::PatternTrend), "15");
    typeInto(box(program, LoadsField::PatternPlunge), "10");

    WedgeLoads expected;
    expected.Bolts = {{0, {330, 15}, BoltMode::Passive, BoltCapacity{BoltType::Cable, 12, 520, 400, 200}}};
    expected.Pattern = BoltPattern{3, 3, {15, 10}, BoltMode::Passive, boltDefaults(BoltType::Simple)};
    QCOMPARE(loadsFromEntries(program->workspace.document().loadsEntries()), expected);
    loadsButton(program, "AnalyseButton")->click();
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(parseCompanion(readFileBytes(program.dataFile("w1.json")), "w1.json"), expected);
    const std::string report = fileText(program.reportFile("w1三维分析.txt"));
    QVERIFY(report.find("锚杆1(被动):\t锚索\t长度 12 m") != std::string::npos);
    QVERIFY(report.find("系统锚杆(被动)\t") != std::string::npos);

    // Back to a given force: the figures typed stay for a change of mind.
    QTest::mouseClick(type, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(type->view()->window()));
    for (int i = 0; i < 3; ++i) QTest::keyClick(type->view(), Qt::Key_Up);
    QTest::keyClick(type->view(), Qt::Key_Return);
    QVERIFY(box(program, LoadsField::BoltForce, 0)->isEnabled());
    QCOMPARE(box(program, LoadsField::BoltLength, 0)->text(), QString("12"));
    QVERIFY(!program->workspace.document().loadsEntries().Bolts[0].Rated);
}

// A load field added to the table alone gets its box in its part's group,
// which takes typing into the document, shows what comes from the file, and
// gets the focus when its text is refused.
void Loads::addedLoadFieldRoundTrips() {
    using namespace trelmox::testing;
    TestProgram program;
    const std::vector<LoadField> fields = surchargedFields();
    const std::vector<LoadDirection> directions = surchargedDirections();
    ui::LoadsWindow window(program->workspace, fields, directions);
    activate(&window);
    auto* surcharge = window.findChild<QLineEdit*>("Surcharge");
    QVERIFY(surcharge);
    QCOMPARE(window.entryBox(SurchargeField), surcharge);
    QCOMPARE(surcharge->parentWidget(), window.findChild<QLineEdit*>("CrackPressure")->parentWidget());
    QCOMPARE(surcharge->text(), QString()); // not set

    typeInto(surcharge, "12.5");
    BlockDocument& document = program->workspace.document();
    SurchargedLoads typed;
    loadsFromEntries(document.loadsEntries(), typed, fields);
    QCOMPARE(typed.Surcharge, 12.5);

    SurchargedLoads read;
    parseCompanion(companionText(typed, fields), "w1.json", read, fields);
    QCOMPARE(read.Surcharge, 12.5);
    read.Surcharge = 20;
    document.setLoadsEntries(loadsEntries(read, fields));
    QCOMPARE(surcharge->text(), QString("20"));

    typeInto(surcharge, "-3");
    try {
        SurchargedLoads refused;
        loadsFromEntries(document.loadsEntries(), refused, fields);
        QFAIL("a negative surcharge was taken");
    } catch (const LoadsEntryError& e) {
        QCOMPARE(e.Field, SurchargeField);
        window.focusEntry(e.Field, e.Row);
    }
    QCOMPARE(QApplication::focusWidget(), surcharge);
    typeInto(surcharge, "12.5");

    // A direction added to its table alone: its switch and boxes in its
    // part's group, the boxes taking typing only while it is on.
    auto* directed = window.findChild<QCheckBox*>("SurchargeDirected");
    auto* trend = window.findChild<QLineEdit*>("SurchargeTrend");
    auto* plunge = window.findChild<QLineEdit*>("SurchargePlunge");
    QVERIFY(directed && trend && plunge);
    QCOMPARE(directed->parentWidget(), surcharge->parentWidget());
    QCOMPARE(window.entryBox(SurchargePlungeField), plunge);
    QVERIFY(!trend->isEnabled());
    directed->click();
    QVERIFY(trend->isEnabled() && plunge->isEnabled());
    typeInto(trend, "160");
    typeInto(plunge, "60");
    SurchargedLoads aimed;
    loadsFromEntries(document.loadsEntries(), aimed, fields, directions);
    QCOMPARE(aimed.SurchargeDirection, std::optional(LineDirection{160, 60}));

    aimed.SurchargeDirection = LineDirection{170, 45};
    document.setLoadsEntries(loadsEntries(aimed, fields, directions));
    QCOMPARE(plunge->text(), QString("45"));
    typeInto(plunge, "95");
    try {
        SurchargedLoads refused;
        loadsFromEntries(document.loadsEntries(), refused, fields, directions);
        QFAIL("a plunge of 95 was taken");
    } catch (const LoadsEntryError& e) {
        QCOMPARE(e.Field, SurchargePlungeField);
        window.focusEntry(e.Field, e.Row);
    }
    QCOMPARE(QApplication::focusWidget(), plunge);
    directed->click();
    QVERIFY(!plunge->isEnabled());
}

QTEST_MAIN(Loads)
#include "loads_test.moc"
