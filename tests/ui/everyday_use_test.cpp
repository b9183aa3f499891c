// The windows in everyday use, driven as a person drives them: nothing
// typed is lost on quit, no figure is shown or saved beside inputs it does
// not belong to, both entry modes show one block, nothing is saved that the
// program itself refuses, and keys and the wheel go where the user means.
#include "testkit.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QWheelEvent>

#include "document/block_document.h"
#include "model/companion.h"
#include "model/files.h"
#include "ui/views/picture_commands.h"
#include "ui/views/probabilistic_window.h"
#include "ui/views/report_command.h"
#include "ui/views/sensitivity_window.h"
#include "ui/views/wedge_view_window.h"

using namespace trelmox;
using namespace trelmox::testkit;
using SaveAnswer = ui::MessageBoxes::SaveAnswer;

namespace {

const std::string ExampleBytes = readFileBytes(TRELMOX_EXAMPLE);

void click(TestProgram& program, QWidget* window, const char* button) {
    activate(window);
    QTest::mouseClick(program.button(window, button), Qt::LeftButton);
}

QLineEdit* loadsBox(TestProgram& program, const char* name) {
    auto* box = program->Loads.findChild<QLineEdit*>(name);
    if (!box) qFatal("no %s on the loads window", name);
    return box;
}

// The example confirmed as "b1" by typing, with computed water pressures,
// and analysed.
void confirmAndAnalyse(TestProgram& program) {
    program.confirmExample("b1");
    click(program, &program->Form4, "BitBtn1");
}

// The window manager's close of the main window: a close event the window
// may refuse.
bool closeMainWindow(TestProgram& program) {
    QCloseEvent close;
    QApplication::sendEvent(&program->Form1, &close);
    return close.isAccepted();
}

} // namespace

class EverydayUse : public QObject {
    Q_OBJECT
private slots:
    void quittingAsksAboutEdits_data();
    void quittingAsksAboutEdits();
    void resultsOfAnotherInputAreNeverShown();
    void openPicturesFollowTheBlock();
    void bothEntryModesShowOneBlock();
    void longTextsShowTheirBeginning();
    void theWheelChangesOnlyAFocusedBox();
    void confirmRefusesWhatReadingWouldRefuse_data();
    void confirmRefusesWhatReadingWouldRefuse();
    void theFailingTextIsFocusedNotAnotherBadOne();
    void noFileWithoutAConfirmedBlock();
    void aTableCellKeepsItsKeys();
    void analysisSettingsAndRunsLiveInTheDocument();
    void qtsOwnTextsAreChinese();
};

void EverydayUse::quittingAsksAboutEdits_data() {
    QTest::addColumn<int>("edit"); // 0 a face dip typed, 1 k in the loads window, 2 nothing
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("saved");
    QTest::newRow("face dip, cancel") << 0 << int(SaveAnswer::Cancel) << false << false;
    QTest::newRow("face dip, discard") << 0 << int(SaveAnswer::Discard) << true << false;
    QTest::newRow("face dip, save") << 0 << int(SaveAnswer::Save) << true << true;
    QTest::newRow("seismic k, cancel") << 1 << int(SaveAnswer::Cancel) << false << false;
    QTest::newRow("seismic k, save") << 1 << int(SaveAnswer::Save) << true << true;
    QTest::newRow("nothing edited") << 2 << int(SaveAnswer::Cancel) << true << false;
}

void EverydayUse::quittingAsksAboutEdits() {
    QFETCH(int, edit);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(bool, saved);
    TestProgram program;
    program.confirmExample("b1");
    const std::string before = readFileBytes(program.dataFile("b1.txt"));
    if (edit == 0) typeInto(program.box(&program->Form2, 24), "70");
    if (edit == 1) {
        program->Loads.bringUp();
        typeInto(loadsBox(program, "Seismic"), "0.1");
    }
    program.boxes.saveAnswers = {SaveAnswer(answer)};
    QCOMPARE(closeMainWindow(program), closes);
    QCOMPARE(program.boxes.questions.size(), edit == 2 ? 0 : 1);
    const std::string after = readFileBytes(program.dataFile("b1.txt"));
    QCOMPARE(after != before || std::filesystem::exists(companionPath(program.folder() / ui::DataFolderName, "b1")),
             saved);
    if (!closes) QCOMPARE(program.box(&program->Form2, 24)->text(), QString(edit == 0 ? "70" : "65"));
    QCOMPARE(program.boxes.shown(), QStringList());
}

// Analyse, change the face dip and confirm: the old figures vanish from the
// analysis window and the loads window, and the report rewritten by the
// confirm holds no figure of the old face.
void EverydayUse::resultsOfAnotherInputAreNeverShown() {
    TestProgram program;
    confirmAndAnalyse(program);
    const QString kc = program.edit("Edit1")->text();
    QVERIFY(!kc.isEmpty());
    QVERIFY(fileText(program.reportFile("b1.txt")).find(kc.toStdString()) != std::string::npos);
    typeInto(program.box(&program->Form2, 24), "70");
    click(program, &program->Form2, "BitBtn1");
    QCOMPARE(program.edit("Edit1")->text(), QString());
    QCOMPARE(program.edit("Edit3")->text(), QString());
    QCOMPARE(program.edit("FsEdit")->text(), QString());
    QCOMPARE(program->Form4.findChild<QLabel*>("StaleNote")->text(), QString::fromUtf8(StaleResultsNote));
    QCOMPARE(program->Loads.resultsText(), QString::fromUtf8(StaleResultsNote));
    QVERIFY(fileText(program.reportFile("b1.txt")).find(kc.toStdString()) == std::string::npos);
    click(program, &program->Form4, "BitBtn1");
    QVERIFY(!program.edit("Edit1")->text().isEmpty());
    QVERIFY(program.edit("Edit1")->text() != kc);
    QCOMPARE(program->Form4.findChild<QLabel*>("StaleNote")->text(), QString());
}

// An open 3D view redraws when the block changes; an analysis window's last
// run is marked out of date once the loads change.
void EverydayUse::openPicturesFollowTheBlock() {
    TestProgram program;
    program->Pictures.showWedgeView();
    QCOMPARE(program->Pictures.wedgeView().problem(), QString::fromUtf8(NoConfirmedBlockMessage));
    confirmAndAnalyse(program);
    QCOMPARE(program->Pictures.wedgeView().problem(), QString());
    program->Pictures.showSensitivity();
    program->Pictures.sensitivity().compute();
    auto* stale = program->Pictures.sensitivity().findChild<QLabel*>("StaleNote");
    QCOMPARE(stale->text(), QString());
    program->Loads.bringUp();
    typeInto(loadsBox(program, "Seismic"), "0.1");
    QVERIFY(stale->text().startsWith(QString::fromUtf8(StaleResultsNote)));
    program->Pictures.sensitivity().compute();
    QCOMPARE(stale->text(), QString());
}

// The dip direction typed in the dip-angle mode shows in the quadrant mode,
// and a confirm in either mode writes the data file.
void EverydayUse::bothEntryModesShowOneBlock() {
    TestProgram program;
    program.confirmExample("b1");
    app::Program& p = *program;
    p.Form2.findChild<QRadioButton*>("RadioButton2")->click();
    QCOMPARE(program.box(&p.Form2, 28)->text(), QString("235"));
    typeInto(program.box(&p.Form2, 28), "236");
    click(program, &p.Form2, "BitBtn3");
    QVERIFY(fileText(program.dataFile("b1.txt")).find("70,236\r\n") != std::string::npos);
    p.Form2.findChild<QRadioButton*>("RadioButton1")->click();
    QCOMPARE(program.box(&p.Form2, 8)->text(), QString("34"));
    click(program, &p.Form2, "BitBtn1");
    QVERIFY(fileText(program.dataFile("b1.txt")).find("70,236\r\n") != std::string::npos);
    QCOMPARE(program.boxes.shown(), QStringList());
}

// A text longer than its box shows its beginning, whole in the tooltip.
void EverydayUse::longTextsShowTheirBeginning() {
    TestProgram program;
    app::Program& p = *program;
    typeInto(p.Form2.blockNameBox(), "a-rather-long-block-name.txt");
    ui::TypeAheadCombo* shown = p.Form3.blockNameBox();
    QCOMPARE(shown->text(), QString("a-rather-long-block-name.txt"));
    QCOMPARE(shown->lineEdit()->cursorPosition(), 0);
    QCOMPARE(shown->toolTip(), shown->text());
    confirmAndAnalyse(program);
    QLineEdit* required = program.edit("RequiredEdit");
    QVERIFY(!required->text().isEmpty());
    QCOMPARE(required->cursorPosition(), 0);
    QCOMPARE(required->toolTip(), required->text());
}

// Scrolling over the distribution table must not change a distribution.
void EverydayUse::theWheelChangesOnlyAFocusedBox() {
    TestProgram program;
    program.confirmExample("b1");
    program->Pictures.showProbabilistic();
    auto* table = program->Pictures.probabilistic().findChild<QTableWidget*>("DistributionTable");
    auto* kind = qobject_cast<QComboBox*>(table->cellWidget(0, 2));
    activate(&program->Pictures.probabilistic());
    const int before = kind->currentIndex();
    const QPointF at(kind->width() / 2.0, kind->height() / 2.0);
    for (int notch = 0; notch < 2; ++notch) {
        QWheelEvent wheel(at, kind->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(kind, &wheel);
    }
    QCOMPARE(kind->currentIndex(), before);
}

void EverydayUse::confirmRefusesWhatReadingWouldRefuse_data() {
    QTest::addColumn<bool>("entryWindow"); // else the parameter window
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("slope height not a number") << false << 3 << "abc"
                                               << "'abc' is not a valid floating point value.";
    QTest::newRow("overhang not an integer") << false << 4 << "1.5"
                                             << "'1.5' is not a valid integer value.";
    QTest::newRow("friction empty") << false << 10 << ""
                                    << "'' is not a valid floating point value.";
    QTest::newRow("slope height, entry confirm") << true << 3 << "abc"
                                                 << "'abc' is not a valid floating point value.";
}

// Nothing is written, and the box to mend gets the focus.
void EverydayUse::confirmRefusesWhatReadingWouldRefuse() {
    QFETCH(bool, entryWindow);
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(QString, message);
    TestProgram program;
    program.confirmExample("b1");
    const std::string data = readFileBytes(program.dataFile("b1.txt"));
    const std::string report = readFileBytes(program.reportFile("b1.txt"));
    typeInto(program.box(&program->Form3, box), text);
    click(program, entryWindow ? static_cast<QWidget*>(&program->Form2) : &program->Form3, "BitBtn1");
    QCOMPARE(program.boxes.shown(), QStringList{"error: " + message});
    QCOMPARE(readFileBytes(program.dataFile("b1.txt")), data);
    QCOMPARE(readFileBytes(program.reportFile("b1.txt")), report);
    QVERIFY(QTest::qWaitForWindowActive(&program->Form3)); // brought up from the entry window
    QCOMPARE(QApplication::focusWidget(), program.box(&program->Form3, box));
}

// The confirm reads the parameters before the planes: with a bad text in
// each, the failure is the parameter's, and its box is the one focused,
// not the plane's box that the command never read.
void EverydayUse::theFailingTextIsFocusedNotAnotherBadOne() {
    TestProgram program;
    program.confirmExample("b1");
    typeInto(program.box(&program->Form3, 9), "abc"); // c of plane 1
    typeInto(program.box(&program->Form2, 6), "x");   // dip angle of the first cutting plane
    click(program, &program->Form2, "BitBtn1");
    QCOMPARE(program.boxes.shown(), QStringList{"error: 'abc' is not a valid floating point value."});
    QVERIFY(QTest::qWaitForWindowActive(&program->Form3));
    QCOMPARE(QApplication::focusWidget(), program.box(&program->Form3, 9));
}

// A block picked but not confirmed gives no file named ".txt".
void EverydayUse::noFileWithoutAConfirmedBlock() {
    TestProgram program;
    writeFile(program.dataFile("example.txt"), ExampleBytes);
    program->Form1.BitBtn1Click();
    pick(program->Form2.blockNameBox(), "example.txt");
    click(program, &program->Form3, "BitBtn1");
    QCOMPARE(program.boxes.shown(), QStringList{"message: " + QString::fromUtf8(NoConfirmedBlockMessage)});
    QCOMPARE(filesBelow(program.folder() / ui::ReportFolderName), QStringList());
    QCOMPARE(filesBelow(program.folder() / ui::DataFolderName), QStringList{"example.txt"});
}

// Return in a bolt cell, or a second click into it, leaves the keys in the cell.
void EverydayUse::aTableCellKeepsItsKeys() {
    TestProgram program;
    program->Loads.bringUp();
    click(program, &program->Loads, "AddBoltButton");
    QLineEdit* force = loadsBox(program, "BoltsTable0_0");
    typeInto(force, "-10");
    pressKey(Qt::Key_Return);
    typeKeys("5");
    QTest::mouseClick(force, Qt::LeftButton);
    pressKey(Qt::Key_End);
    typeKeys("0");
    QCOMPARE(QApplication::focusWidget(), force);
    QCOMPARE(force->text(), QString("-1050"));
    QCOMPARE(program->workspace.document().loadsEntries().Bolts.at(0).Force, std::string("-1050"));
}

// The probabilistic window's settings and last run survive closing it and
// even a window made anew, and the calculation report takes the run from
// the document without asking the window.
void EverydayUse::analysisSettingsAndRunsLiveInTheDocument() {
    TestProgram program;
    confirmAndAnalyse(program);
    program->Pictures.showProbabilistic();
    views::ProbabilisticWindow& window = program->Pictures.probabilistic();
    auto* samples = window.findChild<QSpinBox*>("SamplesBox");
    activate(&window);
    QTest::mouseClick(samples, Qt::LeftButton);
    pressKey(Qt::Key_A, Qt::ControlModifier);
    typeKeys("500");
    QSignalSpy finished(&window, &views::ProbabilisticWindow::analysisFinished);
    QTest::mouseClick(window.findChild<QPushButton*>("RunButton"), Qt::LeftButton);
    QVERIFY(finished.wait(60000));
    const QString summary = window.summary();
    window.close();
    const auto reported = views::windowReportInputs(program->workspace).Probabilistic;
    QVERIFY(reported);
    QCOMPARE(reported->Settings.Samples, std::uint64_t(500));
    program->Pictures.showProbabilistic();
    QCOMPARE(samples->value(), 500);
    QCOMPARE(window.summary(), summary);
    views::ProbabilisticWindow anew(
        views::BlockSource([&program] { return views::workspaceBlock(program->workspace); }),
        &program->workspace.document().studies());
    QCOMPARE(anew.findChild<QSpinBox*>("SamplesBox")->value(), 500);
    QCOMPARE(anew.summary(), summary);
    QVERIFY(anew.runFor(views::workspaceBlock(program->workspace)));
}

// The standard buttons and dialogs of Qt speak the interface's language.
void EverydayUse::qtsOwnTextsAreChinese() {
    QVERIFY(app::loadQtChineseTexts());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    QCOMPARE(QCoreApplication::translate("QPrintPreviewDialog", "Print"), QStringLiteral("打印"));
}

QTEST_MAIN(EverydayUse)
#include "everyday_use_test.moc"
