#include "ui/tform2.h"

#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "model/attitude.h"
#include "model/files.h"
#include "model/numtext.h"
#include "ui/messages.h"
#include "ui/schematic.h"
#include "ui/style.h"
#include "ui/tform3.h"
#include "ui/typeaheadcombo.h"
#include "ui/workspace.h"

namespace trelmox::ui {

namespace {

const QString QuadrantModeCaption = QStringLiteral("按走向、倾向输入结构面数据");
const QString DipModeCaption = QStringLiteral("按倾角、倾向输入结构面数据");
const QString DefaultHint = QStringLiteral("默认结构面输入按走向、倾向输入，也可以选择按倾角、倾向输入");
const QString StrikeHint = QStringLiteral("走向:是倾斜平面与水平参考面交线的迹线");
const QString DipDirectionHint = QStringLiteral("倾向：是倾斜线水平投影迹线的方向");

// Planes top to bottom on screen, by role index.
constexpr std::array<int, 4> ScreenOrder{2, 3, 0, 1};
const std::array<QString, 4> PlaneLabels{QStringLiteral("第一切割面"), QStringLiteral("第二切割面"),
                                         QStringLiteral("坡顶面"), QStringLiteral("坡面")};

constexpr QSize ClientSize(760, 500);
constexpr QRect GroupRect(8, 84, 400, 390);
constexpr int PlaneRowPitch = 80;
constexpr int BoxHeight = 24;
constexpr std::array<int, 3> BoxColumns{140, 202, 282};
constexpr std::array<int, 3> BoxWidths{56, 74, 74};

QStringList angleItems() {
    QStringList items;
    for (int a = 0; a <= 90; ++a) items << QString::number(a);
    return items;
}

QString boxName(int number) { return QStringLiteral("ComboBox%1").arg(number); }

TypeAheadCombo* makeBox(QWidget* parent, int number, const QStringList& items, QRect rect) {
    auto* box = new TypeAheadCombo(boxName(number), parent);
    box->setItems(items);
    box->setGeometry(rect);
    return box;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, QRect rect) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(rect);
    return button;
}

std::string textOf(const TypeAheadCombo* box) { return box->text().toStdString(); }

} // namespace

TForm2::TForm2(Workspace& workspace) : workspace_(workspace) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("楔快失稳分析数据输入"));
    setFont(dialogFont(12));
    resize(ClientSize);
    buildModeSelectors();
    buildBlockPanel();
    buildQuadrantGroup();
    buildDipGroup();
    buildSchematic();

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setSizeGripEnabled(false);
    statusBar->setGeometry(0, ClientSize.height() - StatusBarHeight, ClientSize.width(), StatusBarHeight);
    status_ = new QLabel(DefaultHint, statusBar);
    statusBar->addWidget(status_, 1);
}

void TForm2::buildModeSelectors() {
    quadrantMode_ = new QRadioButton(QuadrantModeCaption, this);
    quadrantMode_->setObjectName(QStringLiteral("RadioButton1"));
    quadrantMode_->move(16, 10);
    quadrantMode_->adjustSize();
    quadrantMode_->setChecked(true);
    dipMode_ = new QRadioButton(DipModeCaption, this);
    dipMode_->setObjectName(QStringLiteral("RadioButton2"));
    dipMode_->move(300, 10);
    dipMode_->adjustSize();
    connect(quadrantMode_, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton1Click(); });
    connect(dipMode_, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton2Click(); });
}

void TForm2::buildBlockPanel() {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel->setGeometry(8, 38, 400, 40);
    makeLabel(panel, QStringLiteral("Label33"), QStringLiteral("块体名称"), {12, 11}, font());
    blockName_ = makeBox(panel, 33, {}, {84, 8, 170, BoxHeight});
    connect(blockName_, &TypeAheadCombo::listedNameChosen, this, &TForm2::ComboBox33Select);
    auto* view = makeButton(panel, QStringLiteral("BitBtn7"), QStringLiteral("查看数据"), {270, 7, 90, 26});
    connect(view, &QPushButton::clicked, this, &TForm2::BitBtn7Click);
}

void TForm2::buildQuadrantGroup() {
    quadrantGroup_ = new QGroupBox(QuadrantModeCaption, this);
    quadrantGroup_->setObjectName(QStringLiteral("GroupBox1"));
    quadrantGroup_->setGeometry(GroupRect);
    const QStringList n{QStringLiteral("N")}, ew{QStringLiteral("E"), QStringLiteral("W")},
        ns{QStringLiteral("N"), QStringLiteral("S")}, angles = angleItems();
    const std::array<QStringList, 6> fieldItems{n, angles, ew, ns, ew, angles};
    for (int row = 0; row < 4; ++row) {
        const int role = ScreenOrder[row];
        const int top = 26 + row * PlaneRowPitch;
        makeLabel(quadrantGroup_, {}, PlaneLabels[role], {12, top + 20}, font());
        makeLabel(quadrantGroup_, {}, QStringLiteral("走向"), {100, top + 4}, font());
        makeLabel(quadrantGroup_, {}, QStringLiteral("倾向"), {100, top + 36}, font());
        for (int field = 0; field < 6; ++field) {
            const int column = field % 3;
            const QRect rect(BoxColumns[column], top + (field < 3 ? 0 : 32), BoxWidths[column], BoxHeight);
            quadrantBoxes_[role][field] = makeBox(quadrantGroup_, 1 + 6 * role + field, fieldItems[field], rect);
        }
        for (bool dipNS : {true, false})
            connect(quadrantBoxes_[role][dipNS ? 3 : 4], &TypeAheadCombo::userChanged, this,
                    [this, role, dipNS] { applyDipLetterRule(role, dipNS); });
    }
    const int buttonTop = GroupRect.height() - 40;
    auto* confirm = makeButton(quadrantGroup_, QStringLiteral("BitBtn1"), QStringLiteral("确定"), {100, buttonTop, 80, 28});
    auto* exit = makeButton(quadrantGroup_, QStringLiteral("BitBtn2"), QStringLiteral("退出"), {220, buttonTop, 80, 28});
    connect(confirm, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
    connect(exit, &QPushButton::clicked, this, &TForm2::BitBtn2Click);
}

void TForm2::buildDipGroup() {
    dipGroup_ = new QGroupBox(DipModeCaption, this);
    dipGroup_->setObjectName(QStringLiteral("GroupBox2"));
    dipGroup_->setGeometry(GroupRect);
    for (int row = 0; row < 4; ++row) {
        const int role = ScreenOrder[row];
        const int top = 26 + row * PlaneRowPitch;
        makeLabel(dipGroup_, {}, PlaneLabels[role], {12, top + 20}, font());
        makeLabel(dipGroup_, {}, QStringLiteral("倾角"), {100, top + 4}, font());
        makeLabel(dipGroup_, {}, QStringLiteral("倾向"), {100, top + 36}, font());
        for (int field = 0; field < 2; ++field)
            dipBoxes_[role][field] = makeBox(dipGroup_, 25 + 2 * role + field, {},
                                             {BoxColumns[0], top + 32 * field, 120, BoxHeight});
    }
    const int buttonTop = GroupRect.height() - 40;
    auto* confirm = makeButton(dipGroup_, QStringLiteral("BitBtn3"), QStringLiteral("确定"), {100, buttonTop, 80, 28});
    auto* cancel = makeButton(dipGroup_, QStringLiteral("BitBtn4"), QStringLiteral("取消"), {220, buttonTop, 80, 28});
    connect(confirm, &QPushButton::clicked, this, &TForm2::BitBtn3Click);
    // Without it the dip-angle mode would offer no way out but the title bar.
    connect(cancel, &QPushButton::clicked, this, &TForm2::BitBtn2Click);
    dipGroup_->hide();
}

void TForm2::buildSchematic() {
    makeLabel(this, QStringLiteral("Label34"), QStringLiteral("结构面数据数据示意图"), {420, 46}, font());
    const QRect pictureRect(420, 68, 330, 406);
    const Schematic schematic = drawSchematic(pictureRect.size());
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(pictureRect);
    picture->setPixmap(schematic.picture);
    picture->setFrameStyle(QFrame::Box);
    hints_[0] = {picture, DefaultHint};
    const std::array<QString, 4> spotHints{StrikeHint, DipDirectionHint, DipDirectionHint, StrikeHint};
    for (int spot = 0; spot < 4; ++spot) {
        auto* hotSpot = new QWidget(picture);
        hotSpot->setObjectName(QStringLiteral("Image%1").arg(spot + 2));
        hotSpot->setGeometry(schematic.labelRects[spot]);
        hotSpot->setCursor(Qt::PointingHandCursor);
        hints_[spot + 1] = {hotSpot, spotHints[spot]};
    }
    for (auto& [widget, hint] : hints_) {
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove) return QWidget::eventFilter(watched, event);
    for (const auto& [widget, hint] : hints_)
        if (widget == watched) {
            status_->setText(hint);
            return true; // a hot spot's move must not reach the picture below it
        }
    return QWidget::eventFilter(watched, event);
}

QString TForm2::blockNameText() const { return blockName_->text(); }
void TForm2::setBlockNameText(const QString& text) { blockName_->setText(text); }
QString TForm2::statusText() const { return status_->text(); }

void TForm2::showBlock(const BlockDataTexts& texts) {
    for (int role = 0; role < 4; ++role) {
        if (const auto& line = texts.Attitudes[role])
            for (int field = 0; field < 2; ++field)
                dipBoxes_[role][field]->setText(QString::fromStdString((*line)[field]));
        if (const auto& q = texts.Quadrants[role]) {
            const std::array<const std::string*, 6> fields{&q->StrikeNS, &q->StrikeAngle, &q->StrikeEW,
                                                           &q->DipNS,    &q->DipEW,       &q->DipAngle};
            for (int field = 0; field < 6; ++field)
                quadrantBoxes_[role][field]->setText(QString::fromStdString(*fields[field]));
        }
    }
}

void TForm2::applyDipLetterRule(int role, bool dipNSChanged) {
    const auto& boxes = quadrantBoxes_[role];
    const std::string strikeNS = textOf(boxes[0]), strikeEW = textOf(boxes[2]);
    const auto other = dipNSChanged ? MatchDipEW(strikeNS, strikeEW, textOf(boxes[3]))
                                    : MatchDipNS(strikeNS, strikeEW, textOf(boxes[4]));
    if (other) boxes[dipNSChanged ? 4 : 3]->setText(QString::fromStdString(*other));
}

void TForm2::RadioButton1Click() {
    dipGroup_->hide();
    quadrantGroup_->show();
}

void TForm2::RadioButton2Click() {
    quadrantGroup_->hide();
    dipGroup_->show();
}

void TForm2::readdata_1() {
    for (int role = 0; role < 4; ++role) {
        const auto& b = quadrantBoxes_[role];
        workspace_.model().PlaneQuadrants[role] = {textOf(b[0]), textOf(b[1]), textOf(b[2]),
                                                   textOf(b[3]), textOf(b[4]), textOf(b[5])};
    }
}

void TForm2::readdata_2() {
    for (int role = 0; role < 4; ++role) {
        TPlaneAttitude& attitude = workspace_.model().PlaneAttitudes[role];
        attitude.DipAngle = textToFloat(textOf(dipBoxes_[role][0]));
        attitude.DipDirection = textToFloat(textOf(dipBoxes_[role][1]));
    }
}

void TForm2::addListEntry(const QString& entry) {
    if (!blockName_->hasItem(entry)) blockName_->appendItem(entry);
}

// Both confirms name the block after the box text up to its first ".": an
// empty box is only a message, a name that would leave its folder a failure.
bool TForm2::takeCurrentBlock(const std::string& boxText) {
    if (boxText.empty()) {
        messageBoxes().message(EmptyBlockNameMessage);
        return false;
    }
    const std::string block = Parse(".", boxText, 1);
    checkBlockName(block);
    workspace_.model().CurrentBlock = block;
    return true;
}

void TForm2::BitBtn1Click() {
    runCommand([this] {
        BlockModel& model = workspace_.model();
        readdata_1();
        data1to2(model.PlaneQuadrants, model.PlaneAttitudes);
        const std::string name = blockNameText().toStdString();
        if (!takeCurrentBlock(name)) return;
        addListEntry(Parse(".", name, 2) == "txt" ? blockNameText() : blockNameText() + QStringLiteral(".txt"));
        workspace_.writeReport();
        workspace_.writeDataFile();
    });
}

void TForm2::BitBtn3Click() {
    runCommand([this] {
        BlockModel& model = workspace_.model();
        readdata_2();
        data2to1(model.PlaneAttitudes, model.PlaneQuadrants);
        if (!takeCurrentBlock(blockNameText().toStdString())) return;
        workspace_.writeReport();
        addListEntry(blockNameText());
    });
}

void TForm2::BitBtn2Click() { hide(); }

void TForm2::BitBtn7Click() {
    runCommand([this] { workspace_.viewReport(blockNameText()); });
}

void TForm2::ComboBox33Select() {
    runCommand([this] {
        workspace_.loadBlock();
        workspace_.parameters().setBlockNameText(blockNameText());
    });
}

} // namespace trelmox::ui
