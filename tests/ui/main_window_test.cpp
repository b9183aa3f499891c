// Start-up, the main window's commands, the block-file scan, and the
// windows' captions as the installed fonts draw them.
#include "testkit.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTextBrowser>
#include <QToolButton>

#include "app/blockscan.h"
#include "app/language.h"
#include "model/textcodec.h"
#include "ui/guide_window.h"
#include "ui/style.h"

using namespace trelmox;
using namespace trelmox::testkit;
namespace fs = std::filesystem;

namespace {

QList<QWidget*> windows(app::Program& p) { return {&p.Form1, &p.Form5, &p.Form2, &p.Form3, &p.Form4}; }

// Text that does not fit its widget, as "<window>/<control>: <text>".
QStringList clippedCaptions(QWidget* window) {
    QStringList clipped;
    for (QLabel* label : window->findChildren<QLabel*>())
        if (!label->text().isEmpty() && label->pixmap().isNull() &&
            label->fontMetrics().horizontalAdvance(label->text()) > label->width())
            clipped << window->objectName() + ": " + label->text();
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        const int room = qobject_cast<QRadioButton*>(button) ? button->width() - 16 : button->width() - 4;
        if (button->fontMetrics().horizontalAdvance(button->text()) > room)
            clipped << window->objectName() + ": " + button->text();
    }
    return clipped;
}

} // namespace

class MainWindow : public QObject {
    Q_OBJECT
private slots:
    void startUp();
    void captionsFitAndFontsFallBack();
    void scan_data();
    void scan();
    void scanLinkLoopEnds();
    void openingTwiceListsEachFileOnce();
    void openWithoutDataFolder();
    void analysisWindowWithoutReport();
    void analysisWindowBlockName_data();
    void analysisWindowBlockName();
    void helpMenuOpensTheGuide_data();
    void helpMenuOpensTheGuide();
};

void MainWindow::startUp() {
    TestProgram program;
    app::Program& p = *program;
    p.Form1.show();
    QStringList names, shown;
    for (QWidget* window : windows(p)) {
        names << window->objectName();
        if (window->isVisible()) shown << window->objectName();
    }
    QCOMPARE(names, (QStringList{"Form1", "Form5", "Form2", "Form3", "Form4"}));
    QCOMPARE(shown, QStringList{"Form1"});
    QCOMPARE(p.Form1.windowTitle(), QString("form1"));
    QCOMPARE(p.Form2.windowTitle(), QString("楔快失稳分析数据输入"));
    QCOMPARE(p.Form3.windowTitle(), QString("Form3"));
    QCOMPARE(p.Form4.windowTitle(), QString("Form4"));
    QCOMPARE(p.Form2.blockNameBox()->count(), 0);
    QCOMPARE(p.Form3.blockNameBox()->count(), 0);
    QCOMPARE(p.Form4.reportShown(), QString("RichEdit1"));
    // The picture is the committed JPEG, decoded by the image plugin.
    QCOMPARE(p.Form1.picture()->pixmap().size(), QSize(460, 297));
    QCOMPARE(p.Form1.picture()->geometry(), QRect(24, 72, 460, 297));
    const QStringList commands{"结构面数据输入", "物理力学参数输入", "生成dxf文件", "运算、分析"};
    const QStringList buttons{"BitBtn1", "BitBtn2", "BitBtn4", "BitBtn3"};
    for (int i = 0; i < 4; ++i) {
        QPushButton* button = program.button(&p.Form1, buttons[i]);
        QCOMPARE(button->text(), commands[i]);
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
    }
    QCOMPARE(filesBelow(program.folder()), QStringList()); // nothing read or written
}

void MainWindow::captionsFitAndFontsFallBack() {
    TestProgram program;
    for (QWidget* window : windows(*program)) QCOMPARE(clippedCaptions(window), QStringList());
    auto* title = program->Form1.findChild<QLabel*>("Label1");
    QCOMPARE(title->text(), QString("边坡稳定分析程序"));
    QCOMPARE(QFontInfo(title->font()).family(), QString(ui::ChineseFallbackFamily));
    QCOMPARE(QFontInfo(program->Form4.font()).family(), QString(ui::ChineseFallbackFamily));
}

void MainWindow::scan_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("lower-cased") << QStringList{"A1.TXT", "b2.Txt", "岩块C.txt"} << QStringList{}
                                 << QStringList{"a1.txt", "b2.txt", "岩块c.txt"};
    QTest::newRow("other extensions") << QStringList{"a.txt.bak", "b.dxf", "c.txt"} << QStringList{}
                                      << QStringList{"c.txt"};
    QTest::newRow("subfolders, depth first") << QStringList{"z.txt", "old/b2.txt", "old/deeper/c3.txt", "p/d4.txt"}
                                             << QStringList{} << QStringList{"z.txt", "b2.txt", "c3.txt", "d4.txt"};
    QTest::newRow("hidden file listed, hidden folder not entered")
        << QStringList{".h.txt", ".secret/x.txt"} << QStringList{} << QStringList{".h.txt"};
    QTest::newRow("folder named like a block file is entered, not listed")
        << QStringList{"f.txt/inner.txt"} << QStringList{"empty.txt"} << QStringList{"inner.txt"};
    QTest::newRow("empty") << QStringList{} << QStringList{} << QStringList{};
}

void MainWindow::scan() {
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, listed);
    TestProgram program;
    const fs::path data = program.folder() / ui::DataFolderName;
    for (const QString& file : files) writeFile(data / file.toStdString(), "x");
    for (const QString& folder : folders) fs::create_directories(data / folder.toStdString());
    program.button(&program->Form1, "BitBtn1")->click();
    QVERIFY(program->Form2.isVisible());
    QCOMPARE(program->Form2.blockNameBox()->items(), listed);
    QCOMPARE(program.boxes.shown(), QStringList());
}

void MainWindow::scanLinkLoopEnds() {
    TestProgram program;
    const fs::path data = program.folder() / ui::DataFolderName;
    writeFile(data / "sub" / "a.txt", "x");
    fs::create_directory_symlink(data, data / "sub" / "loop");
    fs::create_directory_symlink(data / "sub", data / "linked.txt");
    writeFile(data / "real.txt", "x");
    fs::create_symlink(data / "real.txt", data / "alias.txt");
    QStringList names;
    for (const std::string& name : app::scanBlockFiles(data)) names << QString::fromStdString(name);
    QCOMPARE(names, (QStringList{"alias.txt", "real.txt", "a.txt"}));
}

void MainWindow::openingTwiceListsEachFileOnce() {
    TestProgram program;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) writeFile(program.dataFile(name), "x");
    program->Form2.setBlockNameText("typed");
    for (int open = 0; open < 2; ++open) {
        program.button(&program->Form1, "BitBtn1")->click();
        program.button(&program->Form1, "BitBtn2")->click();
    }
    for (ui::TypeAheadCombo* box : {program->Form2.blockNameBox(), program->Form3.blockNameBox()})
        QCOMPARE(box->items(), (QStringList{"a.txt", "b.txt", "c.txt"}));
    QCOMPARE(program->Form2.blockNameText(), QString("typed"));
    QVERIFY(program->Form3.isVisible());
    QVERIFY(!QApplication::overrideCursor());
}

void MainWindow::openWithoutDataFolder() {
    TestProgram program(TestProgram::Folders::None);
    program->Form2.blockNameBox()->setItems({"stale.txt"});
    program.button(&program->Form1, "BitBtn1")->click();
    QVERIFY(program->Form2.isVisible());
    QCOMPARE(program->Form2.blockNameBox()->count(), 0);
    QCOMPARE(program.boxes.shown(), QStringList());
    QVERIFY(!QApplication::overrideCursor());
}

void MainWindow::analysisWindowWithoutReport() {
    TestProgram program;
    program.button(&program->Form1, "BitBtn3")->click();
    const QString path = QString::fromStdString(program.folder().string()) + "/分析报告/.txt";
    QCOMPARE(program.boxes.shown(), QStringList{"error: Cannot open file \"" + path + "\". File not found."});
    QVERIFY(!program->Form4.isVisible());
    QCOMPARE(program->Form4.reportShown(), QString("RichEdit1"));
}

void MainWindow::analysisWindowBlockName_data() {
    QTest::addColumn<bool>("typedInParameters"); // else in the plane entry window
    QTest::newRow("typed in the plane entry window") << false;
    QTest::newRow("typed in the parameter window") << true;
}

// The block name is one text, shown in both entry windows; the analysis
// window names the confirmed block whose report it shows.
void MainWindow::analysisWindowBlockName() {
    QFETCH(bool, typedInParameters);
    TestProgram program;
    program.confirmExample("a1");
    writeFile(program.reportFile("a1.txt"), utf8ToGb18030("第一行\r\n第二行\r\n"));
    typeInto(typedInParameters ? program->Form3.blockNameBox() : program->Form2.blockNameBox(), "a2");
    QCOMPARE(program->Form2.blockNameText(), QString("a2"));
    QCOMPARE(program->Form3.blockNameText(), QString("a2"));
    program.button(&program->Form1, "BitBtn3")->click();
    QCOMPARE(program.boxes.shown(), QStringList());
    QVERIFY(program->Form4.isVisible());
    QCOMPARE(program->Form4.reportShown(), QString("第一行\n第二行\n"));
    QCOMPARE(program->Form4.blockName(), QString("a1"));
}

void MainWindow::helpMenuOpensTheGuide_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("firstLink");
    QTest::newRow("Chinese") << Language::Chinese << QStringLiteral("帮助") << QStringLiteral("使用指南")
                             << QStringLiteral("/zh/README.md") << QStringLiteral("TRELMOX 使用指南")
                             << QStringLiteral("/windowed-program.md");
    QTest::newRow("English") << Language::English << QStringLiteral("Help") << QStringLiteral("User guide")
                             << QStringLiteral("/docs/README.md") << QStringLiteral("The TRELMOX guide")
                             << QStringLiteral("/windowed-program.md");
}

// 帮助 → 使用指南, as the mouse and the keyboard choose it, shows the
// guide in the interface's language rendered from its Markdown, follows
// its links to the other pages; F1 from another window brings the same
// window up again.
void MainWindow::helpMenuOpensTheGuide() {
    QFETCH(Language, language);
    QFETCH(QString, button);
    QFETCH(QString, title);
    QFETCH(QString, page);
    QFETCH(QString, heading);
    QFETCH(QString, firstLink);
    QVERIFY(app::useLanguage(language));
    const auto chineseAgain = qScopeGuard([] { app::useLanguage(Language::Chinese); });
    TestProgram program;
    program->Form1.show();
    auto* help = program->Form1.findChild<QToolButton*>(QStringLiteral("HelpButton"));
    QVERIFY(help);
    QCOMPARE(help->text(), button);
    QVERIFY(!help->geometry().intersects(program->Form1.findChild<QWidget*>("LanguageButton")->geometry()));
    QMenu* menu = help->menu();
    QAction* guide = menu->findChild<QAction*>(QStringLiteral("GuideAction"));
    QVERIFY(guide);
    QTimer::singleShot(0, menu, [menu, guide] {
        QVERIFY(menu->isVisible());
        menu->setActiveAction(guide);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::mouseClick(help, Qt::LeftButton);
    const auto shownGuide = [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* guide = qobject_cast<ui::GuideWindow*>(window); guide && guide->isVisible()) return guide;
        return static_cast<ui::GuideWindow*>(nullptr);
    };
    QTRY_VERIFY(shownGuide());
    ui::GuideWindow* window = shownGuide();
    QCOMPARE(program.boxes.shown(), QStringList());
    QCOMPARE(window->windowTitle(), title);
    QTextBrowser* browser = window->browser();
    QVERIFY2(browser->source().toLocalFile().endsWith(page), qPrintable(browser->source().toLocalFile()));
    // Rendered, not shown as its Markdown source.
    QVERIFY(browser->toPlainText().startsWith(heading));
    QVERIFY(!browser->toPlainText().contains(QStringLiteral("](")));
    // The first link by the keyboard: the windowed program's page.
    browser->setFocus();
    QTest::keyClick(browser, Qt::Key_Tab);
    QTest::keyClick(browser, Qt::Key_Return);
    QTRY_VERIFY(browser->source().toLocalFile().endsWith(firstLink));
    QVERIFY(!browser->toPlainText().isEmpty());

    window->close();
    QTRY_VERIFY(!shownGuide());
    program.button(&program->Form1, "BitBtn1")->click();
    QVERIFY(program->Form2.isVisible());
    QApplication::setActiveWindow(&program->Form2);
    QVERIFY(QTest::qWaitForWindowActive(&program->Form2));
    QTest::keyClick(&program->Form2, Qt::Key_F1);
    QTRY_VERIFY(shownGuide());
    shownGuide()->close();
}

QTEST_MAIN(MainWindow)
#include "main_window_test.moc"
