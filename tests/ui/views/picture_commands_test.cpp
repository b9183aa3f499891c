// The picture windows reached from the program's own windows: the added
// commands sit in free space, and the pictures show the confirmed block.
#include <QComboBox>
#include <QDir>
#include <QRadioButton>
#include <QLabel>
#include <QMenu>
#include <QBuffer>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QStatusBar>
#include <QTableWidget>

#include "tests/ui/testkit.h"
#include "model/files.h"
#include "paint/report_pages.h"
#include "ui/views/figure_widget.h"
#include "ui/views/probabilistic_window.h"
#include "ui/views/report_command.h"
#include "ui/views/sensitivity_window.h"
#include "ui/views/stereonet_window.h"
#include "ui/views/wedge_view_window.h"

using namespace trelmox;
using namespace trelmox::testkit;

namespace {

QStringList figureTexts(const views::FigureWidget* widget) {
    QStringList texts;
    for (const FigureItem& item : widget->figure().items)
        if (const auto* text = std::get_if<TextItem>(&item)) texts << QString::fromStdString(text->text);
    return texts;
}

// The added commands must leave every existing control where it was,
// uncovered, and lie inside the window or panel they are added to.
void checkAddedInFreeSpace(QWidget* window, const QStringList& added) {
    for (const QString& name : added) {
        auto* button = window->findChild<QWidget*>(name);
        QVERIFY2(button, qPrintable(name));
        QWidget* parent = button->parentWidget();
        QVERIFY2(parent->rect().contains(button->geometry()), qPrintable(name));
        for (QObject* child : parent->children()) {
            auto* other = qobject_cast<QWidget*>(child);
            if (!other || added.contains(other->objectName()) || !other->isVisibleTo(window)) continue;
            QVERIFY2(!other->geometry().intersects(button->geometry()),
                     qPrintable(name + " covers " + other->objectName()));
        }
    }
}

QPrintPreviewDialog* shownPreview() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(window); preview && preview->isVisible()) return preview;
    return nullptr;
}

// The pages of the report as a PDF lays them out.
int pdfPages(const CalculationReportInputs& inputs) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    paint::setReportPageLayout(writer);
    return paint::paintReport(calculationReport(inputs), writer);
}

QAction* menuCommand(TestProgram& program, const QString& name) {
    auto* button = program->Form1.findChild<QPushButton*>("PicturesButton");
    return button ? button->menu()->findChild<QAction*>(name) : nullptr;
}

} // namespace

class PictureCommands : public QObject {
    Q_OBJECT
private slots:
    void commandsSitInFreeSpace() {
        TestProgram program;
        program->Form1.show();
        program->Form4.show();
        checkAddedInFreeSpace(&program->Form1, {"PicturesButton"});
        checkAddedInFreeSpace(&program->Form4, {"StereonetButton", "WedgeViewButton", "ProbabilisticButton",
                                                "SensitivityButton", "FullAnalysisPanel", "ReportButton"});
        // The analysis window's own controls where they always were.
        const struct {
            const char* name;
            QRect geometry;
        } original[] = {{"RichEdit1", {0, 0, 465, 169}}, {"Panel1", {0, 176, 465, 41}},  {"Edit5", {120, 184, 145, 21}},
                        {"Edit3", {184, 232, 121, 21}},  {"Edit4", {184, 266, 121, 21}}, {"Edit1", {184, 301, 121, 21}},
                        {"Edit2", {184, 336, 121, 21}}};
        for (const auto& control : original)
            QCOMPARE(program->Form4.findChild<QWidget*>(control.name)->geometry(), control.geometry);
        QStringList captions;
        for (QAction* action : program->Form1.findChild<QPushButton*>("PicturesButton")->menu()->actions())
            captions << action->text();
        QCOMPARE(captions, (QStringList{"赤平投影", "三维视图", "可靠度分析", "敏感性分析", "结构面统计与组合", "",
                                        "荷载与支护"}));
        QDir().mkpath(TRELMOX_PICTURE_DIR);
        QVERIFY(program->Form1.grab().save(QDir(TRELMOX_PICTURE_DIR).filePath("main_window.png")));
        QVERIFY(program->Form4.grab().save(QDir(TRELMOX_PICTURE_DIR).filePath("analysis_window.png")));
        program->Loads.show();
        QVERIFY(program->Loads.grab().save(QDir(TRELMOX_PICTURE_DIR).filePath("loads_window.png")));
    }

    void picturesShowTheConfirmedBlock() {
        TestProgram program;
        program.confirmExample("w1");
        menuCommand(program, "StereonetButton")->trigger();
        views::StereonetWindow& net = program->Pictures.stereonet();
        QVERIFY(net.isVisible());
        QVERIFY(figureTexts(net.picture()).contains("157.7°∠31.2°"));
        QVERIFY(figureTexts(net.picture()).contains("摩擦圆 φ=20°"));

        program.button(&program->Form4, "WedgeViewButton")->click();
        views::WedgeViewWindow& wedge = program->Pictures.wedgeView();
        QVERIFY(wedge.isVisible());
        QCOMPARE(wedge.problem(), QString());
        QVERIFY(figureTexts(wedge.picture()).contains("4"));

        program.button(&program->Form4, "ProbabilisticButton")->click();
        views::ProbabilisticWindow& probabilistic = program->Pictures.probabilistic();
        QVERIFY(probabilistic.isVisible());
        auto* table = probabilistic.findChild<QTableWidget*>("DistributionTable");
        QCOMPARE(table->item(static_cast<int>(Parameter::Friction1), 1)->text(), QString("0.364"));
        QCOMPARE(table->item(static_cast<int>(Parameter::WaterPressure1), 1)->text(), QString("65.4"));

        // Entered water pressures may vary; computed ones follow the water and
        // the height, so switching over fixes them.
        auto* u1 = static_cast<QComboBox*>(table->cellWidget(static_cast<int>(Parameter::WaterPressure1), 2));
        QVERIFY(!u1->isEnabled());
        program->Form3.findChild<QRadioButton*>("RadioButton1")->click();
        typeInto(program.box(&program->Form3, 5), "30");
        typeInto(program.box(&program->Form3, 7), "30");
        program.button(&program->Form4, "ProbabilisticButton")->click();
        QVERIFY(u1->isEnabled());
        probabilistic.setDistribution(Parameter::WaterPressure1, 1, "5");
        program->Form3.findChild<QRadioButton*>("RadioButton2")->click();
        program.button(&program->Form4, "ProbabilisticButton")->click();
        QVERIFY(!u1->isEnabled());
        QCOMPARE(u1->currentIndex(), 0);

        menuCommand(program, "SensitivityButton")->trigger();
        QVERIFY(program->Pictures.sensitivity().isVisible());
        QCOMPARE(program.boxes.shown(), QStringList());
    }

    // One click writes the PDF beside the block's reports and opens the
    // print preview; results go into it only while they belong to the block.
    void reportOfTheCurrentBlock() {
        TestProgram program;
        program->Form4.show();
        program.button(&program->Form4, "ReportButton")->click();
        QCOMPARE(program.boxes.shown(), QStringList{"message: 请输入或选择块体名称"});
        QVERIFY(!shownPreview());

        program.confirmExample("w1");
        const auto inputs = [&program] { return views::windowReportInputs(program->workspace); };
        QVERIFY(!inputs().Results);
        QCOMPARE(inputs().NoResults, std::string(NeverAnalysedText));
        program.button(&program->Form4, "BitBtn1")->click();
        QCOMPARE(inputs().Results->Safety->SafetyFactor, 1.18912355743381);

        views::SensitivityWindow& sensitivity = program->Pictures.sensitivity();
        sensitivity.setParameter(Parameter::Friction1);
        sensitivity.compute();
        QCOMPARE(inputs().Sensitivity->Steps.size(), sensitivity.steps().size());
        QVERIFY(!inputs().Probabilistic);

        program.button(&program->Form4, "ReportButton")->click();
        QCOMPARE(program.boxes.shown(), QStringList{"message: 请输入或选择块体名称"});
        QVERIFY(readFileBytes(program.reportFile("w1计算书.pdf")).starts_with("%PDF-"));
        QCOMPARE(program->Form4.findChild<QStatusBar*>("StatusBar1")->currentMessage(),
                 QStringLiteral("已保存：分析报告/w1计算书.pdf"));
        QPrintPreviewDialog* preview = shownPreview();
        QVERIFY(preview);
        QCOMPARE(preview->windowTitle(), QStringLiteral("楔块 w1 稳定性分析计算书"));
        // The preview shows this report, with its results and the
        // sensitivity plot, on the pages the PDF has.
        CalculationReportInputs withoutResults = inputs();
        withoutResults.Results.reset();
        withoutResults.Sensitivity.reset();
        QVERIFY(pdfPages(inputs()) > pdfPages(withoutResults));
        QCOMPARE(preview->findChild<QPrintPreviewWidget*>()->pageCount(), pdfPages(inputs()));
        preview->close();

        // An edit after the analysis: the results, and the runs on the
        // block as it was, stay out of the report.
        typeInto(program.box(&program->Form3, 9), "30");
        QVERIFY(!inputs().Results);
        QCOMPARE(inputs().NoResults, std::string(StaleResultsText));
        QVERIFY(!inputs().Sensitivity);
    }

    // A new block confirmed later: the pictures follow it when reopened.
    void picturesFollowTheCurrentBlock() {
        TestProgram program;
        program.confirmExample("w1");
        menuCommand(program, "StereonetButton")->trigger();
        program->Form2.setBlockNameText("w2");
        program.button(&program->Form2, "BitBtn1")->click();
        menuCommand(program, "StereonetButton")->trigger();
        QCOMPARE(program->Pictures.stereonet().findChild<QLabel*>("BlockCaption")->text(), QString("楔块名称：w2"));
    }
};

QTEST_MAIN(PictureCommands)
#include "picture_commands_test.moc"
