#include "ui/views/reliability_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <memory>

#include "analysis/probabilistic/reliability_bolt.h"
#include "analysis/support.h"
#include "drawing/reliability_plots.h"
#include "ui/background_run.h"
#include "ui/messages.h"
#include "ui/style.h"
#include "ui/views/analysis_labels.h"
#include "ui/views/figure_widget.h"

namespace trelmox::views {

namespace {

// The targets offered, after "none": GB 50153-2008 Table A.1.4 by safety
// class and failure type, then a number of the user's.
struct TargetChoice {
    SafetyClass Class;
    FailureType Type;
};
constexpr TargetChoice TargetChoices[] = {
    {SafetyClass::First, FailureType::Ductile},  {SafetyClass::Second, FailureType::Ductile},
    {SafetyClass::Third, FailureType::Ductile},  {SafetyClass::First, FailureType::Brittle},
    {SafetyClass::Second, FailureType::Brittle}, {SafetyClass::Third, FailureType::Brittle},
};
constexpr int OwnTarget = 7;

QString targetLabel(const TargetChoice& c) {
    const QString level = c.Class == SafetyClass::First    ? ReliabilityPanel::tr("一级")
                          : c.Class == SafetyClass::Second ? ReliabilityPanel::tr("二级")
                                                           : ReliabilityPanel::tr("三级");
    const QString type =
        c.Type == FailureType::Ductile ? ReliabilityPanel::tr("延性破坏") : ReliabilityPanel::tr("脆性破坏");
    return ReliabilityPanel::tr("%1，%2：β = %3").arg(level, type, shortNumber(targetBeta(c.Class, c.Type)));
}

QDoubleSpinBox* numberBox(QWidget* parent, const QString& name, double low, double high, double value, int decimals) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setDecimals(decimals);
    box->setValue(value);
    ui::takeWheelOnlyWhenFocused(box);
    return box;
}

QString sampledText(const std::optional<SampledProbability>& p) {
    if (!p) return QStringLiteral("—");
    return ReliabilityPanel::tr("%1（变异系数 %2，%3 个样本）")
        .arg(shortNumber(p->Pf), p->Cov ? shortNumber(*p->Cov, 2) : QStringLiteral("—"))
        .arg(p->Samples);
}

QString optionalText(const std::optional<double>& v) { return v ? shortNumber(*v) : QStringLiteral("—"); }

// The design bolt's force and direction, the margin it keeps, and how far
// the search for the least-force direction could confirm it.
QString boltText(const ReliabilityResult& r) {
    if (!r.RequiredBoltForce) return u'\n' + QString::fromStdString(reliabilityFailureText(*r.BoltFailure));
    if (!r.DesignBolt) return ReliabilityPanel::tr("\n不加锚杆已达到目标可靠指标");
    const QString force = shortNumber(*r.RequiredBoltForce);
    QString text =
        r.LeastForceBolt
            ? ReliabilityPanel::tr("\n所需锚杆力最小的方向：方位角 %1°，倾伏角 %2°，达到目标所需的锚杆力 %3 kN")
                  .arg(shortNumber(r.DesignBolt->Trend), shortNumber(r.DesignBolt->Plunge), force)
            : ReliabilityPanel::tr("\n达到目标所需的锚杆力 %1 kN").arg(force);
    text += ReliabilityPanel::tr("（该力至其以上 %1% 之间均满足目标，同支护设计的余量）")
                .arg(shortNumber(100 * BoltForceMargin));
    if (r.LeastForceBolt && r.BoltLowerBound)
        text += (r.BoltLeastConfirmed && *r.BoltLeastConfirmed
                     ? ReliabilityPanel::tr("\n已确认为最小：与下界 %1 kN 相差不超过 %2%")
                     : ReliabilityPanel::tr("\n未能确认为最小：任何方向所需的力不小于 %1 kN（相差不超过 %2% 时确认）"))
                    .arg(shortNumber(*r.BoltLowerBound), shortNumber(100 * LeastBoltTolerance));
    return text;
}

QString resultText(const ReliabilityResult& r) {
    if (r.Cancelled) return ReliabilityPanel::tr("计算已取消。");
    if (!r.Design) return QString::fromStdString(reliabilityFailureText(*r.Failure));
    const ReliabilityMode& d = *r.Design;
    QString text = ReliabilityPanel::tr("可靠指标 β = %1（迭代 %2 次，计算安全系数 %3 次）")
                       .arg(shortNumber(d.Beta))
                       .arg(r.Iterations)
                       .arg(r.Evaluations);
    text +=
        ReliabilityPanel::tr("\n失效概率：FORM %1，SORM %2（Breitung %3），重要抽样 %4")
            .arg(shortNumber(d.PfForm), optionalText(r.PfTvedt), optionalText(r.PfBreitung), sampledText(r.Importance));
    text += ReliabilityPanel::tr("\n验算点处的安全系数 %1，接触状态：%2")
                .arg(optionalText(r.FactorAtDesignPoint), QString::fromUtf8(contactDescription(d.Contact)));
    if (r.Modes.size() > 1) {
        text += ReliabilityPanel::tr("\n失效模式 %1 个：").arg(r.Modes.size());
        for (std::size_t m = 0; m < r.Modes.size(); ++m)
            text += ReliabilityPanel::tr("\n    %1. %2，β = %3")
                        .arg(m + 1)
                        .arg(QString::fromUtf8(contactDescription(r.Modes[m].Contact)), shortNumber(r.Modes[m].Beta));
    }
    text += ReliabilityPanel::tr("\n体系失效概率 %1；Ditlevsen 界限 %2 ～ %3；体系可靠指标 %4")
                .arg(sampledText(r.System), optionalText(r.DitlevsenLow), optionalText(r.DitlevsenHigh),
                     optionalText(r.SystemBeta));
    if (r.TargetBeta && r.MeetsTarget)
        text += (*r.MeetsTarget ? ReliabilityPanel::tr("\n目标可靠指标 %1：满足")
                                : ReliabilityPanel::tr("\n目标可靠指标 %1：不满足"))
                    .arg(shortNumber(*r.TargetBeta));
    if (r.DesignBolt || r.LeastForceBolt) text += boltText(r);
    return text;
}

} // namespace

ReliabilityPanel::ReliabilityPanel(RequestSource source, StudyRecords& records, QWidget* parent)
    : QWidget(parent), source_(std::move(source)), records_(records) {
    setObjectName(QStringLiteral("ReliabilityPanel"));
    factor_ = new QComboBox(this);
    factor_->setObjectName(QStringLiteral("ReliabilityFactorBox"));
    factor_->addItems({tr("实际楔块 Fs"), QStringLiteral("Kc")});
    target_ = new QComboBox(this);
    target_->setObjectName(QStringLiteral("TargetBox"));
    target_->addItem(tr("不检验"));
    for (const TargetChoice& c : TargetChoices) target_->addItem(targetLabel(c));
    target_->addItem(tr("自定义"));
    target_->setToolTip(tr("GB 50153-2008 表 A.1.4：结构构件持久设计状况承载能力极限状态的可靠指标"));
    targetValue_ = numberBox(this, QStringLiteral("TargetValueBox"), -10, 10, 3.2, 2);
    cov_ = numberBox(this, QStringLiteral("CovBox"), 0.01, 1, 0.1, 2);
    bolt_ = new QCheckBox(tr("求达到目标所需的锚杆力（主动锚杆）"), this);
    bolt_->setObjectName(QStringLiteral("DesignBoltBox"));
    trend_ = numberBox(this, QStringLiteral("BoltTrendBox"), -360, 360, 0, 1);
    plunge_ = numberBox(this, QStringLiteral("BoltPlungeBox"), -90, 90, 0, 1);
    least_ = new QCheckBox(tr("所需锚杆力最小的方向"), this);
    least_->setObjectName(QStringLiteral("LeastBoltBox"));
    least_->setToolTip(tr("搜索所需锚杆力最小的方向，代替给定的方位角和倾伏角"));
    for (QWidget* box : std::initializer_list<QWidget*>{factor_, target_}) ui::takeWheelOnlyWhenFocused(box);

    auto* start = new QPushButton(tr("计算可靠指标"), this);
    start->setObjectName(QStringLiteral("ReliabilityRunButton"));
    auto* cancel = new QPushButton(tr("取消"), this);
    cancel->setObjectName(QStringLiteral("ReliabilityCancelButton"));
    auto* progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("ReliabilityProgressBar"));
    run_ = new ui::BackgroundRun(start, cancel, progress, this);

    auto* settings = new QHBoxLayout;
    settings->addWidget(new QLabel(tr("安全系数"), this));
    settings->addWidget(factor_);
    settings->addWidget(new QLabel(tr("目标可靠指标"), this));
    settings->addWidget(target_);
    settings->addWidget(targetValue_);
    settings->addWidget(new QLabel(tr("重要抽样变异系数"), this));
    settings->addWidget(cov_);
    settings->addStretch(1);
    auto* boltRow = new QHBoxLayout;
    boltRow->addWidget(bolt_);
    boltRow->addWidget(new QLabel(tr("方位角"), this));
    boltRow->addWidget(trend_);
    boltRow->addWidget(new QLabel(tr("倾伏角"), this));
    boltRow->addWidget(plunge_);
    boltRow->addWidget(least_);
    boltRow->addStretch(1);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(start);
    runRow->addWidget(cancel);
    runRow->addWidget(progress, 1);

    alpha_ = new FigureWidget(this);
    alpha_->setObjectName(QStringLiteral("AlphaPicture"));
    alpha_->setMinimumSize(300, 160);
    summary_ = new QLabel(tr("尚未计算。按“计算可靠指标”以左侧表中的分布计算。"), this);
    summary_->setObjectName(QStringLiteral("ReliabilitySummary"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    summary_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    designPoint_ = new QTableWidget(0, 4, this);
    designPoint_->setObjectName(QStringLiteral("DesignPointTable"));
    designPoint_->setHorizontalHeaderLabels(
        {tr("随机输入"), tr("验算点取值"), QStringLiteral("α"), QStringLiteral("α²")});
    designPoint_->verticalHeader()->setVisible(false);
    designPoint_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    designPoint_->horizontalHeader()->setStretchLastSection(true);
    // The figures in words scroll rather than being cut short.
    auto* words = new QScrollArea(this);
    words->setWidget(summary_);
    words->setWidgetResizable(true);
    words->setFrameShape(QFrame::NoFrame);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(alpha_);
    splitter->addWidget(words);
    splitter->addWidget(designPoint_);
    splitter->setSizes({240, 150, 130});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(settings);
    layout->addLayout(boltRow);
    layout->addLayout(runRow);
    layout->addWidget(splitter, 1);

    const auto enable = [this] {
        const bool idle = !run_->running();
        targetValue_->setEnabled(idle && target_->currentIndex() == OwnTarget);
        bolt_->setEnabled(idle && target_->currentIndex() != 0 && factor_->currentIndex() == 0);
        least_->setEnabled(bolt_->isEnabled() && bolt_->isChecked());
        trend_->setEnabled(least_->isEnabled() && !least_->isChecked());
        plunge_->setEnabled(trend_->isEnabled());
        for (QWidget* box : std::initializer_list<QWidget*>{factor_, target_, cov_}) box->setEnabled(idle);
    };
    connect(target_, &QComboBox::currentIndexChanged, this, enable);
    connect(factor_, &QComboBox::currentIndexChanged, this, enable);
    connect(bolt_, &QCheckBox::toggled, this, enable);
    connect(least_, &QCheckBox::toggled, this, enable);
    connect(run_, &ui::BackgroundRun::runningChanged, this, enable);
    connect(start, &QPushButton::clicked, this, &ReliabilityPanel::start);
    enable();
    showResult(nullptr);
}

bool ReliabilityPanel::running() const { return run_->running(); }

QString ReliabilityPanel::summary() const { return summary_->text(); }

void ReliabilityPanel::setTarget(int choice, double value) {
    target_->setCurrentIndex(choice);
    targetValue_->setValue(value);
}

void ReliabilityPanel::setDesignBolt(std::optional<std::pair<double, double>> direction) {
    bolt_->setChecked(direction.has_value());
    least_->setChecked(false);
    if (direction) trend_->setValue(direction->first), plunge_->setValue(direction->second);
}

void ReliabilityPanel::setLeastForceBolt() {
    bolt_->setChecked(true);
    least_->setChecked(true);
}

ReliabilitySettings ReliabilityPanel::chosenSettings(const ProbabilisticSettings& inputs) const {
    ReliabilitySettings s;
    s.Inputs = inputs;
    s.Factor = factor_->currentIndex() == 1 ? ReliabilityFactor::Kc : ReliabilityFactor::Fs;
    s.TargetCov = cov_->value();
    const int target = target_->currentIndex();
    if (target == OwnTarget)
        s.TargetBeta = targetValue_->value();
    else if (target > 0)
        s.TargetBeta = targetBeta(TargetChoices[target - 1].Class, TargetChoices[target - 1].Type);
    if (s.TargetBeta && bolt_->isChecked() && s.Factor == ReliabilityFactor::Fs) {
        if (least_->isChecked())
            s.LeastForceBolt = true;
        else
            s.DesignBolt = LineDirection{trend_->value(), plunge_->value()};
    }
    return s;
}

void ReliabilityPanel::start() {
    if (run_->running()) return;
    Request request;
    ReliabilitySettings settings;
    WedgeLoads loads;
    const bool ready = ui::runCommand([&] {
        request = source_();
        settings = chosenSettings(request.Inputs);
        loads = enteredLoads(request.Block);
        const ViewedBlock& b = request.Block;
        inWindowWords([&] { validateReliability(blockInputs(b.Attitudes, enteredParameters(b), loads), settings); });
    });
    if (!ready) return;
    const RunBasis basis = runBasis(request.Block);
    auto found = std::make_shared<std::optional<ReliabilityResult>>();
    summary_->setText(tr("计算中…"));
    run_->start(
        [found, block = request.Block, loads, settings](const ProgressCallback& progress) {
            *found = runReliability(block.Attitudes, enteredParameters(block), loads, settings, progress);
            return !(*found)->Cancelled;
        },
        [this, basis, settings, found](std::exception_ptr failure) {
            finish(basis, settings, std::move(*found), failure);
        });
}

void ReliabilityPanel::finish(const RunBasis& basis, const ReliabilitySettings& settings,
                              std::optional<ReliabilityResult> result, std::exception_ptr failure) {
    if (failure || !result) {
        records_.LastReliability.reset(); // no figure of other settings beside these
        showResult(nullptr);
        summary_->setText(tr("计算失败。"));
        if (failure) ui::runCommand([&failure] { inWindowWords([&failure] { std::rethrow_exception(failure); }); });
    } else if (result->Cancelled) {
        summary_->setText(tr("计算已取消。"));
    } else {
        records_.LastReliability = StudyRecords::ReliabilityRecord{basis, {settings, std::move(*result)}};
        showResult(&records_.LastReliability->Run.Result);
    }
    emit analysisFinished();
}

void ReliabilityPanel::showRun(const ViewedBlock& block) {
    const auto& last = records_.LastReliability;
    showResult(last ? &last->Run.Result : nullptr);
    if (last && last->Basis != runBasis(block))
        summary_->setText(summary_->text() + tr("\n（块体数据在此次计算后已修改，请重新计算）"));
}

void ReliabilityPanel::showResult(const ReliabilityResult* result) {
    alpha_->setFigure(alphaFigure(result));
    designPoint_->setRowCount(0);
    if (!result) {
        summary_->setText(tr("尚未计算。按“计算可靠指标”以左侧表中的分布计算。"));
        return;
    }
    summary_->setText(resultText(*result));
    if (!result->Design) return;
    const ReliabilityMode& d = *result->Design;
    designPoint_->setRowCount(static_cast<int>(result->Inputs.size()));
    for (std::size_t k = 0; k < result->Inputs.size(); ++k) {
        const int row = static_cast<int>(k);
        const QString cells[] = {parameterLabel(result->Inputs[k]), shortNumber(d.DesignPoint[k], 6),
                                 shortNumber(d.Alpha[k]), shortNumber(d.Alpha[k] * d.Alpha[k])};
        for (int column = 0; column < 4; ++column)
            designPoint_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    designPoint_->resizeColumnsToContents();
}

} // namespace trelmox::views
