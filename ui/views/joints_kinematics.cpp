#include "ui/views/joints_window.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <utility>

#include "document/joint_document.h"
#include "drawing/joint_net.h"
#include "model/error.h"
#include "model/files.h"
#include "model/numtext.h"
#include "ui/background_run.h"
#include "ui/messages.h"
#include "ui/table_columns.h"
#include "ui/tform2.h"
#include "ui/tform3.h"
#include "ui/views/figure_widget.h"
#include "ui/views/joints_window_parts.h"
#include "ui/views/viewed_block.h"

namespace trelmox::views {

using namespace joints_parts;

namespace {

QString blockFaceRow() { return JointsWindow::tr("块体坡面"); }
// The sectors list: the block's own face first, then the sectors.
constexpr int FirstSectorRow = 1;
constexpr int DipColumn = 1, DipDirectionColumn = 2;

} // namespace

QWidget* JointsWindow::buildKinematicsPanel() {
    auto* panel = new QGroupBox(tr("运动学分析（破坏模式与边坡分区）"), this);
    mode_ = new QComboBox(panel);
    mode_->setObjectName(QStringLiteral("ModeBox"));
    mode_->addItem(tr("不做运动学分析"));
    for (KinematicMode mode : KinematicModes) mode_->addItem(QString::fromUtf8(kinematicModeName(mode)));
    friction_ = new QDoubleSpinBox(panel);
    friction_->setObjectName(QStringLiteral("FrictionAngleBox"));
    friction_->setRange(0, 89.9);
    friction_->setDecimals(1);
    friction_->setSuffix(QStringLiteral("°"));
    friction_->setValue(joints().frictionAngle());
    lateral_ = new QDoubleSpinBox(panel);
    lateral_->setObjectName(QStringLiteral("LateralLimitBox"));
    lateral_->setRange(0, 180);
    lateral_->setDecimals(1);
    lateral_->setSuffix(QStringLiteral("°"));
    lateral_->setValue(joints().lateralLimit());
    sectors_ = new QTableWidget(0, 3, panel);
    sectors_->setObjectName(QStringLiteral("SectorsTable"));
    sectors_->setHorizontalHeaderLabels({tr("分区"), tr("坡面倾角"), tr("坡面倾向")});
    sectors_->setSelectionBehavior(QAbstractItemView::SelectRows);
    sectors_->setSelectionMode(QAbstractItemView::SingleSelection);
    sectors_->verticalHeader()->hide();
    sectors_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    auto* open = makeButton(panel, QStringLiteral("SectorsFileButton"), tr("打开分区文件…"));
    auto* add = makeButton(panel, QStringLiteral("AddSectorButton"), tr("添加分区"));
    auto* remove = makeButton(panel, QStringLiteral("RemoveSectorButton"), tr("删除分区"));
    kinematicsCaption_ = new QLabel(panel);
    kinematicsCaption_->setObjectName(QStringLiteral("KinematicsCaption"));
    kinematicsCaption_->setWordWrap(true);
    kinematics_ = new QTableWidget(0, 4, panel);
    kinematics_->setObjectName(QStringLiteral("KinematicsTable"));
    kinematics_->setHorizontalHeaderLabels({tr("组"), tr("临界数"), tr("总数"), tr("临界比例")});
    kinematics_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    kinematics_->verticalHeader()->hide();
    kinematics_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The pair modes check every pair of planes: seconds for ten thousand,
    // worked out on a worker thread while the window stays in use.
    kinematicStart_ = makeButton(panel, QStringLiteral("KinematicsRunButton"), tr("检查交线"));
    auto* cancel = makeButton(panel, QStringLiteral("KinematicsCancelButton"), tr("取消"));
    auto* progress = new QProgressBar(panel);
    progress->setObjectName(QStringLiteral("KinematicsProgressBar"));
    kinematicRun_ = new ui::BackgroundRun(nullptr, cancel, progress, this);

    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel(tr("破坏模式"), panel));
    options->addWidget(mode_, 1);
    options->addWidget(new QLabel(tr("摩擦角"), panel));
    options->addWidget(friction_);
    options->addWidget(new QLabel(tr("侧向界限 ±"), panel));
    options->addWidget(lateral_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(open);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    // The run's row shares the caption's line and shows in the pair modes.
    progress->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
    auto* status = new QHBoxLayout;
    status->addWidget(kinematicsCaption_, 1);
    status->addWidget(kinematicStart_);
    status->addWidget(cancel);
    status->addWidget(progress);
    auto* tables = new QHBoxLayout;
    tables->addWidget(sectors_, 1);
    tables->addWidget(kinematics_, 1);
    ui::showAtLeastRows(sectors_, LeastRowsShown);
    ui::showAtLeastRows(kinematics_, LeastRowsShown);
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(options);
    layout->addLayout(buttons);
    layout->addLayout(status);
    layout->addLayout(tables, 1);

    connect(mode_, &QComboBox::currentIndexChanged, this, [this](int index) {
        joints().setKinematicMode(index <= 0 ? std::nullopt : std::optional(KinematicModes[std::size_t(index - 1)]));
    });
    // Every value the boxes take goes into the document; their ranges are
    // the checks' own, so none is refused. A value typed is taken on Return
    // or on leaving the box, not at each key: in a pair mode every value
    // costs the checks of all pairs of planes, seconds for ten thousand.
    friction_->setKeyboardTracking(false);
    lateral_->setKeyboardTracking(false);
    const auto limits = [this] {
        ui::runCommand([this] { joints().setKinematicLimits(friction_->value(), lateral_->value()); });
    };
    connect(friction_, &QDoubleSpinBox::valueChanged, this, limits);
    connect(lateral_, &QDoubleSpinBox::valueChanged, this, limits);
    connect(open, &QPushButton::clicked, this, &JointsWindow::chooseSectors);
    connect(add, &QPushButton::clicked, this, &JointsWindow::addSector);
    connect(remove, &QPushButton::clicked, this, [this] {
        if (const auto shown = joints().selectedSector()) joints().removeSector(*shown);
    });
    connect(sectors_, &QTableWidget::cellChanged, this, &JointsWindow::editSector);
    // The first row goes back to the block's own face.
    connect(sectors_, &QTableWidget::currentCellChanged, this, [this](int row) {
        joints().selectSector(row < FirstSectorRow ? std::nullopt : std::optional(std::size_t(row - FirstSectorRow)));
    });
    connect(kinematicStart_, &QPushButton::clicked, this, [this] {
        if (const auto face = kinematicFace(); face && joints().kinematicMode()) {
            shownKinematics(*face, true);
            showKinematics();
        }
    });
    connect(kinematicRun_, &ui::BackgroundRun::runningChanged, this, &JointsWindow::showKinematicButtons);
    return panel;
}

void JointsWindow::chooseSectors() {
    const QString chosen = QFileDialog::getOpenFileName(this, tr("打开边坡分区文件"), file_->text(),
                                                        tr("分区文件 (*.csv *.txt);;所有文件 (*)"));
    if (chosen.isEmpty()) return;
    ui::runCommand([&] { readNamedFile(tr("分区文件"), chosen, [&] { joints().openSectors(chosen.toStdString()); }); });
}

// A new sector starts from the face shown, so that turning it is one edit.
void JointsWindow::addSector() {
    const TPlaneAttitude face = kinematicFace().value_or(TPlaneAttitude{60, 180});
    SlopeSector sector;
    sector.Name = "分区" + std::to_string(joints().sectors().size() + 1);
    sector.Dip = face.DipAngle;
    sector.DipDirection = face.DipDirection;
    ui::runCommand([&] { joints().addSector(sector); });
}

// The edit goes into the document as the cell is committed, so that a run,
// a report or a net drawn next sees it. A value refused keeps the
// document's; the cell is opened again with the text typed, to be mended.
void JointsWindow::editSector(int row, int column) {
    const int index = row - FirstSectorRow;
    if (column == 0 || index < 0 || std::size_t(index) >= joints().sectors().size()) return;
    const QString typed = sectors_->item(row, column)->text().trimmed();
    const bool dip = column == DipColumn;
    const bool taken = ui::runCommand([&] {
        double value = 0;
        try {
            value = textToFloat(typed.toStdString());
        } catch (const Error& failure) {
            if (failure.kind() != ErrorKind::NumberText) throw;
            throw Error::numberText((dip ? tr("坡面倾角“%1”不是数") : tr("坡面倾向“%1”不是数"))
                                        .arg(QString::fromStdString(visibleText(typed.toStdString())))
                                        .toStdString(),
                                    dip ? "dip" : "dipdir")
                .withRow(index);
        }
        if (dip)
            joints().setSectorDip(std::size_t(index), value);
        else
            joints().setSectorDipDirection(std::size_t(index), value);
    });
    showKinematics();
    // The editor closing is still on its way: the cell opens once it is done.
    if (!taken) QTimer::singleShot(0, this, [this, row, column, typed] { reopenSectorCell(row, column, typed); });
}

void JointsWindow::reopenSectorCell(int row, int column, const QString& typed) {
    QTableWidgetItem* item = sectors_->item(row, column);
    if (!item) return;
    sectors_->setCurrentCell(row, column);
    sectors_->setFocus(Qt::OtherFocusReason);
    sectors_->editItem(item);
    for (auto* editor : sectors_->viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible()) {
            editor->setText(typed);
            editor->selectAll();
        }
}

std::optional<TPlaneAttitude> JointsWindow::kinematicFace() const {
    const JointDocument& j = joints();
    if (j.selectedSector()) {
        const SlopeSector& s = j.sectors()[*j.selectedSector()];
        return TPlaneAttitude{s.Dip, s.DipDirection};
    }
    return currentSlope().Face;
}

void JointsWindow::showKinematics() {
    const JointDocument& j = joints();
    // The cells are updated in place: this runs while a cell's edit is being
    // committed, and that cell's item must outlive it.
    const QSignalBlocker blockSectors(sectors_);
    sectors_->setRowCount(FirstSectorRow + static_cast<int>(j.sectors().size()));
    const std::optional<TPlaneAttitude> blockFace = currentSlope().Face;
    for (int row = 0; row < sectors_->rowCount(); ++row) {
        QString cells[3];
        if (row < FirstSectorRow) {
            cells[0] = blockFaceRow();
            if (blockFace) {
                cells[DipColumn] = text(floatToText(blockFace->DipAngle));
                cells[DipDirectionColumn] = text(floatToText(blockFace->DipDirection));
            }
        } else {
            const SlopeSector& s = j.sectors()[std::size_t(row - FirstSectorRow)];
            cells[0] = text(s.Name);
            cells[DipColumn] = text(floatToText(s.Dip));
            cells[DipDirectionColumn] = text(floatToText(s.DipDirection));
        }
        for (int column = 0; column < 3; ++column) {
            QTableWidgetItem* item = sectors_->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                // The block's face is edited in the entry windows.
                if (column == 0 || row < FirstSectorRow) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
                sectors_->setItem(row, column, item);
            }
            if (item->text() != cells[column]) item->setText(cells[column]);
        }
    }
    sectors_->item(0, 0)->setToolTip(blockFace ? QString() : tr("尚未确定块体"));
    const int shownRow = j.selectedSector() ? FirstSectorRow + static_cast<int>(*j.selectedSector()) : 0;
    if (sectors_->currentRow() != shownRow) sectors_->setCurrentCell(shownRow, std::max(sectors_->currentColumn(), 0));
    const QSignalBlocker blockMode(mode_);
    mode_->setCurrentIndex(j.kinematicMode() ? static_cast<int>(*j.kinematicMode()) + 1 : 0);
    // Set only when they differ: setting a box rewrites the text being typed.
    const QSignalBlocker blockFriction(friction_), blockLateral(lateral_);
    if (friction_->value() != j.frictionAngle()) friction_->setValue(j.frictionAngle());
    if (lateral_->value() != j.lateralLimit()) lateral_->setValue(j.lateralLimit());

    kinematics_->setRowCount(0);
    showKinematicButtons();
    const std::optional<TPlaneAttitude> face = kinematicFace();
    if (!j.kinematicMode() || !j.opened() || !face) {
        kinematicsCaption_->setText(j.kinematicMode() ? tr("请先打开测量文件，并确定块体或添加分区：按其坡面检查")
                                                      : QString());
        return;
    }
    const QString mode = QString::fromUtf8(kinematicModeName(*j.kinematicMode()));
    const KinematicResult* result = shownKinematics(*face);
    if (!result) {
        const std::size_t n = j.measurements().Planes.size();
        kinematicsCaption_->setText((cancelledKinematics_ == kinematicKey(*face)
                                         ? tr("坡面 %1，%2：交线检查已取消，按“检查交线”重新开始")
                                         : tr("坡面 %1，%2：正在检查 %3 对结构面的交线…"))
                                        .arg(planeText(*face), mode)
                                        .arg(n * (n - 1) / 2));
        return;
    }
    const ModeResult& m = result->mode(*j.kinematicMode());
    const auto percent = [](const KinematicCount& c) {
        return QString::number(c.percent(), 'f', 1) + QStringLiteral("%");
    };
    kinematicsCaption_->setText(
        tr("坡面 %1，%2：%3 %4/%5（%6）")
            .arg(planeText(*face), mode, checksIntersections(m.Mode) ? tr("临界交线") : tr("临界极点"))
            .arg(m.All.Critical)
            .arg(m.All.Total)
            .arg(percent(m.All)));
    std::vector<GroupCount> rows{{tr("全部").toStdString(), m.All}};
    rows.insert(rows.end(), m.Groups.begin(), m.Groups.end());
    kinematics_->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < kinematics_->rowCount(); ++row) {
        const GroupCount& g = rows[std::size_t(row)];
        const QStringList cells{text(g.Label), QString::number(g.Count.Critical), QString::number(g.Count.Total),
                                percent(g.Count)};
        for (int column = 0; column < cells.size(); ++column)
            kinematics_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
}

JointsWindow::KinematicKey JointsWindow::kinematicKey(const TPlaneAttitude& face) const {
    return {joints().kinematicInputs(), face.DipAngle, face.DipDirection};
}

const KinematicResult* JointsWindow::shownKinematics(const TPlaneAttitude& face, bool asked) {
    const JointDocument& j = joints();
    if (!checksIntersections(*j.kinematicMode())) return &j.kinematics(face, false);
    if (const KinematicResult* known = j.knownKinematics(face, true)) return known;
    const KinematicKey key = kinematicKey(face);
    if (kinematicRun_->running()) {
        // Another face or other planes: that run is of no use any more, and
        // this one starts when it has stopped.
        if (runningKinematics_ != key) {
            restartKinematics_ = true;
            kinematicRun_->cancel();
        }
        return nullptr;
    }
    if (!asked && cancelledKinematics_ == key) return nullptr;
    cancelledKinematics_.reset();
    runningKinematics_ = key;
    auto job = std::make_shared<KinematicJob>(j.kinematicJob(face));
    auto found = std::make_shared<std::optional<KinematicResult>>();
    kinematicRun_->start(
        [job, found](const ProgressCallback& progress) {
            *found = job->run(progress);
            return found->has_value();
        },
        [this, job, found](std::exception_ptr failure) { finishKinematics(*job, std::move(*found), failure); });
    return nullptr;
}

void JointsWindow::finishKinematics(const KinematicJob& job, std::optional<KinematicResult> found,
                                    std::exception_ptr failure) {
    const std::optional<KinematicKey> key = std::exchange(runningKinematics_, std::nullopt);
    const bool restart = std::exchange(restartKinematics_, false);
    if (failure) ui::runCommand([&failure] { std::rethrow_exception(failure); });
    // A run that failed or that the user cancelled waits for 检查交线.
    if (failure || (!found && !restart)) cancelledKinematics_ = key;
    // Taken, the checks are shown as the document tells of the change;
    // otherwise the caption says why, or the run wanted now starts.
    if (!found || !joints().takeKinematics(job, std::move(*found))) {
        showKinematics();
        redraw();
    }
    emit kinematicsFinished();
}

// 检查交线 starts again a run that was cancelled or failed.
void JointsWindow::showKinematicButtons() {
    const JointDocument& j = joints();
    const bool pairs = j.kinematicMode() && checksIntersections(*j.kinematicMode());
    const QList<QWidget*> row{kinematicStart_, kinematicRun_->bar(), kinematicRun_->cancelButton()};
    for (QWidget* widget : row) widget->setVisible(pairs);
    const std::optional<TPlaneAttitude> face = kinematicFace();
    kinematicStart_->setEnabled(!kinematicRun_->running() && j.opened() && face && j.kinematicMode() &&
                                checksIntersections(*j.kinematicMode()) && !j.knownKinematics(*face, true));
}

} // namespace trelmox::views
