// The window of joint measurements, reached from the main window's menu and
// driven as a user does: a file typed in, sets grouped or picked on the net,
// the combinations run in the confirmed slope, and a row opened as the block.
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QTimer>
#include <QDir>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>

#include "tests/ui/testkit.h"
#include "analysis/joints/kinematics.h"
#include "analysis/joints/pair_probability.h"
#include "analysis/orientation.h"
#include "document/joint_document.h"
#include "drawing/joint_net.h"
#include "drawing/stereonet.h"
#include "model/files.h"
#include "model/numtext.h"
#include "model/xlsx_reader.h"
#include "report/xlsx_table.h"
#include "ui/views/figure_widget.h"
#include "ui/views/report_command.h"

using namespace trelmox;
using namespace trelmox::testkit;

namespace {

// Three sets: about 45/105 and 70/235, which cut out the example slope's
// wedge, and a steep 80/20 that cuts out none with either.
const char* const Measurements = TRELMOX_TEST_DATA "/joint_measurements.csv";

views::JointsWindow& openJoints(TestProgram& program) {
    auto* menu = program->Form1.findChild<QPushButton*>("PicturesButton")->menu();
    menu->findChild<QAction*>("JointsCommand")->trigger();
    views::JointsWindow& window = program->joints();
    if (!window.isVisible()) qFatal("the joints window is not shown");
    return window;
}

template <typename Widget> Widget* child(QWidget& window, const char* name) {
    auto* found = window.findChild<Widget*>(name);
    if (!found) qFatal("no %s", name);
    return found;
}

// A double click as the mouse makes it: a click, then a second press
// that the system reports as a double click.
void doubleClick(QAbstractItemView* view, const QModelIndex& index) {
    activate(view->window());
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// Types a file name into the file box and presses Return.
void openFile(views::JointsWindow& window, const QString& path) {
    activate(&window);
    auto* box = child<QLineEdit>(window, "MeasurementFileBox");
    QTest::mouseClick(box, Qt::LeftButton);
    box->selectAll();
    typeKeys(path);
    pressKey(Qt::Key_Return);
}

QStringList column(const QTableWidget* table, int c) {
    QStringList cells;
    for (int r = 0; r < table->rowCount(); ++r) cells << table->item(r, c)->text();
    return cells;
}

QStringList netTexts(views::JointsWindow& window) {
    QStringList texts;
    for (const FigureItem& item : window.picture()->figure().items)
        if (const auto* text = std::get_if<TextItem>(&item)) texts << QString::fromStdString(text->text);
    return texts;
}

QString cell(const QTableView* table, int row, int c) { return table->model()->index(row, c).data().toString(); }

// A click on the cell, F2, the value typed over the old one, Return.
void typeSectorCell(QTableWidget* sectors, int row, int column, const QString& value) {
    activate(sectors->window());
    sectors->scrollToItem(sectors->item(row, column));
    const QPoint at = sectors->visualItemRect(sectors->item(row, column)).center();
    QTest::mouseClick(sectors->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    pressKey(Qt::Key_F2);
    pressKey(Qt::Key_A, Qt::ControlModifier);
    typeKeys(value);
    pressKey(Qt::Key_Return);
    QCoreApplication::processEvents(); // the edit is committed from the event queue
}

// Picks the mode with the keys in the open list: `steps` below the first.
void pickMode(views::JointsWindow& window, int steps) {
    auto* mode = child<QComboBox>(window, "ModeBox");
    activate(&window);
    QTest::mouseClick(mode, Qt::LeftButton);
    if (!QTest::qWaitForWindowExposed(mode->view()->window())) qFatal("the mode list does not open");
    QTest::keyClick(mode->view(), Qt::Key_Home);
    for (int i = 0; i < steps; ++i) QTest::keyClick(mode->view(), Qt::Key_Down);
    QTest::keyClick(mode->view(), Qt::Key_Return);
}

// The planes open grouped into three sets, combined in the confirmed slope.
QTableView* groupAndCombine(views::JointsWindow& window) {
    auto* count = child<QSpinBox>(window, "SetCountBox");
    QTest::mouseClick(count, Qt::LeftButton);
    count->selectAll();
    typeKeys("3");
    QTest::mouseClick(child<QPushButton>(window, "GroupButton"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(window, "CombineButton"), Qt::LeftButton);
    return child<QTableView>(window, "CombinationsTable");
}

// The measurement file's three sets combined in the example slope.
QTableView* combineThreeSets(views::JointsWindow& window) {
    openFile(window, Measurements);
    return groupAndCombine(window);
}

// Answers the file dialog the next click opens as a person does: a file
// name typed into its file name box (in the folder the dialog starts in),
// then a click on its open or save button. Keys go to the box itself:
// offscreen, the dialog need not become the active window.
void answerFileDialog(const QString& name) {
    QTimer::singleShot(0, [name] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return answerFileDialog(name); // not shown yet
        auto* box = dialog->findChild<QLineEdit*>("fileNameEdit");
        auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
        if (!box || !buttons) qFatal("no file name box or buttons in the dialog");
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClicks(box, name);
        for (QAbstractButton* button : buttons->buttons())
            if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) QTest::mouseClick(button, Qt::LeftButton);
    });
}

} // namespace

class JointsWindowTest : public QObject {
    Q_OBJECT
private slots:
    // A measurement file in, the critical wedge out, and its row opened:
    // confirmed and analysed as a block, it gives the row's Kc.
    void measurementsToCriticalWedge() {
        TestProgram program;
        program.confirmExample("w1");
        views::JointsWindow& window = openJoints(program);
        QTableView* table = combineThreeSets(window);
        QVERIFY(child<QLabel>(window, "MeasurementSummary")->text().contains("17"));
        const auto* sets = child<QTableWidget>(window, "SetsTable");
        QCOMPARE(column(sets, 0), (QStringList{"J1", "J2", "J3"}));
        QCOMPARE(column(sets, 1), (QStringList{"6", "6", "5"}));

        QCOMPARE(table->model()->rowCount(), 3);
        QCOMPARE((QStringList{cell(table, 0, 0), cell(table, 0, 1), cell(table, 0, 5)}),
                 (QStringList{"J1", "J2", "可滑动"}));
        for (int row : {1, 2}) {
            QCOMPARE(cell(table, row, 8), QString("-"));
            QVERIFY(!cell(table, row, 11).isEmpty()); // why no wedge
        }
        QVERIFY(child<QLabel>(window, "CombinationsCaption")->text().contains("最危险楔块：J1 与 J2"));
        const double kc = textToFloat(cell(table, 0, 6).toStdString());
        QDir().mkpath(TRELMOX_PICTURE_DIR);
        QVERIFY(window.grab().save(QDir(TRELMOX_PICTURE_DIR).filePath("joints_window.png")));

        QVERIFY(!views::windowReportInputs(program->workspace).Joints); // the example is no pair of the file
        // The critical row is current; Return opens it in the entry windows.
        table->setFocus();
        pressKey(Qt::Key_Return);
        QVERIFY(program->Form2.isVisible());
        QVERIFY(program->Form3.isVisible());
        QVERIFY(program->workspace.document().modified());
        const SavedBlock pair = program->workspace.joints().pairBlock(0);
        QCOMPARE(program.box(&program->Form2, 25)->text(),
                 QString::fromStdString(floatToText(pair.Attitudes[0].DipAngle)));
        QCOMPARE(program.box(&program->Form2, 28)->text(),
                 QString::fromStdString(floatToText(pair.Attitudes[1].DipDirection)));
        QCOMPARE(program.box(&program->Form2, 19)->text(), QString("N")); // the slope face stays

        // Confirmed in the quadrant boxes as usual, the block is the pair.
        program.button(&program->Form2, "BitBtn1")->click();
        // Its calculation report carries the measurements' kinematic checks.
        const auto reported = views::windowReportInputs(program->workspace).Joints;
        QVERIFY(reported);
        QCOMPARE(reported->Planes.size(), std::size_t(17));
        const PlaneAttitudeArray confirmed = program->workspace.document().attitudes();
        for (int plane : {0, 1}) {
            QVERIFY(std::abs(confirmed[plane].DipAngle - pair.Attitudes[plane].DipAngle) < 1e-9);
            QVERIFY(std::abs(confirmed[plane].DipDirection - pair.Attitudes[plane].DipDirection) < 1e-9);
        }
        program.button(&program->Form4, "BitBtn1")->click();
        QVERIFY(std::abs(program->workspace.document().results()->Safety->SafetyFactor - kc) < 5e-5);
        QCOMPARE(program.boxes.shown(), QStringList());
    }

    // Each pair's P(failure) beside its Fs: the samples and the seed typed
    // into their boxes go into the document, the column shows the figures of
    // a direct run of the same pairs, and a click on its header sorts the
    // rows by it; a row opened from the sorted table is the pair it shows.
    // A cancelled run keeps what the column had.
    void pairProbabilitiesBesideFs() {
        TestProgram program;
        program.confirmExample("w1");
        views::JointsWindow& window = openJoints(program);
        QTableView* table = combineThreeSets(window);
        const auto typeNumber = [&](const char* name, const char* value) {
            QTest::mouseClick(child<QSpinBox>(window, name), Qt::LeftButton);
            pressKey(Qt::Key_A, Qt::ControlModifier);
            typeKeys(value);
            pressKey(Qt::Key_Tab); // leaving the box takes the value
        };
        typeNumber("PairSamplesBox", "3000");
        typeNumber("PairSeedBox", "7");
        const JointDocument& joints = program->workspace.joints();
        QCOMPARE(joints.probabilitySettings().Samples, std::uint64_t(3000));
        QCOMPARE(joints.probabilitySettings().Seed, std::uint64_t(7));
        constexpr int Pf = 9;
        QCOMPARE(table->model()->headerData(Pf, Qt::Horizontal).toString(), QString("P(破坏)"));
        QCOMPARE(cell(table, 0, Pf), QString("-"));

        QSignalSpy finished(&window, &views::JointsWindow::probabilitiesFinished);
        QTest::mouseClick(child<QPushButton>(window, "PairProbabilityButton"), Qt::LeftButton);
        QVERIFY(finished.wait(120000));
        QCOMPARE(program.boxes.shown(), QStringList());
        QCOMPARE(child<QProgressBar>(window, "PairProgressBar")->value(), 1000);
        const JointCombinations& run = *joints.combinations();
        PairProbabilitySettings settings;
        settings.Samples = 3000, settings.Seed = 7;
        const auto direct = pairProbabilitiesInOrder(run.Slope, run.Planes, run.Pairs, settings);
        QVERIFY(direct && direct->size() == 3 && run.Probabilities.size() == 3);
        QVERIFY((*direct)[0].Pf > 0);
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(run.Probabilities[row].Pf, (*direct)[row].Pf);
            QCOMPARE(cell(table, row, Pf), QString::number((*direct)[row].Pf * 100, 'f', 2) + "%");
        }

        // One click sorts ascending, the next descending.
        QHeaderView* header = table->horizontalHeader();
        const QPoint onHeader(header->sectionViewportPosition(Pf) + header->sectionSize(Pf) / 2, header->height() / 2);
        const auto shownPf = [&] {
            std::vector<double> shown;
            for (int row = 0; row < 3; ++row)
                shown.push_back(textToFloat(cell(table, row, Pf).chopped(1).toStdString()));
            return shown;
        };
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onHeader);
        const std::vector<double> ascending = shownPf();
        QVERIFY(std::is_sorted(ascending.begin(), ascending.end()));
        const QString topPair = cell(table, 0, 0) + " × " + cell(table, 0, 1);
        QVERIFY(topPair != QString::fromStdString(joints.pairName(0))); // the rows did move
        std::size_t shownRow = 0;
        while (QString::fromStdString(joints.pairName(shownRow)) != topPair) ++shownRow;
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualRect(table->model()->index(0, 0)).center());
        pressKey(Qt::Key_Return);
        QCOMPARE(program.box(&program->Form2, 25)->text(),
                 QString::fromStdString(floatToText(joints.pairBlock(shownRow).Attitudes[0].DipAngle)));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onHeader);
        const std::vector<double> descending = shownPf();
        QVERIFY(std::is_sorted(descending.rbegin(), descending.rend()));

        typeNumber("PairSamplesBox", "10000000");
        QTest::mouseClick(child<QPushButton>(window, "PairProbabilityButton"), Qt::LeftButton);
        QVERIFY(window.probabilitiesRunning());
        QTest::mouseClick(child<QPushButton>(window, "PairCancelButton"), Qt::LeftButton);
        QVERIFY(finished.wait(120000));
        QCOMPARE(joints.combinations()->Probabilities[0].Pf, (*direct)[0].Pf);
        QCOMPARE(child<QProgressBar>(window, "PairProgressBar")->value(), 0);
    }

    // Opening a row over typed edits asks first; 否 keeps what was typed.
    void openingARowAsksBeforeReplacingEdits() {
        TestProgram program;
        program.confirmExample("w1");
        views::JointsWindow& window = openJoints(program);
        QTableView* table = combineThreeSets(window);
        typeInto(program.box(&program->Form3, 9), "30"); // c1
        doubleClick(table, table->model()->index(1, 0));
        QCOMPARE(program.boxes.questions.size(), 1);
        QVERIFY(program.boxes.questions[0].contains("J1 × J3"));
        QCOMPARE(program.box(&program->Form3, 9)->text(), QString("30"));

        program.boxes.answers = {true};
        doubleClick(table, table->model()->index(1, 0));
        QCOMPARE(program.box(&program->Form3, 9)->text(), QString("24"));
        QCOMPARE(program.box(&program->Form2, 31)->text(),
                 QString::fromStdString(floatToText(program->workspace.joints().pairBlock(1).Attitudes[3].DipAngle)));
    }

    // A click on a pole picks the planes within the cone angle around it.
    void pickingASetOnTheNet() {
        TestProgram program;
        views::JointsWindow& window = openJoints(program);
        openFile(window, Measurements);
        views::FigureWidget* net = window.picture();
        const Point2 pole = projectDirection(planePole({70, 230}), NetProjection::EqualArea);
        const FigureViewport map = fitFigure(net->figure(), net->width(), net->height());
        QTest::mouseClick(net, Qt::LeftButton, {}, QPointF(map.x(pole.x), map.y(pole.y)).toPoint());
        const auto* sets = child<QTableWidget>(window, "SetsTable");
        QCOMPARE(column(sets, 0), QStringList{"W1"});
        QCOMPARE(column(sets, 1), QStringList{"6"});
        // Outside the net nothing is picked.
        QTest::mouseClick(net, Qt::LeftButton, {}, QPoint(1, 1));
        QCOMPARE(sets->rowCount(), 1);
    }

    // The net shows the slope of the block confirmed while it is open.
    void netFollowsTheConfirmedSlope() {
        TestProgram program;
        views::JointsWindow& window = openJoints(program);
        openFile(window, Measurements);
        QVERIFY(!netTexts(window).join(' ').contains("坡面"));
        program.confirmExample("w1");
        QVERIFY(netTexts(window).contains("坡面 185°∠65°"));
        QVERIFY(netTexts(window).contains("摩擦圆 φ=20°"));
    }

    // A mode chosen with the keys shades its zones; a sector added and its
    // face turned by typing moves the net and the counts with it.
    void modesAndSectorsOnTheNet() {
        TestProgram program;
        views::JointsWindow& window = openJoints(program);
        openFile(window, Measurements);
        auto* mode = child<QComboBox>(window, "ModeBox");
        activate(&window);
        QTest::mouseClick(mode, Qt::LeftButton); // the list opens; the key picks the item below
        QVERIFY(QTest::qWaitForWindowExposed(mode->view()->window()));
        QTest::keyClick(mode->view(), Qt::Key_Down);
        QTest::keyClick(mode->view(), Qt::Key_Return);
        QCOMPARE(program->workspace.joints().kinematicMode(), std::optional(KinematicMode::Planar));
        QVERIFY(!child<QPushButton>(window, "KinematicsRunButton")->isVisible()); // a pole mode runs at once
        QTest::mouseClick(child<QPushButton>(window, "AddSectorButton"), Qt::LeftButton);
        auto* sectors = child<QTableWidget>(window, "SectorsTable");
        QCOMPARE(sectors->rowCount(), 2); // the block's face, then the sector
        const auto typeCell = [&](int column, const char* value) { typeSectorCell(sectors, 1, column, value); };
        typeCell(1, "60");
        typeCell(2, "105"); // the face of the set of 45/105
        QCOMPARE(program->workspace.joints().sectors()[0].DipDirection, 105.0);
        const auto caption = [&] { return child<QLabel>(window, "KinematicsCaption")->text(); };
        QVERIFY2(caption().contains("平面滑动") && caption().contains("6/17"), qPrintable(caption()));
        bool shaded = false;
        for (const FigureItem& item : window.picture()->figure().items)
            if (const auto* path = std::get_if<PathItem>(&item)) shaded = shaded || path->fill == PrimaryZoneFill;
        QVERIFY(shaded);
        QVERIFY(netTexts(window).join(' ').contains("临界极点 6/17"));
        typeCell(2, "285"); // turned around: nothing slides out of it
        QVERIFY2(caption().contains("0/17"), qPrintable(caption()));
        // The next mode, wedge sliding, counts the lines of all 136 pairs of the 17 planes.
        QSignalSpy checked(&window, &views::JointsWindow::kinematicsFinished);
        QTest::mouseClick(mode, Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(mode->view()->window()));
        QTest::keyClick(mode->view(), Qt::Key_Down);
        QTest::keyClick(mode->view(), Qt::Key_Return);
        QVERIFY(checked.wait(60000));
        QVERIFY2(caption().contains("楔形滑动") && caption().contains("/136"), qPrintable(caption()));
        // A friction angle typed is in the document at Return, the box not left;
        // a step of the arrow key at once.
        auto* friction = child<QDoubleSpinBox>(window, "FrictionAngleBox");
        QTest::mouseClick(friction, Qt::LeftButton);
        pressKey(Qt::Key_A, Qt::ControlModifier);
        typeKeys("35");
        pressKey(Qt::Key_Return);
        QCOMPARE(program->workspace.joints().frictionAngle(), 35.0);
        pressKey(Qt::Key_Up);
        QCOMPARE(program->workspace.joints().frictionAngle(), 36.0);
        // With its only sector removed the checks wait for a face again.
        QTest::mouseClick(child<QPushButton>(window, "RemoveSectorButton"), Qt::LeftButton);
        QCOMPARE(sectors->rowCount(), 1);
        QVERIFY(program->workspace.joints().sectors().empty());
        QVERIFY2(caption().contains("添加分区"), qPrintable(caption()));
    }

    // The measurements kept in a workbook open through the browse button's
    // dialog, as the CSV does; the tables shown go out to a workbook that
    // holds their figures as numbers.
    void excelInAndOut() {
        TestProgram program;
        program.confirmExample("w1");
        const std::filesystem::path book = program.folder() / "measurements.xlsx";
        XlsxSheet sheet{"测量", {"倾角", "倾向"}, {}, {}};
        for (const Measurement& m : readMeasurementFile(Measurements).Planes)
            sheet.Rows.push_back({m.Plane.DipAngle, m.Plane.DipDirection});
        writeFile(book, xlsxWorkbook({sheet}));

        views::JointsWindow& window = openJoints(program);
        // The dialog starts in the folder the box names.
        typeInto(child<QLineEdit>(window, "MeasurementFileBox"), QString::fromStdString(program.folder().string()));
        answerFileDialog("measurements.xlsx");
        QTest::mouseClick(child<QPushButton>(window, "BrowseButton"), Qt::LeftButton);
        const JointDocument& joints = program->workspace.joints();
        QCOMPARE(joints.measurements().Planes.size(), std::size_t(17));
        QCOMPARE(joints.measurements().Planes[16].Line, 19); // the sheet's row
        QVERIFY(child<QLabel>(window, "MeasurementSummary")->text().contains("Excel 工作簿"));

        groupAndCombine(window);
        QCOMPARE(joints.sets().size(), std::size_t(3));
        QVERIFY(joints.combinations().has_value());
        // Offered next to the reports; a name without ".xlsx" gets it.
        answerFileDialog("tables");
        QTest::mouseClick(child<QPushButton>(window, "ExportTablesButton"), Qt::LeftButton);
        QVERIFY2(program.boxes.boxes.isEmpty(), qPrintable(program.boxes.shown().join("\n")));
        const auto rows = readXlsxRows(readFileBytes(program.reportFile("tables.xlsx")));
        // The sets' sheet comes first: keys, units, then J1..J3 with their counts.
        QVERIFY(rows.size() >= 5);
        QCOMPARE(QString::fromStdString(std::string(rows[0].Cells[0])), QString("set"));
        QCOMPARE(QString::fromStdString(std::string(rows[1].Cells[2])), QString("°"));
        for (int i = 0; i < 3; ++i) {
            const JointSet& set = joints.sets()[std::size_t(i)];
            QCOMPARE(QString::fromStdString(std::string(rows[std::size_t(i) + 2].Cells[0])),
                     QString::fromStdString(set.Label));
            QCOMPARE(textToFloat(std::string(rows[std::size_t(i) + 2].Cells[1])), double(set.Stats.Count));
            QCOMPARE(textToFloat(std::string(rows[std::size_t(i) + 2].Cells[2])), set.Stats.MeanPlane.DipAngle);
        }
    }

    // A file that cannot be read, or a bad row, goes to the error box in the
    // window's language, with the file's name or the row's line; what was
    // open stays.
    void unreadableFilesKeepWhatWasOpen_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // none: no such file
        QTest::addColumn<QString>("message");
        QTest::newRow("angle out of range")
            << "bad.csv" << QByteArray("45,120\r\n95,30\r\n") << "测量文件第 2 行：倾角 95 应在 0 到 90 之间。";
        QTest::newRow("not a number") << "bad.csv" << QByteArray("45,120\n4x,30\n")
                                      << "测量文件第 2 行：倾角“4x”不是数。";
        QTest::newRow("no such file") << "none.csv" << QByteArray() << "测量文件“%1”无法读取：文件或文件夹不存在。";
    }
    void unreadableFilesKeepWhatWasOpen() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        TestProgram program;
        views::JointsWindow& window = openJoints(program);
        openFile(window, Measurements);
        const QString path = QString::fromStdString((program.folder() / name.toStdString()).string());
        if (!bytes.isEmpty()) writeFile(path.toStdString(), bytes.toStdString());
        openFile(window, path);
        QCOMPARE(program.boxes.shown(), QStringList{"error: " + message.arg(path)});
        QCOMPARE(program->workspace.joints().measurements().Planes.size(), std::size_t(17));
        QCOMPARE(child<QLineEdit>(window, "MeasurementFileBox")->text(), QString(Measurements));
    }

    // The pair modes check every pair of planes on a worker thread, the
    // window in use meanwhile, with progress and a cancel button; a
    // cancelled run waits for 检查交线. The counts are the direct checks'.
    void pairModesRunInTheBackground() {
        TestProgram program;
        views::JointsWindow& window = openJoints(program);
        // 6000 planes make 17,997,000 pairs: about a second of work.
        std::string csv = "倾角,倾向\n";
        for (int i = 0; i < 6000; ++i)
            csv += std::to_string(10 + i * 37 % 80) + "," + std::to_string(i * 113 % 360) + "\n";
        const std::filesystem::path file = program.folder() / "many.csv";
        writeFile(file, csv);
        openFile(window, QString::fromStdString(file.string()));
        QTest::mouseClick(child<QPushButton>(window, "AddSectorButton"), Qt::LeftButton);
        const auto caption = [&] { return child<QLabel>(window, "KinematicsCaption")->text(); };
        auto* start = child<QPushButton>(window, "KinematicsRunButton");
        auto* cancel = child<QPushButton>(window, "KinematicsCancelButton");
        auto* progress = child<QProgressBar>(window, "KinematicsProgressBar");
        QSignalSpy finished(&window, &views::JointsWindow::kinematicsFinished);

        pickMode(window, 2); // wedge sliding
        QVERIFY(window.kinematicsRunning());
        QVERIFY2(caption().contains("正在检查 17997000 对"), qPrintable(caption()));
        QVERIFY(cancel->isEnabled() && !start->isEnabled());
        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(finished.wait(60000));
        QVERIFY2(caption().contains("已取消"), qPrintable(caption()));
        QCOMPARE(progress->value(), 0);
        QVERIFY(start->isEnabled() && !cancel->isEnabled());

        QTest::mouseClick(start, Qt::LeftButton);
        QVERIFY(window.kinematicsRunning());
        QVERIFY(finished.wait(120000));
        const KinematicCount direct =
            kinematicAnalysis(program->workspace.joints().measurements().Planes, {}, {{60, 180, 30, 20}})
                .front()
                .mode(KinematicMode::Wedge)
                .All;
        QVERIFY2(caption().contains(QString("%1/%2").arg(direct.Critical).arg(direct.Total)), qPrintable(caption()));
        QVERIFY(netTexts(window).join(' ').contains(QString("临界交线 %1/%2").arg(direct.Critical).arg(direct.Total)));
        QCOMPARE(progress->value(), 1000);
        QVERIFY(!start->isEnabled());
        QCOMPARE(program.boxes.shown(), QStringList());
    }

    // With a sector shown, the pairs are set into its face and the critical
    // wedge opened carries that face; the list's first row goes back to the
    // block's own face.
    void combinationsInTheShownSector() {
        TestProgram program;
        program.confirmExample("w1");
        views::JointsWindow& window = openJoints(program);
        openFile(window, Measurements);
        QTest::mouseClick(child<QPushButton>(window, "AddSectorButton"), Qt::LeftButton); // the block's face, 185/65
        auto* sectors = child<QTableWidget>(window, "SectorsTable");
        QCOMPARE(column(sectors, 0), (QStringList{"块体坡面", "分区1"}));
        typeSectorCell(sectors, 1, 2, "175");
        auto* combine = child<QPushButton>(window, "CombineButton");
        QTest::mouseClick(combine, Qt::LeftButton);
        const JointDocument& joints = program->workspace.joints();
        QCOMPARE(joints.combinations()->Slope.Face.DipDirection, 175.0);
        QVERIFY(child<QLabel>(window, "CombinationsCaption")->text().contains("分区1"));
        auto* table = child<QTableView>(window, "CombinationsTable");
        table->setFocus();
        pressKey(Qt::Key_Return);
        QCOMPARE(program.box(&program->Form2, 31)->text(), QString("65"));
        QCOMPARE(program.box(&program->Form2, 32)->text(), QString("175"));

        activate(&window);
        QTest::mouseClick(sectors->viewport(), Qt::LeftButton, Qt::NoModifier,
                          sectors->visualItemRect(sectors->item(0, 0)).center());
        QCOMPARE(joints.selectedSector(), std::nullopt);
        QTest::mouseClick(combine, Qt::LeftButton);
        QCOMPARE(joints.combinations()->Slope.Face.DipDirection, 185.0);
        QCOMPARE(program.boxes.shown(), QStringList());
    }

    // A value typed into the sectors list outside the entry windows' ranges
    // (an overhanging face dips up to 180) is refused with the cell opened
    // again on the text typed; mended there, it is taken. A dip direction
    // is an azimuth: taken modulo 360, and the cell shows the value stored.
    void sectorValuesOutOfRange_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: taken
        QTest::addColumn<QString>("stored");  // when taken
        QTest::newRow("dip not a number") << 1 << "6o"
                                          << "坡面倾角“6o”不是数。"
                                          << "";
        QTest::newRow("dip beyond overhanging") << 1 << "181"
                                                << "坡面倾角应在0到180之间（大于90为倒坡）。"
                                                << "";
        QTest::newRow("dip negative") << 1 << "-1"
                                      << "坡面倾角应在0到180之间（大于90为倒坡）。"
                                      << "";
        QTest::newRow("overhanging dip") << 1 << "120"
                                         << ""
                                         << "120";
        QTest::newRow("dip direction beyond 360") << 2 << "361"
                                                  << ""
                                                  << "1";
        QTest::newRow("dip direction negative") << 2 << "-10"
                                                << ""
                                                << "350";
        QTest::newRow("dip direction 360") << 2 << "360"
                                           << ""
                                           << "360";
    }
    void sectorValuesOutOfRange() {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        TestProgram program;
        views::JointsWindow& window = openJoints(program);
        QTest::mouseClick(child<QPushButton>(window, "AddSectorButton"), Qt::LeftButton); // 60/180
        auto* sectors = child<QTableWidget>(window, "SectorsTable");
        typeSectorCell(sectors, 1, column, typed);
        const SlopeSector& sector = program->workspace.joints().sectors()[0];
        const double value = column == 1 ? sector.Dip : sector.DipDirection;
        if (message.isEmpty()) {
            QCOMPARE(program.boxes.shown(), QStringList());
            QCOMPARE(value, stored.toDouble());
            QCOMPARE(sectors->item(1, column)->text(), stored);
            return;
        }
        QCOMPARE(program.boxes.shown(), QStringList{"error: " + message});
        QCOMPARE(value, column == 1 ? 60.0 : 180.0);
        QCOMPARE(sectors->item(1, column)->text(), QString(column == 1 ? "60" : "180"));
        // The cell opens once the editor that was refused has closed.
        QTRY_VERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QCOMPARE(editor->parent(), sectors->viewport());
        QCOMPARE(editor->text(), typed);
        QCOMPARE(sectors->currentRow(), 1);
        QCOMPARE(sectors->currentColumn(), column);
        pressKey(Qt::Key_A, Qt::ControlModifier);
        typeKeys("30");
        pressKey(Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(column == 1 ? sector.Dip : sector.DipDirection, 30.0);
        QCOMPARE(program.boxes.boxes.size(), 1);
    }
};

QTEST_MAIN(JointsWindowTest)
#include "joints_window_test.moc"
