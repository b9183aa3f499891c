// Editing blocks as a person does: keys into the focused box, focus moving
// between windows, drop-down lists opened and picked. Nothing typed is lost
// or replaced unasked, results never belong to another block, and a confirm
// refuses attitudes that are out of range.
#include "testkit.h"

#include <QMessageBox>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>

#include "analysis/wedge.h"
#include "document/loads_entries.h"
#include "model/companion.h"
#include "model/datafile.h"
#include "model/files.h"
#include "model/numtext.h"
#include "model/textcodec.h"

using namespace trelmox;
using namespace trelmox::testkit;

namespace {

const std::string ExampleBytes = readFileBytes(TRELMOX_EXAMPLE);

// The example block saved as `name` in the data folder.
void saveExample(TestProgram& program, const std::string& name) { writeFile(program.dataFile(name), ExampleBytes); }

// The example's data file with its water lines replaced.
std::string exampleWithWater(const std::string& line13, const std::string& line14) {
    std::string text = ExampleBytes;
    text.replace(text.find("j,65.4\r\nj,65.4"), 14, line13 + "\r\n" + line14);
    return text;
}

// Opens a window from the main window, as clicking its command does.
void openFromMainWindow(TestProgram& program, const char* command) {
    activate(&program->Form1);
    QTest::mouseClick(program.button(&program->Form1, command), Qt::LeftButton);
}

QRadioButton* radio(TestProgram& program, const char* name) { return program->Form3.findChild<QRadioButton*>(name); }

QString statusMessage(QWidget* window) { return window->findChild<QStatusBar*>("StatusBar1")->currentMessage(); }

QStringList results(TestProgram& program) {
    QStringList texts;
    for (const char* name : {"Edit3", "Edit4", "Edit1", "Edit2"}) texts << program.edit(name)->text();
    return texts;
}

void click(TestProgram& program, QWidget* window, const char* button) {
    activate(window);
    QTest::mouseClick(program.button(window, button), Qt::LeftButton);
}

} // namespace

class RealInput : public QObject {
    Q_OBJECT
private slots:
    void reopeningAWindowKeepsEdits_data();
    void reopeningAWindowKeepsEdits();
    void deletingNeverCompletes_data();
    void deletingNeverCompletes();
    void listedNamesFindFilesOfAnyCase_data();
    void listedNamesFindFilesOfAnyCase();
    void typingANewNameBesideAListedOne_data();
    void typingANewNameBesideAListedOne();
    void loadingFollowsTheSavedWaterMode_data();
    void loadingFollowsTheSavedWaterMode();
    void resultsBelongToTheCurrentBlock();
    void outOfRangeAttitudesAreRefused_data();
    void outOfRangeAttitudesAreRefused();
    void messageBoxesShowTheTitle();
    void commandsSayWhatTheyWrote();
    void aBadNumberGetsTheFocus_data();
    void aBadNumberGetsTheFocus();
    void disagreeingLinesLoadAndAreNamed();
    void lettersThatFormNoAttitudeAreRefused_data();
    void lettersThatFormNoAttitudeAreRefused();
    void azimuthsAreStoredWithin360_data();
    void azimuthsAreStoredWithin360();
};

// The list of a block-name box is refilled when its window is opened again;
// leaving a box whose text is a listed name must not load that block.
void RealInput::reopeningAWindowKeepsEdits_data() {
    QTest::addColumn<int>("case_");
    QTest::newRow("plane edit, parameter window opened") << 0;
    QTest::newRow("parameter edit, plane entry window opened") << 1;
    QTest::newRow("typed name, parameter window opened") << 2;
}

void RealInput::reopeningAWindowKeepsEdits() {
    QFETCH(int, case_);
    TestProgram program;
    app::Program& p = *program;
    saveExample(program, "b1.txt");
    saveExample(program, "b2.txt");
    openFromMainWindow(program, "BitBtn1");
    pick(p.Form2.blockNameBox(), "b2.txt");
    QCOMPARE(program.box(&p.Form2, 6)->text(), QString("45"));
    if (case_ == 0) {
        typeInto(program.box(&p.Form2, 6), "50");
        openFromMainWindow(program, "BitBtn2");
        clickInto(program.box(&p.Form3, 1));
        clickInto(program.box(&p.Form3, 2));
        QCOMPARE(program.box(&p.Form2, 6)->text(), QString("50"));
    } else if (case_ == 1) {
        openFromMainWindow(program, "BitBtn2");
        typeInto(program.box(&p.Form3, 1), "30");
        openFromMainWindow(program, "BitBtn1");
        clickInto(p.Form2.blockNameBox());
        clickInto(program.box(&p.Form2, 6));
        QCOMPARE(program.box(&p.Form3, 1)->text(), QString("30"));
    } else {
        typeInto(p.Form2.blockNameBox(), "zz");
        openFromMainWindow(program, "BitBtn2");
        clickInto(program.box(&p.Form3, 1));
        QCOMPARE(p.Form2.blockNameText(), QString("zz"));
    }
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(program.boxes.questions, QStringList());
}

void RealInput::deletingNeverCompletes_data() {
    QTest::addColumn<bool>("nameBox"); // else the overhang box
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("keys"); // pressed at the end of the text
    QTest::addColumn<QString>("expected");
    const int backspace = Qt::Key_Backspace, del = Qt::Key_Delete, left = Qt::Key_Left;
    QTest::newRow("name, Backspace") << true << "b1x" << QList<int>{backspace} << "b1";
    QTest::newRow("name, Delete after moving left") << true << "b1x" << QList<int>{left, del} << "b1";
    QTest::newRow("name, Backspace twice") << true << "b1x" << QList<int>{backspace, backspace} << "b";
    QTest::newRow("overhang 1.0 to 1") << false << "1.0" << QList<int>{backspace, backspace} << "1";
}

void RealInput::deletingNeverCompletes() {
    QFETCH(bool, nameBox);
    QFETCH(QString, typed);
    QFETCH(QList<int>, keys);
    QFETCH(QString, expected);
    TestProgram program;
    app::Program& p = *program;
    saveExample(program, "b1.txt");
    openFromMainWindow(program, "BitBtn1");
    ui::TypeAheadCombo* box = nameBox ? p.Form2.blockNameBox() : program.box(&p.Form3, 4);
    if (!nameBox) box->appendItem("1.0"); // remembered by an earlier confirm
    typeInto(box, typed);
    QCOMPARE(box->text(), typed);
    typeInto(program.box(&p.Form2, 6), "33");
    clickInto(box);
    pressKey(Qt::Key_End);
    for (int key : keys) pressKey(Qt::Key(key));
    QCOMPARE(box->text(), expected);
    QCOMPARE(program.box(&p.Form2, 6)->text(), QString("33"));
}

// Block W1 is saved as W1.txt and listed as w1.txt; the listed name must
// find its file on a file system that tells the cases apart.
void RealInput::listedNamesFindFilesOfAnyCase_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("typed"); // empty: picked
    QTest::newRow("W1.txt picked") << "W1.txt"
                                   << "w1.txt"
                                   << "";
    QTest::newRow("W1.txt, typing w") << "W1.txt"
                                      << "w1.txt"
                                      << "w";
    QTest::newRow("UP1.TXT picked") << "UP1.TXT"
                                    << "up1.txt"
                                    << "";
    QTest::newRow("UP1.TXT, typing u") << "UP1.TXT"
                                       << "up1.txt"
                                       << "u";
}

void RealInput::listedNamesFindFilesOfAnyCase() {
    QFETCH(QString, file);
    QFETCH(QString, listed);
    QFETCH(QString, typed);
    TestProgram program;
    app::Program& p = *program;
    saveExample(program, file.toStdString());
    openFromMainWindow(program, "BitBtn1");
    QCOMPARE(p.Form2.blockNameBox()->items(), QStringList{listed});
    if (typed.isEmpty())
        pick(p.Form2.blockNameBox(), listed);
    else
        typeInto(p.Form2.blockNameBox(), typed);
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(p.Form2.blockNameText(), listed);
    QCOMPARE(program.box(&p.Form2, 6)->text(), QString("45"));
    QCOMPARE(program.box(&p.Form3, 9)->text(), QString("24"));
}

// A listed b1 beside a new block b3: typing "b" proposes b1.txt, but the
// typed planes and parameters are not replaced unless the user agrees.
void RealInput::typingANewNameBesideAListedOne_data() {
    QTest::addColumn<bool>("giveUpEdits");
    QTest::newRow("keep the edits") << false;
    QTest::newRow("give them up") << true;
}

void RealInput::typingANewNameBesideAListedOne() {
    QFETCH(bool, giveUpEdits);
    TestProgram program;
    app::Program& p = *program;
    saveExample(program, "b1.txt");
    openFromMainWindow(program, "BitBtn1");
    program.enterExamplePlanes();
    typeInto(program.box(&p.Form2, 6), "40");
    program.enterExampleParameters();
    typeInto(program.box(&p.Form3, 5), "7");
    typeInto(program.box(&p.Form3, 7), "8");
    program.boxes.answers = {giveUpEdits};
    typeInto(p.Form2.blockNameBox(), "b3");
    QCOMPARE(program.boxes.questions, QStringList{"当前块体数据已修改，是否放弃修改并载入“b1.txt”？"});
    QCOMPARE(p.Form2.blockNameText(), QString("b3"));
    QCOMPARE(program.box(&p.Form2, 6)->text(), QString(giveUpEdits ? "45" : "40"));
    QCOMPARE(program.box(&p.Form3, 6)->text(), QString(giveUpEdits ? "65.4" : ""));
    click(program, &p.Form2, "BitBtn1");
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(p.Form2.blockNameBox()->items(), (QStringList{"b1.txt", "b3.txt"}));
    const std::string saved = fileText(program.dataFile("b3.txt"));
    QCOMPARE(saved.substr(0, saved.find("\r\n")), std::string(giveUpEdits ? "45,105" : "40,105"));
    QVERIFY(saved.find(giveUpEdits ? "j,65.4\r\nj,65.4" : "z,7\r\nz,8") != std::string::npos);
    QCOMPARE(readFileBytes(program.dataFile("b1.txt")), ExampleBytes);
}

void RealInput::loadingFollowsTheSavedWaterMode_data() {
    QTest::addColumn<std::string>("water");   // lines 13 and 14
    QTest::addColumn<bool>("computedBefore"); // the mode selected before the load
    QTest::addColumn<bool>("computedAfter");
    QTest::addColumn<QStringList>("boxes"); // ComboBox5 to ComboBox8 after the load
    QTest::newRow("computed file, entered selected")
        << std::string("j,65.4\r\nj,65.4") << false << true << QStringList{"7", "65.4", "8", "65.4"};
    QTest::newRow("entered file, computed selected")
        << std::string("z,3\r\nz,4") << true << false << QStringList{"3", "50", "4", "50"};
}

void RealInput::loadingFollowsTheSavedWaterMode() {
    QFETCH(std::string, water);
    QFETCH(bool, computedBefore);
    QFETCH(bool, computedAfter);
    QFETCH(QStringList, boxes);
    TestProgram program;
    app::Program& p = *program;
    const std::string file = exampleWithWater(water.substr(0, water.find('\r')), water.substr(water.find('\n') + 1));
    writeFile(program.dataFile("b1.txt"), file);
    openFromMainWindow(program, "BitBtn2");
    typeInto(program.box(&p.Form3, 2), "10");
    typeInto(program.box(&p.Form3, 3), "30");
    typeInto(program.box(&p.Form3, 5), "7");
    typeInto(program.box(&p.Form3, 7), "8");
    if (computedBefore) QTest::mouseClick(radio(program, "RadioButton2"), Qt::LeftButton);
    program.boxes.answers = {true};
    pick(p.Form3.blockNameBox(), "b1.txt");
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(radio(program, "RadioButton2")->isChecked(), computedAfter);
    QCOMPARE(radio(program, "RadioButton1")->isChecked(), !computedAfter);
    for (int number = 5; number <= 8; ++number) {
        QCOMPARE(program.box(&p.Form3, number)->text(), boxes[number - 5]);
        QCOMPARE(program.box(&p.Form3, number)->isEnabled(), (number % 2 == 0) == computedAfter);
    }
    // Confirmed and analysed, the block gives what its file gives.
    click(program, &p.Form2, "BitBtn1");
    click(program, &p.Form4, "BitBtn1");
    QCOMPARE(program.boxes.shown(), QStringList());
    const SavedBlock saved = savedBlockFromTexts(parseBlockData(gb18030ToUtf8(file)));
    QCOMPARE(program.edit("Edit1")->text(),
             QString::fromStdString(floatToText(
                 computeSafetyFactor(saved.Attitudes, wedgeNumbers(parameterNumbers(saved.Params))).SafetyFactor)));
}

void RealInput::resultsBelongToTheCurrentBlock() {
    TestProgram program;
    app::Program& p = *program;
    program.confirmExample("b2");
    typeInto(p.Form3.blockNameBox(), "b2");
    openFromMainWindow(program, "BitBtn3");
    click(program, &p.Form4, "BitBtn1");
    QCOMPARE(p.Form4.blockName(), QString("b2"));
    QCOMPARE(program.edit("Edit3")->text(), QString("17896.9513"));

    // Another block confirmed: nothing of b2 stays beside its name.
    typeInto(p.Form2.blockNameBox(), "dd");
    click(program, &p.Form2, "BitBtn1");
    QCOMPARE(results(program), (QStringList{"", "", "", ""}));
    QCOMPARE(p.Form4.blockName(), QString());
    QVERIFY(!p.Form4.reportShown().contains("b2"));

    // Analysed, the window names the block it shows.
    click(program, &p.Form4, "BitBtn1");
    QCOMPARE(p.Form4.blockName(), QString("dd"));
    QCOMPARE(program.edit("Edit3")->text(), QString("17896.9513"));
    QVERIFY(p.Form4.reportShown().contains("楔块dd稳定"));

    // A failed analysis leaves no figures at all.
    typeInto(program.box(&p.Form3, 9), "x");
    click(program, &p.Form4, "BitBtn1");
    QCOMPARE(program.boxes.shown(), QStringList{"error: 'x' is not a valid floating point value."});
    QCOMPARE(results(program), (QStringList{"", "", "", ""}));
}

void RealInput::outOfRangeAttitudesAreRefused_data() {
    QTest::addColumn<bool>("dipMode");
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("first plane dip 95") << false << 6 << "95"
                                        << "第一切割面倾角应在0到90之间";
    QTest::newRow("second plane dip -5") << false << 12 << "-5"
                                         << "第二切割面倾角应在0到90之间";
    QTest::newRow("slope face strike angle 120") << false << 20 << "120"
                                                 << "坡面走向角应在0到90之间";
    QTest::newRow("dip mode, slope top dip 90.5") << true << 29 << "90.5"
                                                  << "坡顶面倾角应在0到90之间";
}

void RealInput::outOfRangeAttitudesAreRefused() {
    QFETCH(bool, dipMode);
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(QString, message);
    TestProgram program;
    app::Program& p = *program;
    program.confirmExample("a1");
    const QStringList before = filesBelow(program.folder());
    const std::string report = readFileBytes(program.reportFile("a1.txt"));
    typeInto(p.Form2.blockNameBox(), "a2");
    if (dipMode) {
        QTest::mouseClick(p.Form2.findChild<QRadioButton*>("RadioButton2"), Qt::LeftButton);
        const QStringList dips{"45", "105", "70", "235", "12", "195", "65", "185"};
        for (int i = 0; i < dips.size(); ++i) typeInto(program.box(&p.Form2, 25 + i), dips[i]);
    }
    typeInto(program.box(&p.Form2, box), text);
    click(program, &p.Form2, dipMode ? "BitBtn3" : "BitBtn1");
    QCOMPARE(program.boxes.shown(), QStringList{"error: " + message + "。"});
    QCOMPARE(QApplication::focusWidget(), program.box(&p.Form2, box)); // the box to mend
    QCOMPARE(filesBelow(program.folder()), before);
    // The confirmed block is still a1 with its planes: its files come out as before.
    click(program, &p.Form3, "BitBtn1");
    QCOMPARE(readFileBytes(program.reportFile("a1.txt")), report);
    QCOMPARE(filesBelow(program.folder()), before);
}

// The title bar shows the title whole only if the box is wide enough.
void RealInput::messageBoxesShowTheTitle() {
    TestProgram program;
    ui::setMessageBoxes(nullptr); // the real, modal boxes
    int width = 0, needed = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QString("TRELMOX"));
        width = box->width();
        // A title bar font half as large again as the box's, and room for
        // the window manager's icon and buttons.
        needed = box->fontMetrics().horizontalAdvance("TRELMOX") * 3 / 2 + 150;
        box->accept();
    });
    ui::messageBoxes().message("不能切除块体");
    ui::setMessageBoxes(&program.boxes);
    QVERIFY2(width >= needed, qPrintable(QString("%1 < %2").arg(width).arg(needed)));
}

void RealInput::commandsSayWhatTheyWrote() {
    TestProgram program;
    app::Program& p = *program;
    program.confirmExample("b1");
    QCOMPARE(statusMessage(&p.Form2), QString("已保存：分析报告/b1.txt、数据文件/b1.txt"));
    click(program, &p.Form3, "BitBtn1");
    QCOMPARE(statusMessage(&p.Form3), QString("已保存：分析报告/b1.txt、数据文件/b1.txt"));
    click(program, &p.Form1, "BitBtn4");
    QCOMPARE(statusMessage(&p.Form1), QString("已保存：分析报告/b1block.dxf"));
    click(program, &p.Form4, "BitBtn1");
    QCOMPARE(statusMessage(&p.Form4), QString("已保存：数据文件/b1.txt、分析报告/b1.txt、分析报告/b1三维分析.txt"));
    QCOMPARE(program.boxes.shown(), QStringList());
}

void RealInput::aBadNumberGetsTheFocus_data() {
    QTest::addColumn<bool>("parameter"); // else a plane box
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("text");
    QTest::newRow("dip angle, confirm") << false << 12 << "7O";
    QTest::newRow("strike angle, confirm") << false << 14 << "";
    QTest::newRow("cohesion, analysis") << true << 11 << "4 8";
    QTest::newRow("overhang, analysis") << true << 4 << "1.5";
}

void RealInput::aBadNumberGetsTheFocus() {
    QFETCH(bool, parameter);
    QFETCH(int, box);
    QFETCH(QString, text);
    TestProgram program;
    app::Program& p = *program;
    program.confirmExample("b1");
    ui::TypeAheadCombo* bad = program.box(parameter ? static_cast<QWidget*>(&p.Form3) : &p.Form2, box);
    typeInto(bad, text);
    if (parameter)
        click(program, &p.Form4, "BitBtn1");
    else
        click(program, &p.Form2, "BitBtn1");
    QCOMPARE(program.boxes.boxes.size(), 1);
    QVERIFY(program.boxes.boxes[0].isError);
    QTRY_COMPARE(QApplication::focusWidget(), bad); // its window comes up first
    QCOMPARE(bad->lineEdit()->selectedText(), text);
}

// A file whose dip line disagrees with its quadrant line still loads, so
// that it can be mended, and the user is told which lines disagree.
void RealInput::disagreeingLinesLoadAndAreNamed() {
    TestProgram program;
    app::Program& p = *program;
    std::string file = ExampleBytes;
    file.replace(file.find("45,105"), 6, "30,300");
    writeFile(program.dataFile("b1.txt"), file);
    openFromMainWindow(program, "BitBtn1");
    pick(p.Form2.blockNameBox(), "b1.txt");
    QCOMPARE(program.box(&p.Form2, 25)->text(), QString("30"));
    QCOMPARE(program.boxes.shown(), QStringList{"message: 数据文件的两种产状不一致，已按文件载入，请核对后重新确认：\n"
                                                "第1行的倾角、倾向“30,300”与第5行的象限产状“N,15,E,S,E,45”不一致。"});
}

// A letter Q typed into a dip box and not confirmed: the entry window's
// 确定 and the parameter window's 确定 both refuse it, neither writes a
// file, and the focus goes to the box holding the Q - not to 确定, where
// the next space would press it again.
void RealInput::lettersThatFormNoAttitudeAreRefused_data() {
    QTest::addColumn<bool>("fromParameters");
    QTest::newRow("entry window's confirm") << false;
    QTest::newRow("parameter window's confirm") << true;
}

void RealInput::lettersThatFormNoAttitudeAreRefused() {
    QFETCH(bool, fromParameters);
    TestProgram program;
    app::Program& p = *program;
    program.confirmExample("b1");
    const std::string data = readFileBytes(program.dataFile("b1.txt"));
    const std::string report = readFileBytes(program.reportFile("b1.txt"));
    ui::TypeAheadCombo* dipNS = program.box(&p.Form2, 4); // the first cutting plane's dip N/S letter
    typeInto(dipNS, "Q");
    if (fromParameters) {
        typeInto(program.box(&p.Form3, 9), "25"); // a parameter edit to save
        p.Form2.hide();
    }
    click(program, fromParameters ? static_cast<QWidget*>(&p.Form3) : &p.Form2, "BitBtn1");
    QCOMPARE(program.boxes.boxes.size(), 1);
    QVERIFY(program.boxes.boxes[0].isError);
    QVERIFY2(program.boxes.boxes[0].text.startsWith("象限字母“N,E,Q,E”不能组成产状"),
             qPrintable(program.boxes.boxes[0].text));
    QCOMPARE(readFileBytes(program.dataFile("b1.txt")), data);
    QCOMPARE(readFileBytes(program.reportFile("b1.txt")), report);
    QVERIFY(p.Form2.isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), dipNS);
    pressKey(Qt::Key_Space); // mends the box, presses nothing
    QCOMPARE(program.boxes.boxes.size(), 1);
}

// An azimuth outside 0..360 is taken modulo 360 when it is confirmed, and
// the box then shows the value stored: a bolt's trend of 777 is saved and
// shown as 57, the dip mode's dip direction of 400 as 40; 360 itself stays.
void RealInput::azimuthsAreStoredWithin360_data() {
    QTest::addColumn<bool>("bolt"); // else a plane's dip direction in the dip mode
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("bolt trend 777") << true << "777"
                                    << "57";
    QTest::newRow("bolt trend -30") << true << "-30"
                                    << "330";
    QTest::newRow("bolt trend 360") << true << "360"
                                    << "360";
    QTest::newRow("dip direction 400") << false << "400"
                                       << "40";
    QTest::newRow("dip direction -1") << false << "-1"
                                      << "359";
}

void RealInput::azimuthsAreStoredWithin360() {
    QFETCH(bool, bolt);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    TestProgram program;
    app::Program& p = *program;
    program.confirmExample("b1");
    if (bolt) {
        p.Loads.bringUp();
        click(program, &p.Loads, "AddBoltButton");
        typeInto(p.Loads.entryBox(LoadsField::BoltForce, 0), "100");
        typeInto(p.Loads.entryBox(LoadsField::BoltTrend, 0), typed);
        typeInto(p.Loads.entryBox(LoadsField::BoltPlunge, 0), "10");
        click(program, &p.Loads, "ConfirmButton");
        QCOMPARE(program.boxes.shown(), QStringList());
        QCOMPARE(p.Loads.entryBox(LoadsField::BoltTrend, 0)->text(), stored);
        const WedgeLoads saved = parseCompanion(readFileBytes(program.dataFile("b1.json")), "b1.json");
        QCOMPARE(saved.Bolts.at(0).Direction.Trend, stored.toDouble());
        return;
    }
    QTest::mouseClick(p.Form2.findChild<QRadioButton*>("RadioButton2"), Qt::LeftButton);
    typeInto(program.box(&p.Form2, 26), typed); // the first cutting plane's dip direction
    click(program, &p.Form2, "BitBtn3");
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(program.box(&p.Form2, 26)->text(), stored);
    QCOMPARE(QString::fromStdString(fileText(program.dataFile("b1.txt"))).section("\r\n", 0, 0), "45," + stored);
}

QTEST_MAIN(RealInput)
#include "real_input_test.moc"
