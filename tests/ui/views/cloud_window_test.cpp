// A point cloud opened from the joints window as a user does: the cloud
// window from its button, a file typed in, the run on the worker thread
// with its progress, then the sets on the joints window's table and the
// cloud in 3D coloured by set; a run cancelled or a bad file leaves the
// joints as they were.
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>

#include "document/joint_document.h"
#include "tests/analysis/cloud/cloud_files.h"
#include "tests/analysis/cloud/synthetic_cloud.h"
#include "tests/ui/testkit.h"
#include "ui/views/cloud_view.h"
#include "ui/views/cloud_window.h"
#include "ui/views/joints_window.h"

using namespace trelmox;
using namespace trelmox::testkit;

namespace {

template <typename Widget> Widget* child(QWidget& window, const char* name) {
    auto* found = window.findChild<Widget*>(name);
    if (!found) qFatal("no %s", name);
    return found;
}

views::CloudWindow& openCloudWindow(TestProgram& program) {
    auto* menu = program->Form1.findChild<QPushButton*>("PicturesButton")->menu();
    menu->findChild<QAction*>("JointsCommand")->trigger();
    views::JointsWindow& joints = program->joints();
    QTest::mouseClick(child<QPushButton>(joints, "OpenCloudButton"), Qt::LeftButton);
    auto* window = joints.findChild<views::CloudWindow*>("CloudWindow");
    if (!window || !window->isVisible()) qFatal("the cloud window is not shown");
    return *window;
}

QString syntheticPly(const QTemporaryDir& folder) {
    test::SyntheticFace face;
    for (test::TrueSet& set : face.Sets) set.Facets = 10;
    face.FaceFacets = 6;
    const std::string path = folder.filePath("face.ply").toStdString();
    test::writeFile(path, test::binaryPly(test::syntheticCloud(face).Points, false));
    return QString::fromStdString(path);
}

void typeFile(views::CloudWindow& window, const QString& path) {
    activate(&window);
    auto* box = child<QLineEdit>(window, "CloudFileBox");
    QTest::mouseClick(box, Qt::LeftButton);
    box->selectAll();
    typeKeys(path);
}

} // namespace

class CloudWindowTest : public QObject {
    Q_OBJECT
private slots:
    void cloudToSetsOnTheJointsWindow() {
        TestProgram program;
        QTemporaryDir folder;
        views::CloudWindow& window = openCloudWindow(program);
        typeFile(window, syntheticPly(folder));
        QSignalSpy finished(&window, &views::CloudWindow::finished);
        QTest::mouseClick(child<QPushButton>(window, "CloudStartButton"), Qt::LeftButton);
        QVERIFY(finished.wait(60000));
        QCOMPARE(program.boxes.shown(), QStringList());
        QCOMPARE(child<QProgressBar>(window, "CloudProgressBar")->value(),
                 child<QProgressBar>(window, "CloudProgressBar")->maximum());
        const JointDocument& joints = program->workspace.joints();
        QVERIFY(joints.cloud() != nullptr);
        QCOMPARE(joints.grouping(), JointGrouping::Labels);
        const auto* sets = child<QTableWidget>(program->joints(), "SetsTable");
        QCOMPARE(sets->rowCount(), static_cast<int>(joints.sets().size()));
        QCOMPARE(sets->item(0, 0)->text(), QString("J1"));
        QVERIFY(child<QLabel>(program->joints(), "MeasurementSummary")->text().contains("face.ply"));
        QVERIFY(child<QLabel>(window, "CloudSummary")->text().contains("J1"));
        QVERIFY(child<views::CloudView>(window, "CloudView")->shownPoints() > 1000);
    }

    void cancelledAndFailedRunsLeaveTheJoints() {
        TestProgram program;
        QTemporaryDir folder;
        views::CloudWindow& window = openCloudWindow(program);
        typeFile(window, syntheticPly(folder));
        QSignalSpy finished(&window, &views::CloudWindow::finished);
        QTest::mouseClick(child<QPushButton>(window, "CloudStartButton"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(window, "CloudCancelButton"), Qt::LeftButton);
        QVERIFY(finished.wait(60000));
        QVERIFY(!program->workspace.joints().opened());
        const std::string bad = folder.filePath("bad.xyz").toStdString();
        test::writeFile(bad, "1 2 3\n4 nan 6\n");
        typeFile(window, QString::fromStdString(bad));
        QTest::mouseClick(child<QPushButton>(window, "CloudStartButton"), Qt::LeftButton);
        QVERIFY(finished.wait(60000));
        QVERIFY(!program->workspace.joints().opened());
        QCOMPARE(program.boxes.shown().size(), 1);
        QVERIFY(program.boxes.shown()[0].contains("bad.xyz"));
    }
};

QTEST_MAIN(CloudWindowTest)
#include "cloud_window_test.moc"
