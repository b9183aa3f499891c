// The loads window's "楔体尺寸": the limits of the wedge's size, each box
// empty for a limit not given.
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/loads_window.h"
#include "ui/loads_window_parts.h"
#include "ui/style.h"

namespace trelmox::ui {

using namespace loads;

void LoadsWindow::buildSize(QWidget* column) {
    auto* group = new QGroupBox(tr("楔体尺寸（不填为不限）"), column);
    group->setObjectName(QStringLiteral("SizeGroup"));
    auto* layout = new QVBoxLayout(group);
    auto* planes = new QGridLayout;
    planes->addWidget(new QLabel(tr("第一切割面"), group), 0, 1);
    planes->addWidget(new QLabel(tr("第二切割面"), group), 0, 2);
    const struct {
        const char* caption;
        const char* name;
        std::array<QLineEdit*, 2> LoadsWindow::*boxes;
    } rows[] = {{QT_TR_NOOP("坡面上的迹长（m）"), "FaceTrace", &LoadsWindow::faceTrace_},
                {QT_TR_NOOP("坡顶面上的迹长（m）"), "TopTrace", &LoadsWindow::topTrace_},
                {QT_TR_NOOP("延伸长度（m）"), "Persistence", &LoadsWindow::persistence_}};
    for (int row = 0; row < 3; ++row) {
        planes->addWidget(new QLabel(tr(rows[row].caption), group), row + 1, 0);
        for (int plane = 0; plane < 2; ++plane) {
            const std::string name = rows[row].name + std::to_string(plane + 1);
            planes->addWidget((this->*rows[row].boxes)[plane] = addBox(group, name.c_str()), row + 1, plane + 1);
        }
    }
    layout->addLayout(planes);
    auto* form = new QFormLayout;
    persistenceMeasure_ = new QComboBox(group);
    persistenceMeasure_->setObjectName(QStringLiteral("PersistenceMeasure"));
    takeWheelOnlyWhenFocused(persistenceMeasure_);
    persistenceMeasure_->addItems({tr("沿交线自坡面量取"), tr("面上两角点间的最大距离")});
    connect(persistenceMeasure_, &QComboBox::activated, this, &LoadsWindow::takeEdits);
    form->addRow(tr("延伸长度的量法"), persistenceMeasure_);
    form->addRow(tr("边坡沿走向的长度（m）"), slopeLength_ = addBox(group, "SlopeLength"));
    layout->addLayout(form);

    bench_ = new QGroupBox(tr("台阶"), group);
    bench_->setObjectName(QStringLiteral("BenchGroup"));
    bench_->setCheckable(true);
    connect(bench_, &QGroupBox::clicked, this, &LoadsWindow::takeEdits);
    auto* benchForm = new QFormLayout(bench_);
    benchForm->addRow(tr("台阶高度（m）"), benchHeight_ = addBox(bench_, "BenchHeight"));
    benchForm->addRow(tr("台阶宽度（m）"), benchWidth_ = addBox(bench_, "BenchWidth"));
    benchForm->addRow(tr("最小安全平台宽度（m）"), catchWidth_ = addBox(bench_, "CatchWidth"));
    layout->addWidget(bench_);

    auto* minimum = new QFormLayout;
    minimum->addRow(tr("楔块最小体积（m³）"), minVolume_ = addBox(group, "MinVolume"));
    minimum->addRow(tr("楔块最小重量（kN）"), minWeight_ = addBox(group, "MinWeight"));
    minimum->addRow(tr("楔块最小高度（m）"), minHeight_ = addBox(group, "MinHeight"));
    layout->addLayout(minimum);
    column->layout()->addWidget(group);
}

void LoadsWindow::sizeShown(SizeEntry& e) const {
    for (int plane = 0; plane < 2; ++plane) {
        e.FaceTrace[plane] = textOf(faceTrace_[plane]);
        e.TopTrace[plane] = textOf(topTrace_[plane]);
        e.Persistence[plane] = textOf(persistence_[plane]);
    }
    e.Measure = persistenceMeasure_->currentIndex() == 0 ? PersistenceMeasure::AlongIntersection
                                                         : PersistenceMeasure::LargestExtent;
    e.SlopeLength = textOf(slopeLength_);
    e.HasBench = bench_->isChecked();
    e.BenchHeight = textOf(benchHeight_);
    e.BenchWidth = textOf(benchWidth_);
    e.CatchWidth = textOf(catchWidth_);
    e.MinVolume = textOf(minVolume_);
    e.MinWeight = textOf(minWeight_);
    e.MinHeight = textOf(minHeight_);
}

void LoadsWindow::showSize(const SizeEntry& e) {
    for (int plane = 0; plane < 2; ++plane) {
        showText(faceTrace_[plane], e.FaceTrace[plane]);
        showText(topTrace_[plane], e.TopTrace[plane]);
        showText(persistence_[plane], e.Persistence[plane]);
    }
    persistenceMeasure_->setCurrentIndex(e.Measure == PersistenceMeasure::AlongIntersection ? 0 : 1);
    showText(slopeLength_, e.SlopeLength);
    bench_->setChecked(e.HasBench);
    showText(benchHeight_, e.BenchHeight);
    showText(benchWidth_, e.BenchWidth);
    showText(catchWidth_, e.CatchWidth);
    showText(minVolume_, e.MinVolume);
    showText(minWeight_, e.MinWeight);
    showText(minHeight_, e.MinHeight);
}

QLineEdit* LoadsWindow::sizeBox(LoadsField field, int row) const {
    const bool plane = row == 0 || row == 1;
    switch (field) {
    case LoadsField::SizeFaceTrace: return plane ? faceTrace_[row] : nullptr;
    case LoadsField::SizeTopTrace: return plane ? topTrace_[row] : nullptr;
    case LoadsField::SizePersistence: return plane ? persistence_[row] : nullptr;
    case LoadsField::SizeSlopeLength: return slopeLength_;
    case LoadsField::SizeBenchHeight: return benchHeight_;
    case LoadsField::SizeBenchWidth: return benchWidth_;
    case LoadsField::SizeCatchWidth: return catchWidth_;
    case LoadsField::SizeMinVolume: return minVolume_;
    case LoadsField::SizeMinWeight: return minWeight_;
    case LoadsField::SizeMinHeight: return minHeight_;
    default: return nullptr;
    }
}

} // namespace trelmox::ui
