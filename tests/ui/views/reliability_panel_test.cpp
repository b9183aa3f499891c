// The reliability tab of "可靠度分析" on the offscreen platform: the index,
// the design point and the alpha chart of the table's distributions, the
// run kept for the calculation report, and a block with nothing random.
#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "model/datafile.h"
#include "model/files.h"
#include "ui/messages.h"
#include "ui/views/figure_widget.h"
#include "ui/views/probabilistic_window.h"
#include "ui/views/reliability_panel.h"

using namespace trelmox;
using namespace trelmox::views;

namespace {

class SilentBoxes : public ui::MessageBoxes {
public:
    void message(const QString& text) override { messages << text; }
    void error(const QString& text) override { errors << text; }
    bool question(const QString&) override { return false; }
    QStringList messages, errors;
};

ViewedBlock exampleBlock() {
    const SavedBlock saved = savedBlockFromTexts(parseBlockData(readTextFile(TRELMOX_EXAMPLE)));
    ViewedBlock block{QStringLiteral("example"),
                      saved.Attitudes,
                      saved.Quadrants,
                      saved.Params,
                      QString(TRELMOX_PICTURE_DIR),
                      WedgeLoads{},
                      {},
                      std::nullopt};
    convertParameters(block);
    return block;
}

bool figureSays(const FigureWidget* widget, const QString& part) {
    for (const FigureItem& item : widget->figure().items)
        if (const auto* text = std::get_if<TextItem>(&item); text && QString::fromStdString(text->text).contains(part))
            return true;
    return false;
}

} // namespace

class ReliabilityPanelTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ui::setMessageBoxes(&boxes_); }
    void cleanup() { ui::setMessageBoxes(nullptr); }

    // The first-run distributions (the planes' attitudes and strengths) give
    // the same figures as the engine, kept in the records for the report.
    void indexOfTheExampleBlocksDefaults() {
        StudyRecords records;
        ProbabilisticWindow window([] { return exampleBlock(); }, &records);
        window.resize(1180, 680);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ReliabilityPanel* panel = window.reliability();
        panel->setTarget(1); // class I, ductile: 3.7
        panel->setLeastForceBolt();
        QSignalSpy finished(panel, &ReliabilityPanel::analysisFinished);
        panel->start();
        QVERIFY(finished.wait(120000));
        QVERIFY2(boxes_.errors.isEmpty(), qPrintable(boxes_.errors.join('\n')));
        ReliabilitySettings settings;
        settings.Inputs = window.settings();
        settings.TargetBeta = 3.7;
        settings.LeastForceBolt = true;
        const ViewedBlock block = exampleBlock();
        const ReliabilityResult direct = runReliability(block.Attitudes, parameterNumbers(block.Params), {}, settings);
        QVERIFY(direct.Design);
        const auto kept = records.reliabilityRunFor(runBasis(block));
        QVERIFY(kept && kept->Result.Design);
        QCOMPARE(kept->Result.Design->Beta, direct.Design->Beta);
        QCOMPARE(kept->Result.Importance->Pf, direct.Importance->Pf);
        QVERIFY(direct.RequiredBoltForce);
        QCOMPARE(kept->Result.RequiredBoltForce, direct.RequiredBoltForce);
        QVERIFY(panel->summary().contains(QStringLiteral("可靠指标 β = ")));
        QVERIFY(panel->summary().contains(QStringLiteral("目标可靠指标 3.7")));
        if (direct.DesignBolt) QVERIFY(panel->summary().contains(QStringLiteral("所需锚杆力最小的方向")));
        const auto* table = panel->findChild<QTableWidget*>(QStringLiteral("DesignPointTable"));
        QCOMPARE(table->rowCount(), static_cast<int>(direct.Inputs.size()));
        QVERIFY(figureSays(panel->alphaPicture(), QStringLiteral("可靠指标 β = ")));
        QDir().mkpath(TRELMOX_PICTURE_DIR);
        QVERIFY(panel->alphaPicture()->grab().save(QDir(TRELMOX_PICTURE_DIR).filePath("reliability_alpha.png")));
        window.findChild<QTabWidget*>(QStringLiteral("PictureTabs"))->setCurrentWidget(panel);
        QVERIFY(window.grab().save(QDir(TRELMOX_PICTURE_DIR).filePath("reliability_window.png")));
        // A window made anew shows the run kept.
        ProbabilisticWindow anew([] { return exampleBlock(); }, &records);
        QCOMPARE(anew.reliability()->summary(), panel->summary());
    }

    void blockWithNothingRandomSaysWhy() {
        ProbabilisticWindow window([] { return exampleBlock(); });
        for (Parameter p : {Parameter::Dip1, Parameter::DipDir1, Parameter::Dip2, Parameter::DipDir2,
                            Parameter::Cohesion1, Parameter::Friction1, Parameter::Cohesion2, Parameter::Friction2})
            window.setDistribution(p, 0, {});
        QSignalSpy finished(window.reliability(), &ReliabilityPanel::analysisFinished);
        window.reliability()->start();
        QVERIFY(finished.wait(60000));
        QVERIFY(window.reliability()->summary().contains(QStringLiteral("没有随机输入")));
        QVERIFY(figureSays(window.reliability()->alphaPicture(), QStringLiteral("尚无设计验算点")));
    }

private:
    SilentBoxes boxes_;
};

QTEST_MAIN(ReliabilityPanelTest)
#include "reliability_panel_test.moc"
