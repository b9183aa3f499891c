// The plane entry window on its real boxes: the dip-letter rules, the two
// confirm commands with their list entries and files, loading a block by
// picking or typing, the view command and the status hints.
#include "testkit.h"

#include <QMouseEvent>
#include <QRadioButton>

#include "model/error.h"
#include "model/files.h"

using namespace trelmox;
using namespace trelmox::testkit;

namespace {

// Example attitudes in dip-angle mode: boxes 25-32, first cutting plane first.
const QStringList ExampleDipTexts{"45", "105", "70", "235", "12", "195", "65", "185"};

void enterDipTexts(TestProgram& program, const QStringList& texts) {
    for (int i = 0; i < texts.size(); ++i) typeInto(program.box(&program->Form2, 25 + i), texts[i]);
}

void confirm(TestProgram& program, const QString& mode) {
    if (mode == "dip") {
        program->Form2.findChild<QRadioButton*>("RadioButton2")->click();
        program.button(&program->Form2, "BitBtn3")->click();
    } else {
        program.button(&program->Form2, "BitBtn1")->click();
    }
}

void moveMouseOver(QWidget* widget) {
    const QPointF inside(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, inside, widget->mapToGlobal(inside), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

class PlaneEntry : public QObject {
    Q_OBJECT
private slots:
    void dipLetterRules_data();
    void dipLetterRules();
    void confirmModes_data();
    void confirmModes();
    void confirmFailures_data();
    void confirmFailures();
    void loadBlock_data();
    void loadBlock();
    void loadMissingBlock();
    void waterLineMarkers_data();
    void waterLineMarkers();
    void viewReport();
    void viewWithoutViewer();
    void statusHints();
    void modeSwitch();
};

void PlaneEntry::dipLetterRules_data() {
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("strikeNS");
    QTest::addColumn<QString>("strikeEW");
    QTest::addColumn<bool>("changeDipNS");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byPick");
    QTest::addColumn<QString>("before");   // the other dip letter before
    QTest::addColumn<QString>("expected"); // and after
    struct Row {
        const char* strikeEW;
        bool dipNS;
        const char* typed;
        const char* before;
        const char* expected;
    };
    const Row rows[] = {
        {"E", true, "N", "", "W"},  {"E", true, "S", "", "E"},  {"E", false, "W", "", "N"}, {"E", false, "E", "", "S"},
        {"W", true, "N", "", "E"},  {"W", true, "S", "", "W"},  {"W", false, "E", "", "N"}, {"W", false, "W", "", "S"},
        {"", true, "S", "W", "W"},  {"", false, "W", "N", "N"}, // no strike E/W: nothing adjusted
        {"E", true, "x", "W", "W"},                             // not a listed letter: nothing
        {"E", true, "s", "W", "E"},                             // typed lower case completes to "S"
    };
    for (int role = 0; role < 4; ++role)
        for (const Row& row : rows)
            for (bool byPick : {false, true}) {
                if (byPick && QString(row.typed).toUpper() != row.typed) continue;
                QTest::addRow("plane%d N%s %s=%s %s", role, row.strikeEW, row.dipNS ? "NS" : "EW", row.typed,
                              byPick ? "picked" : "typed")
                    << role << "N" << row.strikeEW << row.dipNS << row.typed << byPick << row.before << row.expected;
            }
}

void PlaneEntry::dipLetterRules() {
    QFETCH(int, role);
    QFETCH(QString, strikeNS);
    QFETCH(QString, strikeEW);
    QFETCH(bool, changeDipNS);
    QFETCH(QString, typed);
    QFETCH(bool, byPick);
    QFETCH(QString, before);
    QFETCH(QString, expected);
    TestProgram program;
    QWidget* form = &program->Form2;
    const int base = 1 + 6 * role;
    program.box(form, base)->setText(strikeNS);
    program.box(form, base + 2)->setText(strikeEW);
    ui::TypeAheadCombo* changed = program.box(form, base + (changeDipNS ? 3 : 4));
    ui::TypeAheadCombo* other = program.box(form, base + (changeDipNS ? 4 : 3));
    other->setText(before);
    if (byPick)
        pick(changed, typed);
    else
        typeInto(changed, typed);
    QCOMPARE(other->text(), expected);
    // Changing the strike never touches the dip letters.
    typeInto(program.box(form, base + 2), strikeEW == "E" ? "W" : "E");
    QCOMPARE(other->text(), expected);
}

void PlaneEntry::confirmModes_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("listBefore");
    QTest::addColumn<QString>("currentBlock");
    QTest::addColumn<QStringList>("listAfter");
    QTest::addColumn<QStringList>("files");
    const QStringList both{"分析报告/a1.txt", "数据文件/a1.txt"};
    QTest::newRow("quadrant a1") << "quadrant"
                                 << "a1" << QStringList{} << "a1" << QStringList{"a1.txt"} << both;
    QTest::newRow("quadrant a1.txt") << "quadrant"
                                     << "a1.txt" << QStringList{} << "a1" << QStringList{"a1.txt"} << both;
    QTest::newRow("quadrant A1.TXT") << "quadrant"
                                     << "A1.TXT" << QStringList{} << "A1" << QStringList{"A1.TXT.txt"}
                                     << QStringList{"分析报告/A1.txt", "数据文件/A1.txt"};
    QTest::newRow("quadrant listed") << "quadrant"
                                     << "a1" << QStringList{"a1.txt"} << "a1" << QStringList{"a1.txt"} << both;
    QTest::newRow("quadrant other case") << "quadrant"
                                         << "A1" << QStringList{"a1.txt"} << "A1" << QStringList{"a1.txt", "A1.txt"}
                                         << QStringList{"分析报告/A1.txt", "数据文件/A1.txt"};
    // Either mode writes both files: the data file holds the block the
    // other mode then shows.
    QTest::newRow("dip a1") << "dip"
                            << "a1" << QStringList{} << "a1" << QStringList{"a1"} << both;
    QTest::newRow("dip listed") << "dip"
                                << "a1.txt" << QStringList{"a1.txt"} << "a1" << QStringList{"a1.txt"} << both;
    QTest::newRow("dip my.block.txt") << "dip"
                                      << "my.block.txt" << QStringList{} << "my" << QStringList{"my.block.txt"}
                                      << QStringList{"分析报告/my.txt", "数据文件/my.txt"};
}

void PlaneEntry::confirmModes() {
    QFETCH(QString, mode);
    QFETCH(QString, name);
    QFETCH(QStringList, listBefore);
    QFETCH(QString, currentBlock);
    QFETCH(QStringList, listAfter);
    QFETCH(QStringList, files);
    TestProgram program;
    ui::TypeAheadCombo* nameBox = program->Form2.blockNameBox();
    nameBox->setItems(listBefore);
    nameBox->setText(name);
    program.enterExamplePlanes();
    enterDipTexts(program, ExampleDipTexts);
    confirm(program, mode);
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(QString::fromStdString(program->workspace.document().currentBlock()), currentBlock);
    QCOMPARE(nameBox->items(), listAfter);
    QCOMPARE(nameBox->text(), name);
    QCOMPARE(filesBelow(program.folder()), files);
    // Either way the model holds both notations of the example block.
    const BlockDocument& document = program->workspace.document();
    QCOMPARE(document.attitudes()[1].DipDirection, 235.0);
    QCOMPARE(QString::fromStdString(document.quadrants()[1].StrikeAngle), QString("35"));
    QCOMPARE(QString::fromStdString(document.quadrants()[1].DipEW), QString("W"));
}

void PlaneEntry::confirmFailures_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("badBox"); // 0: none
    QTest::addColumn<bool>("reportFolder");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("currentBlock");
    QTest::addColumn<QStringList>("list");
    const QString emptyName = "message: 请输入或选择块体名称";
    const QString badNumber = "error: 'x' is not a valid floating point value.";
    QTest::newRow("quadrant, empty name")
        << "quadrant"
        << "" << 0 << true << QStringList{emptyName} << QStringList{} << "" << QStringList{};
    QTest::newRow("dip, empty name") << "dip"
                                     << "" << 0 << true << QStringList{emptyName} << QStringList{} << ""
                                     << QStringList{};
    QTest::newRow("quadrant, bad dip angle")
        << "quadrant"
        << "a1" << 18 << true << QStringList{badNumber} << QStringList{} << "" << QStringList{};
    QTest::newRow("quadrant, bad strike angle")
        << "quadrant"
        << "a1" << 8 << true << QStringList{badNumber} << QStringList{} << "" << QStringList{};
    QTest::newRow("dip, bad dip direction")
        << "dip"
        << "a1" << 32 << true << QStringList{badNumber} << QStringList{} << "" << QStringList{};
    // The report comes first; without its folder nothing at all is written.
    QTest::newRow("quadrant, no report folder") << "quadrant"
                                                << "a1" << 0 << false << QStringList{"error: File not found."}
                                                << QStringList{} << "a1" << QStringList{"a1.txt"};
    QTest::newRow("dip, no report folder")
        << "dip"
        << "a1" << 0 << false << QStringList{"error: File not found."} << QStringList{} << "a1" << QStringList{"a1"};
    const QString leaving = "error: " + ui::errorBoxText(QString::fromStdString([] {
                                try {
                                    checkBlockName("sub/a1");
                                } catch (const Error& e) {
                                    return std::string(e.what());
                                }
                                return std::string();
                            }()));
    QTest::newRow("quadrant, name leaving its folder")
        << "quadrant"
        << "sub/a1" << 0 << true << QStringList{leaving} << QStringList{} << "" << QStringList{};
    QTest::newRow("dip, name leaving its folder")
        << "dip"
        << "sub/a1" << 0 << true << QStringList{leaving} << QStringList{} << "" << QStringList{};
}

void PlaneEntry::confirmFailures() {
    QFETCH(QString, mode);
    QFETCH(QString, name);
    QFETCH(int, badBox);
    QFETCH(bool, reportFolder);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, files);
    QFETCH(QString, currentBlock);
    QFETCH(QStringList, list);
    TestProgram program(reportFolder ? TestProgram::Folders::Both : TestProgram::Folders::DataOnly);
    program->Form2.setBlockNameText(name);
    program.enterExamplePlanes();
    enterDipTexts(program, ExampleDipTexts);
    if (badBox) program.box(&program->Form2, badBox)->setText("x");
    confirm(program, mode);
    QCOMPARE(program.boxes.shown(), shown);
    QCOMPARE(filesBelow(program.folder()), files);
    QCOMPARE(QString::fromStdString(program->workspace.document().currentBlock()), currentBlock);
    QCOMPARE(program->Form2.blockNameBox()->items(), list);
}

void PlaneEntry::loadBlock_data() {
    QTest::addColumn<bool>("fromParameters");
    QTest::addColumn<QString>("typed"); // empty: picked from the list
    QTest::addColumn<QString>("listed");
    QTest::newRow("plane entry, picked") << false << ""
                                         << "example.txt";
    QTest::newRow("plane entry, typed") << false << "EXA"
                                        << "example.txt";
    QTest::newRow("parameters, picked") << true << ""
                                        << "example.txt";
    QTest::newRow("parameters, typed") << true << "ex"
                                       << "example.txt";
    QTest::newRow("listed without extension") << false << ""
                                              << "example";
}

void PlaneEntry::loadBlock() {
    QFETCH(bool, fromParameters);
    QFETCH(QString, typed);
    QFETCH(QString, listed);
    TestProgram program;
    writeFile(program.dataFile("example.txt"), readFileBytes(TRELMOX_EXAMPLE));
    app::Program& p = *program;
    ui::TypeAheadCombo* nameBox = fromParameters ? p.Form3.blockNameBox() : p.Form2.blockNameBox();
    nameBox->setItems({"other.txt", listed});
    if (typed.isEmpty())
        pick(nameBox, listed);
    else
        typeInto(nameBox, typed);

    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(p.Form2.blockNameText(), listed);
    QCOMPARE(p.Form3.blockNameText(), listed);
    const QStringList quadrants{"N", "15", "E", "S", "E", "45", "N", "35", "W", "S", "W", "70",
                                "N", "75", "W", "S", "W", "12", "N", "85", "W", "S", "W", "65"};
    for (int i = 0; i < quadrants.size(); ++i) QCOMPARE(program.box(&p.Form2, i + 1)->text(), quadrants[i]);
    for (int i = 0; i < ExampleDipTexts.size(); ++i)
        QCOMPARE(program.box(&p.Form2, 25 + i)->text(), ExampleDipTexts[i]);
    const QStringList parameters{"25", "9.81", "40", "1", "", "65.4", "", "65.4", "24", "0.364", "48", "0.577"};
    for (int i = 0; i < parameters.size(); ++i) QCOMPARE(program.box(&p.Form3, i + 1)->text(), parameters[i]);
    // Loading leaves the confirmed block alone; the water mode follows the file.
    QCOMPARE(p.workspace.document().currentBlock(), std::string());
    QCOMPARE(p.workspace.document().attitudes()[0].DipAngle, 0.0);
    QVERIFY(p.Form3.findChild<QRadioButton*>("RadioButton2")->isChecked());
}

void PlaneEntry::loadMissingBlock() {
    TestProgram program;
    app::Program& p = *program;
    p.Form3.setBlockNameText("kept");
    program.box(&p.Form2, 1)->setText("unchanged");
    p.Form2.blockNameBox()->setItems({"gone.txt"});
    program.boxes.answers = {true}; // give up the edited box
    pick(p.Form2.blockNameBox(), "gone.txt");
    QCOMPARE(program.boxes.shown(), QStringList{"error: File not found."});
    QCOMPARE(program.box(&p.Form2, 1)->text(), QString("unchanged"));
    QCOMPARE(p.Form3.blockNameText(), QString("gone.txt")); // one name, shown in both windows
    // Typing a name no listed name begins with only edits the text.
    typeInto(p.Form2.blockNameBox(), "zz");
    QCOMPARE(program.boxes.shown().size(), 1);
    QCOMPARE(p.Form2.blockNameText(), QString("zz"));
}

void PlaneEntry::waterLineMarkers_data() {
    QTest::addColumn<QString>("line13");
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QString>("computed");
    QTest::newRow("computed") << "j,12.5"
                              << "old"
                              << "12.5";
    QTest::newRow("entered") << "z,12.5"
                             << "12.5"
                             << "old";
    QTest::newRow("unknown marker") << "x,12.5"
                                    << "old"
                                    << "old";
}

void PlaneEntry::waterLineMarkers() {
    QFETCH(QString, line13);
    QFETCH(QString, entered);
    QFETCH(QString, computed);
    TestProgram program;
    std::string file;
    for (int line = 1; line <= 12; ++line) file += "1\r\n";
    file += line13.toStdString() + "\r\n";
    writeFile(program.dataFile("w.txt"), file);
    program.box(&program->Form3, 5)->setText("old");
    program.box(&program->Form3, 6)->setText("old");
    program.box(&program->Form3, 7)->setText("old2");
    program->Form2.blockNameBox()->setItems({"w.txt"});
    program.boxes.answers = {true};
    pick(program->Form2.blockNameBox(), "w.txt");
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(program.box(&program->Form3, 5)->text(), entered);
    QCOMPARE(program.box(&program->Form3, 6)->text(), computed);
    QCOMPARE(program.box(&program->Form3, 7)->text(), QString("old2")); // a short file leaves the rest
}

void PlaneEntry::viewReport() {
    TestProgram program;
    const QString name = "my block; rm -rf \"x\" $(y).txt";
    for (QWidget* window : {static_cast<QWidget*>(&program->Form2), static_cast<QWidget*>(&program->Form3)}) {
        program.started.clear();
        program.box(window, 33)->setText(name);
        program.button(window, window == &program->Form2 ? "BitBtn7" : "BitBtn6")->click();
        QCOMPARE(program.started.size(), 1);
        QCOMPARE(program.started[0].program, QString("xdg-open"));
        QCOMPARE(program.started[0].arguments,
                 QStringList{QString::fromStdString(program.folder().string()) + "/分析报告/" + name});
    }
    QCOMPARE(program.boxes.shown(), QStringList());
}

void PlaneEntry::viewWithoutViewer() {
    TestProgram program;
    program->workspace.setProgramStarter([](const QString&, const QStringList&) { return false; });
    program->Form2.setBlockNameText("a1.txt");
    program.button(&program->Form2, "BitBtn7")->click();
    QCOMPARE(program.boxes.boxes.size(), 1);
    QVERIFY(!program.boxes.boxes[0].isError);
    QVERIFY(program.boxes.boxes[0].text.contains("xdg-open"));
    QVERIFY(program.boxes.boxes[0].text.contains("/分析报告/a1.txt"));
}

void PlaneEntry::statusHints() {
    TestProgram program;
    QWidget* form = &program->Form2;
    const QString byDefault = "默认结构面输入按走向、倾向输入，也可以选择按倾角、倾向输入";
    QCOMPARE(program->Form2.statusText(), byDefault);
    const std::pair<const char*, QString> hints[] = {{"Image2", "走向:是倾斜平面与水平参考面交线的迹线"},
                                                     {"Image5", "走向:是倾斜平面与水平参考面交线的迹线"},
                                                     {"Image3", "倾向：是倾斜线水平投影迹线的方向"},
                                                     {"Image4", "倾向：是倾斜线水平投影迹线的方向"},
                                                     {"Image1", byDefault}};
    for (const auto& [name, hint] : hints) {
        QWidget* spot = form->findChild<QWidget*>(name);
        QVERIFY2(spot, name);
        moveMouseOver(spot);
        QCOMPARE(program->Form2.statusText(), hint);
    }
    // Every hot spot lies inside the picture and shows the hand.
    QWidget* picture = form->findChild<QWidget*>("Image1");
    for (const char* name : {"Image2", "Image3", "Image4", "Image5"}) {
        QWidget* spot = form->findChild<QWidget*>(name);
        QVERIFY(picture->rect().contains(spot->geometry()));
        QCOMPARE(spot->cursor().shape(), Qt::PointingHandCursor);
    }
}

void PlaneEntry::modeSwitch() {
    TestProgram program;
    app::Program& p = *program;
    p.Form2.show();
    auto* quadrantGroup = p.Form2.findChild<QWidget*>("GroupBox1");
    auto* dipGroup = p.Form2.findChild<QWidget*>("GroupBox2");
    QVERIFY(quadrantGroup->isVisible() && !dipGroup->isVisible());
    program.box(&p.Form2, 2)->setText("kept");
    p.Form2.findChild<QRadioButton*>("RadioButton2")->click();
    QVERIFY(!quadrantGroup->isVisible() && dipGroup->isVisible());
    p.Form2.findChild<QRadioButton*>("RadioButton1")->click();
    QVERIFY(quadrantGroup->isVisible() && !dipGroup->isVisible());
    QCOMPARE(program.box(&p.Form2, 2)->text(), QString("kept"));
    for (const char* exit : {"BitBtn2", "BitBtn4"}) {
        p.Form2.show();
        program.button(&p.Form2, exit)->click();
        QVERIFY(!p.Form2.isVisible());
    }
    QCOMPARE(program.box(&p.Form2, 2)->text(), QString("kept"));
}

QTEST_MAIN(PlaneEntry)
#include "plane_entry_test.moc"
