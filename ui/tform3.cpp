#include "ui/tform3.h"

#include <QPointer>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>

#include <algorithm>

#include "ui/messages.h"
#include "ui/style.h"
#include "ui/tform2.h"
#include "ui/typeaheadcombo.h"

namespace trelmox::ui {

namespace {

constexpr int LeftLabelX = 14, LeftBoxX = 96, RightLabelX = 230, RightBoxX = 312, BoxWidth = 120, BoxHeight = 22;
constexpr QSize WindowSize(474, 458);
constexpr int CaptionGap = 6; // between a caption's end and its box

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
    widenToText(button);
    return button;
}

int widest(const QStringList& captions) {
    const QFontMetrics metrics(captionFont(16));
    int width = 0;
    for (const QString& caption : captions) width = std::max(width, metrics.horizontalAdvance(caption));
    return width;
}

QLabel* makeCaption(QWidget* parent, const QString& text, QPoint position) {
    QLabel* label = makeLabel(parent, {}, text, position, captionFont(16));
    setTextColour(label, Teal);
    return label;
}

// The parameter of each box, ComboBox1 to ComboBox12.
constexpr std::array<std::string TWedgeParams::*, 12> ParameterFields{
    &TWedgeParams::RockUnitWeight, &TWedgeParams::WaterUnitWeight,
    &TWedgeParams::SlopeHeight,    &TWedgeParams::OverhangCoefficient,
    &TWedgeParams::WaterPressure1, &TWedgeParams::ComputedWaterPressure1,
    &TWedgeParams::WaterPressure2, &TWedgeParams::ComputedWaterPressure2,
    &TWedgeParams::Cohesion1,      &TWedgeParams::Friction1,
    &TWedgeParams::Cohesion2,      &TWedgeParams::Friction2};
// Their names in the data, which a failure names its field by.
constexpr std::array<const char*, 12> ParameterNames{"RockUnitWeight", "WaterUnitWeight",
                                                     "SlopeHeight",    "OverhangCoefficient",
                                                     "WaterPressure1", "ComputedWaterPressure1",
                                                     "WaterPressure2", "ComputedWaterPressure2",
                                                     "Cohesion1",      "Friction1",
                                                     "Cohesion2",      "Friction2"};

} // namespace

TForm3::Columns TForm3::columnsFor(const QStringList& leftCaptions, const QStringList& rightCaptions) {
    Columns c;
    c.leftBox = std::max(LeftBoxX, LeftLabelX + widest(leftCaptions) + CaptionGap);
    c.rightLabel = c.leftBox + RightLabelX - LeftBoxX;
    c.rightBox = std::max(c.rightLabel + RightBoxX - RightLabelX, c.rightLabel + widest(rightCaptions) + CaptionGap);
    c.width = WindowSize.width() + c.rightBox - RightBoxX;
    return c;
}

TForm3::TForm3(Workspace& workspace) : workspace_(workspace) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Form3"));
    setFont(dialogFont(12));
    columns_ = columnsFor({tr("块体名称"), tr("岩石容重"), tr("坡高"), tr("平面1水压"), tr("平面2水压"), tr("平面1c值"),
                           tr("平面2c值"), tr("使用输入水压值")},
                          {tr("水的容重"), tr("倒悬系数"), tr("平面1f值"), tr("平面2f值")});
    placeWindow(this, {310, 170}, {columns_.width, WindowSize.height()});
    buildPanels();

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(false);
    statusBar_->setGeometry(0, height() - StatusBarHeight, width(), StatusBarHeight);
    statusBar_->addWidget(new QLabel(tr("本对话框用于输入岩体及结构面的物理、力学参数"), statusBar_), 1);
    setFixedSize(size()); // fixed places: resizing would cut off the buttons or strand the status bar
    // The document outlives the window: a change after it is gone calls nothing.
    document().addListener([window = QPointer(this)] {
        if (window) window->showDocument();
    });
}

BlockDocument& TForm3::document() const { return workspace_.document(); }

void TForm3::buildValueRow(QWidget* panel, int y, int leftNumber, const QString& leftLabel, const QString& rightLabel) {
    for (int side = 0; side < 2; ++side) {
        const int number = leftNumber + side;
        const QString& caption = side == 0 ? leftLabel : rightLabel;
        if (!caption.isEmpty()) makeCaption(panel, caption, {side == 0 ? LeftLabelX : columns_.rightLabel, y + 3});
        auto* box = new TypeAheadCombo(QStringLiteral("ComboBox%1").arg(number), panel);
        box->setGeometry(side == 0 ? columns_.leftBox : columns_.rightBox, y, BoxWidth, BoxHeight);
        connect(box, &QComboBox::editTextChanged, this, [this, number](const QString& text) {
            document().setParameterText(ParameterFields[number - 1], text.toStdString());
        });
        values_[number - 1] = box;
    }
}

void TForm3::buildPanels() {
    const int width = this->width();
    QFrame* blockPanel = makePanel(this, 0, 41, width);
    makeCaption(blockPanel, tr("块体名称"), {LeftLabelX, 11});
    blockName_ = new TypeAheadCombo(QStringLiteral("ComboBox33"), blockPanel);
    blockName_->setGeometry(columns_.leftBox, 9, 81, BoxHeight);
    // The name typed here is the document's entry name, as in the entry window.
    connect(blockName_, &QComboBox::editTextChanged, this,
            [this](const QString& text) { document().setEntryName(text.toStdString()); });
    connect(blockName_, &TypeAheadCombo::listedNameChosen, this, &TForm3::ComboBox33Select);

    QFrame* panel1 = makePanel(this, 48, 65, width);
    buildValueRow(panel1, 20, 1, tr("岩石容重"), tr("水的容重"));

    QFrame* panel3 = makePanel(this, 120, 137, width);
    buildValueRow(panel3, 16, 3, tr("坡高"), tr("倒悬系数"));
    buildValueRow(panel3, 48, 5, tr("平面1水压"), {});
    buildValueRow(panel3, 104, 7, tr("平面2水压"), {});
    entered_ = new QRadioButton(tr("使用输入水压值"), panel3);
    entered_->setObjectName(QStringLiteral("RadioButton1"));
    computed_ = new QRadioButton(tr("使用计算值"), panel3);
    computed_->setObjectName(QStringLiteral("RadioButton2"));
    for (QRadioButton* radio : {entered_, computed_}) {
        radio->setFont(captionFont(16));
        setTextColour(radio, Teal);
        radio->move(radio == entered_ ? LeftLabelX : columns_.rightLabel, 78);
        radio->adjustSize();
    }
    entered_->setChecked(true);
    connect(entered_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RadioButton1Click();
    });
    connect(computed_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RadioButton2Click();
    });

    QFrame* panel2 = makePanel(this, 264, 89, width);
    buildValueRow(panel2, 16, 9, tr("平面1c值"), tr("平面1f值"));
    buildValueRow(panel2, 56, 11, tr("平面2c值"), tr("平面2f值"));

    makePanel(this, 360, 49, width);
    auto* view = makeButton(this, QStringLiteral("BitBtn6"), tr("查看数据"), {columns_.leftBox + 128, 8, 73, 23});
    auto* confirm = makeButton(this, QStringLiteral("BitBtn1"), tr("确定"), {columns_.leftBox, 376, 60, 23});
    auto* exit = makeButton(this, QStringLiteral("BitBtn2"), tr("退出"), {columns_.rightLabel + 34, 376, 60, 23});
    connect(view, &QPushButton::clicked, this, &TForm3::BitBtn6Click);
    connect(confirm, &QPushButton::clicked, this, &TForm3::BitBtn1Click);
    connect(exit, &QPushButton::clicked, this, &TForm3::BitBtn2Click);
    values_[0]->lineEdit()->installEventFilter(this);
    // Tab walks the form as it reads, row by row, the mode between the two
    // water rows, then the commands.
    std::vector<QWidget*> order{blockName_, view};
    for (int number = 1; number <= 6; ++number) order.push_back(valueBox(number));
    order.insert(order.end(), {entered_, computed_});
    for (int number = 7; number <= 12; ++number) order.push_back(valueBox(number));
    order.insert(order.end(), {confirm, exit});
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == values_[0]->lineEdit() && event->type() == QEvent::MouseButtonDblClick) ComboBox1DblClick();
    return QWidget::eventFilter(watched, event);
}

QString TForm3::blockNameText() const { return blockName_->text(); }
void TForm3::setBlockNameText(const QString& text) { blockName_->setText(text); }

void TForm3::showDocument() {
    blockName_->setText(QString::fromStdString(document().entryName()));
    const TWedgeParams& params = document().params();
    for (int i = 0; i < 12; ++i) values_[i]->setText(QString::fromStdString(params.*ParameterFields[i]));
    if (params.WaterPressureMode != shownMode_) showWaterMode(params.WaterPressureMode);
}

// The radio buttons show the mode without running their commands: a loaded
// block brings its own computed pressures, which must not be recomputed.
void TForm3::showWaterMode(TWaterPressureMode mode) {
    shownMode_ = mode;
    const bool computed = mode == TWaterPressureMode::Computed;
    for (QRadioButton* radio : {entered_, computed_}) {
        const QSignalBlocker quiet(radio);
        radio->setChecked((radio == computed_) == computed);
    }
    for (int number : {5, 7}) valueBox(number)->setEnabled(!computed);
    for (int number : {6, 8}) valueBox(number)->setEnabled(computed);
}

bool TForm3::focusParameter(const std::string& field) {
    const auto named = std::find(ParameterNames.begin(), ParameterNames.end(), field);
    if (named == ParameterNames.end()) return false;
    TypeAheadCombo* box = values_[named - ParameterNames.begin()];
    focusForCorrection(this, box->lineEdit());
    return true;
}

void TForm3::RadioButton1Click() { document().setWaterMode(TWaterPressureMode::Entered); }

void TForm3::RadioButton2Click() {
    workspace_.runCommand([this] { document().setWaterMode(TWaterPressureMode::Computed); });
}

void TForm3::ComboBox1DblClick() { values_[0]->appendItem(values_[0]->text()); }

// Nothing is saved that reading the block back would refuse, and nothing
// without a confirmed block: the files would be named ".txt". Plane edits
// not yet confirmed are not saved here - the block keeps its confirmed
// planes - but ones their confirm would refuse (a letter Q, an angle out of
// range) stop the save with the entry window's box in focus, and valid ones
// are named in the status bar, so that the user never takes the file for
// the planes on screen.
bool TForm3::confirm() {
    for (TypeAheadCombo* box : values_) box->appendItem(box->text());
    if (workspace_.refuseUnnamed()) return false;
    const bool planesPending = document().planesModified();
    const bool dipMode = workspace_.planeEntry().dipModeShown();
    WrittenFiles written;
    const bool done = workspace_.runCommand([this, &written, planesPending, dipMode] {
        if (planesPending) document().checkPlaneEntries(dipMode);
        document().checkSavable(false);
        workspace_.writeReport(written);
        workspace_.writeDataFile(written);
    });
    workspace_.showSaved(statusBar_, written);
    if (done && planesPending && !written.empty())
        statusBar_->showMessage(statusBar_->currentMessage() +
                                    tr("（结构面数据的修改尚未确定，保存的是上次确定的结构面）"),
                                SavedNoteMilliseconds);
    return done;
}

void TForm3::BitBtn1Click() { confirm(); }

void TForm3::BitBtn2Click() { hide(); }

void TForm3::BitBtn6Click() {
    runCommand([this] { workspace_.viewReport(blockNameText()); });
}

void TForm3::ComboBox33Select() {
    runCommand([this] { workspace_.loadChosenBlock(*blockName_); });
}

} // namespace trelmox::ui
