// The picture windows on the offscreen platform: the example block, a block
// that cuts out no wedge, and the empty model before anything is confirmed.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>

#include "analysis/wedge.h"
#include "document/block_document.h"
#include "model/datafile.h"
#include "model/error.h"
#include "model/files.h"
#include "ui/messages.h"
#include "ui/views/analysis_labels.h"
#include "ui/views/figure_widget.h"
#include "ui/views/picture_file.h"
#include "ui/views/picture_windows.h"
#include "ui/views/probabilistic_window.h"
#include "ui/views/sensitivity_window.h"
#include "ui/views/stereonet_window.h"
#include "ui/views/wedge_view_window.h"

using namespace trelmox;
using namespace trelmox::views;

namespace {

class RecordedBoxes : public ui::MessageBoxes {
public:
    void message(const QString& text) override { messages << text; }
    void error(const QString& text) override { errors << text; }
    bool question(const QString& text) override {
        messages << text;
        return false;
    }
    QStringList messages, errors;
};

ViewedBlock exampleBlock() {
    const SavedBlock saved = savedBlockFromTexts(parseBlockData(readTextFile(TRELMOX_EXAMPLE)));
    ViewedBlock block{QStringLiteral("example"),
                      saved.Attitudes,
                      saved.Quadrants,
                      saved.Params,
                      QString(TRELMOX_PICTURE_DIR),
                      trelmox::WedgeLoads{},
                      {},
                      std::nullopt};
    convertParameters(block);
    return block;
}

// The slope top and the first cutting plane both horizontal: two triples
// of planes meet in no single point, so there are no corners.
ViewedBlock horizontalPlanesBlock() {
    ViewedBlock block = exampleBlock();
    block.Name = QStringLiteral("horizontal");
    block.Quadrants[0] = {"N", "60", "E", "S", "E", "0"};
    block.Quadrants[2] = {"N", "0", "E", "S", "E", "0"};
    block.Attitudes[0] = {0, 150};
    block.Attitudes[2] = {0, 90};
    return block;
}

// How much of a picture is not background: a blank or failed rendering
// stays near zero.
double inkShare(const QImage& image) {
    qint64 ink = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            if (qGray(image.pixel(x, y)) < 200) ++ink;
    return 4.0 * static_cast<double>(ink) / (static_cast<double>(image.width()) * image.height());
}

// Saves `picture` as PNG and SVG under the build folder and checks both.
void saveAndCheck(QWidget* picture, const QString& name) {
    QDir().mkpath(TRELMOX_PICTURE_DIR);
    const QString png = QDir(TRELMOX_PICTURE_DIR).filePath(name + ".png");
    const QString svg = QDir(TRELMOX_PICTURE_DIR).filePath(name + ".svg");
    savePicture(picture, png);
    savePicture(picture, svg);
    const QImage image(png);
    QVERIFY2(!image.isNull(), qPrintable(png));
    QCOMPARE(image.size(), picture->grab().size());
    QVERIFY2(inkShare(image) > 0.01, qPrintable(name));
    QSvgRenderer renderer(svg);
    QVERIFY2(renderer.isValid(), qPrintable(svg));
}

QStringList figureTexts(const FigureWidget* widget) {
    QStringList texts;
    for (const FigureItem& item : widget->figure().items)
        if (const auto* text = std::get_if<TextItem>(&item)) texts << QString::fromStdString(text->text);
    return texts;
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

class PictureWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ui::setMessageBoxes(&boxes_); }
    void cleanup() {
        ui::setMessageBoxes(nullptr);
        boxes_.messages.clear();
        boxes_.errors.clear();
    }

    void stereonetOfTheExampleBlock() {
        StereonetWindow window([] { return exampleBlock(); });
        window.refresh();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QStringList texts = figureTexts(window.picture());
        QVERIFY(texts.contains(QStringLiteral("157.7°∠31.2°")));
        QVERIFY(texts.contains(QStringLiteral("摩擦圆 φ=20°")));
        QVERIFY(texts.contains(QStringLiteral("楔块 example")));
        saveAndCheck(window.picture(), QStringLiteral("stereonet_equal_angle"));
        window.setProjection(NetProjection::EqualArea);
        QVERIFY(figureTexts(window.picture()).contains(QStringLiteral("下半球等面积投影")));
        saveAndCheck(window.picture(), QStringLiteral("stereonet_equal_area"));
    }

    void wedgeViewOfTheExampleBlock() {
        WedgeViewWindow window([] { return exampleBlock(); });
        window.refresh();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.problem(), QString());
        for (const char* text : {"1", "2", "3", "4", "楔块 example"})
            QVERIFY(figureTexts(window.picture()).contains(text));
        saveAndCheck(window.picture(), QStringLiteral("wedge_view"));
        QVERIFY(window.grab().save(QDir(TRELMOX_PICTURE_DIR).filePath("wedge_view_window.png")));
    }

    // The real wedge with a crack, its forces and a bolt; the stereonet
    // shows the crack beside the planes.
    void picturesOfABlockWithLoads() {
        const auto withLoads = [] {
            ViewedBlock block = exampleBlock();
            WedgeLoads loads;
            loads.Water = WaterMode::Saturated;
            loads.Crack = TensionCrack{{80, 10}, 5, 4};
            loads.SeismicCoefficient = 0.1;
            loads.Bolts = {{3000, {330, 15}, BoltMode::Active}};
            block.Loads = loads;
            return block;
        };
        WedgeViewWindow window(withLoads);
        window.refresh();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.problem(), QString());
        for (const char* text : {"张裂缝", "T1", "V", "kW"})
            QVERIFY2(figureTexts(window.picture()).contains(text), text);
        saveAndCheck(window.picture(), QStringLiteral("wedge_view_loads"));
        StereonetWindow net(withLoads);
        net.refresh();
        QVERIFY(figureTexts(net.picture()).contains(QStringLiteral("裂 张裂缝 10°∠80°")));

        // Loads that do not convert: the corners' tetrahedron, and why.
        WedgeViewWindow broken([] {
            ViewedBlock block = exampleBlock();
            block.Loads.reset();
            block.LoadsProblem = QStringLiteral("请输入张裂缝倾角");
            return block;
        });
        broken.refresh();
        QCOMPARE(broken.problem(), QStringLiteral("请输入张裂缝倾角；图中为四个角点围成的四面体"));
        QVERIFY(figureTexts(broken.picture()).contains("2"));
    }

    void wedgeViewTurnsWithTheMouse() {
        WedgeViewWindow window([] { return exampleBlock(); });
        window.refresh();
        window.show();
        WedgeViewWidget* picture = window.picture();
        const ViewAngles first = picture->view();
        sendMouse(picture, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
        sendMouse(picture, QEvent::MouseMove, {140, 80}, Qt::LeftButton);
        sendMouse(picture, QEvent::MouseButtonRelease, {140, 80}, Qt::NoButton);
        QCOMPARE(picture->view().Azimuth, first.Azimuth + 20);
        QCOMPARE(picture->view().Elevation, first.Elevation - 10);
        sendMouse(picture, QEvent::MouseMove, {300, 300}, Qt::NoButton); // no drag without a button
        QCOMPARE(picture->view().Azimuth, first.Azimuth + 20);

        QWheelEvent wheel(QPointF(50, 50), picture->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 240),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(picture, &wheel);
        QVERIFY(qAbs(picture->view().Zoom - 1.15 * 1.15) < 1e-12);
        for (int i = 0; i < 100; ++i) QCoreApplication::sendEvent(picture, &wheel);
        QCOMPARE(picture->view().Zoom, 20.0); // held at the largest zoom

        // The near side follows the hand, right and then up.
        const auto nearest = [&] {
            const ProjectedCorners p = projectCorners(picture->scene(), picture->view());
            return p.Screen[std::max_element(p.Depth.begin(), p.Depth.end()) - p.Depth.begin()];
        };
        const Point2 before = nearest();
        sendMouse(picture, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
        sendMouse(picture, QEvent::MouseMove, {106, 100}, Qt::LeftButton);
        QVERIFY(nearest().x > before.x);
        const Point2 middle = nearest();
        sendMouse(picture, QEvent::MouseMove, {106, 94}, Qt::LeftButton);
        QVERIFY(nearest().y > middle.y);

        sendMouse(picture, QEvent::MouseButtonDblClick, {10, 10}, Qt::LeftButton);
        QCOMPARE(picture->view().Azimuth, first.Azimuth);
        QCOMPARE(picture->view().Zoom, 1.0);
    }

    // Before any confirm the model is empty: the pictures show that, and the
    // analyses explain what is missing instead of crashing.
    void emptyModelBeforeAnyAnalysis() {
        PictureWindows windows([] { return ViewedBlock{}; });
        windows.showStereonet();
        windows.showWedgeView();
        windows.showProbabilistic();
        windows.showSensitivity();
        // No planes at 0°∠0° drawn as if they were a block: the pictures say
        // that no block is confirmed.
        QVERIFY(!figureTexts(windows.stereonet().picture()).contains(QStringLiteral("交线")));
        QCOMPARE(windows.stereonet().findChild<QLabel*>("BlockCaption")->text(),
                 QStringLiteral("楔块名称：（尚未确认块体）"));
        QVERIFY(figureTexts(windows.wedgeView().picture()).contains(QStringLiteral("尚无块体角点")));
        QCOMPARE(windows.wedgeView().problem(), QString::fromUtf8(NoConfirmedBlockMessage));
        for (QWidget* picture : {static_cast<QWidget*>(windows.stereonet().picture()),
                                 static_cast<QWidget*>(windows.wedgeView().picture()),
                                 static_cast<QWidget*>(windows.probabilistic().picture()),
                                 static_cast<QWidget*>(windows.sensitivity().picture())})
            QVERIFY(!picture->grab().isNull());

        windows.probabilistic().start();
        windows.sensitivity().compute();
        QCOMPARE(boxes_.errors,
                 QStringList({"'' is not a valid floating point value.", "'' is not a valid floating point value."}));
        QVERIFY(!windows.probabilistic().running());
        QVERIFY(!windows.probabilistic().result());
        QVERIFY(windows.sensitivity().steps().empty());
    }

    void blockWithoutAWedge() {
        PictureWindows windows([] { return horizontalPlanesBlock(); });
        windows.showStereonet();
        windows.showWedgeView();
        QCOMPARE(windows.wedgeView().problem(), QStringLiteral("1、2、3三平面不能切出块体；1、3、4三平面不能切出块体"));
        QVERIFY(figureTexts(windows.wedgeView().picture()).contains(QStringLiteral("尚无块体角点")));
        QVERIFY(!windows.stereonet().picture()->grab().isNull());
        QVERIFY(!windows.wedgeView().picture()->grab().isNull());

        ProbabilisticWindow& probabilistic = windows.probabilistic();
        probabilistic.refresh();
        probabilistic.setSamples(500);
        QSignalSpy finished(&probabilistic, &ProbabilisticWindow::analysisFinished);
        probabilistic.start();
        QVERIFY(finished.wait(60000));
        QVERIFY(probabilistic.result());
        QCOMPARE(probabilistic.result()->Wedges + probabilistic.result()->Failed +
                     probabilistic.result()->Contacts[static_cast<int>(TWedgeContact::NoBlock)] +
                     probabilistic.result()->Contacts[static_cast<int>(TWedgeContact::Unresolved)],
                 std::uint64_t(500));
        QVERIFY(!probabilistic.picture()->grab().isNull());
        QCOMPARE(boxes_.errors, QStringList());
    }

    // The window must hand the table's settings to the analysis unchanged:
    // the same settings run directly give the same numbers.
    void probabilisticRunOfTheExampleBlock() {
        ProbabilisticWindow window([] { return exampleBlock(); });
        window.resize(1180, 680);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setSamples(20000);
        QSignalSpy finished(&window, &ProbabilisticWindow::analysisFinished);
        window.start();
        QVERIFY(window.running());
        QVERIFY(finished.wait(120000));
        QVERIFY(!window.running());
        QVERIFY(window.result());
        const ViewedBlock block = exampleBlock();
        const ProbabilisticResult direct =
            runProbabilistic(block.Attitudes, parameterNumbers(block.Params), window.settings());
        QCOMPARE(window.result()->Samples, std::uint64_t(20000));
        QVERIFY(window.result()->Statistics && direct.Statistics);
        QCOMPARE(window.result()->Statistics->Mean, direct.Statistics->Mean);
        QCOMPARE(window.result()->Statistics->Pf, direct.Statistics->Pf);
        QVERIFY(window.summary().contains(QStringLiteral("P(Kc<1) = ")));
        QVERIFY(figureTexts(window.picture()).filter(QStringLiteral("P(Kc<1) = ")).size() == 1);
        saveAndCheck(window.picture(), QStringLiteral("probabilistic_histogram"));
        QVERIFY(window.grab().save(QDir(TRELMOX_PICTURE_DIR).filePath("probabilistic_window.png")));
    }

    // A load's inputs are offered only where the block has the load, and the
    // results name both factors with their methods.
    void loadInputsOnlyWhereTheBlockHasThem() {
        const auto withCrack = [] {
            ViewedBlock block = exampleBlock();
            WedgeLoads loads;
            loads.Water = WaterMode::Saturated;
            loads.Crack = TensionCrack{{80, 10}, 5, 4};
            block.Loads = loads;
            return block;
        };
        const std::vector<Parameter> loadInputs{Parameter::CrackDistance, Parameter::CrackWater,
                                                Parameter::ForceMagnitude, Parameter::BoltForce};
        const struct {
            ViewedBlock (*block)();
            std::vector<bool> offered; // by loadInputs
        } cases[] = {{exampleBlock, {false, false, false, false}}, {withCrack, {true, true, false, false}}};
        for (const auto& c : cases) {
            ProbabilisticWindow probabilistic(c.block);
            auto* table = probabilistic.findChild<QTableWidget*>("DistributionTable");
            SensitivityWindow sensitivity(c.block);
            auto* list = sensitivity.findChild<QComboBox*>("ParameterBox");
            for (std::size_t i = 0; i < loadInputs.size(); ++i) {
                const int p = static_cast<int>(loadInputs[i]);
                QCOMPARE(!table->isRowHidden(p), bool(c.offered[i]));
                QCOMPARE(list->findData(p) >= 0, bool(c.offered[i]));
            }
            QVERIFY(!table->isRowHidden(static_cast<int>(Parameter::Seismic)));
        }

        ProbabilisticWindow window(withCrack);
        window.setDistribution(Parameter::CrackDistance, 2, "0", "10");
        window.setSamples(2000);
        QSignalSpy finished(&window, &ProbabilisticWindow::analysisFinished);
        window.start();
        QVERIFY(finished.wait(60000));
        QCOMPARE(boxes_.errors, QStringList());
        for (const char* method : {ProbabilisticResult::KcMethod, ProbabilisticResult::FsMethod})
            QVERIFY2(window.summary().contains(QString::fromUtf8(method)), qPrintable(window.summary()));
        QVERIFY2(window.summary().contains(QStringLiteral("P(Fs<1.35) = ")), qPrintable(window.summary()));
        QVERIFY(window.result()->Full.Wedges > 0);
    }

    // The failed wedges' sizes, the wedges too small to count and the bench
    // reliability as the run found them, with units; the lines about the
    // limits only where the loads have them. Driven as a person does: the
    // sample count typed into its box, the run button clicked.
    void probabilisticShowsTheFailedWedgesSizes() {
        const auto sized = [](bool limited) {
            ViewedBlock block = exampleBlock();
            block.Params.Cohesion1 = block.Params.Cohesion2 = "0";
            convertParameters(block);
            WedgeLoads loads;
            if (limited) {
                loads.Size.MinVolume = 400;
                loads.Size.Bench = BenchLimits{40, 12, 6};
            }
            block.Loads = loads;
            return block;
        };
        for (const bool limited : {true, false}) {
            ProbabilisticWindow window([&] { return sized(limited); });
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            auto* samples = window.findChild<QSpinBox*>("SamplesBox");
            samples->setFocus();
            QTest::keyClick(samples, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(samples, "4000");
            QSignalSpy finished(&window, &ProbabilisticWindow::analysisFinished);
            QTest::mouseClick(window.findChild<QPushButton*>("RunButton"), Qt::LeftButton);
            QVERIFY(finished.wait(120000));
            QCOMPARE(boxes_.errors, QStringList());

            ProbabilisticSettings settings = window.settings();
            QCOMPARE(settings.Samples, std::uint64_t(4000));
            settings.FailedVolumes = true;
            const ViewedBlock block = sized(limited);
            const FullFactorSummary direct =
                runProbabilistic(block.Attitudes, parameterNumbers(block.Params), *block.Loads, settings).Full;
            QVERIFY(direct.FailedSizes && direct.FailedSizes->Count > 0);
            const FullFactorSummary shown = window.result().value().Full;
            QVERIFY(shown.FailedSizes);
            QCOMPARE(shown.FailedSizes->MeanVolume, direct.FailedSizes->MeanVolume);
            QCOMPARE(shown.FailedSizes->Volume95, direct.FailedSizes->Volume95);
            QCOMPARE(shown.TooSmall, direct.TooSmall);
            QCOMPARE(shown.BenchTooNarrow, direct.BenchTooNarrow);

            const QString summary = window.summary();
            QVERIFY2(summary.contains(QStringLiteral("破坏楔块（Fs<1）%1 个：体积均值 %2 m³")
                                          .arg(direct.FailedSizes->Count)
                                          .arg(shortNumber(direct.FailedSizes->MeanVolume, 4))),
                     qPrintable(summary));
            QVERIFY2(summary.contains(QStringLiteral("5%/50%/95% 分位")) && summary.contains(QStringLiteral(" kN")),
                     qPrintable(summary));
            QCOMPARE(summary.contains(QStringLiteral("小于最小尺寸的楔块 %1 个").arg(direct.TooSmall)), limited);
            QCOMPARE(
                summary.contains(
                    QStringLiteral("台阶可靠度 %1%").arg(QString::number((1 - direct.PBenchTooNarrow) * 100, 'f', 2))),
                limited);
            if (limited) QVERIFY(direct.TooSmall > 0 && direct.BenchTooNarrow > 0);
            const QStringList texts = figureTexts(window.volumePicture());
            QVERIFY2(texts.contains(QStringLiteral("楔块体积 V（m³）")), qPrintable(texts.join('|')));
            QVERIFY2(!texts.filter(QStringLiteral("破坏楔块（Fs<1）体积直方图    %1 个").arg(direct.FailedSizes->Count))
                          .isEmpty(),
                     qPrintable(texts.join('|')));
            if (limited) saveAndCheck(window.volumePicture(), QStringLiteral("failed_volume_histogram"));
        }
    }

    // A size limit the loads give is an input like the others: its row is
    // shown, its distribution picked from the list by keys, and the run is
    // the analysis's own with that distribution.
    void probabilisticDrawsTheSizeLimitsTheLoadsGive() {
        const auto block = [] {
            ViewedBlock b = exampleBlock();
            WedgeLoads loads;
            loads.Size.FaceTrace[0] = 30;
            b.Loads = loads;
            return b;
        };
        ProbabilisticWindow window(block);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* table = window.findChild<QTableWidget*>("DistributionTable");
        QVERIFY(!table->isRowHidden(static_cast<int>(Parameter::FaceTrace1)));
        QVERIFY(table->isRowHidden(static_cast<int>(Parameter::FaceTrace2)));
        auto* kind = static_cast<QComboBox*>(table->cellWidget(static_cast<int>(Parameter::FaceTrace1), 2));
        kind->setFocus();
        for (int step = 0; step < 4; ++step) QTest::keyClick(kind, Qt::Key_Down);
        QCOMPARE(kind->currentText(), QStringLiteral("指数分布"));
        window.setSamples(3000);
        QSignalSpy finished(&window, &ProbabilisticWindow::analysisFinished);
        window.start();
        QVERIFY(finished.wait(120000));
        QCOMPARE(boxes_.errors, QStringList());
        ProbabilisticSettings settings = window.settings();
        QCOMPARE(settings.Distributions[static_cast<int>(Parameter::FaceTrace1)].Type, Distribution::Kind::Exponential);
        settings.FailedVolumes = true;
        const ViewedBlock b = block();
        const ProbabilisticResult direct =
            runProbabilistic(b.Attitudes, parameterNumbers(b.Params), *b.Loads, settings);
        QCOMPARE(window.result()->Full.Statistics->Mean, direct.Full.Statistics->Mean);
    }

    void probabilisticWithNothingVariedGivesTheDeterministicFactor() {
        ProbabilisticWindow window([] { return exampleBlock(); });
        for (int p = 0; p < ParameterCount; ++p) window.setDistribution(static_cast<Parameter>(p), 0, {});
        window.setSamples(50);
        QSignalSpy finished(&window, &ProbabilisticWindow::analysisFinished);
        window.start();
        QVERIFY(finished.wait(60000));
        const ViewedBlock block = exampleBlock();
        const double kc =
            computeSafetyFactor(block.Attitudes, wedgeNumbers(parameterNumbers(block.Params))).SafetyFactor;
        QCOMPARE(window.result()->Statistics->Mean, kc);
        QCOMPARE(window.result()->Statistics->Sd, 0.0);
    }

    // The refusals name the input as the window does, never by the tool's
    // names (f1, dip1).
    void probabilisticSettingsThatDoNotFit() {
        const struct {
            Parameter input;
            int kind; // normal 1, uniform 2, lognormal 3, triangular 5, gamma 7
            const char *first, *second, *shown;
        } cases[] = {
            {Parameter::Friction1, 1, "abc", "", "'abc' is not a valid floating point value."},
            {Parameter::Friction1, 1, "-1", "", "第一切割面摩擦系数 f1的标准差应为不小于0的有限数，而不是-1。"},
            {Parameter::Dip1, 2, "80", "100", "第一切割面倾角的范围80～100超出了0到90。"},
            {Parameter::Dip2, 3, "1", "", "第二切割面倾角有上限或可取负值，不能用对数正态分布。"},
            {Parameter::Dip2, 7, "1", "", "第二切割面倾角有上限或可取负值，不能用伽马分布。"},
            {Parameter::Cohesion1, 5, "30", "40",
             "第一切割面粘聚力 c1的块体取值24不在三角形分布的下限30和上限40之间。"},
            {Parameter::Cohesion1, 1, "0.1", "", "第一切割面粘聚力 c1的截断范围30～40内没有可抽取的值。"},
            {Parameter::Cohesion2, 1, "4", "", "平面1的相关系数只在其粘聚力和摩擦系数都按分布变化时才能给出。"},
        };
        for (const auto& c : cases) {
            ProbabilisticWindow window([] { return exampleBlock(); });
            window.setDistribution(c.input, c.kind, c.first, c.second);
            if (c.input == Parameter::Cohesion1 && c.kind == 1) window.setTruncation(c.input, "30", "40");
            if (c.input == Parameter::Cohesion2) {
                window.setDistribution(Parameter::Friction1, 0, {});
                // The correlation typed as a person does: into its focused box.
                auto* box = window.findChild<QDoubleSpinBox*>("Correlation1Box");
                box->setFocus();
                box->selectAll();
                QTest::keyClicks(box, "-0.5");
                QTest::keyClick(box, Qt::Key_Return);
            }
            boxes_.errors.clear();
            window.start();
            QCOMPARE(boxes_.errors, QStringList{QString::fromUtf8(c.shown)});
            QVERIFY(!window.running());
        }
    }

    void probabilisticRunCancels() {
        ProbabilisticWindow window([] { return exampleBlock(); });
        window.setSamples(static_cast<int>(MaxSamples));
        QSignalSpy finished(&window, &ProbabilisticWindow::analysisFinished);
        window.start();
        window.cancel();
        QVERIFY(finished.wait(120000));
        QVERIFY(window.result() && window.result()->Cancelled);
        QCOMPARE(window.summary(), QStringLiteral("计算已取消。"));
        QVERIFY(!window.picture()->grab().isNull());
    }

    void closingDuringARunWaitsForTheWorker() {
        auto* window = new ProbabilisticWindow([] { return exampleBlock(); });
        window->setSamples(static_cast<int>(MaxSamples));
        window->start();
        QVERIFY(window->running());
        delete window; // must cancel and join, not crash on the queued result
        QTest::qWait(50);
    }

    void sensitivityOfTheFrictionOfTheFirstPlane() {
        SensitivityWindow window([] { return exampleBlock(); });
        window.resize(860, 620);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setParameter(Parameter::Friction1);
        window.setRange(QStringLiteral("0"), QStringLiteral("1"), 20);
        window.compute();
        QCOMPARE(boxes_.errors, QStringList());
        QCOMPARE(window.steps().size(), std::size_t(21));
        // More friction, more resistance: Kc never falls as f1 grows.
        for (std::size_t i = 1; i < window.steps().size(); ++i) {
            QVERIFY(window.steps()[i].Result && window.steps()[i - 1].Result);
            QVERIFY(window.steps()[i].Result->SafetyFactor >= window.steps()[i - 1].Result->SafetyFactor);
        }
        QVERIFY2(window.summary().contains(QStringLiteral("块体取值 0.364 时 Kc = 1.1891")),
                 qPrintable(window.summary()));
        saveAndCheck(window.picture(), QStringLiteral("sensitivity_f1"));
        QVERIFY(window.grab().save(QDir(TRELMOX_PICTURE_DIR).filePath("sensitivity_window.png")));

        window.setRange(QStringLiteral("x"), QStringLiteral("1"), 20);
        window.compute();
        QCOMPARE(boxes_.errors, QStringList({"'x' is not a valid floating point value."}));
        window.setParameter(Parameter::Dip1);
        window.setRange(QStringLiteral("80"), QStringLiteral("100"), 20);
        window.compute();
        QCOMPARE(boxes_.errors.last(), QStringLiteral("第一切割面倾角的取值100不在0到90之间。"));
    }

    void sensitivityProposesARangeAroundTheBlocksValue() {
        SensitivityWindow window([] { return exampleBlock(); });
        const struct {
            Parameter parameter;
            const char* from;
            const char* to;
        } cases[] = {{Parameter::Dip1, "30", "60"},
                     {Parameter::DipTop, "0", "27"},
                     {Parameter::DipDir2, "205", "265"},
                     {Parameter::Cohesion2, "24", "72"}};
        for (const auto& c : cases) {
            window.setParameter(c.parameter);
            QCOMPARE(window.findChild<QLineEdit*>("FromBox")->text(), QString(c.from));
            QCOMPARE(window.findChild<QLineEdit*>("ToBox")->text(), QString(c.to));
        }
    }

    void savingToAMissingFolderFails() {
        FigureWidget picture;
        picture.resize(200, 100);
        for (const char* name : {"/nonexistent-folder/x.png", "/nonexistent-folder/x.svg"}) {
            try {
                savePicture(&picture, name);
                QFAIL("no error");
            } catch (const Error& error) {
                QCOMPARE(QString(error.what()), QStringLiteral("Cannot create file \"%1\".").arg(name));
            }
        }
    }

private:
    RecordedBoxes boxes_;
};

QTEST_MAIN(PictureWindowsTest)
#include "picture_windows_test.moc"
