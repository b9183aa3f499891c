#include "app/tform1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include <tuple>

#include "app/blockscan.h"
#include "app/language.h"
#include "commands/block_commands.h"
#include "ui/guide_window.h"
#include "ui/messages.h"
#include "ui/style.h"
#include "ui/tform2.h"
#include "ui/tform3.h"
#include "ui/tform4.h"
#include "ui/typeaheadcombo.h"
#include "ui/workspace.h"

namespace trelmox::app {

namespace {

QPushButton* makeCommand(QWidget* parent, const QString& name, const QString& caption, int top) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(514, top, 140, 30);
    ui::keepInView(button); // no window the program opens covers the commands
    button->setFont(ui::captionFont(16));
    ui::setTextColour(button, ui::Fuchsia);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

// The hourglass for the length of a scope, restored also when it fails.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Names the folder that holds the data and report folders, which is not
// beside the program for an installed one. A long path is shortened in the
// middle, leaving the status bar's left part to the fixed notice and the
// note of saved files; the tooltip has it whole.
QLabel* folderLabel(QWidget* parent, const QString& caption, const std::filesystem::path& folder) {
    constexpr int Room = 300; // pixels of the status bar's 674
    const QString path = QString::fromStdString(folder.string());
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("ProgramFolder"));
    label->setText(label->fontMetrics().elidedText(caption + path, Qt::ElideMiddle, Room));
    label->setToolTip(path);
    return label;
}

} // namespace

TForm1::TForm1(ui::Workspace& workspace) : workspace_(workspace) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("form1"));
    ui::placeWindow(this, {218, 131}, {674, 450});

    QLabel* title =
        ui::makeLabel(this, QStringLiteral("Label1"), tr("边坡稳定分析程序"), {120, 8}, ui::captionFont(56));
    ui::setTextColour(title, ui::Aqua);
    title->setAttribute(Qt::WA_TranslucentBackground);
    title->resize(title->size().expandedTo({481, 65}));

    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("Image1"));
    picture_->setPixmap(QPixmap(QStringLiteral(":/slope.jpg")));
    picture_->move(24, 72);
    picture_->adjustSize();
    title->raise();

    connect(makeCommand(this, QStringLiteral("BitBtn1"), tr("结构面数据输入"), 80), &QPushButton::clicked, this,
            &TForm1::BitBtn1Click);
    connect(makeCommand(this, QStringLiteral("BitBtn2"), tr("物理力学参数输入"), 162), &QPushButton::clicked, this,
            &TForm1::BitBtn2Click);
    connect(makeCommand(this, QStringLiteral("BitBtn4"), tr("生成dxf文件"), 245), &QPushButton::clicked, this,
            &TForm1::BitBtn4Click);
    connect(makeCommand(this, QStringLiteral("BitBtn3"), tr("运算、分析"), 328), &QPushButton::clicked, this,
            &TForm1::BitBtn3Click);

    buildLanguageMenu();

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(false);
    statusBar_->setGeometry(0, height() - ui::StatusBarHeight, width(), ui::StatusBarHeight);
    statusBar_->addWidget(new QLabel(tr("适用于局部稳定分析、计算"), statusBar_), 1);
    statusBar_->addPermanentWidget(folderLabel(statusBar_, tr("文件夹："), workspace.programFolder()));
    // The commands sit at fixed places: a smaller window would hide them.
    setFixedSize(size());
}

void TForm1::buildLanguageMenu() {
    auto* button = new QToolButton(this);
    button->setObjectName(QStringLiteral("LanguageButton"));
    button->setText(tr("语言"));
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* menu = new QMenu(button);
    menu->setObjectName(QStringLiteral("LanguageMenu"));
    auto* choices = new QActionGroup(menu);
    // Each language in its own words, so that a reader of the other finds
    // the way back.
    for (const auto& [name, caption, language] : {std::tuple{"LanguageChinese", "中文", Language::Chinese},
                                                  std::tuple{"LanguageEnglish", "English", Language::English}}) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        action->setChecked(language == interfaceLanguage());
        choices->addAction(action);
        connect(action, &QAction::triggered, this, [this, language] { languageChosen(language); });
    }
    button->setMenu(menu);
    button->adjustSize();
    // The top right corner, clear of the title and the commands.
    button->move(width() - button->width() - 6, 6);
    ui::addHelpMenu(this, button);
}

void TForm1::languageChosen(Language language) {
    saveLanguageChoice(language);
    if (language == interfaceLanguage()) return;
    ui::messageBoxes().message(language == Language::English ? tr("界面语言已设为 English，重新启动程序后生效。")
                                                             : tr("界面语言已设为中文，重新启动程序后生效。"));
}

void TForm1::openEntryWindow(QWidget* window, ui::TypeAheadCombo* blockNameBox) {
    ui::placeBeside(window, this);
    ui::bringToFront(window);
    const WaitCursor wait;
    QStringList names;
    for (const std::string& name : scanBlockFiles(workspace_.dataFolder())) names << QString::fromStdString(name);
    blockNameBox->setItems(names);
}

void TForm1::BitBtn1Click() { openEntryWindow(&workspace_.planeEntry(), workspace_.planeEntry().blockNameBox()); }

void TForm1::BitBtn2Click() { openEntryWindow(&workspace_.parameters(), workspace_.parameters().blockNameBox()); }

void TForm1::BitBtn4Click() {
    WrittenFiles written;
    workspace_.runCommand([this, &written] {
        const commands::SavedDrawing drawing = commands::saveDrawing(workspace_.document(), commands::silentFeedback());
        for (const FailedTriple& triple : drawing.FailedTriples)
            ui::messageBoxes().message(QString::fromStdString(failedTripleMessage(triple)));
        if (drawing.Written) written.push_back(*drawing.Written);
    });
    workspace_.showSaved(statusBar_, written);
}

void TForm1::BitBtn3Click() {
    ui::runCommand([this] {
        ui::TForm4& analysis = workspace_.analysis();
        analysis.showCurrentReport();
        ui::placeBeside(&analysis, this);
        ui::bringToFront(&analysis);
        analysis.showBlockName();
    });
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The main window's end is the program's end, whatever else is open, so
    // edits not yet confirmed or saved in any window are asked about first.
    if (!workspace_.settleEdits(tr("块体数据有未保存的修改，退出前是否保存？"))) return event->ignore();
    event->accept();
    // The other windows go with it at once, not only when the program's
    // end reaches them.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible()) window->hide();
    QApplication::quit();
}

TForm5::TForm5() { setObjectName(QStringLiteral("Form5")); }

} // namespace trelmox::app
