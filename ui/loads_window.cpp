#include "ui/loads_window.h"

#include <QPointer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/language.h"
#include "model/numtext.h"
#include "ui/loads_window_parts.h"
#include "ui/messages.h"
#include "ui/style.h"
#include "ui/tform4.h"
#include "ui/workspace.h"

namespace trelmox::ui {

using namespace loads;

namespace {

std::vector<FactorPreset> standardPresets() {
    std::vector<FactorPreset> presets;
    for (SlopeService service : {SlopeService::Permanent, SlopeService::Temporary})
        for (DesignCondition condition : {DesignCondition::Ordinary, DesignCondition::Seismic})
            for (SafetyGrade grade : {SafetyGrade::First, SafetyGrade::Second, SafetyGrade::Third})
                if (presetFactor({service, grade, condition})) presets.push_back({service, grade, condition});
    return presets;
}

// The engine names a class in Chinese (presetName), as the loads file
// and the reports need it; the window words it in its own language.
QString presetCaption(const FactorPreset& preset) {
    if (messageLanguage() == Language::Chinese) return QString::fromStdString(presetName(preset));
    const char* const grades[] = {QT_TRANSLATE_NOOP("trelmox::ui::LoadsWindow", "一级"),
                                  QT_TRANSLATE_NOOP("trelmox::ui::LoadsWindow", "二级"),
                                  QT_TRANSLATE_NOOP("trelmox::ui::LoadsWindow", "三级")};
    return LoadsWindow::tr("%1，%2，%3")
        .arg(preset.Service == SlopeService::Permanent ? LoadsWindow::tr("永久边坡") : LoadsWindow::tr("临时边坡"),
             LoadsWindow::tr(grades[static_cast<int>(preset.Grade)]),
             preset.Condition == DesignCondition::Ordinary ? LoadsWindow::tr("一般工况") : LoadsWindow::tr("地震工况"));
}

} // namespace

LoadsWindow::LoadsWindow(Workspace& workspace, std::span<const LoadField> fields,
                         std::span<const LoadDirection> directions)
    : QWidget(nullptr, Qt::Window), workspace_(workspace), fields_(fields), directions_(directions) {
    setObjectName(QStringLiteral("LoadsWindow"));
    setWindowTitle(tr("荷载与支护"));
    setFont(dialogFont(12));

    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("BlockCaption"));
    // Two columns, the results at the top of the right one where they are
    // seen after an analysis; below them, across the window, the parts that
    // need its width: the two planes' strength side by side and the bolts'
    // nine columns.
    auto* left = new QWidget(this);
    auto* right = new QWidget(this);
    auto* across = new QWidget(this);
    for (QWidget* part : {left, right, across}) (new QVBoxLayout(part))->setContentsMargins(0, 0, 0, 0);
    buildCrackAndWater(left);
    buildSeismicAndPressures(left);
    buildResults(right);
    buildDesign(right);
    buildTables(right, across);
    buildPattern(right);
    buildSize(right);
    for (QWidget* column : {left, right}) static_cast<QVBoxLayout*>(column->layout())->addStretch();
    buildStrength(across);

    auto* confirmButton = new QPushButton(tr("确定"), this);
    confirmButton->setObjectName(QStringLiteral("ConfirmButton"));
    auto* analyseButton = new QPushButton(tr("分析、计算"), this);
    analyseButton->setObjectName(QStringLiteral("AnalyseButton"));
    auto* exitButton = new QPushButton(tr("退出"), this);
    exitButton->setObjectName(QStringLiteral("ExitButton"));
    connect(confirmButton, &QPushButton::clicked, this, &LoadsWindow::confirm);
    connect(analyseButton, &QPushButton::clicked, this, &LoadsWindow::analyse);
    connect(exitButton, &QPushButton::clicked, this, &QWidget::hide);
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(false);
    statusBar_->addWidget(new QLabel(tr("力的方向：方位角自北顺时针，倾伏角向下为正；各力均过楔块形心"), statusBar_),
                          1);

    // The form scrolls on a small screen; the buttons and the status bar
    // stay in view below it.
    auto* form = new QWidget;
    form->setObjectName(QStringLiteral("LoadsForm"));
    auto* formLayout = new QVBoxLayout(form);
    auto* columns = new QHBoxLayout;
    for (QWidget* part : {left, right, across}) part->setParent(form);
    columns->addWidget(left, 1);
    columns->addWidget(right, 1);
    formLayout->addLayout(columns);
    formLayout->addWidget(across);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("LoadsScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(form);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {confirmButton, analyseButton, exitButton}) buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    // The status bar lies on the window's bottom edge, as in the other windows.
    const QMargins margins = layout->contentsMargins();
    layout->setContentsMargins(margins.left(), margins.top(), margins.right(), 0);
    layout->addWidget(caption_);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);
    layout->addWidget(statusBar_);
    // As wide as the form, so that nothing scrolls sideways, and as tall
    // as the screen allows.
    const int scrollBar = scroll->verticalScrollBar()->sizeHint().width();
    fitToScreen(this, {form->sizeHint().width() + scrollBar + margins.left() + margins.right(), 900});

    // The document outlives the window: a change after it is gone calls nothing.
    workspace_.document().addListener([window = QPointer(this)] {
        if (window) window->showDocument();
    });
    showDocument();
}

BlockDocument& LoadsWindow::document() const { return workspace_.document(); }

QLineEdit* LoadsWindow::addBox(QWidget* parent, const char* name, LoadsField field, int row) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromUtf8(name));
    connect(box, &QLineEdit::textEdited, this, &LoadsWindow::takeEdits);
    boxes_[{field, row}] = box;
    return box;
}

QLineEdit* LoadsWindow::box(LoadsField field, int row) const {
    const auto found = boxes_.find({field, row});
    return found == boxes_.end() ? nullptr : found->second;
}

void LoadsWindow::addFieldBoxes(QFormLayout* form, QWidget* parent, LoadPart part) {
    for (const LoadField& f : fields_) {
        if (f.Part != part) continue;
        QLineEdit* box = addBox(parent, f.BoxName, f.Field);
        if (f.Policy == LoadPolicy::Optional) box->setPlaceholderText(tr("无"));
        form->addRow(QString::fromUtf8(inLanguage(f.Box, f.BoxEnglish)), box);
    }
    for (const LoadDirection& d : directions_) {
        if (d.Part != part) continue;
        auto* check = new QCheckBox(QString::fromUtf8(inLanguage(d.Switch, d.SwitchEnglish)), parent);
        check->setObjectName(QString::fromUtf8(d.SwitchName));
        connect(check, &QCheckBox::clicked, this, &LoadsWindow::takeEdits);
        directed_[d.Trend] = check;
        form->addRow(check);
        form->addRow(tr("方位角（°）"), addBox(parent, d.TrendBoxName, d.Trend));
        form->addRow(tr("倾伏角（°）"), addBox(parent, d.PlungeBoxName, d.Plunge));
    }
}

void LoadsWindow::buildCrackAndWater(QWidget* column) {
    crack_ = new QGroupBox(tr("张裂缝"), column);
    crack_->setObjectName(QStringLiteral("CrackGroup"));
    crack_->setCheckable(true);
    connect(crack_, &QGroupBox::clicked, this, &LoadsWindow::takeEdits);
    auto* form = new QFormLayout(crack_);
    addFieldBoxes(form, crack_, LoadPart::Crack);
    column->layout()->addWidget(crack_);

    auto* water = new QGroupBox(tr("水压力"), column);
    auto* waterLayout = new QVBoxLayout(water);
    water_ = new QButtonGroup(this);
    for (const WaterChoice& c : waterChoices()) {
        auto* radio = new QRadioButton(QString::fromUtf8(inLanguage(c.Button, c.ButtonEnglish)), water);
        radio->setObjectName(QString::fromUtf8(c.ButtonName));
        water_->addButton(radio, static_cast<int>(c.Mode));
        waterLayout->addWidget(radio);
    }
    connect(water_, &QButtonGroup::idClicked, this, &LoadsWindow::takeEdits);
    auto* waterForm = new QFormLayout;
    waterForm->addRow(tr("充水百分比（%）"), addBox(water, "FilledPercent", LoadsField::FilledPercent));
    addFieldBoxes(waterForm, water, LoadPart::Water);
    waterLayout->addLayout(waterForm);
    column->layout()->addWidget(water);
}

void LoadsWindow::buildSeismicAndPressures(QWidget* column) {
    auto* seismic = new QGroupBox(tr("地震力"), column);
    auto* form = new QFormLayout(seismic);
    addFieldBoxes(form, seismic, LoadPart::Seismic);
    column->layout()->addWidget(seismic);

    auto* pressures = new QGroupBox(tr("面压力（垂直作用于面）"), column);
    auto* pressureForm = new QFormLayout(pressures);
    addFieldBoxes(pressureForm, pressures, LoadPart::Pressures);
    column->layout()->addWidget(pressures);

    shotcrete_ = new QGroupBox(tr("喷射混凝土（坡面）"), column);
    shotcrete_->setObjectName(QStringLiteral("ShotcreteGroup"));
    shotcrete_->setCheckable(true);
    connect(shotcrete_, &QGroupBox::clicked, this, &LoadsWindow::takeEdits);
    auto* liningForm = new QFormLayout(shotcrete_);
    addFieldBoxes(liningForm, shotcrete_, LoadPart::Shotcrete);
    column->layout()->addWidget(shotcrete_);
}

namespace {

constexpr int StrengthBoxCount = 12;

int strengthIndex(LoadsField field) { return static_cast<int>(field) - static_cast<int>(LoadsField::StrengthJrc); }

// A plane's texts by LoadsField from StrengthJrc on.
std::array<std::string*, 12> strengthTexts(StrengthEntry& e) {
    return {&e.Jrc, &e.Jcs,   &e.ResidualFriction, &e.PowerA, &e.PowerB, &e.PowerC, &e.PowerD, &e.Sigci, &e.Mb,
            &e.S,   &e.HoekA, &e.Waviness};
}

} // namespace

void LoadsWindow::buildStrength(QWidget* column) {
    auto* group = new QGroupBox(tr("节理面抗剪强度（按平均法向应力σn）"), column);
    auto* layout = new QHBoxLayout(group);
    const struct {
        StrengthModel model;
        const char* caption;
        std::vector<std::pair<LoadsField, const char*>> boxes;
    } models[] = {
        {StrengthModel::MohrCoulomb, QT_TR_NOOP("莫尔-库仑（物理力学参数中的c、f）"), {}},
        {StrengthModel::BartonBandis,
         QT_TR_NOOP("巴顿-班迪斯"),
         {{LoadsField::StrengthJrc, "JRC"},
          {LoadsField::StrengthJcs, QT_TR_NOOP("JCS（kPa）")},
          {LoadsField::StrengthResidualFriction, QT_TR_NOOP("残余摩擦角φr（°）")}}},
        {StrengthModel::PowerCurve,
         QT_TR_NOOP("幂函数曲线 τ=a(σn−c)^b+d"),
         {{LoadsField::StrengthPowerA, "a"},
          {LoadsField::StrengthPowerB, "b"},
          {LoadsField::StrengthPowerC, QT_TR_NOOP("c（kPa）")},
          {LoadsField::StrengthPowerD, QT_TR_NOOP("d（kPa）")}}},
        {StrengthModel::HoekBrown,
         QT_TR_NOOP("霍克-布朗（充填岩体）"),
         {{LoadsField::StrengthSigci, QT_TR_NOOP("σci（kPa）")},
          {LoadsField::StrengthMb, "mb"},
          {LoadsField::StrengthS, "s"},
          {LoadsField::StrengthHoekA, "a"}}},
    };
    const char* const fieldKeys[StrengthBoxCount] = {"Jrc",    "Jcs",   "PhiR", "PowerA", "PowerB", "PowerC",
                                                     "PowerD", "Sigci", "Mb",   "S",      "HoekA",  "Waviness"};
    for (int plane = 0; plane < 2; ++plane) {
        auto* box = new QGroupBox(plane == 0 ? tr("第一切割面") : tr("第二切割面"), group);
        auto* form = new QFormLayout(box);
        const QString prefix = QStringLiteral("Plane%1").arg(plane + 1);
        auto* model = new QComboBox(box);
        model->setObjectName(QStringLiteral("StrengthModel%1").arg(plane + 1));
        takeWheelOnlyWhenFocused(model);
        strengthModel_[plane] = model;
        auto* pages = new QStackedWidget(box);
        strengthPages_[plane] = pages;
        for (const auto& m : models) {
            model->addItem(tr(m.caption));
            auto* page = new QWidget(pages);
            auto* pageForm = new QFormLayout(page);
            pageForm->setContentsMargins(0, 0, 0, 0);
            for (const auto& [field, caption] : m.boxes) {
                const std::string name = prefix.toStdString() + fieldKeys[strengthIndex(field)];
                pageForm->addRow(tr(caption), addBox(page, name.c_str(), field, plane));
            }
            pages->addWidget(page);
        }
        connect(model, &QComboBox::activated, this, &LoadsWindow::takeEdits);
        form->addRow(tr("模型"), model);
        form->addRow(pages);
        const std::string wavinessName = prefix.toStdString() + "Waviness";
        form->addRow(tr("起伏角i（°）"), addBox(box, wavinessName.c_str(), LoadsField::StrengthWaviness, plane));
        layout->addWidget(box);
    }
    column->layout()->addWidget(group);
}

void LoadsWindow::buildDesign(QWidget* column) {
    auto* design = new QGroupBox(tr("设计要求（GB 50330-2013）"), column);
    auto* form = new QFormLayout(design);
    preset_ = new QComboBox(design);
    preset_->setObjectName(QStringLiteral("PresetBox"));
    takeWheelOnlyWhenFocused(preset_);
    preset_->addItem(tr("自定义"));
    presets_ = standardPresets();
    for (const FactorPreset& preset : presets_)
        preset_->addItem(
            tr("%1（%2）").arg(presetCaption(preset), QString::fromStdString(floatToText(*presetFactor(preset)))));
    connect(preset_, &QComboBox::activated, this, [this](int index) {
        LoadsEntries entries = entriesShown();
        entries.Preset = index == 0 ? std::nullopt : std::optional(presets_[index - 1]);
        if (entries.Preset) entries.RequiredFactor = floatToText(*presetFactor(*entries.Preset));
        document().setLoadsEntries(entries);
    });
    form->addRow(tr("边坡类别"), preset_);
    form->addRow(tr("所需安全系数"), addBox(design, "RequiredFactor", LoadsField::RequiredFactor));
    design_ = new QCheckBox(tr("给定设计锚杆方向"), design);
    design_->setObjectName(QStringLiteral("DesignBolt"));
    connect(design_, &QCheckBox::clicked, this, &LoadsWindow::takeEdits);
    form->addRow(design_);
    form->addRow(tr("方位角（°）"), addBox(design, "DesignTrend", LoadsField::DesignTrend));
    form->addRow(tr("倾伏角（°）"), addBox(design, "DesignPlunge", LoadsField::DesignPlunge));
    designMode_ = modeBox(design);
    designMode_->setObjectName(QStringLiteral("DesignMode"));
    connect(designMode_, &QComboBox::activated, this, &LoadsWindow::takeEdits);
    form->addRow(tr("方式"), designMode_);
    column->layout()->addWidget(design);
}

void LoadsWindow::buildResults(QWidget* column) {
    auto* results = new QGroupBox(tr("分析结果"), column);
    auto* resultsLayout = new QVBoxLayout(results);
    results_ = new QLabel(results);
    results_->setObjectName(QStringLiteral("ResultsLabel"));
    results_->setWordWrap(true);
    results_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    resultsLayout->addWidget(results_);
    column->layout()->addWidget(results);
}

// Beside the analysis window it works with, else beside the window whose
// command opened it.
void LoadsWindow::placeForUse() {
    if (workspace_.analysis().isVisible())
        placeBeside(this, &workspace_.analysis());
    else
        placeBesideOpener(this);
}

void LoadsWindow::bringUp() {
    placeForUse();
    bringToFront(this);
}

namespace {

// The boxes outside the table of load fields that hold one text of the
// entries each.
struct EntryText {
    LoadsField field;
    std::string LoadsEntries::*text;
};
const EntryText EntryTexts[] = {
    {LoadsField::FilledPercent, &LoadsEntries::FilledPercent},
    {LoadsField::RequiredFactor, &LoadsEntries::RequiredFactor},
    {LoadsField::DesignTrend, &LoadsEntries::DesignTrend},
    {LoadsField::DesignPlunge, &LoadsEntries::DesignPlunge},
};

} // namespace

LoadsEntries LoadsWindow::entriesShown() const {
    LoadsEntries e;
    for (const LoadField& f : fields_) e.setText(f.Field, textOf(box(f.Field)));
    for (const LoadDirection& d : directions_) {
        e.setDirected(d.Trend, directed_.at(d.Trend)->isChecked());
        for (LoadsField f : {d.Trend, d.Plunge}) e.setText(f, textOf(box(f)));
    }
    for (const EntryText& t : EntryTexts) e.*t.text = textOf(box(t.field));
    e.HasCrack = crack_->isChecked();
    e.Water = static_cast<WaterMode>(water_->checkedId());
    e.HasShotcrete = shotcrete_->isChecked();
    tablesShown(e);
    const int preset = preset_->currentIndex();
    if (preset > 0) e.Preset = presets_[preset - 1];
    e.HasDesignBolt = design_->isChecked();
    e.DesignMode = static_cast<BoltMode>(designMode_->currentIndex());
    for (int plane = 0; plane < 2; ++plane) {
        StrengthEntry& strength = e.Strength[plane];
        strength.Model = static_cast<StrengthModel>(strengthModel_[plane]->currentIndex());
        const auto texts = strengthTexts(strength);
        for (int i = 0; i < StrengthBoxCount; ++i)
            *texts[i] = textOf(box(fieldAfter(LoadsField::StrengthJrc, i), plane));
    }
    sizeShown(e.Size);
    return e;
}

void LoadsWindow::takeEdits() { document().setLoadsEntries(entriesShown()); }

void LoadsWindow::showDocument() {
    const LoadsEntries& e = document().loadsEntries();
    const std::string name = document().currentBlock();
    caption_->setText(name.empty() ? tr("楔块名称：（尚未确认块体）")
                                   : tr("楔块名称：") + QString::fromStdString(name));
    for (const LoadField& f : fields_) showText(box(f.Field), e.text(f.Field));
    for (const LoadDirection& d : directions_) {
        directed_.at(d.Trend)->setChecked(e.directed(d.Trend));
        for (LoadsField f : {d.Trend, d.Plunge}) {
            showText(box(f), e.text(f));
            box(f)->setEnabled(e.directed(d.Trend));
        }
    }
    for (const EntryText& t : EntryTexts) showText(box(t.field), e.*t.text);
    crack_->setChecked(e.HasCrack);
    water_->button(static_cast<int>(e.Water))->setChecked(true);
    box(LoadsField::FilledPercent)->setEnabled(e.Water == WaterMode::Filled);
    shotcrete_->setChecked(e.HasShotcrete);
    std::vector<std::vector<std::string>> forces, bolts;
    std::vector<BoltMode> modes;
    for (const ForceEntry& f : e.Forces) forces.push_back({f.Magnitude, f.Trend, f.Plunge});
    for (const BoltEntry& b : e.Bolts) {
        const CapacityEntry& c = b.Capacity;
        bolts.push_back({b.Force, b.Trend, b.Plunge, c.Length, c.Tendon, c.Plate, c.Bond});
        modes.push_back(b.Mode);
    }
    showRows(forces_, forces, {});
    showRows(bolts_, bolts, modes);
    showCapacities(e);
    int preset = 0;
    for (std::size_t i = 0; i < presets_.size(); ++i)
        if (e.Preset == presets_[i]) preset = static_cast<int>(i) + 1;
    preset_->setCurrentIndex(preset);
    box(LoadsField::RequiredFactor)->setReadOnly(e.Preset.has_value()); // a preset's factor is the standard's
    design_->setChecked(e.HasDesignBolt);
    designMode_->setCurrentIndex(static_cast<int>(e.DesignMode));
    for (QWidget* w :
         std::initializer_list<QWidget*>{box(LoadsField::DesignTrend), box(LoadsField::DesignPlunge), designMode_})
        w->setEnabled(e.HasDesignBolt);
    for (int plane = 0; plane < 2; ++plane) {
        StrengthEntry strength = e.Strength[plane];
        strengthModel_[plane]->setCurrentIndex(static_cast<int>(strength.Model));
        strengthPages_[plane]->setCurrentIndex(static_cast<int>(strength.Model));
        const auto texts = strengthTexts(strength);
        for (int i = 0; i < StrengthBoxCount; ++i)
            showText(box(fieldAfter(LoadsField::StrengthJrc, i), plane), *texts[i]);
    }
    showSize(e.Size);
    showResults();
}

void LoadsWindow::showResults() {
    const auto& results = document().results();
    if (!results) return results_->setText(tr("尚未分析。按“分析、计算”求安全系数与所需锚固力。"));
    if (!document().resultsCurrent()) return results_->setText(QString::fromUtf8(staleResultsNote()));
    if (!results->Full) return results_->setText(QString::fromStdString(results->fullFailureMessage()));
    if (results->Full->Analysis.Refusal)
        return results_->setText(QString::fromStdString(refusalMessage(*results->Full->Analysis.Refusal)));
    const FullFigureTexts t = fullFigureTexts(*results);
    const auto q = [](const std::string& text) { return QString::fromStdString(text); };
    QString text = tr("安全系数Fs = %1（%2），%3\n所需安全系数 %4\n设计锚杆所需锚固力：%5\n最省力锚杆：%6")
                       .arg(q(t.Factor), q(t.Contact), q(t.State), q(t.Required), q(t.DesignBolt), q(t.LeastBolt));
    // The wedge these figures belong to: the one the size limits leave.
    text += tr("\n楔块体积 %1 m³，重量 %2 kN").arg(q(t.Volume), q(t.Weight));
    if (!t.Scale.empty()) text += scaledWedgeText(t);
    if (!t.SizeWarning.empty()) text += u'\n' + q(t.SizeWarning);
    results_->setText(text);
}

QString scaledWedgeText(const FullFigureTexts& t) {
    return LoadsWindow::tr("\n按%1缩小为全高楔块的%2倍；全高楔块体积 %3 m³")
        .arg(QString::fromStdString(t.ScaleDecider), QString::fromStdString(t.Scale),
             QString::fromStdString(t.FullVolume));
}

QString LoadsWindow::resultsText() const { return results_->text(); }

QLineEdit* LoadsWindow::entryBox(LoadsField field, int row) const {
    switch (field) {
    case LoadsField::ForceMagnitude: return cellBox(forces_, row, MagnitudeColumn);
    case LoadsField::ForceTrend: return cellBox(forces_, row, TrendColumn);
    case LoadsField::ForcePlunge: return cellBox(forces_, row, PlungeColumn);
    case LoadsField::BoltForce: return cellBox(bolts_, row, MagnitudeColumn);
    case LoadsField::BoltTrend: return cellBox(bolts_, row, TrendColumn);
    case LoadsField::BoltPlunge: return cellBox(bolts_, row, PlungeColumn);
    case LoadsField::BoltLength: return cellBox(bolts_, row, LengthColumn);
    case LoadsField::BoltTendon: return cellBox(bolts_, row, TendonColumn);
    case LoadsField::BoltPlate: return cellBox(bolts_, row, PlateColumn);
    case LoadsField::BoltBond: return cellBox(bolts_, row, BondColumn);
    default: return box(field, row);
    }
}

void LoadsWindow::focusEntry(LoadsField field, int row) {
    QLineEdit* box = entryBox(field, row);
    if (!box) return;
    placeForUse();
    focusForCorrection(this, box);
}

void LoadsWindow::confirm() {
    WrittenFiles written;
    const bool done = workspace_.runCommand([this, &written] { workspace_.writeLoads(written); });
    workspace_.showSaved(statusBar_, written);
    if (done && written.empty() && document().named())
        statusBar_->showMessage(tr("荷载与支护均为缺省值，无需荷载文件"), SavedNoteMilliseconds);
}

void LoadsWindow::analyse() { workspace_.analyse(); }

} // namespace trelmox::ui
