#include "ui/views/sensitivity_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>

#include "commands/study_commands.h"
#include "document/block_document.h"
#include "drawing/kc_plots.h"
#include "model/numtext.h"
#include "ui/messages.h"
#include "ui/style.h"
#include "ui/views/analysis_labels.h"
#include "ui/views/figure_widget.h"
#include "ui/views/picture_file.h"

namespace trelmox::views {
namespace {

// A range that shows the input's influence around the block's value.
std::pair<double, double> rangeAround(Parameter p, double value) {
    switch (p) {
    case Parameter::Dip1:
    case Parameter::Dip2:
    case Parameter::DipTop:
    case Parameter::DipFace: return {std::clamp(value - 15, 0.0, 90.0), std::clamp(value + 15, 0.0, 90.0)};
    case Parameter::DipDir1:
    case Parameter::DipDir2:
    case Parameter::DipDirTop:
    case Parameter::DipDirFace: return {value - 30, value + 30};
    default: return value > 0 ? std::pair{value * 0.5, value * 1.5} : std::pair{0.0, 1.0};
    }
}

std::optional<BlockInputs> inputsOf(const ViewedBlock& block) {
    try {
        const WedgeLoads loads = enteredLoads(block);
        return blockInputs(block.Attitudes, enteredParameters(block), loads);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// The block's own Fs, when its real wedge exists.
std::optional<double> blockFullFactor(const ViewedBlock& block) {
    auto inputs = inputsOf(block);
    if (!inputs) return std::nullopt;
    try {
        const FullAnalysis own = evaluateFull(*inputs);
        if (own.Refusal || own.Safety.Contact == TWedgeContact::Unresolved) return std::nullopt;
        return own.Safety.Factor;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace

SensitivityWindow::SensitivityWindow(BlockSource source, StudyRecords* records, QWidget* parent)
    : QWidget(parent, Qt::Window), source_(std::move(source)), records_(records ? *records : ownRecords_) {
    setObjectName(QStringLiteral("SensitivityWindow"));
    setWindowTitle(tr("敏感性分析"));
    ui::fitToScreen(this, {860, 620});
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("BlockCaption"));
    parameter_ = new QComboBox(this);
    parameter_->setObjectName(QStringLiteral("ParameterBox"));
    parameter_->addItem(parameterLabel(Parameter::Friction1), static_cast<int>(Parameter::Friction1));
    from_ = new QLineEdit(this);
    from_->setObjectName(QStringLiteral("FromBox"));
    to_ = new QLineEdit(this);
    to_->setObjectName(QStringLiteral("ToBox"));
    stepCount_ = new QSpinBox(this);
    stepCount_->setObjectName(QStringLiteral("StepsBox"));
    stepCount_->setRange(1, 10000);
    stepCount_->setValue(40);
    for (QWidget* box : std::initializer_list<QWidget*>{parameter_, stepCount_}) ui::takeWheelOnlyWhenFocused(box);
    auto* computeButton = new QPushButton(tr("计算"), this);
    computeButton->setObjectName(QStringLiteral("ComputeButton"));
    auto* save = new QPushButton(tr("保存图片…"), this);
    save->setObjectName(QStringLiteral("SavePictureButton"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(tr("参数"), this));
    controls->addWidget(parameter_, 1);
    controls->addWidget(new QLabel(tr("从"), this));
    controls->addWidget(from_);
    controls->addWidget(new QLabel(tr("到"), this));
    controls->addWidget(to_);
    controls->addWidget(new QLabel(tr("步数"), this));
    controls->addWidget(stepCount_);
    controls->addWidget(computeButton);

    picture_ = new FigureWidget(this);
    picture_->setObjectName(QStringLiteral("SensitivityPicture"));
    picture_->setMinimumSize(480, 360);
    showPlot(std::nullopt);
    summary_ = new QLabel(tr("尚未计算。"), this);
    summary_->setObjectName(QStringLiteral("SummaryLabel"));
    stale_ = new QLabel(this);
    stale_->setObjectName(QStringLiteral("StaleNote"));
    stale_->setStyleSheet(QStringLiteral("color: #c00000"));
    summary_->setWordWrap(true);
    summary_->setMinimumHeight(3 * summary_->fontMetrics().lineSpacing()); // Kc's and Fs's findings, wrapped

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(stale_);
    bottom->addWidget(summary_, 1);
    bottom->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption_);
    layout->addLayout(controls);
    layout->addWidget(picture_, 1);
    layout->addLayout(bottom);

    connect(parameter_, &QComboBox::activated, this, [this] { proposeRange(); });
    for (QLineEdit* box : {from_, to_}) connect(box, &QLineEdit::textEdited, this, [this] { takeEdits(); });
    connect(stepCount_, &QSpinBox::valueChanged, this, [this] { takeEdits(); });
    connect(computeButton, &QPushButton::clicked, this, &SensitivityWindow::compute);
    connect(save, &QPushButton::clicked, this,
            [this] { askAndSavePicture(this, picture_, suggestedPicturePath(block_, windowTitle())); });
    if (const auto& entries = records_.Sensitivity) {
        updateBlock();
        setRange(QString::fromStdString(entries->From), QString::fromStdString(entries->To), entries->Steps);
    } else {
        refresh();
    }
}

void SensitivityWindow::takeEdits() {
    records_.Sensitivity = SensitivityEntries{parameter(), from_->text().trimmed().toStdString(),
                                              to_->text().trimmed().toStdString(), stepCount_->value()};
}

const std::vector<SensitivityStep>& SensitivityWindow::steps() const {
    static const std::vector<SensitivityStep> none;
    return records_.LastSensitivity ? records_.LastSensitivity->Run.Steps : none;
}

Parameter SensitivityWindow::parameter() const { return static_cast<Parameter>(parameter_->currentData().toInt()); }

void SensitivityWindow::refresh() {
    updateBlock();
    proposeRange();
}

// The list offers a load's inputs only where the block has that load; the
// chosen input stays chosen while it is offered.
void SensitivityWindow::updateBlock() {
    block_ = source_();
    caption_->setText(blockCaption(block_));
    showStale();
    const auto inputs = inputsOf(block_);
    const Parameter chosen = records_.Sensitivity ? records_.Sensitivity->Input : parameter();
    parameter_->clear();
    for (int i = 0; i < ParameterCount; ++i) {
        const auto p = static_cast<Parameter>(i);
        if (inputUse(inputs ? &*inputs : nullptr, p) != InputUse::Absent) parameter_->addItem(parameterLabel(p), i);
    }
    const int index = parameter_->findData(static_cast<int>(chosen));
    parameter_->setCurrentIndex(index >= 0 ? index : parameter_->findData(static_cast<int>(Parameter::Friction1)));
}

void SensitivityWindow::proposeRange() {
    const auto inputs = inputsOf(block_);
    const auto [from, to] = rangeAround(parameter(), inputs ? parameterValue(*inputs, parameter()) : 0);
    setRange(shortNumber(from, 6), shortNumber(to, 6), stepCount_->value());
}

void SensitivityWindow::setParameter(Parameter parameter) {
    parameter_->setCurrentIndex(parameter_->findData(static_cast<int>(parameter)));
    proposeRange();
}

void SensitivityWindow::setRange(const QString& from, const QString& to, int steps) {
    from_->setText(from);
    to_->setText(to);
    stepCount_->setValue(steps);
    takeEdits();
}

void SensitivityWindow::compute() {
    ui::runCommand([this] {
        updateBlock();
        const double from = textToFloat(from_->text().trimmed().toStdString());
        const double to = textToFloat(to_->text().trimmed().toStdString());
        const WedgeLoads loads = enteredLoads(block_);
        std::optional<std::vector<SensitivityStep>> computed;
        inWindowWords([&] {
            computed = commands::sensitivityStudy({block_.Attitudes, enteredParameters(block_), loads}, parameter(),
                                                  from, to, stepCount_->value(), commands::silentFeedback());
        });
        records_.LastSensitivity = StudyRecords::SensitivityRecord{
            runBasis(block_), sensitivityRun(parameter(), std::move(computed).value(), inputsOf(block_))};
        const std::vector<SensitivityStep>& done = steps();
        showStale();
        const std::optional<BlockPoint>& own = records_.LastSensitivity->Run.Own;
        showPlot(own);

        QStringList lines;
        if (own)
            lines << tr("块体取值 %1 时 Kc = %2").arg(shortNumber(own->Value, 6), shortNumber(own->SafetyFactor, 5));
        if (const auto fs = blockFullFactor(block_)) lines << QStringLiteral("Fs = %1").arg(shortNumber(*fs, 5));
        const auto crossingWords = [this](const std::vector<double>& values, const QString& limit,
                                          const QString& none) {
            QStringList texts;
            for (double value : values) texts << shortNumber(value, 4);
            return texts.isEmpty() ? none
                                   : tr("%1 时 %2 ≈ %3").arg(limit, parameter_->currentText(), texts.join(tr("、")));
        };
        lines << crossingWords(limitCrossings(done), QStringLiteral("Kc = 1"), tr("所选范围内 Kc 不经过 1"));
        const double required = loads.RequiredFactor;
        lines << crossingWords(limitCrossings(done, true, required),
                               QStringLiteral("Fs = %1").arg(shortNumber(required)),
                               tr("所选范围内 Fs 不经过所需安全系数 %1").arg(shortNumber(required)));
        const auto failed = std::count_if(done.begin(), done.end(), [](const SensitivityStep& s) { return !s.Result; });
        const auto noBlock = std::count_if(done.begin(), done.end(), [](const SensitivityStep& s) {
            return s.Result && s.Result->Contact == TWedgeContact::NoBlock;
        });
        if (noBlock > 0) lines << tr("不能切出块体 %1 步").arg(noBlock);
        if (failed > 0) lines << tr("计算失败 %1 步").arg(failed);
        summary_->setText(lines.join(tr("；")));
    });
}

// The last run stays on screen, marked when the block has changed since;
// "计算" runs it again on the block as it stands.
void SensitivityWindow::showStale() {
    const bool stale = !steps().empty() && records_.LastSensitivity->Basis != runBasis(block_);
    stale_->setText(stale ? QString::fromUtf8(staleResultsNote()) + tr("（按“计算”重新计算）") : QString());
}

void SensitivityWindow::showPlot(const std::optional<BlockPoint>& block) {
    picture_->setFigure(sensitivityFigure(steps(), parameter_->currentText().toStdString(), block));
}

std::optional<SensitivityRun> SensitivityWindow::runFor(const ViewedBlock& block) const {
    return records_.sensitivityRunFor(runBasis(block));
}

QString SensitivityWindow::summary() const { return summary_->text(); }

} // namespace trelmox::views
