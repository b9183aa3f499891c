#include "ui/tform2.h"

#include <QPointer>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "model/attitude.h"
#include "ui/core_texts.h"
#include "ui/messages.h"
#include "ui/schematic.h"
#include "ui/style.h"
#include "ui/tform3.h"
#include "ui/typeaheadcombo.h"

namespace trelmox::ui {

namespace {

// Functions, not constants: a text is translated once the language is set.
QString quadrantModeCaption() { return TForm2::tr("按走向、倾向输入结构面数据"); }
QString dipModeCaption() { return TForm2::tr("按倾角、倾向输入结构面数据"); }
QString defaultHint() { return TForm2::tr("默认结构面输入按走向、倾向输入，也可以选择按倾角、倾向输入"); }
QString strikeHint() { return TForm2::tr("走向:是倾斜平面与水平参考面交线的迹线"); }
QString dipDirectionHint() { return TForm2::tr("倾向：是倾斜线水平投影迹线的方向"); }

// Planes top to bottom on screen, by role index.
constexpr std::array<int, 4> ScreenOrder{2, 3, 0, 1};
// The quadrant boxes of a plane, left to right and top to bottom.
constexpr std::array<std::string TPlaneQuadrant::*, 6> QuadrantFields{
    &TPlaneQuadrant::StrikeNS, &TPlaneQuadrant::StrikeAngle, &TPlaneQuadrant::StrikeEW,
    &TPlaneQuadrant::DipNS,    &TPlaneQuadrant::DipEW,       &TPlaneQuadrant::DipAngle};
constexpr int StrikeAngleBox = 1, DipNSBox = 3, DipEWBox = 4, DipAngleBox = 5;

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

QString textOf(const std::string& text) { return QString::fromStdString(text); }

} // namespace

TForm2::TForm2(Workspace& workspace) : workspace_(workspace) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("楔快失稳分析数据输入"));
    setFont(dialogFont(12));
    setFixedSize(ClientSize); // fixed places: resizing would cut off the buttons or strand the status bar
    buildModeSelectors();
    buildBlockPanel();
    buildQuadrantGroup();
    buildDipGroup();
    buildSchematic();

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(false);
    statusBar_->setGeometry(0, ClientSize.height() - StatusBarHeight, ClientSize.width(), StatusBarHeight);
    status_ = new QLabel(defaultHint(), statusBar_);
    statusBar_->addWidget(status_, 1);
    // The document outlives the window: a change after it is gone calls nothing.
    document().addListener([window = QPointer(this)] {
        if (window) window->showDocument();
    });
}

BlockDocument& TForm2::document() const { return workspace_.document(); }

void TForm2::buildModeSelectors() {
    quadrantMode_ = new QRadioButton(quadrantModeCaption(), this);
    quadrantMode_->setObjectName(QStringLiteral("RadioButton1"));
    quadrantMode_->move(16, 10);
    quadrantMode_->adjustSize();
    quadrantMode_->setChecked(true);
    dipMode_ = new QRadioButton(dipModeCaption(), this);
    dipMode_->setObjectName(QStringLiteral("RadioButton2"));
    dipMode_->move(300, 10);
    dipMode_->adjustSize();
    connect(quadrantMode_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RadioButton1Click();
    });
    connect(dipMode_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RadioButton2Click();
    });
}

void TForm2::buildBlockPanel() {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel->setGeometry(8, 38, 400, 40);
    makeLabel(panel, QStringLiteral("Label33"), tr("块体名称"), {12, 11}, font());
    blockName_ = makeBox(panel, 33, {}, {84, 8, 170, BoxHeight});
    connect(blockName_, &QComboBox::editTextChanged, this,
            [this](const QString& text) { document().setEntryName(text.toStdString()); });
    connect(blockName_, &TypeAheadCombo::listedNameChosen, this, &TForm2::ComboBox33Select);
    auto* view = makeButton(panel, QStringLiteral("BitBtn7"), tr("查看数据"), {270, 7, 90, 26});
    connect(view, &QPushButton::clicked, this, &TForm2::BitBtn7Click);
}

void TForm2::buildQuadrantGroup() {
    quadrantGroup_ = new QGroupBox(quadrantModeCaption(), this);
    quadrantGroup_->setObjectName(QStringLiteral("GroupBox1"));
    quadrantGroup_->setGeometry(GroupRect);
    const QStringList n{QStringLiteral("N")}, ew{QStringLiteral("E"), QStringLiteral("W")},
        ns{QStringLiteral("N"), QStringLiteral("S")}, angles = angleItems();
    const std::array<QStringList, 6> fieldItems{n, angles, ew, ns, ew, angles};
    for (int row = 0; row < 4; ++row) {
        const int role = ScreenOrder[row];
        const int top = 26 + row * PlaneRowPitch;
        makeLabel(quadrantGroup_, {}, planeName(role), {12, top + 20}, font());
        makeLabel(quadrantGroup_, {}, tr("走向"), {100, top + 4}, font());
        makeLabel(quadrantGroup_, {}, tr("倾向"), {100, top + 36}, font());
        for (int field = 0; field < 6; ++field) {
            const int column = field % 3;
            const QRect rect(BoxColumns[column], top + (field < 3 ? 0 : 32), BoxWidths[column], BoxHeight);
            TypeAheadCombo* box = makeBox(quadrantGroup_, 1 + 6 * role + field, fieldItems[field], rect);
            connect(box, &QComboBox::editTextChanged, this, [this, role, field](const QString& text) {
                document().setQuadrantText(role, QuadrantFields[field], text.toStdString());
            });
            quadrantBoxes_[role][field] = box;
        }
        // Only the user's change of a dip letter moves the other one; a
        // letter set by the rule or by loading does not.
        for (bool dipNS : {true, false})
            connect(quadrantBoxes_[role][dipNS ? DipNSBox : DipEWBox], &TypeAheadCombo::userChanged, this,
                    [this, role, dipNS] { document().matchDipLetters(role, dipNS); });
    }
    const int buttonTop = GroupRect.height() - 40;
    auto* confirm = makeButton(quadrantGroup_, QStringLiteral("BitBtn1"), tr("确定"), {100, buttonTop, 80, 28});
    auto* exit = makeButton(quadrantGroup_, QStringLiteral("BitBtn2"), tr("退出"), {220, buttonTop, 80, 28});
    connect(confirm, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
    connect(exit, &QPushButton::clicked, this, &TForm2::BitBtn2Click);
}

void TForm2::buildDipGroup() {
    dipGroup_ = new QGroupBox(dipModeCaption(), this);
    dipGroup_->setObjectName(QStringLiteral("GroupBox2"));
    dipGroup_->setGeometry(GroupRect);
    for (int row = 0; row < 4; ++row) {
        const int role = ScreenOrder[row];
        const int top = 26 + row * PlaneRowPitch;
        makeLabel(dipGroup_, {}, planeName(role), {12, top + 20}, font());
        makeLabel(dipGroup_, {}, tr("倾角"), {100, top + 4}, font());
        makeLabel(dipGroup_, {}, tr("倾向"), {100, top + 36}, font());
        for (int field = 0; field < 2; ++field) {
            TypeAheadCombo* box =
                makeBox(dipGroup_, 25 + 2 * role + field, {}, {BoxColumns[0], top + 32 * field, 120, BoxHeight});
            connect(box, &QComboBox::editTextChanged, this, [this, role, field](const QString& text) {
                document().setDipText(role, field, text.toStdString());
            });
            dipBoxes_[role][field] = box;
        }
    }
    const int buttonTop = GroupRect.height() - 40;
    auto* confirm = makeButton(dipGroup_, QStringLiteral("BitBtn3"), tr("确定"), {100, buttonTop, 80, 28});
    auto* cancel = makeButton(dipGroup_, QStringLiteral("BitBtn4"), tr("取消"), {220, buttonTop, 80, 28});
    connect(confirm, &QPushButton::clicked, this, &TForm2::BitBtn3Click);
    // Without it the dip-angle mode would offer no way out but the title bar.
    connect(cancel, &QPushButton::clicked, this, &TForm2::BitBtn2Click);
    dipGroup_->hide();
}

void TForm2::buildSchematic() {
    makeLabel(this, QStringLiteral("Label34"), tr("结构面数据数据示意图"), {420, 46}, font());
    const QRect pictureRect(420, 68, 330, 406);
    const Schematic schematic = drawSchematic(pictureRect.size());
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(pictureRect);
    picture->setPixmap(schematic.picture);
    picture->setFrameStyle(QFrame::Box);
    hints_[0] = {picture, defaultHint()};
    const std::array<QString, 4> spotHints{strikeHint(), dipDirectionHint(), dipDirectionHint(), strikeHint()};
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
            statusBar_->clearMessage();
            status_->setText(hint);
            return true; // a hot spot's move must not reach the picture below it
        }
    return QWidget::eventFilter(watched, event);
}

QString TForm2::blockNameText() const { return blockName_->text(); }
void TForm2::setBlockNameText(const QString& text) { blockName_->setText(text); }
QString TForm2::statusText() const { return status_->text(); }

void TForm2::showDocument() {
    const BlockDocument& doc = document();
    blockName_->setText(textOf(doc.entryName()));
    const PlaneEntries& planes = doc.planeEntries();
    for (int role = 0; role < 4; ++role) {
        for (int field = 0; field < 6; ++field)
            quadrantBoxes_[role][field]->setText(textOf(planes.Quadrants[role].*QuadrantFields[field]));
        for (int field = 0; field < 2; ++field) dipBoxes_[role][field]->setText(textOf(planes.Dips[role][field]));
    }
}

// field: the angle's name ("走向角", "倾角", "倾向") or the letter's box
// ("StrikeNS", "StrikeEW", "DipNS", "DipEW"); row: the plane.
bool TForm2::focusPlaneBox(const std::string& field, int row) {
    if (row < 0 || row >= 4) return false;
    const bool dipMode = dipModeShown();
    const auto& q = quadrantBoxes_[row];
    const std::pair<const char*, TypeAheadCombo*> named[] = {
        {"走向角", dipMode ? nullptr : q[StrikeAngleBox]},
        {"倾角", dipMode ? dipBoxes_[row][DipAngleField] : q[DipAngleBox]},
        {"倾向", dipMode ? dipBoxes_[row][DipDirectionField] : nullptr},
        {"StrikeNS", dipMode ? nullptr : q[0]},
        {"StrikeEW", dipMode ? nullptr : q[2]},
        {"DipNS", dipMode ? nullptr : q[DipNSBox]},
        {"DipEW", dipMode ? nullptr : q[DipEWBox]}};
    for (const auto& [name, box] : named)
        if (box && field == name) {
            focusForCorrection(this, box->lineEdit());
            return true;
        }
    return false;
}

bool TForm2::dipModeShown() const { return dipMode_->isChecked(); }

void TForm2::RadioButton1Click() {
    dipGroup_->hide();
    quadrantGroup_->show();
}

void TForm2::RadioButton2Click() {
    quadrantGroup_->hide();
    dipGroup_->show();
}

void TForm2::addListEntry(const QString& entry) {
    if (!blockName_->hasItem(entry)) blockName_->appendItem(entry);
}

// Either mode confirms the one block and writes both files: the report and
// the data file (with the companion file of the loads). A confirm is all or
// nothing: a refused plane, parameter or load text writes no file.
bool TForm2::confirm(bool dipMode) {
    WrittenFiles written;
    bool done = false;
    workspace_.runCommand([this, &written, &done, dipMode] {
        document().checkParameters(true);
        document().loads();
        if (!(dipMode ? document().confirmDips() : document().confirmQuadrants()))
            return messageBoxes().message(emptyBlockNameMessage());
        const QString name = blockNameText();
        if (dipMode)
            addListEntry(name);
        else
            addListEntry(Parse(".", name.toStdString(), 2) == "txt" ? name : name + QStringLiteral(".txt"));
        workspace_.writeReport(written);
        workspace_.writeDataFile(written);
        done = true;
    });
    workspace_.showSaved(statusBar_, written);
    return done;
}

bool TForm2::confirmShownMode() { return confirm(dipModeShown()); }

void TForm2::BitBtn1Click() { confirm(false); }

void TForm2::BitBtn3Click() { confirm(true); }

void TForm2::BitBtn2Click() { hide(); }

void TForm2::BitBtn7Click() {
    runCommand([this] { workspace_.viewReport(blockNameText()); });
}

void TForm2::ComboBox33Select() {
    runCommand([this] { workspace_.loadChosenBlock(*blockName_); });
}

} // namespace trelmox::ui
