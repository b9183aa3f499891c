#include "ui/views/cloud_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <memory>

#include "analysis/cloud/cloud_analysis.h"
#include "document/joint_document.h"
#include "report/cloud_tables.h"
#include "ui/background_run.h"
#include "ui/messages.h"
#include "ui/style.h"
#include "ui/views/cloud_view.h"

namespace trelmox::views {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

// The set number of each point of a run: 1 for J1, ..., 0 the face, -1 none.
std::vector<std::array<std::uint8_t, 3>> setColours(const CloudResult& result) {
    std::vector<int> facetSet(result.Search.Facets.size(), -1);
    for (std::size_t f = 0; f < facetSet.size(); ++f) {
        const std::string& label = result.Joints.FacetSet[f];
        facetSet[f] = label.empty() ? -1 : label == FaceLabel ? 0 : std::stoi(label.substr(1));
    }
    std::vector<std::array<std::uint8_t, 3>> colours(result.Points.size());
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const std::uint32_t facet = result.Search.Member[i];
        colours[i] = cloudSetColour(facet == NoFacet ? -1 : facetSet[facet]);
    }
    return colours;
}

} // namespace

CloudWindow::CloudWindow(JointDocument& joints, QWidget* parent) : QWidget(parent, Qt::Window), joints_(joints) {
    setObjectName(QStringLiteral("CloudWindow"));
    setWindowTitle(tr("点云结构面"));
    ui::fitToScreen(this, {900, 700});
    file_ = new QLineEdit(this);
    file_->setObjectName(QStringLiteral("CloudFileBox"));
    file_->setPlaceholderText(tr("PLY、LAS（未压缩）或 XYZ 文本点云文件"));
    auto* browse = button(this, "CloudBrowseButton", tr("浏览…"));
    frame_ = new QLineEdit(QStringLiteral("ENU"), this);
    frame_->setObjectName(QStringLiteral("CloudFrameBox"));
    frame_->setToolTip(tr("文件 x、y、z 轴的方向，取自 E（东）W（西）N（北）S（南）U（上）D（下），如 ENU"));
    voxel_ = new QDoubleSpinBox(this);
    voxel_->setObjectName(QStringLiteral("CloudVoxelBox"));
    voxel_->setRange(0, 100);
    voxel_->setDecimals(3);
    voxel_->setSpecialValueText(tr("不抽稀"));
    neighbours_ = new QSpinBox(this);
    neighbours_->setObjectName(QStringLiteral("CloudNeighboursBox"));
    neighbours_->setRange(3, 200);
    neighbours_->setValue(20);
    minArea_ = new QDoubleSpinBox(this);
    minArea_->setObjectName(QStringLiteral("CloudMinAreaBox"));
    minArea_->setRange(0, 1e6);
    minArea_->setDecimals(3);
    sets_ = new QSpinBox(this);
    sets_->setObjectName(QStringLiteral("CloudSetsBox"));
    sets_->setRange(1, 50);
    sets_->setValue(6);
    automatic_ = new QCheckBox(tr("自动选择组数（至多此数）"), this);
    automatic_->setObjectName(QStringLiteral("CloudAutomaticBox"));
    automatic_->setChecked(true);
    weight_ = new QComboBox(this);
    weight_->setObjectName(QStringLiteral("CloudWeightBox"));
    weight_->addItems({tr("按面积"), tr("按个数")});
    auto* startButton = button(this, "CloudStartButton", tr("分析点云"));
    auto* cancel = button(this, "CloudCancelButton", tr("取消"));
    auto* progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("CloudProgressBar"));
    run_ = new ui::BackgroundRun(startButton, cancel, progress, this);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("CloudSummary"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    view_ = new CloudView(this);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(browse);
    auto* form = new QFormLayout;
    form->addRow(tr("坐标轴"), frame_);
    form->addRow(tr("体素边长"), voxel_);
    form->addRow(tr("近邻点数"), neighbours_);
    form->addRow(tr("最小面片面积"), minArea_);
    auto* setsRow = new QHBoxLayout;
    setsRow->addWidget(sets_);
    setsRow->addWidget(automatic_);
    form->addRow(tr("结构面组数"), setsRow);
    form->addRow(tr("面片权重"), weight_);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(startButton);
    runRow->addWidget(cancel);
    runRow->addWidget(progress, 1);
    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addLayout(runRow);
    left->addWidget(summary_, 1);
    auto* middle = new QHBoxLayout;
    middle->addLayout(left, 2);
    middle->addWidget(view_, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addLayout(middle, 1);
    connect(browse, &QPushButton::clicked, this, &CloudWindow::chooseFile);
    connect(startButton, &QPushButton::clicked, this, &CloudWindow::start);
    connect(file_, &QLineEdit::returnPressed, this, &CloudWindow::start);
}

// The worker is waited for while the window is still whole.
CloudWindow::~CloudWindow() { delete run_; }

QString CloudWindow::openerCaption() { return tr("点云…"); }

bool CloudWindow::running() const { return run_->running(); }

void CloudWindow::chooseFile() {
    const QString chosen = QFileDialog::getOpenFileName(
        this, tr("打开点云文件"), file_->text(), tr("点云 (*.ply *.las *.laz *.xyz *.txt *.csv *.pts);;所有文件 (*)"));
    if (chosen.isEmpty()) return;
    file_->setText(chosen);
    start();
}

void CloudWindow::start() {
    if (run_->running()) return;
    const std::string path = file_->text().toStdString();
    CloudSettings settings;
    CloudFrame frame;
    const bool ready = ui::runCommand([&] {
        frame = parseCloudFrame(frame_->text().toStdString());
        settings.Voxel = voxel_->value();
        settings.Facets.Neighbours = static_cast<std::size_t>(neighbours_->value());
        settings.Facets.MinArea = minArea_->value();
        settings.Sets.Sets = automatic_->isChecked() ? 0 : sets_->value();
        settings.Sets.MaxSets = sets_->value();
        settings.Sets.ByArea = weight_->currentIndex() == 0;
    });
    if (!ready) return;
    auto result = std::make_shared<std::optional<CloudResult>>();
    run_->start(
        [path, frame, settings, result](const ProgressCallback& progress) {
            const PointCloud cloud = readCloudFile(path, frame);
            *result = analyseCloud(cloud, settings, progress);
            return result->has_value();
        },
        [this, path, result](std::exception_ptr failure) {
            const bool taken = ui::runCommand([&] {
                if (failure) std::rethrow_exception(failure);
                if (!*result) return; // cancelled: the document keeps what it had
                joints_.openCloud(std::make_shared<const CloudResult>(std::move(**result)), path);
                showResult();
            });
            if (!taken) run_->bar()->setValue(0);
            emit finished();
        });
}

void CloudWindow::showResult() {
    const auto& cloud = joints_.cloud();
    if (!cloud) return;
    summary_->setText(QString::fromStdString(cloudSummaryText(*cloud, joints_.file().filename().string())));
    view_->setPoints(cloud->Points, setColours(*cloud));
}

} // namespace trelmox::views
