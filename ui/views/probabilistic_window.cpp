#include "ui/views/probabilistic_window.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <memory>
#include <utility>

#include "commands/study_commands.h"
#include "document/block_document.h"
#include "drawing/kc_plots.h"
#include "model/numtext.h"
#include "ui/background_run.h"
#include "ui/messages.h"
#include "ui/style.h"
#include "ui/views/analysis_labels.h"
#include "ui/views/figure_widget.h"
#include "ui/views/picture_file.h"
#include "ui/views/reliability_panel.h"
#include "ui/core_texts.h"

namespace trelmox::views {
namespace {

enum Column {
    NameColumn,
    ValueColumn,
    KindColumn,
    SpreadColumn,
    LowColumn,
    HighColumn,
    TruncateLowColumn,
    TruncateHighColumn,
    ColumnCount
};
// The kinds in the order of Distribution::Kind, which the list shows.
enum Kind { FixedKind, NormalKind, UniformKind, LognormalKind, ExponentialKind, TriangularKind, BetaKind, GammaKind };

// A typical scatter of each input: a few degrees for a measured dip, more
// for a dip direction, a tenth of the value for the others.
double typicalSpread(Parameter p, double value) {
    if (isDip(p)) return 2;
    if (isDipDirection(p)) return 5;
    return std::abs(value) * 0.1;
}

// What a first analysis varies: the attitudes and the strengths of the two
// cutting planes, the quantities that are least certain in the field.
Kind defaultKind(Parameter p) {
    switch (p) {
    case Parameter::Dip1:
    case Parameter::DipDir1:
    case Parameter::Dip2:
    case Parameter::DipDir2:
    case Parameter::Cohesion1:
    case Parameter::Friction1:
    case Parameter::Cohesion2:
    case Parameter::Friction2: return NormalKind;
    default: return FixedKind;
    }
}

Distribution::Kind distributionKind(int kind) {
    return kind >= 0 && kind < DistributionKindCount ? static_cast<Distribution::Kind>(kind)
                                                     : Distribution::Kind::Fixed;
}

bool usesSpread(int kind) {
    return kind == NormalKind || kind == LognormalKind || kind == BetaKind || kind == GammaKind;
}
bool usesBounds(int kind) { return kind == UniformKind || kind == TriangularKind || kind == BetaKind; }

Parameter parameterOfRow(int row) { return static_cast<Parameter>(row); }

QString statisticsLine(const SafetyStatistics& s) {
    return ProbabilisticWindow::tr("均值 %1    标准差 %2    最小 %3    最大 %4")
        .arg(shortNumber(s.Mean), shortNumber(s.Sd), shortNumber(s.Min), shortNumber(s.Max));
}

QString percent(double fraction) { return QString::number(fraction * 100, 'f', 2) + u'%'; }

// The full factor: its wedges and P(Fs < required) beside P(Fs < 1).
QString fullFactorText(const FullFactorSummary& full) {
    QString text = ProbabilisticWindow::tr("\n%1：实际楔块 %2 个")
                       .arg(ui::coreText(ProbabilisticResult::FsMethod))
                       .arg(full.Wedges);
    if (!full.Statistics) return text + ProbabilisticWindow::tr("，无法统计 Fs。");
    return text + ProbabilisticWindow::tr("，P(Fs<%1) = %2，P(Fs<1) = %3\n    %4")
                      .arg(shortNumber(full.RequiredFactor), percent(full.PBelowRequired), percent(full.Statistics->Pf),
                           statisticsLine(*full.Statistics));
}

// Four significant digits with the unit: sizes span many decades.
QString sizeNumber(double value, const char* unit) { return shortNumber(value, 4) + u' ' + QString::fromUtf8(unit); }

// The failed wedges' sizes; with size limits, the wedges left out as too
// small and, for a bench with a catch width, the bench reliability.
QString sizesText(const FullFactorSummary& full, const WedgeSizeLimits* limits) {
    QString text;
    if (const auto& sizes = full.FailedSizes)
        text +=
            ProbabilisticWindow::tr("\n破坏楔块（Fs<1）%1 个：体积均值 %2，5%/50%/95% 分位 %3 / %4 / %5；重量均值 %6")
                .arg(sizes->Count)
                .arg(sizeNumber(sizes->MeanVolume, "m³"), sizeNumber(sizes->Volume5, "m³"),
                     sizeNumber(sizes->Volume50, "m³"), sizeNumber(sizes->Volume95, "m³"),
                     sizeNumber(sizes->MeanWeight, "kN"));
    if (!limits) return text;
    if (limits->MinVolume || limits->MinWeight || limits->MinHeight)
        text += ProbabilisticWindow::tr("\n小于最小尺寸的楔块 %1 个（过小，不计入各概率）").arg(full.TooSmall);
    if (limits->Bench && limits->Bench->CatchWidth)
        text += ProbabilisticWindow::tr("\n台阶可靠度 %1（剩余平台窄于最小安全平台宽度 %2 的楔块 %3 个，占 %4）")
                    .arg(percent(1 - full.PBenchTooNarrow), sizeNumber(*limits->Bench->CatchWidth, "m"))
                    .arg(full.BenchTooNarrow)
                    .arg(percent(full.PBenchTooNarrow));
    return text;
}

// The samples and the statistics of both factors in words, each named by
// its method, for under the histograms; the sizes when the run has them.
QString statisticsText(const ProbabilisticResult& result, const WedgeSizeLimits* limits) {
    if (result.Cancelled) return ProbabilisticWindow::tr("计算已取消。");
    const auto count = [&result](TWedgeContact c) { return result.Contacts[static_cast<int>(c)]; };
    QString text =
        ProbabilisticWindow::tr(
            "样本 %1 个，切出块体 %2 个（双面接触 %3，单面接触 %4，浮起 %5），不能切出块体 %6，未定 %7，计算失败 %8。")
            .arg(result.Samples)
            .arg(result.Wedges)
            .arg(count(TWedgeContact::BothPlanes))
            .arg(count(TWedgeContact::FirstPlaneOnly) + count(TWedgeContact::SecondPlaneOnly))
            .arg(count(TWedgeContact::LiftOff))
            .arg(count(TWedgeContact::NoBlock))
            .arg(count(TWedgeContact::Unresolved))
            .arg(result.Failed);
    const QString kc = ui::coreText(ProbabilisticResult::KcMethod);
    if (!result.Statistics)
        text += ProbabilisticWindow::tr("\n%1：没有切出块体的样本，无法统计 Kc。").arg(kc);
    else
        text += ProbabilisticWindow::tr("\n%1：P(Kc<1) = %2\n    %3")
                    .arg(kc, percent(result.Statistics->Pf), statisticsLine(*result.Statistics));
    return text + fullFactorText(result.Full) + sizesText(result.Full, limits);
}

const WedgeSizeLimits* runLimits(const StudyRecords::ProbabilisticRecord& record) {
    return record.Basis.Loads ? &record.Basis.Loads->Size : nullptr;
}

} // namespace

ProbabilisticWindow::ProbabilisticWindow(BlockSource source, StudyRecords* records, QWidget* parent)
    : QWidget(parent, Qt::Window), source_(std::move(source)), records_(records ? *records : ownRecords_) {
    setObjectName(QStringLiteral("ProbabilisticWindow"));
    setWindowTitle(tr("可靠度分析"));
    ui::fitToScreen(this, {1180, 680});
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("BlockCaption"));
    buildTable();

    samples_ = new QSpinBox(this);
    samples_->setObjectName(QStringLiteral("SamplesBox"));
    samples_->setRange(1, static_cast<int>(MaxSamples));
    samples_->setValue(10000);
    samples_->setSingleStep(1000);
    method_ = new QComboBox(this);
    method_->setObjectName(QStringLiteral("MethodBox"));
    method_->addItems({tr("蒙特卡洛法"), tr("拉丁超立方抽样")});
    seed_ = new QSpinBox(this);
    seed_->setObjectName(QStringLiteral("SeedBox"));
    seed_->setRange(0, 2147483647);
    seed_->setValue(1);
    bins_ = new QSpinBox(this);
    bins_->setObjectName(QStringLiteral("BinsBox"));
    bins_->setRange(5, 200);
    bins_->setValue(30);
    for (int k = 0; k < 2; ++k) {
        correlation_[k] = new QDoubleSpinBox(this);
        correlation_[k]->setObjectName(QStringLiteral("Correlation%1Box").arg(k + 1));
        correlation_[k]->setRange(-1, 1);
        correlation_[k]->setDecimals(2);
        correlation_[k]->setSingleStep(0.1);
        correlation_[k]->setToolTip(tr("两者都按分布变化时才起作用；通常为负值"));
        ui::takeWheelOnlyWhenFocused(correlation_[k]);
    }
    for (QWidget* box : std::initializer_list<QWidget*>{samples_, method_, seed_, bins_})
        ui::takeWheelOnlyWhenFocused(box);
    auto* form = new QFormLayout;
    form->addRow(tr("样本数"), samples_);
    form->addRow(tr("抽样方法"), method_);
    form->addRow(tr("随机种子"), seed_);
    form->addRow(tr("直方图分组数"), bins_);
    form->addRow(tr("平面1 c1 与 f1 的相关系数"), correlation_[0]);
    form->addRow(tr("平面2 c2 与 f2 的相关系数"), correlation_[1]);

    run_ = new QPushButton(tr("开始计算"), this);
    run_->setObjectName(QStringLiteral("RunButton"));
    cancel_ = new QPushButton(tr("取消"), this);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    auto* save = new QPushButton(tr("保存图片…"), this);
    save->setObjectName(QStringLiteral("SavePictureButton"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar"));
    progress_->setRange(0, 1000);
    progress_->setValue(0);

    auto* settingsPanel = new QWidget(this);
    auto* settingsLayout = new QVBoxLayout(settingsPanel);
    settingsLayout->setContentsMargins(0, 0, 0, 0);
    settingsLayout->addWidget(table_, 1);
    settingsLayout->addLayout(form);

    picture_ = new FigureWidget(this);
    picture_->setObjectName(QStringLiteral("HistogramPicture"));
    picture_->setMinimumSize(480, 360);
    volumePicture_ = new FigureWidget(this);
    volumePicture_->setObjectName(QStringLiteral("VolumePicture"));
    pictures_ = new QTabWidget(this);
    pictures_->setObjectName(QStringLiteral("PictureTabs"));
    pictures_->addTab(picture_, tr("安全系数 Kc"));
    pictures_->addTab(volumePicture_, tr("破坏楔块体积"));
    // FORM, SORM and importance sampling with the table's distributions.
    reliability_ = new ReliabilityPanel(
        [this] {
            updateBlock();
            return ReliabilityPanel::Request{block_, settings()};
        },
        records_, this);
    pictures_->addTab(reliability_, tr("可靠指标 β"));
    showPlot();
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("SummaryLabel"));
    stale_ = new QLabel(this);
    stale_->setObjectName(QStringLiteral("StaleNote"));
    stale_->setStyleSheet(QStringLiteral("color: #c00000"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    summary_->setMinimumHeight(8 * summary_->fontMetrics().lineSpacing()); // the statistics of both factors, wrapped
    summary_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    summary_->setText(tr("尚未计算。设定各参数的分布后按“开始计算”。"));
    auto* chartPanel = new QWidget(this);
    auto* chartLayout = new QVBoxLayout(chartPanel);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(pictures_, 1);
    chartLayout->addWidget(stale_);
    chartLayout->addWidget(summary_);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(settingsPanel);
    splitter->addWidget(chartPanel);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({520, 660});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(run_);
    buttons->addWidget(cancel_);
    buttons->addWidget(progress_, 1);
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption_);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    // The run button starts only once the settings pass (start); the
    // runner enables both buttons and cancels on its cancel button.
    background_ = new ui::BackgroundRun(run_, cancel_, progress_, this);
    connect(background_, &ui::BackgroundRun::runningChanged, table_, [this](bool on) { table_->setEnabled(!on); });
    connect(run_, &QPushButton::clicked, this, &ProbabilisticWindow::start);
    connect(save, &QPushButton::clicked, this, [this] {
        FigureWidget* shown = pictures_->currentWidget() == volumePicture_ ? volumePicture_
                              : pictures_->currentWidget() == reliability_ ? reliability_->alphaPicture()
                                                                           : picture_;
        askAndSavePicture(this, shown, suggestedPicturePath(block_, windowTitle()));
    });
    // The block's values shown beside the settings are no edit of them.
    connect(table_, &QTableWidget::itemChanged, this, [this](const QTableWidgetItem* item) {
        if (item->column() >= SpreadColumn) takeEdits();
    });
    connect(method_, &QComboBox::activated, this, [this] { takeEdits(); });
    for (QSpinBox* box : {samples_, seed_, bins_}) connect(box, &QSpinBox::valueChanged, this, [this] { takeEdits(); });
    for (QDoubleSpinBox* box : correlation_) connect(box, &QDoubleSpinBox::valueChanged, this, [this] { takeEdits(); });
    // Settings already recorded (the window made again) are shown as they
    // are; the first time, they are proposed around the block's values.
    if (records_.Probabilistic) {
        updateBlock();
        showRun();
    } else {
        refresh();
    }
    reliability_->showRun(block_);
}

void ProbabilisticWindow::buildTable() {
    table_ = new QTableWidget(ParameterCount, ColumnCount, this);
    table_->setObjectName(QStringLiteral("DistributionTable"));
    table_->setHorizontalHeaderLabels(
        {tr("参数"), tr("块体取值"), tr("分布"), tr("标准差"), tr("下限"), tr("上限"), tr("截断下限"), tr("截断上限")});
    // What each kind takes, beside its name in the list.
    table_->horizontalHeaderItem(KindColumn)
        ->setToolTip(tr("正态、对数正态、伽马分布：均值为块体取值，填标准差；\n"
                        "指数分布：均值为块体取值；均匀分布：填下限和上限；\n"
                        "三角形分布：下限、上限，最可能值为块体取值；\n"
                        "贝塔分布：均值为块体取值，填标准差、下限和上限。\n"
                        "截断下限、上限（可只填一个）：只在其间抽样。"));
    table_->verticalHeader()->setVisible(false);
    for (int row = 0; row < ParameterCount; ++row) {
        auto* name = new QTableWidgetItem(parameterLabel(parameterOfRow(row)));
        name->setFlags(Qt::ItemIsEnabled);
        table_->setItem(row, NameColumn, name);
        auto* value = new QTableWidgetItem;
        value->setFlags(Qt::ItemIsEnabled);
        table_->setItem(row, ValueColumn, value);
        for (int column = SpreadColumn; column < ColumnCount; ++column)
            table_->setItem(row, column, new QTableWidgetItem);
        auto* kind = new QComboBox(table_);
        ui::takeWheelOnlyWhenFocused(kind);
        for (int k = 0; k < DistributionKindCount; ++k)
            kind->addItem(QString::fromUtf8(distributionCaption(static_cast<Distribution::Kind>(k))));
        table_->setCellWidget(row, KindColumn, kind);
        connect(kind, &QComboBox::activated, this, [this, row](int index) { fillDefaults(row, index); });
    }
    // Each column follows what it holds, so that a figure typed or proposed
    // is never cut or wrapped ("0.0364", not "0.…").
    table_->setWordWrap(false);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
}

// The numbers a newly chosen distribution starts from, around the block's
// value; the user edits them.
void ProbabilisticWindow::fillDefaults(int row, int kind) {
    const Parameter p = parameterOfRow(row);
    const double value = inputs_ ? parameterValue(*inputs_, p) : 0;
    const double spread = typicalSpread(p, value);
    QString first, second, third;
    if (kind == NormalKind || kind == LognormalKind || kind == GammaKind) first = shortNumber(spread, 6);
    if (kind == UniformKind || kind == TriangularKind) {
        first = shortNumber(value - 2 * spread, 6);
        second = shortNumber(value + 2 * spread, 6);
    }
    if (kind == BetaKind) {
        first = shortNumber(spread, 6);
        second = shortNumber(value - 3 * spread, 6);
        third = shortNumber(value + 3 * spread, 6);
    }
    setDistribution(p, kind, first, second, third);
}

void ProbabilisticWindow::setDistribution(Parameter parameter, int kind, const QString& first, const QString& second,
                                          const QString& third) {
    const int row = static_cast<int>(parameter);
    const bool showing = std::exchange(showing_, true);
    static_cast<QComboBox*>(table_->cellWidget(row, KindColumn))->setCurrentIndex(kind);
    // The numbers in the tool's order: the deviation first where the kind
    // has one, then the bounds.
    const QString numbers[] = {first, second, third};
    int next = 0;
    table_->item(row, SpreadColumn)->setText(usesSpread(kind) ? numbers[next++] : QString());
    table_->item(row, LowColumn)->setText(usesBounds(kind) ? numbers[next++] : QString());
    table_->item(row, HighColumn)->setText(usesBounds(kind) ? numbers[next++] : QString());
    showing_ = showing;
    takeEdits();
}

void ProbabilisticWindow::setTruncation(Parameter parameter, const QString& low, const QString& high) {
    const int row = static_cast<int>(parameter);
    table_->item(row, TruncateLowColumn)->setText(low);
    table_->item(row, TruncateHighColumn)->setText(high);
}

void ProbabilisticWindow::setSamples(int samples) { samples_->setValue(samples); }

void ProbabilisticWindow::takeEdits() {
    if (showing_) return;
    ProbabilisticEntries entries;
    for (int row = 0; row < ParameterCount; ++row) {
        DistributionEntry& e = entries.Distributions[row];
        e.Type = distributionKind(static_cast<QComboBox*>(table_->cellWidget(row, KindColumn))->currentIndex());
        const auto text = [&](int column) { return table_->item(row, column)->text().trimmed().toStdString(); };
        e.Spread = text(SpreadColumn), e.Low = text(LowColumn), e.High = text(HighColumn);
        e.TruncateLow = text(TruncateLowColumn), e.TruncateHigh = text(TruncateHighColumn);
    }
    entries.Correlation = {correlation_[0]->value(), correlation_[1]->value()};
    entries.Samples = samples_->value();
    entries.Seed = seed_->value();
    entries.Method = method_->currentIndex() == 0 ? SamplingMethod::MonteCarlo : SamplingMethod::LatinHypercube;
    entries.HistogramBins = bins_->value();
    records_.Probabilistic = entries;
}

void ProbabilisticWindow::showEntries() {
    if (!records_.Probabilistic) return;
    const ProbabilisticEntries& entries = *records_.Probabilistic;
    showing_ = true;
    for (int row = 0; row < ParameterCount; ++row) {
        const DistributionEntry& e = entries.Distributions[row];
        static_cast<QComboBox*>(table_->cellWidget(row, KindColumn))->setCurrentIndex(static_cast<int>(e.Type));
        const auto show = [&](int column, const std::string& text) {
            table_->item(row, column)->setText(QString::fromStdString(text));
        };
        show(SpreadColumn, e.Spread), show(LowColumn, e.Low), show(HighColumn, e.High);
        show(TruncateLowColumn, e.TruncateLow), show(TruncateHighColumn, e.TruncateHigh);
    }
    for (int k = 0; k < 2; ++k) correlation_[k]->setValue(entries.Correlation[k]);
    samples_->setValue(entries.Samples);
    seed_->setValue(entries.Seed);
    method_->setCurrentIndex(entries.Method == SamplingMethod::MonteCarlo ? 0 : 1);
    bins_->setValue(entries.HistogramBins);
    showing_ = false;
}

std::optional<ProbabilisticResult> ProbabilisticWindow::result() const {
    if (running() || !records_.LastProbabilistic) return std::nullopt;
    return records_.LastProbabilistic->Run.Result;
}

// The last run as recorded: its histogram and its statistics in words.
void ProbabilisticWindow::showRun() {
    if (records_.LastProbabilistic)
        summary_->setText(
            statisticsText(records_.LastProbabilistic->Run.Result, runLimits(*records_.LastProbabilistic)));
    showPlot();
    showStale();
}

void ProbabilisticWindow::updateBlock() {
    block_ = source_();
    caption_->setText(blockCaption(block_));
    showStale();
    try {
        const WedgeLoads loads = enteredLoads(block_);
        inputs_ = blockInputs(block_.Attitudes, enteredParameters(block_), loads);
    } catch (const std::exception&) {
        inputs_.reset(); // a run reports the bad text
    }
    for (int row = 0; row < ParameterCount; ++row) {
        const Parameter p = parameterOfRow(row);
        table_->item(row, ValueColumn)
            ->setText(inputs_ ? shortNumber(parameterValue(*inputs_, p), 6) : QStringLiteral("—"));
        // A load's row only where the block has that load; computed water
        // pressures follow the water unit weight and the height.
        const InputUse use = inputUse(inputs_ ? &*inputs_ : nullptr, p);
        table_->setRowHidden(row, use == InputUse::Absent);
        table_->cellWidget(row, KindColumn)->setEnabled(use == InputUse::Variable);
    }
    showEntries();
    // An input the block cannot vary is held at the block's value.
    for (int row = 0; row < ParameterCount; ++row)
        if (!table_->cellWidget(row, KindColumn)->isEnabled() &&
            static_cast<QComboBox*>(table_->cellWidget(row, KindColumn))->currentIndex() != FixedKind)
            fillDefaults(row, FixedKind);
}

void ProbabilisticWindow::refresh() {
    updateBlock();
    for (int row = 0; row < ParameterCount; ++row)
        if (table_->cellWidget(row, KindColumn)->isEnabled()) fillDefaults(row, defaultKind(parameterOfRow(row)));
}

ProbabilisticSettings ProbabilisticWindow::settings() const {
    return probabilisticSettings(records_.Probabilistic.value_or(ProbabilisticEntries{}));
}

void ProbabilisticWindow::start() {
    if (running()) return;
    ui::runCommand([this] {
        updateBlock();
        const ProbabilisticSettings chosen = settings();
        const WedgeLoads loads = enteredLoads(block_);
        for (int k = 0; k < 2; ++k) {
            const auto strength = [&](Parameter p) { return chosen.Distributions[static_cast<int>(p)].Type; };
            const bool both =
                strength(k == 0 ? Parameter::Cohesion1 : Parameter::Cohesion2) != Distribution::Kind::Fixed &&
                strength(k == 0 ? Parameter::Friction1 : Parameter::Friction2) != Distribution::Kind::Fixed;
            if (chosen.Correlation[k] != 0 && !both)
                throw Error::refused(
                    tr("平面%1的相关系数只在其粘聚力和摩擦系数都按分布变化时才能给出").arg(k + 1).toStdString());
        }
        inWindowWords(
            [&] { validateSettings(blockInputs(block_.Attitudes, enteredParameters(block_), loads), chosen); });
        launch(loads, chosen);
    });
}

// The samples run in the background; the worker touches copies only, and
// its result comes back to the window's thread when it ends.
void ProbabilisticWindow::launch(const WedgeLoads& loads, const ProbabilisticSettings& chosen) {
    runBlock_ = block_;
    runSettings_ = chosen;
    // The window always shows the failed wedges' volumes.
    runSettings_.FailedVolumes = true;
    auto result = std::make_shared<ProbabilisticResult>();
    const bool started = background_->startCommand(
        [result, block = commands::StudyBlock{block_.Attitudes, enteredParameters(block_), loads},
         settings = runSettings_](commands::Feedback& feedback) {
            *result = commands::probabilisticStudy(block, settings, feedback);
            return !result->Cancelled;
        },
        [this, result](std::exception_ptr failure) { finish(std::move(*result), failure); });
    if (started) summary_->setText(tr("计算中…"));
}

bool ProbabilisticWindow::running() const { return background_ && background_->running(); }

void ProbabilisticWindow::cancel() { background_->cancel(); }

void ProbabilisticWindow::finish(ProbabilisticResult result, std::exception_ptr failure) {
    if (failure) {
        summary_->setText(tr("计算失败。"));
        records_.LastProbabilistic.reset(); // no figure of other settings beside these
        showPlot();
        showStale();
        ui::runCommand([&failure] { inWindowWords([&failure] { std::rethrow_exception(failure); }); });
    } else {
        records_.LastProbabilistic =
            StudyRecords::ProbabilisticRecord{runBasis(runBlock_), {runSettings_, std::move(result)}};
        summary_->setText(
            statisticsText(records_.LastProbabilistic->Run.Result, runLimits(*records_.LastProbabilistic)));
        showPlot();
        showStale();
    }
    emit analysisFinished();
}

// The last run stays on screen, marked when the block has changed since;
// "开始计算" runs it again on the block as it stands.
void ProbabilisticWindow::showStale() {
    const bool stale = records_.LastProbabilistic && records_.LastProbabilistic->Basis != runBasis(block_);
    stale_->setText(stale ? QString::fromUtf8(staleResultsNote()) + tr("（按“开始计算”重新计算）") : QString());
}

void ProbabilisticWindow::showPlot() {
    const auto shown = result();
    picture_->setFigure(kcHistogramFigure(shown ? &*shown : nullptr));
    volumePicture_->setFigure(failedVolumeFigure(shown ? &*shown : nullptr));
}

std::optional<ProbabilisticRun> ProbabilisticWindow::runFor(const ViewedBlock& block) const {
    return records_.probabilisticRunFor(runBasis(block));
}

QString ProbabilisticWindow::summary() const { return summary_->text(); }

} // namespace trelmox::views
