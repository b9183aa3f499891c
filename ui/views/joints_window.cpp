#include "ui/views/joints_window.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

#include "document/joint_document.h"
#include "drawing/joint_net.h"
#include "model/numtext.h"
#include "ui/messages.h"
#include "ui/style.h"
#include "ui/tform2.h"
#include "ui/tform3.h"
#include "ui/views/figure_widget.h"
#include "ui/views/picture_file.h"
#include "ui/workspace.h"

namespace trelmox::views {

namespace {

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

QString planeText(const TPlaneAttitude& plane) { return text(attitudeLabel(plane.DipDirection, plane.DipAngle)); }

QString lineText(const LineAttitude& line) { return text(attitudeLabel(line.Trend, line.Plunge)); }

QString factorText(const std::optional<double>& factor) { return factor ? text(floatToFixed4(*factor)) : QStringLiteral("-"); }

QString kappaText(const std::optional<double>& kappa) {
    if (!kappa) return QStringLiteral("-");
    return std::isinf(*kappa) ? QStringLiteral("无离散") : QString::number(*kappa, 'f', 1);
}

QString contactText(const auto& result) {
    return result ? QString::fromUtf8(contactDescription(result->Contact)) : QStringLiteral("-");
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

NetProjection chosenProjection(const QComboBox* box) {
    return box->currentIndex() == 0 ? NetProjection::EqualArea : NetProjection::EqualAngle;
}

void bringUp(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

const QString NoFileMessage = QStringLiteral("请先打开结构面测量文件");
const QString NoBlockMessage = QStringLiteral("请先在结构面数据输入窗口确定一个块体：组合按它的坡顶面、坡面和参数计算");

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
        static const char* const headers[ColumnCount] = {"结构面1", "结构面2", "产状1", "产状2", "交线",  "运动学",
                                                          "Kc",      "接触情况", "Fs",    "接触情况(Fs)", "说明"};
        return QString::fromUtf8(headers[section]);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        // The reason may be long: whole in the tooltip.
        if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid()) return {};
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
        case 5: return pair.Kinematic ? QStringLiteral("可滑动") : QStringLiteral("否");
        case 6: return factorText(pairKc(pair));
        case 7: return contactText(pair.Kc);
        case 8: return factorText(pairFs(pair));
        case 9: return contactText(pair.Full);
        default: return text(pairProblem(pair).value_or(""));
        }
    }

private:
    static constexpr int ColumnCount = 11;
    const JointDocument& joints_;
};

JointsWindow::JointsWindow(ui::Workspace& workspace, QWidget* parent)
    : QWidget(parent, Qt::Window), workspace_(workspace) {
    setObjectName(QStringLiteral("JointsWindow"));
    setWindowTitle(QStringLiteral("结构面统计与组合分析"));
    ui::fitToScreen(this, {1180, 860});
    auto* middle = new QHBoxLayout;
    middle->addWidget(buildNetPanel(), 3);
    middle->addWidget(buildSetPanel(), 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildFilePanel());
    layout->addLayout(middle, 3);
    layout->addWidget(buildCombinationPanel(), 2);

    joints().addListener([this] { showJoints(); });
    workspace_.document().addListener([this] {
        if (isVisible() && currentSlope() != drawnSlope_) redraw();
    });
    showJoints();
}

JointsWindow::~JointsWindow() = default;

JointDocument& JointsWindow::joints() const { return workspace_.joints(); }

QWidget* JointsWindow::buildFilePanel() {
    auto* panel = new QGroupBox(QStringLiteral("结构面测量文件"), this);
    file_ = new QLineEdit(panel);
    file_->setObjectName(QStringLiteral("MeasurementFileBox"));
    file_->setPlaceholderText(QStringLiteral("倾角,倾向[,组号[,权重]] 或 象限产状，CSV 或文本文件"));
    auto* browse = makeButton(panel, QStringLiteral("BrowseButton"), QStringLiteral("浏览…"));
    auto* open = makeButton(panel, QStringLiteral("OpenFileButton"), QStringLiteral("打开"));
    summary_ = new QLabel(panel);
    summary_->setObjectName(QStringLiteral("MeasurementSummary"));
    summary_->setWordWrap(true);
    auto* row = new QHBoxLayout;
    row->addWidget(file_, 1);
    row->addWidget(browse);
    row->addWidget(open);
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(row);
    layout->addWidget(summary_);
    connect(file_, &QLineEdit::returnPressed, this, &JointsWindow::openFile);
    connect(open, &QPushButton::clicked, this, &JointsWindow::openFile);
    connect(browse, &QPushButton::clicked, this, &JointsWindow::chooseFile);
    return panel;
}

QWidget* JointsWindow::buildNetPanel() {
    auto* panel = new QWidget(this);
    picture_ = new FigureWidget(panel);
    picture_->setObjectName(QStringLiteral("JointNetPicture"));
    picture_->setCursor(Qt::CrossCursor);
    projection_ = new QComboBox(panel);
    projection_->setObjectName(QStringLiteral("ProjectionBox"));
    projection_->addItems({QStringLiteral("等面积投影（施密特网）"), QStringLiteral("等角投影（吴氏网）")});
    density_ = new QComboBox(panel);
    density_->setObjectName(QStringLiteral("DensityBox"));
    density_->addItems({QStringLiteral("Fisher 平滑"), QStringLiteral("Kamb 计数"), QStringLiteral("不画等密度线")});
    auto* save = makeButton(panel, QStringLiteral("SavePictureButton"), QStringLiteral("保存图片…"));
    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel(QStringLiteral("投影方式"), panel));
    options->addWidget(projection_);
    options->addWidget(new QLabel(QStringLiteral("等密度线"), panel));
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
                          ui::pathText(workspace_.reportFolder(), text(stem) + QStringLiteral("结构面赤平投影.png")));
    });
    return panel;
}

QWidget* JointsWindow::buildSetPanel() {
    auto* panel = new QGroupBox(QStringLiteral("结构面分组"), this);
    auto* planes = makeButton(panel, QStringLiteral("PlanesButton"), QStringLiteral("逐个结构面"));
    auto* labels = makeButton(panel, QStringLiteral("LabelsButton"), QStringLiteral("按文件组号"));
    auto* group = makeButton(panel, QStringLiteral("GroupButton"), QStringLiteral("自动分组"));
    setCount_ = new QSpinBox(panel);
    setCount_->setObjectName(QStringLiteral("SetCountBox"));
    setCount_->setRange(1, 20);
    setCount_->setValue(3);
    setCount_->setSuffix(QStringLiteral(" 组"));
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
    sets_->setHorizontalHeaderLabels({QStringLiteral("组"), QStringLiteral("个数"), QStringLiteral("平均产状"),
                                      QStringLiteral("平均极点"), QStringLiteral("R"), QStringLiteral("K"),
                                      QStringLiteral("95%置信锥")});
    sets_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sets_->verticalHeader()->hide();
    sets_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* automatic = new QHBoxLayout;
    automatic->addWidget(group);
    automatic->addWidget(setCount_);
    automatic->addStretch();
    auto* picking = new QHBoxLayout;
    picking->addWidget(new QLabel(QStringLiteral("拾取锥半角"), panel));
    picking->addWidget(coneAngle_);
    picking->addWidget(new QLabel(QStringLiteral("在图上单击极点拾取一组"), panel), 1);
    auto* fixed = new QHBoxLayout;
    fixed->addWidget(planes);
    fixed->addWidget(labels);
    fixed->addStretch();
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(fixed);
    layout->addLayout(automatic);
    layout->addLayout(picking);
    layout->addWidget(grouping_);
    layout->addWidget(sets_, 1);

    const auto regroup = [this](auto step) {
        return [this, step] {
            if (!joints().opened()) return ui::messageBoxes().message(NoFileMessage);
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
    auto* panel = new QGroupBox(QStringLiteral("组合分析（按当前块体的边坡）"), this);
    auto* combine = makeButton(panel, QStringLiteral("CombineButton"), QStringLiteral("组合分析"));
    combinationsCaption_ = new QLabel(panel);
    combinationsCaption_->setObjectName(QStringLiteral("CombinationsCaption"));
    combinationsCaption_->setWordWrap(true);
    model_ = new CombinationsModel(joints(), this);
    combinations_ = new QTableView(panel);
    combinations_->setObjectName(QStringLiteral("CombinationsTable"));
    combinations_->setModel(model_);
    combinations_->setSelectionBehavior(QAbstractItemView::SelectRows);
    combinations_->setSelectionMode(QAbstractItemView::SingleSelection);
    combinations_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Fixed rows: a run of many planes has a hundred thousand pairs.
    combinations_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    combinations_->horizontalHeader()->setStretchLastSection(true);
    auto* top = new QHBoxLayout;
    top->addWidget(combine);
    top->addWidget(combinationsCaption_, 1);
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(top);
    layout->addWidget(combinations_, 1);
    layout->addWidget(new QLabel(QStringLiteral("双击一行或按回车：该组合作为当前块体填入数据输入窗口，确定后保存"), panel));
    connect(combine, &QPushButton::clicked, this, &JointsWindow::combine);
    connect(combinations_, &QAbstractItemView::activated, this, &JointsWindow::openPair);
    return panel;
}

void JointsWindow::chooseFile() {
    const QString chosen = QFileDialog::getOpenFileName(
        this, QStringLiteral("打开结构面测量文件"), file_->text(),
        QStringLiteral("测量文件 (*.csv *.txt);;所有文件 (*)"));
    if (chosen.isEmpty()) return;
    file_->setText(chosen);
    openFile();
}

void JointsWindow::openFile() {
    const bool opened = ui::runCommand([this] {
        joints().open(file_->text().toStdString());
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
    if (!joints().opened()) return ui::messageBoxes().message(NoFileMessage);
    if (block.currentBlock().empty()) return ui::messageBoxes().message(NoBlockMessage);
    workspace_.runCommand(
        [&] { joints().combine(block.currentBlock(), block.block(), combinationSlope(block.block(), block.loads())); },
        workspace_.parameters().numberBoxes());
    if (model_->rowCount() > 0) combinations_->setCurrentIndex(model_->index(0, 0));
}

void JointsWindow::openPair(const QModelIndex& row) {
    ui::runCommand([&] {
        if (!workspace_.mayLoadOverEdits(text(joints().pairName(row.row())))) return;
        workspace_.document().enter(joints().pairBlock(row.row()));
        bringUp(workspace_.parameters());
        bringUp(workspace_.planeEntry());
    });
}

void JointsWindow::refresh() { redraw(); }

void JointsWindow::showJoints() {
    const JointDocument& j = joints();
    if (j.opened()) {
        file_->setText(QString::fromStdString(j.file().string()));
        summary_->setText(text(measurementSummaryText(j.measurements().Summary)));
    }
    showSets();
    model_->reset();
    const auto& run = j.combinations();
    combinationsCaption_->setText(run ? QStringLiteral("块体 %1：%2").arg(text(run->BlockName),
                                                                       text(combinationsSummary(run->Planes, run->Pairs)))
                                      : QString());
    redraw();
}

void JointsWindow::showSets() {
    static const char* const groupings[] = {"逐个结构面", "按文件组号", "自动分组", "图上拾取"};
    const JointDocument& j = joints();
    grouping_->setText(QStringLiteral("分组方式：%1，%2 组")
                           .arg(QString::fromUtf8(groupings[static_cast<int>(j.grouping())]))
                           .arg(j.sets().size()));
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
    SlopeOnNet slope{std::nullopt, smallerFrictionAngle(block.params())};
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
    input.Projection = chosenProjection(projection_);
    input.Caption = j.file().filename().string();
    picture_->setFigure(jointNetFigure(input));
}

} // namespace trelmox::views
