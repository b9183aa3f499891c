// The interface in English: every window opened as a person opens them,
// every caption, title, header, item, menu entry, tooltip and placeholder
// walked; none is left in Chinese, none is cut off or runs into the box
// beside it. Back in Chinese every one of them is as it was, byte for
// byte. And the language a start chooses, and the menu that changes it.
#include "testkit.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTableWidget>
#include <QToolButton>

#include <map>

#include "app/language.h"
#include "model/files.h"
#include "ui/views/probabilistic_window.h"
#include "ui/views/sensitivity_window.h"
#include "ui/views/stereonet_window.h"
#include "ui/views/viewed_block.h"
#include "ui/views/wedge_view_window.h"

using namespace trelmox;
using namespace trelmox::testkit;

namespace {

// A name the user typed: data, shown as typed in either language.
const QString BlockName = QStringLiteral("北坡1");

bool hasChinese(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // Ideographs, CJK punctuation, full-width forms.
        if ((u >= 0x3000 && u <= 0x303F) || (u >= 0x3400 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF)) return true;
    }
    return false;
}

QString where(const QWidget* window, const QObject* object) {
    return window->objectName() + u'/' + object->objectName() + u'/' +
           QString::fromUtf8(object->metaObject()->className());
}

// Every text of a window a person reads, as "<where>: <what>: <text>", in
// a fixed order. Typed or computed contents (boxes, cells, reports) are
// data and left out; so are the user's block name and the program's folder
// wherever they show.
QStringList textsOf(QWidget* window, const QString& folder) {
    QStringList texts;
    const auto add = [&](const QObject* object, const char* what, QString text) {
        text.replace(BlockName, QStringLiteral("<block>")).replace(folder, QStringLiteral("<folder>"));
        if (!text.isEmpty())
            texts << where(window, object) + QStringLiteral(": ") + QLatin1String(what) + QStringLiteral(": ") + text;
    };
    add(window, "title", window->windowTitle());
    const auto addMenu = [&](const QMenu* menu) {
        if (!menu) return;
        add(menu, "menu", menu->title());
        for (const QAction* action : menu->actions()) add(action, "action", action->text());
    };
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        add(widget, "tooltip", widget->toolTip());
        if (auto* label = qobject_cast<QLabel*>(widget)) add(label, "label", label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) add(button, "button", button->text());
        if (auto* button = qobject_cast<QPushButton*>(widget)) addMenu(button->menu());
        if (auto* button = qobject_cast<QToolButton*>(widget)) addMenu(button->menu());
        if (auto* group = qobject_cast<QGroupBox*>(widget)) add(group, "group", group->title());
        if (auto* tabs = qobject_cast<QTabBar*>(widget))
            for (int i = 0; i < tabs->count(); ++i) {
                add(tabs, "tab", tabs->tabText(i));
                add(tabs, "tab tooltip", tabs->tabToolTip(i));
            }
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) add(edit, "placeholder", edit->placeholderText());
        if (auto* combo = qobject_cast<QComboBox*>(widget); combo && !combo->isEditable())
            for (int i = 0; i < combo->count(); ++i) add(combo, "item", combo->itemText(i));
        if (auto* header = qobject_cast<QHeaderView*>(widget); header && header->model())
            for (int section = 0; section < header->count(); ++section) {
                add(header, "header", header->model()->headerData(section, header->orientation()).toString());
                add(header, "header tooltip",
                    header->model()->headerData(section, header->orientation(), Qt::ToolTipRole).toString());
            }
    }
    return texts;
}

// The room a text has in its widget, or -1 when the widget does not clip
// (empty, a picture, wrapped, or rich text laid out by Qt).
int roomFor(QWidget* widget, QString* text) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text().isEmpty() || !label->pixmap().isNull() || label->wordWrap() ||
            Qt::mightBeRichText(label->text()))
            return -1;
        *text = label->text();
        return label->contentsRect().width() - 2 * label->margin() - label->indent() * (label->indent() > 0);
    }
    auto* button = qobject_cast<QAbstractButton*>(widget);
    if (!button || button->text().isEmpty()) return -1;
    *text = button->text();
    QStyle* style = button->style();
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (qobject_cast<QCheckBox*>(button))
        return style->subElementRect(QStyle::SE_CheckBoxContents, &option, button).width();
    if (qobject_cast<QRadioButton*>(button))
        return style->subElementRect(QStyle::SE_RadioButtonContents, &option, button).width();
    int room = button->width() - style->pixelMetric(QStyle::PM_ButtonMargin, &option, button) -
               2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
    if (auto* push = qobject_cast<QPushButton*>(button); push && push->menu())
        room -= style->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, button);
    return room;
}

bool isControl(const QWidget* widget) {
    return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget);
}

// Texts of the widgets shown that do not fit their widget, or that run
// past their parent or into a control beside them.
QStringList cutOff(QWidget* window) {
    QStringList problems;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window)) continue;
        QString text;
        const int room = roomFor(widget, &text);
        if (room < 0) continue;
        int width = 0;
        for (const QString& line : text.split(u'\n'))
            width = std::max(width, widget->fontMetrics().horizontalAdvance(line));
        if (width > room) problems << where(window, widget) + QStringLiteral(": %1 > %2: ").arg(width).arg(room) + text;
        if (!qobject_cast<QLabel*>(widget) || !widget->parentWidget()) continue;
        // A label that grows to its text must not reach under its
        // neighbours, nor past its parent's edge.
        const QRect drawn(widget->geometry().topLeft(), QSize(width, widget->height()));
        if (!widget->parentWidget()->rect().contains(drawn))
            problems << where(window, widget) + QStringLiteral(": runs past its parent: ") + text;
        for (QObject* sibling : widget->parentWidget()->children()) {
            auto* control = qobject_cast<QWidget*>(sibling);
            if (control && control != widget && isControl(control) && control->isVisibleTo(window) &&
                control->geometry().intersects(drawn))
                problems << where(window, widget) + QStringLiteral(": runs into ") + control->objectName() +
                                QStringLiteral(": ") + text;
        }
    }
    return problems;
}

struct Shown {
    QStringList texts;
    QStringList chinese;
    QStringList cut;
};

// A whole program in `language`, every window opened from where a person
// opens it, with the block confirmed and the loads shown.
Shown showEverything(Language language) {
    if (!app::useLanguage(language)) qFatal("no catalogue for the language");
    Shown shown;
    TestProgram program;
    app::Program& p = *program;
    program.confirmExample(BlockName);
    p.Form1.show();
    p.Form1.BitBtn1Click();
    p.Form1.BitBtn2Click();
    p.Form1.BitBtn3Click();
    p.Loads.bringUp();
    activate(&p.Loads);
    QTest::mouseClick(p.Loads.findChild<QPushButton*>("AddBoltButton"), Qt::LeftButton); // the bolts' boxes
    p.showJoints();
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
    for (QWidget* window : windows) {
        if (!QTest::qWaitForWindowExposed(window)) qFatal("%s is not shown", qPrintable(window->objectName()));
        shown.texts << textsOf(window, QString::fromStdString(program.folder().string()));
        shown.cut << cutOff(window) << cutTexts(window);
    }
    // The other entry mode shows the other group.
    p.Form2.findChild<QRadioButton*>("RadioButton2")->click();
    shown.cut << cutOff(&p.Form2);
    // Each language is offered in its own name in the language menu, so
    // that a reader of the other one finds the way back.
    const QString ownName = QStringLiteral("Form1/LanguageChinese/QAction: action: 中文");
    for (const QString& text : shown.texts)
        if (hasChinese(text) && text != ownName) shown.chinese << text;
    return shown;
}

} // namespace

class English : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { app::useLanguage(Language::Chinese); }
    void everyWindowInEnglishAndBack();
    void resultsReadInEnglish();
    void filesStayChineseInEnglish();
    void startLanguage_data();
    void startLanguage();
    void langOption_data();
    void langOption();
    void menuSavesTheChoice();

private:
    QTemporaryDir settings_;
};

void English::initTestCase() {
    // The language menu writes the user's settings: here, a folder of the test's own.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
}

void English::everyWindowInEnglishAndBack() {
    const Shown chinese = showEverything(Language::Chinese);
    QVERIFY(chinese.texts.size() > 300);
    QVERIFY(!chinese.chinese.isEmpty());
    QVERIFY2(chinese.cut.isEmpty(), qPrintable(chinese.cut.join(u'\n')));
    const Shown english = showEverything(Language::English);
    QVERIFY2(english.chinese.isEmpty(), qPrintable(english.chinese.join(u'\n')));
    QVERIFY2(english.cut.isEmpty(), qPrintable(english.cut.join(u'\n')));
    QCOMPARE(english.texts.size(), chinese.texts.size());
    const Shown back = showEverything(Language::Chinese);
    QCOMPARE(back.texts, chinese.texts);
    QCOMPARE(back.cut, chinese.cut);
}

// After the runs a person makes, the windows' own words about the results
// are English too: the analysis, a probabilistic run, a sensitivity run, a
// measurement file grouped and combined, a kinematic check.
void English::resultsReadInEnglish() {
    app::useLanguage(Language::English);
    TestProgram program;
    app::Program& p = *program;
    program.confirmExample(BlockName);
    p.Form1.show();
    p.Form1.BitBtn3Click();
    QTest::mouseClick(program.button(&p.Form4, "BitBtn1"), Qt::LeftButton);
    p.Loads.bringUp();
    // The report is Chinese on disk; the viewer shows it in English, the
    // block's name as typed. The files written are named by their folders'
    // roles, not by the folders' Chinese names.
    QVERIFY(!hasChinese(p.Form4.reportShown().remove(BlockName)));
    QVERIFY(p.Form4.reportShown().contains(QStringLiteral("Safety factor of the wedge:\tKc=\t1.18912355743381")));
    const QString saved = p.Form4.findChild<QStatusBar*>("StatusBar1")->currentMessage();
    QVERIFY2(saved.startsWith("Saved: ") && saved.contains("(report folder)") && !saved.contains("分析报告") &&
                 !saved.contains("数据文件"),
             qPrintable(saved));
    QCOMPARE(views::pictureFileName("example", "Sensitivity Analysis"), QString("example Sensitivity Analysis.png"));

    p.Pictures.showProbabilistic();
    views::ProbabilisticWindow& probabilistic = p.Pictures.probabilistic();
    activate(&probabilistic);
    QTest::mouseClick(probabilistic.findChild<QSpinBox*>("SamplesBox"), Qt::LeftButton);
    pressKey(Qt::Key_A, Qt::ControlModifier);
    typeKeys("500");
    QSignalSpy finished(&probabilistic, &views::ProbabilisticWindow::analysisFinished);
    QTest::mouseClick(probabilistic.findChild<QPushButton*>("RunButton"), Qt::LeftButton);
    QVERIFY(finished.wait(60000));

    p.Pictures.showSensitivity();
    views::SensitivityWindow& sensitivity = p.Pictures.sensitivity();
    activate(&sensitivity);
    QTest::mouseClick(sensitivity.findChild<QPushButton*>("ComputeButton"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!sensitivity.findChild<QLabel*>("SummaryLabel")->text().isEmpty(), 60000);

    p.showJoints();
    views::JointsWindow& joints = p.joints();
    activate(&joints);
    auto* file = joints.findChild<QLineEdit*>("MeasurementFileBox");
    QTest::mouseClick(file, Qt::LeftButton);
    file->selectAll();
    typeKeys(QStringLiteral(TRELMOX_TEST_DATA "/joint_measurements.csv"));
    pressKey(Qt::Key_Return);
    QTest::mouseClick(joints.findChild<QPushButton*>("GroupButton"), Qt::LeftButton);
    QTest::mouseClick(joints.findChild<QPushButton*>("CombineButton"), Qt::LeftButton);
    auto* mode = joints.findChild<QComboBox*>("ModeBox");
    mode->setCurrentIndex(mode->count() - 1);
    QSignalSpy checked(&joints, &views::JointsWindow::kinematicsFinished);
    QTest::mouseClick(joints.findChild<QPushButton*>("KinematicsRunButton"), Qt::LeftButton);
    QVERIFY(checked.wait(60000));
    QCOMPARE(program.boxes.shown(), QStringList());

    // Figures and descriptions the engine words (the results' boxes and
    // their tooltips, the least bolt force, the summaries of a measurement
    // file and of a combination run) follow the engine's language, not the windows' catalogue.
    const QStringList engineWords{"Form4/FsContactEdit/",
                                  "Form4/StateEdit/",
                                  "Form4/RequiredEdit/",
                                  "Form4/DesignBoltEdit/",
                                  "Form4/LeastBoltText/",
                                  "Form4/FullNote/",
                                  "LoadsWindow/ResultsLabel/",
                                  "JointsWindow/MeasurementSummary/",
                                  "JointsWindow/CombinationsCaption/"};
    QStringList chinese;
    for (QWidget* window : QList<QWidget*>{&p.Form4, &p.Loads, &probabilistic, &sensitivity, &joints})
        for (const QString& text : textsOf(window, QString::fromStdString(program.folder().string())))
            if (hasChinese(text) && std::none_of(engineWords.begin(), engineWords.end(),
                                                 [&](const QString& w) { return text.startsWith(w); }))
                chinese << text;
    for (const QString& text : chinese) qInfo("%s", qPrintable(text));
    QVERIFY(chinese.isEmpty());
}

// Written files and the bytes in them, the full analysis's report (which
// follows the interface) left out: a block confirmed with a load, its
// drawing exported, analysed.
std::map<QString, std::string> filesWritten(Language language) {
    app::useLanguage(language);
    TestProgram program;
    app::Program& p = *program;
    program.confirmExample(BlockName);
    p.Loads.bringUp();
    typeInto(p.Loads.findChild<QLineEdit*>("Seismic"), QStringLiteral("0.1"));
    QTest::mouseClick(p.Loads.findChild<QPushButton*>("ConfirmButton"), Qt::LeftButton);
    p.Form1.show();
    QTest::mouseClick(program.button(&p.Form1, "BitBtn4"), Qt::LeftButton);
    p.Form1.BitBtn3Click();
    QTest::mouseClick(program.button(&p.Form4, "BitBtn1"), Qt::LeftButton);
    if (!program.boxes.shown().isEmpty()) qFatal("%s", qPrintable(program.boxes.shown().join(u'\n')));
    std::map<QString, std::string> files;
    for (const QString& file : filesBelow(program.folder()))
        if (!file.endsWith(QStringLiteral("三维分析.txt")))
            files[file] = readFileBytes(program.folder() / file.toStdString());
    return files;
}

// The data file, the 30-line report, the drawing and the companion file
// are read by other programs and the design office: the same bytes
// whatever language the windows speak.
void English::filesStayChineseInEnglish() {
    const auto chinese = filesWritten(Language::Chinese);
    QCOMPARE(chinese.size(), std::size_t(4)); // data, report, drawing, loads
    const auto english = filesWritten(Language::English);
    app::useLanguage(Language::Chinese);
    QCOMPARE(english.size(), chinese.size());
    for (const auto& [name, bytes] : chinese) {
        QVERIFY2(english.count(name), qPrintable(name));
        QVERIFY2(english.at(name) == bytes, qPrintable(name));
    }
}

void English::startLanguage_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("english");
    const QString none = QStringLiteral("-");
    QTest::newRow("Chinese locale") << none << none << "zh_CN.UTF-8" << false;
    QTest::newRow("Taiwan locale") << none << none << "zh_TW" << false;
    QTest::newRow("English locale") << none << none << "en_US.UTF-8" << true;
    QTest::newRow("C locale") << none << none << "C" << true;
    QTest::newRow("a language starting zh") << none << none << "zha_CN" << true;
    QTest::newRow("saved beats locale") << none << "en"
                                        << "zh_CN" << true;
    QTest::newRow("saved Chinese") << none << "zh"
                                   << "en_GB" << false;
    QTest::newRow("option beats saved") << "zh"
                                        << "en"
                                        << "en_GB" << false;
    QTest::newRow("option English") << "en" << none << "zh_CN" << true;
    QTest::newRow("edited settings pass over") << none << "fr"
                                               << "zh_CN" << false;
}

void English::startLanguage() {
    QFETCH(QString, option);
    QFETCH(QString, saved);
    QFETCH(QString, locale);
    QFETCH(bool, english);
    const auto given = [](const QString& text) {
        return text == QStringLiteral("-") ? std::nullopt : std::optional<std::string>(text.toStdString());
    };
    const std::optional<std::string> o = given(option), s = given(saved);
    QCOMPARE(app::chooseLanguage(o ? std::optional<std::string_view>(*o) : std::nullopt,
                                 s ? std::optional<std::string_view>(*s) : std::nullopt,
                                 locale.toStdString()) == Language::English,
             english);
}

void English::langOption_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("value"); // "-" for none
    QTest::newRow("none") << QStringList{} << "-";
    QTest::newRow("separate") << QStringList{"--lang", "en"} << "en";
    QTest::newRow("joined") << QStringList{"--lang=zh"} << "zh";
    QTest::newRow("last wins") << QStringList{"--lang", "zh", "--lang=en"} << "en";
    QTest::newRow("without value") << QStringList{"--lang"} << "";
    QTest::newRow("among others") << QStringList{"-platform", "offscreen", "--lang", "en"} << "en";
}

void English::langOption() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, value);
    std::vector<std::string> strings{"trelmox"};
    for (const QString& a : arguments) strings.push_back(a.toStdString());
    std::vector<const char*> argv;
    for (const std::string& s : strings) argv.push_back(s.c_str());
    const std::optional<std::string> found = app::langOption(static_cast<int>(argv.size()), argv.data());
    QCOMPARE(found ? QString::fromStdString(*found) : QStringLiteral("-"), value);
}

// The choice is saved for the next start and the user is told so; the
// windows open now keep their language.
void English::menuSavesTheChoice() {
    app::useLanguage(Language::Chinese);
    TestProgram program;
    app::Program& p = *program;
    p.Form1.show();
    auto* button = p.Form1.findChild<QToolButton*>(QStringLiteral("LanguageButton"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("语言"));
    QMenu* menu = button->menu();
    QAction* english = menu->findChild<QAction*>(QStringLiteral("LanguageEnglish"));
    QAction* chinese = menu->findChild<QAction*>(QStringLiteral("LanguageChinese"));
    QVERIFY(chinese->isChecked());
    QTimer::singleShot(0, menu, [menu, english] {
        // Down to the entry and Return, as with the keyboard.
        QVERIFY(menu->isVisible());
        menu->setActiveAction(english);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_COMPARE(app::savedLanguageChoice().value_or(""), std::string("en"));
    QCOMPARE(program.boxes.shown(), QStringList{"message: 界面语言已设为 English，重新启动程序后生效。"});
    QCOMPARE(app::interfaceLanguage(), Language::Chinese);
    QCOMPARE(p.Form1.findChild<QPushButton*>("BitBtn1")->text(), QStringLiteral("结构面数据输入"));
    // Back before the restart: saved, and nothing to say.
    chinese->trigger();
    QCOMPARE(app::savedLanguageChoice().value_or(""), std::string("zh"));
    QCOMPARE(program.boxes.shown().size(), 1);
}

QTEST_MAIN(English)
#include "english_test.moc"
