#include "ui/tform3.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "analysis/wedge.h"
#include "model/numtext.h"
#include "ui/messages.h"
#include "ui/style.h"
#include "ui/tform2.h"
#include "ui/typeaheadcombo.h"
#include "ui/workspace.h"

namespace trelmox::ui {

namespace {

constexpr int LeftLabelX = 14, LeftBoxX = 96, RightLabelX = 230, RightBoxX = 312, BoxWidth = 120, BoxHeight = 22;

QFrame* makePanel(QWidget* parent, int top, int height, int width) {
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(0, top, width, height);
    return panel;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, QRect rect) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(rect);
    button->setFont(captionFont(16));
    setTextColour(button, Teal);
    return button;
}

QLabel* makeCaption(QWidget* parent, const QString& text, QPoint position) {
    QLabel* label = makeLabel(parent, {}, text, position, captionFont(16));
    setTextColour(label, Teal);
    return label;
}

std::string textOf(const TypeAheadCombo* box) { return box->text().toStdString(); }

} // namespace

TForm3::TForm3(Workspace& workspace) : workspace_(workspace) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Form3"));
    setFont(dialogFont(12));
    placeWindow(this, {310, 170}, {474, 458});
    buildPanels();

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setSizeGripEnabled(false);
    statusBar->setGeometry(0, height() - StatusBarHeight, width(), StatusBarHeight);
    statusBar->addWidget(new QLabel(QStringLiteral("本对话框用于输入岩体及结构面的物理、力学参数"), statusBar), 1);
}

void TForm3::buildValueRow(QWidget* panel, int y, int leftNumber, const QString& leftLabel,
                           const QString& rightLabel) {
    for (int side = 0; side < 2; ++side) {
        const int number = leftNumber + side;
        const QString& caption = side == 0 ? leftLabel : rightLabel;
        if (!caption.isEmpty()) makeCaption(panel, caption, {side == 0 ? LeftLabelX : RightLabelX, y + 3});
        auto* box = new TypeAheadCombo(QStringLiteral("ComboBox%1").arg(number), panel);
        box->setGeometry(side == 0 ? LeftBoxX : RightBoxX, y, BoxWidth, BoxHeight);
        values_[number - 1] = box;
    }
}

void TForm3::buildPanels() {
    const int width = this->width();
    QFrame* blockPanel = makePanel(this, 0, 41, width);
    makeCaption(blockPanel, QStringLiteral("块体名称"), {LeftLabelX, 11});
    blockName_ = new TypeAheadCombo(QStringLiteral("ComboBox33"), blockPanel);
    blockName_->setGeometry(LeftBoxX, 9, 81, BoxHeight);
    connect(blockName_, &TypeAheadCombo::listedNameChosen, this, &TForm3::ComboBox33Select);

    QFrame* panel1 = makePanel(this, 48, 65, width);
    buildValueRow(panel1, 20, 1, QStringLiteral("岩石容重"), QStringLiteral("水的容重"));

    QFrame* panel3 = makePanel(this, 120, 137, width);
    buildValueRow(panel3, 16, 3, QStringLiteral("坡高"), QStringLiteral("倒悬系数"));
    buildValueRow(panel3, 48, 5, QStringLiteral("平面1水压"), {});
    buildValueRow(panel3, 104, 7, QStringLiteral("平面2水压"), {});
    entered_ = new QRadioButton(QStringLiteral("使用输入水压值"), panel3);
    entered_->setObjectName(QStringLiteral("RadioButton1"));
    computed_ = new QRadioButton(QStringLiteral("使用计算值"), panel3);
    computed_->setObjectName(QStringLiteral("RadioButton2"));
    for (QRadioButton* radio : {entered_, computed_}) {
        radio->setFont(captionFont(16));
        setTextColour(radio, Teal);
        radio->move(radio == entered_ ? LeftLabelX : RightLabelX, 78);
        radio->adjustSize();
    }
    entered_->setChecked(true);
    connect(entered_, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton1Click(); });
    connect(computed_, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton2Click(); });

    QFrame* panel2 = makePanel(this, 264, 89, width);
    buildValueRow(panel2, 16, 9, QStringLiteral("平面1c值"), QStringLiteral("平面1f值"));
    buildValueRow(panel2, 56, 11, QStringLiteral("平面2c值"), QStringLiteral("平面2f值"));

    makePanel(this, 360, 49, width);
    auto* view = makeButton(this, QStringLiteral("BitBtn6"), QStringLiteral("查看数据"), {224, 8, 73, 23});
    auto* confirm = makeButton(this, QStringLiteral("BitBtn1"), QStringLiteral("确定"), {96, 376, 60, 23});
    auto* exit = makeButton(this, QStringLiteral("BitBtn2"), QStringLiteral("退出"), {264, 376, 60, 23});
    connect(view, &QPushButton::clicked, this, &TForm3::BitBtn6Click);
    connect(confirm, &QPushButton::clicked, this, &TForm3::BitBtn1Click);
    connect(exit, &QPushButton::clicked, this, &TForm3::BitBtn2Click);
    values_[0]->lineEdit()->installEventFilter(this);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == values_[0]->lineEdit() && event->type() == QEvent::MouseButtonDblClick) ComboBox1DblClick();
    return QWidget::eventFilter(watched, event);
}

TWedgeParams TForm3::params() const {
    TWedgeParams p;
    std::array<std::string*, 12> fields{&p.RockUnitWeight, &p.WaterUnitWeight, &p.SlopeHeight,
                                        &p.OverhangCoefficient, &p.WaterPressure1, &p.ComputedWaterPressure1,
                                        &p.WaterPressure2, &p.ComputedWaterPressure2, &p.Cohesion1,
                                        &p.Friction1, &p.Cohesion2, &p.Friction2};
    for (int i = 0; i < 12; ++i) *fields[i] = textOf(values_[i]);
    p.WaterPressureMode = computed_->isChecked() ? TWaterPressureMode::Computed : TWaterPressureMode::Entered;
    return p;
}

QString TForm3::slopeHeightText() const { return values_[2]->text(); }
QString TForm3::blockNameText() const { return blockName_->text(); }
void TForm3::setBlockNameText(const QString& text) { blockName_->setText(text); }

void TForm3::showBlock(const BlockDataTexts& texts) {
    const std::array<std::pair<const std::optional<std::string>*, int>, 8> plain{
        {{&texts.RockUnitWeight, 1}, {&texts.WaterUnitWeight, 2}, {&texts.SlopeHeight, 3},
         {&texts.OverhangCoefficient, 4}, {&texts.Cohesion1, 9}, {&texts.Friction1, 10},
         {&texts.Cohesion2, 11}, {&texts.Friction2, 12}}};
    for (const auto& [text, number] : plain)
        if (*text) valueBox(number)->setText(QString::fromStdString(**text));
    // A water line fills the box its marker names: "j" the computed, "z" the entered one.
    const std::array<std::pair<const std::optional<BlockDataTexts::WaterLine>*, int>, 2> water{
        {{&texts.Water1, 5}, {&texts.Water2, 7}}};
    for (const auto& [line, enteredNumber] : water) {
        if (!*line) continue;
        if ((*line)->Marker == "j") valueBox(enteredNumber + 1)->setText(QString::fromStdString((*line)->Value));
        else if ((*line)->Marker == "z") valueBox(enteredNumber)->setText(QString::fromStdString((*line)->Value));
    }
}

void TForm3::enableWaterBoxes(bool computed) {
    for (int number : {5, 7}) valueBox(number)->setEnabled(!computed);
    for (int number : {6, 8}) valueBox(number)->setEnabled(computed);
}

void TForm3::RadioButton1Click() { enableWaterBoxes(false); }

void TForm3::RadioButton2Click() {
    enableWaterBoxes(true);
    runCommand([this] {
        for (int number : {6, 8}) {
            const double pressure = ComputeWaterPressure(textToFloat(textOf(valueBox(2))), textToFloat(textOf(valueBox(3))));
            valueBox(number)->setText(QString::fromStdString(floatToText(pressure)));
        }
    });
}

void TForm3::ComboBox1DblClick() { values_[0]->appendItem(values_[0]->text()); }

void TForm3::BitBtn1Click() {
    for (TypeAheadCombo* box : values_) box->appendItem(box->text());
    runCommand([this] {
        workspace_.writeReport();
        workspace_.writeDataFile();
    });
}

void TForm3::BitBtn2Click() { hide(); }

void TForm3::BitBtn6Click() {
    runCommand([this] { workspace_.viewReport(blockNameText()); });
}

void TForm3::ComboBox33Select() {
    runCommand([this] {
        workspace_.planeEntry().setBlockNameText(blockNameText());
        workspace_.loadBlock();
    });
}

} // namespace trelmox::ui
