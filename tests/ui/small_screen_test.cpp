// Every window on a 1366x768 laptop screen, in use (a block analysed, rows
// in the loads' tables, a measurement file grouped, combined and checked):
// it fits, each of its buttons and boxes lies on the screen and is not
// covered, every table shows rows and whole headers, every list box its
// whole text, status bars sit at the bottom, and a window opens beside the
// main window's commands wherever the screen leaves it room.
#include "testkit.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>

#include <functional>

#include "app/language.h"
#include "model/files.h"
#include "ui/views/joints_window.h"
#include "ui/views/probabilistic_window.h"
#include "ui/views/sensitivity_window.h"
#include "ui/views/stereonet_window.h"
#include "ui/views/wedge_view_window.h"

using namespace trelmox;
using namespace trelmox::testkit;

namespace {

constexpr QSize LaptopScreen(1366, 768);

bool insideScrollArea(const QWidget* widget, const QWidget* window) {
    for (const QWidget* w = widget->parentWidget(); w && w != window; w = w->parentWidget())
        if (qobject_cast<const QAbstractScrollArea*>(w)) return true;
    return false;
}

// What the user clicks or types into: buttons and boxes, but not the line
// inside a combo box, which is the box itself.
bool isControl(const QWidget* widget) {
    if (qobject_cast<const QLineEdit*>(widget)) return !qobject_cast<const QComboBox*>(widget->parentWidget());
    return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QComboBox*>(widget);
}

// Problems of one window as shown, in words; none when it is usable.
QStringList problemsOf(QWidget* window) {
    QStringList problems;
    const QRect screen = window->screen()->availableGeometry();
    if (!screen.contains(window->frameGeometry()))
        problems << QStringLiteral("%1 does not fit: %2x%3 at %4,%5")
                        .arg(window->objectName())
                        .arg(window->frameGeometry().width())
                        .arg(window->frameGeometry().height())
                        .arg(window->frameGeometry().x())
                        .arg(window->frameGeometry().y());
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window)) continue;
        const QRect rect(widget->mapTo(window, QPoint(0, 0)), widget->size());
        const QString name = window->objectName() + u'/' + widget->objectName() + u'/' +
                             QString::fromUtf8(widget->metaObject()->className());
        if (auto* bar = qobject_cast<QStatusBar*>(widget); bar && rect.bottom() != window->rect().bottom())
            problems << name + QStringLiteral(" is not at the bottom");
        if (!isControl(widget) || insideScrollArea(widget, window)) continue;
        if (!window->rect().contains(rect)) problems << name + QStringLiteral(" is cut off");
        QWidget* top = window->childAt(rect.center());
        if (top != widget && !widget->isAncestorOf(top))
            problems << name + QStringLiteral(" is covered by ") +
                            (top ? top->objectName() : QStringLiteral("nothing"));
    }
    return problems;
}

// A measurement file opened, grouped and combined, and its pairs checked
// against the slope, as a person does it: each table then has rows.
void useJoints(views::JointsWindow& joints) {
    activate(&joints);
    auto* file = joints.findChild<QLineEdit*>("MeasurementFileBox");
    QTest::mouseClick(file, Qt::LeftButton);
    file->selectAll();
    typeKeys(QStringLiteral(TRELMOX_TEST_DATA "/joint_measurements.csv"));
    pressKey(Qt::Key_Return);
    QTest::mouseClick(joints.findChild<QPushButton*>("GroupButton"), Qt::LeftButton);
    QTest::mouseClick(joints.findChild<QPushButton*>("CombineButton"), Qt::LeftButton);
    auto* mode = joints.findChild<QComboBox*>("ModeBox");
    QTest::mouseClick(mode, Qt::LeftButton);
    QTest::keyClick(mode->view(), Qt::Key_End);
    QTest::keyClick(mode->view(), Qt::Key_Return);
    QSignalSpy checked(&joints, &views::JointsWindow::kinematicsFinished);
    QTest::mouseClick(joints.findChild<QPushButton*>("KinematicsRunButton"), Qt::LeftButton);
    QVERIFY(checked.wait(60000));
}

} // namespace

class SmallScreen : public QObject {
    Q_OBJECT
private slots:
    void theScreenIsALaptops() { QCOMPARE(QGuiApplication::primaryScreen()->size(), LaptopScreen); }
    void everyWindowFitsAndWorks_data();
    void everyWindowFitsAndWorks();
    void windowsOpenBesideTheCommands_data() { everyWindowFitsAndWorks_data(); }
    void windowsOpenBesideTheCommands();
};

// In either language: English captions are longer and widen some windows.
void SmallScreen::everyWindowFitsAndWorks_data() {
    QTest::addColumn<bool>("english");
    QTest::newRow("Chinese") << false;
    QTest::newRow("English") << true;
}

void SmallScreen::everyWindowFitsAndWorks() {
    QFETCH(bool, english);
    app::useLanguage(english ? Language::English : Language::Chinese);
    TestProgram program;
    app::Program& p = *program;
    program.confirmExample("b1");
    p.Form4.BitBtn1Click();
    p.Form1.show();
    p.Form1.BitBtn1Click();
    p.Form1.BitBtn2Click();
    p.Form1.BitBtn3Click();
    p.showJoints();
    useJoints(p.joints()); // before the loads' empty rows, which a combination would refuse
    p.Loads.bringUp();
    activate(&p.Loads);
    for (const char* add : {"AddBoltButton", "AddForceButton"})
        QTest::mouseClick(p.Loads.findChild<QPushButton*>(add), Qt::LeftButton);
    p.Pictures.showStereonet();
    p.Pictures.showWedgeView();
    p.Pictures.showProbabilistic();
    p.Pictures.showSensitivity();
    const QList<QWidget*> windows{&p.Form1,
                                  &p.Form2,
                                  &p.Form3,
                                  &p.Form4,
                                  &p.Loads,
                                  &p.joints(),
                                  &p.Pictures.stereonet(),
                                  &p.Pictures.wedgeView(),
                                  &p.Pictures.probabilistic(),
                                  &p.Pictures.sensitivity()};
    QStringList problems;
    for (QWidget* window : windows) {
        QVERIFY(QTest::qWaitForWindowExposed(window));
        problems << problemsOf(window) << cutTexts(window) << tablesWithoutRows(window);
    }
    p.Form2.findChild<QRadioButton*>("RadioButton2")->click(); // the other entry mode
    problems << problemsOf(&p.Form2);
    app::useLanguage(Language::Chinese);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    QCOMPARE(program.boxes.shown(), QStringList());
}

// Each window opened the way a person opens it, one after the other: it
// covers none of the main window's commands where the screen has room for
// it beside them, and it does not open on top of the window it works with
// where it could open beside it.
void SmallScreen::windowsOpenBesideTheCommands() {
    QFETCH(bool, english);
    app::useLanguage(english ? Language::English : Language::Chinese);
    TestProgram program;
    app::Program& p = *program;
    p.Form1.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.Form1));
    const QRect free = p.Form1.screen()->availableGeometry();
    const char* const commands[] = {"BitBtn1", "BitBtn2", "BitBtn4", "BitBtn3", "PicturesButton"};
    QRect commandsArea;
    for (const char* command : commands) {
        const QPushButton* button = program.button(&p.Form1, command);
        commandsArea |= QRect(button->mapToGlobal(QPoint(0, 0)), button->size());
    }
    const std::pair<const char*, std::function<QWidget*()>> opened[] = {
        {"plane entry", [&] { return p.Form1.BitBtn1Click(), static_cast<QWidget*>(&p.Form2); }},
        {"parameters", [&] { return p.Form1.BitBtn2Click(), static_cast<QWidget*>(&p.Form3); }},
        {"analysis", [&] { return p.Form1.BitBtn3Click(), static_cast<QWidget*>(&p.Form4); }},
        {"loads", [&] { return p.Loads.bringUp(), static_cast<QWidget*>(&p.Loads); }},
        {"3D view", [&] { return p.Pictures.showWedgeView(), static_cast<QWidget*>(&p.Pictures.wedgeView()); }},
        {"stereonet", [&] { return p.Pictures.showStereonet(), static_cast<QWidget*>(&p.Pictures.stereonet()); }},
    };
    program.confirmExample("b1"); // typed into the entry windows, which are then closed
    p.Form2.hide();
    p.Form3.hide();
    for (const auto& [what, open] : opened) {
        activate(&p.Form1);
        QWidget* window = open();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QRect frame = window->frameGeometry();
        QVERIFY2(free.contains(frame), what);
        // Room beside the commands: left of them, or right of them.
        const bool roomBeside =
            frame.width() <= commandsArea.left() - free.left() || frame.width() <= free.right() - commandsArea.right();
        for (const char* command : commands) {
            const QPushButton* button = program.button(&p.Form1, command);
            if (roomBeside)
                QVERIFY2(!frame.contains(button->mapToGlobal(button->rect().center())),
                         qPrintable(QStringLiteral("%1 covers %2").arg(what, command)));
        }
    }
    app::useLanguage(Language::Chinese);
}

// The offscreen platform takes its screen from a configuration file, which
// must be named before the application starts.
int main(int argc, char** argv) {
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("screen.json"));
    writeFile(config.toStdString(), QStringLiteral(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": %1,
        "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                                        .arg(LaptopScreen.width())
                                        .arg(LaptopScreen.height())
                                        .toStdString());
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    QApplication application(argc, argv);
    SmallScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "small_screen_test.moc"
