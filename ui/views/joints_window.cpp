#include "ui/views/joints_window.h"

#include <QPointer>
#include <QAbstractTableModel>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <utility>

#include "commands/study_commands.h"
#include "document/joint_document.h"
#include "drawing/joint_net.h"
#include "model/error.h"
#include "model/files.h"
#include "model/numtext.h"
#include "model/textcodec.h"
#include "report/cloud_tables.h"
#include "ui/background_run.h"
#include "ui/messages.h"
#include "ui/style.h"
#include "ui/table_columns.h"
#include "ui/tform2.h"
#include "ui/tform3.h"
#include "ui/views/cloud_window.h"
#include "ui/views/figure_widget.h"
#include "ui/views/joints_window_parts.h"
#include "ui/views/picture_file.h"
#include "ui/views/viewed_block.h"
#include "ui/workspace.h"

namespace trelmox::views {

using namespace joints_parts;

namespace {

QString lineText(const LineAttitude& line) { return text(attitudeLabel(line.Trend, line.Plunge)); }

QString factorText(const std::optional<double>& factor) {
    return factor ? text(floatToFixed4(*factor)) : QStringLiteral("-");
}

QString kappaText(const std::optional<double>& kappa) {
    if (!kappa) return QStringLiteral("-");
    return std::isinf(*kappa) ? JointsWindow::tr("无离散") : QString::number(*kappa, 'f', 1);
}

QString contactText(const auto& result) {
    return result ? QString::fromUtf8(contactDescription(result->Contact)) : QStringLiteral("-");
}

NetProjection chosenProjection(const QComboBox* box) {
    return box->currentIndex() == 0 ? NetProjection::EqualArea : NetProjection::EqualAngle;
}

QString noFileMessage() { return JointsWindow::tr("请先打开结构面测量文件"); }

QString noBlockMessage() {
    return JointsWindow::tr("请先在结构面数据输入窗口确定一个块体：组合按它的坡顶面、坡面和参数计算");
}

} // namespace

// The pairs of the last combination run, read from the joint document as
// the table asks for them, so that a run of many planes costs no copies.
class CombinationsModel : public QAbstractTableModel {
public:
    explicit CombinationsModel(const JointDocument& joints, QObject* parent)
        : QAbstractTableModel(parent), joints_(joints) {}

    void reset() {
        beginResetModel();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        const auto& run = joints_.combinations();
        return parent.isValid() || !run ? 0 : static_cast<int>(run->Pairs.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : ColumnCount; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole) return {};
        if (orientation == Qt::Vertical) return section + 1;
        static const char* const headers[ColumnCount] = {
            QT_TRANSLATE_NOOP("trelmox::views::JointsWindow", "结构面1"),
            QT_TRANSLATE_NOOP("trelmox::views::JointsWindow", "结构面2"),
            QT_TRANSLATE_NOOP("trelmox::views::JointsWindow", "产状1"),
            QT_TRANSLATE_NOOP("trelmox::views::JointsWindow", "产状2"),
            QT_TRANSLATE_NOOP("trelmox::views::JointsWindow", "交线"),
            QT_TRANSLATE_NOOP("trelmox::views::JointsWindow", "运动学"),
            QT_TRANSLATE_NOOP("trelmox::views::JointsWindow", "Kc"),
            QT_TRANSLATE_NOOP("trelmox::views::JointsWindow", "接触情况"),
            QT_TRANSLATE_NOOP("trelmox::views::JointsWindow", "Fs"),
            QT_TRANSLATE_NOOP("trelmox::views::JointsWindow", "P(破坏)"),
            QT_TRANSLATE_NOOP("trelmox::views::JointsWindow", "接触情况(Fs)"),
            QT_TRANSLATE_NOOP("trelmox::views::JointsWindow", "说明")};
        return JointsWindow::tr(headers[section]);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        if (role == SortRole) return sortKey(index);
        // The reason may be long: whole in the tooltip.
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
        const JointCombinations& run = *joints_.combinations();
        const PlanePair& pair = run.Pairs[index.row()];
        const CandidatePlane& first = run.Planes[pair.First];
        const CandidatePlane& second = run.Planes[pair.Second];
        switch (index.column()) {
        case 0: return text(first.Label);
        case 1: return text(second.Label);
        case 2: return planeText(first.Plane);
        case 3: return planeText(second.Plane);
        case 4: return pair.Intersection ? lineText(*pair.Intersection) : QStringLiteral("-");
        case 5: return pair.Kinematic ? JointsWindow::tr("可滑动") : JointsWindow::tr("否");
        case 6: return factorText(pairKc(pair));
        case 7: return contactText(pair.Kc);
        case FsColumn: return factorText(pairFs(pair));
        case PfColumn: {
            const PairProbability* p = probability(index.row());
            return p ? QString::number(p->Pf * 100, 'f', 2) + u'%' : QStringLiteral("-");
        }
        case 10: return contactText(pair.Full);
        default: return text(pairProblem(pair).value_or(""));
        }
    }

    static constexpr int SortRole = Qt::UserRole;
    static constexpr int FsColumn = 8, PfColumn = 9;

private:
    static constexpr int ColumnCount = 12;

    const PairProbability* probability(int row) const {
        const auto& found = joints_.combinations()->Probabilities;
        return static_cast<std::size_t>(row) < found.size() ? &found[static_cast<std::size_t>(row)] : nullptr;
    }

    // The factors and the probability sort as numbers; a pair without one
    // goes after every pair with one when sorted ascending.
    QVariant sortKey(const QModelIndex& index) const {
        const PlanePair& pair = joints_.combinations()->Pairs[index.row()];
        const auto number = [](const std::optional<double>& v) {
            return v ? *v : std::numeric_limits<double>::infinity();
        };
        switch (index.column()) {
        case 6: return number(pairKc(pair));
        case FsColumn: return number(pairFs(pair));
        case PfColumn: {
            const PairProbability* p = probability(index.row());
            return p ? p->Pf : -1.0;
        }
        default: return data(index, Qt::DisplayRole);
        }
    }

    const JointDocument& joints_;
};

JointsWindow::JointsWindow(ui::Workspace& workspace, QWidget* parent)
    : QWidget(parent, Qt::Window), workspace_(workspace) {
    setObjectName(QStringLiteral("JointsWindow"));
    setWindowTitle(tr("结构面统计与组合分析"));
    ui::fitToScreen(this, {1180, 860});
    auto* middlePanel = new QWidget(this);
    auto* middle = new QHBoxLayout(middlePanel);
    middle->setContentsMargins(0, 0, 0, 0);
    middle->addWidget(buildNetPanel(), 3);
    auto* right = new QVBoxLayout;
    right->addWidget(buildSetPanel(), 1);
    right->addWidget(buildKinematicsPanel(), 1);
    middle->addLayout(right, 2);
    // The user moves the line between the net and the combinations; no
    // table goes below a few rows either way.
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("JointsSplitter"));
    split->setChildrenCollapsible(false);
    split->addWidget(middlePanel);
    split->addWidget(buildCombinationPanel());
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildFilePanel());
    layout->addWidget(split, 1);
    // Close margins, so that a laptop screen's height holds every panel
    // with rows in its tables.
    layout->setSpacing(4);
    for (QGroupBox* panel : findChildren<QGroupBox*>())
        if (QLayout* inside = panel->layout()) {
            inside->setContentsMargins(6, 4, 6, 4);
            inside->setSpacing(4);
        }

    // The documents outlive the window (made and dropped by the program):
    // a change after it is gone calls nothing.
    joints().addListener([window = QPointer(this)] {
        if (window) window->showJoints();
    });
    workspace_.document().addListener([window = QPointer(this)] {
        if (window && window->isVisible() && window->currentSlope() != window->drawnSlope_) {
            window->showKinematics();
            window->redraw();
        }
    });
    showJoints();
}

// The runs' workers are waited for while the window is still whole.
JointsWindow::~JointsWindow() {
    delete probabilities_;
    delete kinematicRun_;
}

bool JointsWindow::probabilitiesRunning() const { return probabilities_->running(); }

bool JointsWindow::kinematicsRunning() const { return kinematicRun_->running(); }

JointDocument& JointsWindow::joints() const { return workspace_.joints(); }

QWidget* JointsWindow::buildFilePanel() {
    auto* panel = new QGroupBox(tr("结构面测量文件"), this);
    file_ = new QLineEdit(panel);
    file_->setObjectName(QStringLiteral("MeasurementFileBox"));
    file_->setPlaceholderText(tr("倾角,倾向[,组号[,权重]] 或 象限产状，CSV、文本或 Excel（.xlsx）文件"));
    auto* browse = makeButton(panel, QStringLiteral("BrowseButton"), tr("浏览…"));
    auto* open = makeButton(panel, QStringLiteral("OpenFileButton"), tr("打开"));
    auto* exportTables = makeButton(panel, QStringLiteral("ExportTablesButton"), tr("导出 Excel…"));
    auto* cloud = makeButton(panel, QStringLiteral("OpenCloudButton"), CloudWindow::openerCaption());
    summary_ = new QLabel(panel);
    summary_->setObjectName(QStringLiteral("MeasurementSummary"));
    summary_->setWordWrap(true);
    auto* row = new QHBoxLayout;
    row->addWidget(file_, 1);
    row->addWidget(browse);
    row->addWidget(open);
    row->addWidget(cloud);
    row->addWidget(exportTables);
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(row);
    layout->addWidget(summary_);
    connect(exportTables, &QPushButton::clicked, this, &JointsWindow::exportTables);
    connect(file_, &QLineEdit::returnPressed, this, &JointsWindow::openFile);
    connect(open, &QPushButton::clicked, this, &JointsWindow::openFile);
    connect(browse, &QPushButton::clicked, this, &JointsWindow::chooseFile);
    // A point cloud's joints come in through a window of their own.
    connect(cloud, &QPushButton::clicked, this, [this] {
        if (!cloud_) cloud_ = new CloudWindow(joints(), this);
        ui::bringToFront(cloud_);
    });
    return panel;
}

QWidget* JointsWindow::buildNetPanel() {
    auto* panel = new QWidget(this);
    picture_ = new FigureWidget(panel);
    picture_->setObjectName(QStringLiteral("JointNetPicture"));
    picture_->setCursor(Qt::CrossCursor);
    projection_ = new QComboBox(panel);
    projection_->setObjectName(QStringLiteral("ProjectionBox"));
    projection_->addItems({tr("等面积投影（施密特网）"), tr("等角投影（吴氏网）")});
    density_ = new QComboBox(panel);
    density_->setObjectName(QStringLiteral("DensityBox"));
    density_->addItems({tr("Fisher 平滑"), tr("Kamb 计数"), tr("不画等密度线")});
    auto* save = makeButton(panel, QStringLiteral("SavePictureButton"), tr("保存图片…"));
    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel(tr("投影方式"), panel));
    options->addWidget(projection_);
    options->addWidget(new QLabel(tr("等密度线"), panel));
    options->addWidget(density_);
    options->addStretch();
    options->addWidget(save);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture_, 1);
    layout->addLayout(options);
    connect(projection_, &QComboBox::currentIndexChanged, this, [this] { redraw(); });
    connect(density_, &QComboBox::currentIndexChanged, this, [this] { redraw(); });
    connect(picture_, &FigureWidget::pressed, this, &JointsWindow::pickSetAt);
    connect(save, &QPushButton::clicked, this, [this] {
        const std::string stem = joints().file().stem().string();
        askAndSavePicture(this, picture_,
                          ui::pathText(workspace_.reportFolder(), pictureFileName(text(stem), tr("结构面赤平投影"))));
    });
    return panel;
}

QWidget* JointsWindow::buildSetPanel() {
    auto* panel = new QGroupBox(tr("结构面分组"), this);
    auto* planes = makeButton(panel, QStringLiteral("PlanesButton"), tr("逐个结构面"));
    auto* labels = makeButton(panel, QStringLiteral("LabelsButton"), tr("按文件组号"));
    auto* group = makeButton(panel, QStringLiteral("GroupButton"), tr("自动分组"));
    setCount_ = new QSpinBox(panel);
    setCount_->setObjectName(QStringLiteral("SetCountBox"));
    setCount_->setRange(1, 20);
    setCount_->setValue(3);
    setCount_->setSuffix(tr(" 组"));
    coneAngle_ = new QDoubleSpinBox(panel);
    coneAngle_->setObjectName(QStringLiteral("ConeAngleBox"));
    coneAngle_->setRange(1, 90);
    coneAngle_->setDecimals(1);
    coneAngle_->setValue(15);
    coneAngle_->setSuffix(QStringLiteral("°"));
    grouping_ = new QLabel(panel);
    grouping_->setObjectName(QStringLiteral("GroupingLabel"));
    sets_ = new QTableWidget(0, 7, panel);
    sets_->setObjectName(QStringLiteral("SetsTable"));
    sets_->setHorizontalHeaderLabels({tr("组"), tr("个数"), tr("平均产状"), tr("平均极点"), QStringLiteral("R"),
                                      QStringLiteral("K"), tr("95%置信锥")});
    sets_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sets_->verticalHeader()->hide();
    sets_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    // The ways of grouping on one row, so that the table keeps rows in
    // view on a laptop screen.
    auto* ways = new QHBoxLayout;
    ways->addWidget(planes);
    ways->addWidget(labels);
    ways->addWidget(group);
    ways->addWidget(setCount_);
    ways->addStretch();
    auto* picking = new QHBoxLayout;
    picking->addWidget(new QLabel(tr("拾取锥半角"), panel));
    picking->addWidget(coneAngle_);
    picking->addWidget(new QLabel(tr("在图上单击极点拾取一组"), panel), 1);
    ui::showAtLeastRows(sets_, LeastRowsShown);
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(ways);
    layout->addLayout(picking);
    layout->addWidget(grouping_);
    layout->addWidget(sets_, 1);

    const auto regroup = [this](auto step) {
        return [this, step] {
            if (!joints().opened()) return ui::messageBoxes().message(noFileMessage());
            ui::runCommand([this, step] { step(joints()); });
        };
    };
    connect(planes, &QPushButton::clicked, this, regroup([](JointDocument& j) { j.useIndividualPlanes(); }));
    connect(labels, &QPushButton::clicked, this, regroup([](JointDocument& j) { j.useLabels(); }));
    connect(group, &QPushButton::clicked, this,
            regroup([this](JointDocument& j) { j.groupAutomatically(setCount_->value()); }));
    return panel;
}

QWidget* JointsWindow::buildCombinationPanel() {
    auto* panel = new QGroupBox(tr("组合分析（按当前块体的边坡）"), this);
    auto* combine = makeButton(panel, QStringLiteral("CombineButton"), tr("组合分析"));
    combinationsCaption_ = new QLabel(panel);
    combinationsCaption_->setObjectName(QStringLiteral("CombinationsCaption"));
    combinationsCaption_->setWordWrap(true);
    model_ = new CombinationsModel(joints(), this);
    // A click on a header sorts the rows by that column (P(破坏) descending
    // puts the pairs most likely to fail first); until then they stay in
    // the run's order, critical Fs first.
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(CombinationsModel::SortRole);
    combinations_ = new QTableView(panel);
    combinations_->setObjectName(QStringLiteral("CombinationsTable"));
    combinations_->setModel(sorted_);
    combinations_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    combinations_->setSortingEnabled(true);
    combinations_->setSelectionBehavior(QAbstractItemView::SelectRows);
    combinations_->setSelectionMode(QAbstractItemView::SingleSelection);
    combinations_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Fixed rows: a run of many planes has a hundred thousand pairs.
    combinations_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    combinations_->horizontalHeader()->setStretchLastSection(true);
    auto* top = new QHBoxLayout;
    top->addWidget(combine);
    top->addWidget(combinationsCaption_, 1);
    ui::showAtLeastRows(combinations_, LeastRowsShown);
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(top);
    layout->addLayout(buildProbabilityRow(panel));
    layout->addWidget(combinations_, 1);
    layout->addWidget(new QLabel(tr("双击一行或按回车：该组合作为当前块体填入数据输入窗口，确定后保存"), panel));
    combine_ = combine;
    connect(combine, &QPushButton::clicked, this, &JointsWindow::combine);
    connect(combinations_, &QAbstractItemView::activated, this, &JointsWindow::openPair);
    return panel;
}

// Each pair's probability of failure: both planes drawn from their sets'
// Fisher distributions, on a worker thread with progress and a cancel
// button like the other long runs.
QLayout* JointsWindow::buildProbabilityRow(QWidget* panel) {
    pairSamples_ = new QSpinBox(panel);
    pairSamples_->setObjectName(QStringLiteral("PairSamplesBox"));
    pairSamples_->setRange(1, static_cast<int>(MaxSamples));
    pairSamples_->setSingleStep(1000);
    pairSeed_ = new QSpinBox(panel);
    pairSeed_->setObjectName(QStringLiteral("PairSeedBox"));
    pairSeed_->setRange(0, 2147483647);
    for (QSpinBox* box : {pairSamples_, pairSeed_}) {
        ui::takeWheelOnlyWhenFocused(box);
        // Taken on Return or on leaving the box, as typed in full.
        box->setKeyboardTracking(false);
        connect(box, &QSpinBox::valueChanged, this, [this] {
            ui::runCommand([this] {
                joints().setProbabilitySettings(static_cast<std::uint64_t>(pairSamples_->value()),
                                                static_cast<std::uint64_t>(pairSeed_->value()));
            });
        });
    }
    auto* start = makeButton(panel, QStringLiteral("PairProbabilityButton"), tr("计算破坏概率"));
    auto* cancel = makeButton(panel, QStringLiteral("PairCancelButton"), tr("取消"));
    auto* progress = new QProgressBar(panel);
    progress->setObjectName(QStringLiteral("PairProgressBar"));
    probabilities_ = new ui::BackgroundRun(start, cancel, progress, this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("破坏概率（各组按 Fisher 分布抽样）：每对样本数"), panel));
    row->addWidget(pairSamples_);
    row->addWidget(new QLabel(tr("随机种子"), panel));
    row->addWidget(pairSeed_);
    row->addWidget(start);
    row->addWidget(cancel);
    row->addWidget(progress, 1);
    connect(start, &QPushButton::clicked, this, &JointsWindow::startProbabilities);
    connect(probabilities_, &ui::BackgroundRun::runningChanged, this, &JointsWindow::setProbabilityRunning);
    return row;
}

void JointsWindow::startProbabilities() {
    if (probabilities_->running()) return;
    if (!joints().combinations()) return ui::messageBoxes().message(tr("请先做组合分析"));
    auto job = std::make_shared<PairProbabilityJob>();
    if (!ui::runCommand([&] { *job = joints().pairProbabilityJob(); })) return;
    auto found = std::make_shared<std::optional<std::vector<PairProbability>>>();
    probabilities_->startCommand(
        [job, found](commands::Feedback& feedback) {
            *found = commands::pairProbabilityStudy(*job, feedback);
            return found->has_value();
        },
        [this, job, found](std::exception_ptr failure) { finishProbabilities(*job, std::move(*found), failure); });
}

// A cancelled run leaves the column as it was.
void JointsWindow::finishProbabilities(const PairProbabilityJob& job, std::optional<std::vector<PairProbability>> found,
                                       std::exception_ptr failure) {
    if (failure) {
        ui::runCommand([&failure] { std::rethrow_exception(failure); });
    } else if (found && !joints().takePairProbabilities(job, std::move(*found))) {
        probabilities_->bar()->setValue(0);
        ui::messageBoxes().message(tr("计算期间组合已重新计算，破坏概率未保留，请重新计算"));
    }
    emit probabilitiesFinished();
}

void JointsWindow::setProbabilityRunning(bool running) {
    pairSamples_->setEnabled(!running);
    pairSeed_->setEnabled(!running);
    if (combine_) combine_->setEnabled(!running);
}

void JointsWindow::chooseFile() {
    const QString chosen = QFileDialog::getOpenFileName(this, tr("打开结构面测量文件"), file_->text(),
                                                        tr("测量文件 (*.csv *.txt *.xlsx);;所有文件 (*)"));
    if (chosen.isEmpty()) return;
    file_->setText(chosen);
    openFile();
}

// The sets, the combinations and the kinematic check shown, as one
// workbook, next to the reports unless the user chooses another folder.
void JointsWindow::exportTables() {
    if (!joints().opened()) return ui::messageBoxes().message(noFileMessage());
    const std::string stem = joints().file().stem().string();
    QString path = QFileDialog::getSaveFileName(
        this, tr("导出表格"), ui::pathText(workspace_.reportFolder(), text(stem) + tr("结构面表格.xlsx")),
        tr("Excel 工作簿 (*.xlsx)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".xlsx");
    ui::runCommand([&] { joints().writeTables(path.toStdString(), kinematicFace()); });
}

void JointsWindow::openFile() {
    const bool opened = ui::runCommand([this] {
        readNamedFile(tr("测量文件"), file_->text(), [this] { joints().open(file_->text().toStdString()); });
        // A file that names its sets is read with them.
        if (!joints().measurements().Summary.Sets.empty()) joints().useLabels();
    });
    // A file that failed to open leaves the net and sets of the one before:
    // the path shown is that file's again, never the failed one's.
    if (!opened) file_->setText(joints().opened() ? QString::fromStdString(joints().file().string()) : QString());
}

void JointsWindow::pickSetAt(Point2 framePoint) {
    if (!joints().opened() || std::hypot(framePoint.x, framePoint.y) > 1) return;
    ui::runCommand(
        [&] { joints().pickSet(unprojectPoint(framePoint, chosenProjection(projection_)), coneAngle_->value()); });
}

void JointsWindow::combine() {
    const BlockDocument& block = workspace_.document();
    if (!joints().opened()) return ui::messageBoxes().message(noFileMessage());
    if (block.currentBlock().empty()) return ui::messageBoxes().message(noBlockMessage());
    workspace_.runCommand([&] {
        // The loads' texts are heard about before the parameters'.
        const WedgeLoads loads = block.loads();
        const SavedBlock entered = block.block();
        commands::combinationStudy(joints(), block.currentBlock(), entered, parameterNumbers(entered.Params), loads,
                                   commands::silentFeedback());
    });
    if (sorted_->rowCount() > 0) combinations_->setCurrentIndex(sorted_->index(0, 0));
}

void JointsWindow::openPair(const QModelIndex& shown) {
    const QModelIndex row = sorted_->mapToSource(shown);
    if (!row.isValid()) return;
    ui::runCommand([&] {
        if (!workspace_.mayLoadOverEdits(text(joints().pairName(row.row())))) return;
        workspace_.document().enter(joints().pairBlock(row.row()));
        ui::bringToFront(&workspace_.parameters());
        ui::bringToFront(&workspace_.planeEntry());
    });
}

void JointsWindow::refresh() { redraw(); }

void JointsWindow::showJoints() {
    const JointDocument& j = joints();
    if (j.opened()) {
        file_->setText(QString::fromStdString(j.file().string()));
        summary_->setText(j.cloud() ? text(cloudSummaryText(*j.cloud(), j.file().filename().string()))
                                    : text(measurementSummaryText(j.measurements().Summary)));
    }
    showSets();
    showKinematics();
    model_->reset();
    {
        const QSignalBlocker blockSamples(pairSamples_), blockSeed(pairSeed_);
        pairSamples_->setValue(static_cast<int>(j.probabilitySettings().Samples));
        pairSeed_->setValue(static_cast<int>(std::min<std::uint64_t>(j.probabilitySettings().Seed, 2147483647)));
    }
    const auto& run = j.combinations();
    QString slope;
    if (run && !run->Sector.empty())
        slope = tr("（分区 %1 坡面 %2）").arg(text(run->Sector), planeText(run->Slope.Face));
    combinationsCaption_->setText(
        run ? tr("块体 %1%2：%3").arg(text(run->BlockName), slope, text(combinationsSummary(run->Planes, run->Pairs)))
            : QString());
    redraw();
}

void JointsWindow::showSets() {
    static const char* const groupings[] = {QT_TR_NOOP("逐个结构面"), QT_TR_NOOP("按文件组号"), QT_TR_NOOP("自动分组"),
                                            QT_TR_NOOP("图上拾取")};
    const JointDocument& j = joints();
    grouping_->setText(
        tr("分组方式：%1，%2 组").arg(tr(groupings[static_cast<int>(j.grouping())])).arg(j.sets().size()));
    sets_->setRowCount(static_cast<int>(j.sets().size()));
    for (int row = 0; row < sets_->rowCount(); ++row) {
        const FisherStats& stats = j.sets()[row].Stats;
        const QStringList cells{text(j.sets()[row].Label),
                                QString::number(stats.Count),
                                planeText(stats.MeanPlane),
                                lineText(lineAttitude(stats.MeanPole)),
                                QString::number(stats.Resultant, 'f', 2),
                                kappaText(stats.Kappa),
                                stats.Cone95 ? text(angleText(*stats.Cone95)) : QStringLiteral("-")};
        for (int column = 0; column < cells.size(); ++column)
            sets_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
}

JointsWindow::SlopeOnNet JointsWindow::currentSlope() const {
    const BlockDocument& block = workspace_.document();
    // The friction circle is left out while a parameter text is not a number.
    std::optional<BlockParameters> parameters;
    try {
        parameters = parameterNumbers(block.params());
    } catch (const Error&) {}
    SlopeOnNet slope{std::nullopt, smallerFrictionAngle(parameters)};
    if (!block.currentBlock().empty()) slope.Face = block.attitudes()[static_cast<int>(TPlaneRole::SlopeFace)];
    return slope;
}

void JointsWindow::redraw() {
    const JointDocument& j = joints();
    drawnSlope_ = currentSlope();
    JointNetInput input;
    input.Planes = j.measurements().Planes;
    input.Sets = j.sets();
    input.Windows = j.windows();
    if (density_->currentIndex() == 0) input.Density = DensityOptions{};
    if (density_->currentIndex() == 1)
        input.Density = DensityOptions{DensityMethod::Kamb, kambAreaShare(static_cast<double>(input.Planes.size()))};
    input.SlopeFace = drawnSlope_.Face;
    input.FrictionAngle = drawnSlope_.FrictionAngle;
    // A chosen mode shades its zones for the sector's face (or the block's)
    // with the checks' own friction angle and lateral limits.
    if (j.kinematicMode() && kinematicFace()) {
        input.Mode = j.kinematicMode();
        input.SlopeFace = kinematicFace();
        input.FrictionAngle = j.frictionAngle();
        input.LateralLimit = j.lateralLimit();
        // The pairs' counts come once their run is done.
        if (j.opened()) {
            const KinematicResult* counts = checksIntersections(*input.Mode) ? j.knownKinematics(*input.SlopeFace, true)
                                                                             : &j.kinematics(*input.SlopeFace, false);
            if (counts) input.Counts = *counts;
        }
    }
    input.Projection = chosenProjection(projection_);
    input.Caption = j.file().filename().string();
    picture_->setFigure(jointNetFigure(input));
}

} // namespace trelmox::views
