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
        LoadsField field;
    } rows[] = {{QT_TR_NOOP("坡面上的迹长（m）"), "FaceTrace", LoadsField::SizeFaceTrace},
                {QT_TR_NOOP("坡顶面上的迹长（m）"), "TopTrace", LoadsField::SizeTopTrace},
                {QT_TR_NOOP("延伸长度（m）"), "Persistence", LoadsField::SizePersistence}};
    for (int row = 0; row < 3; ++row) {
        planes->addWidget(new QLabel(tr(rows[row].caption), group), row + 1, 0);
        for (int plane = 0; plane < 2; ++plane) {
            const std::string name = rows[row].name + std::to_string(plane + 1);
            planes->addWidget(addBox(group, name.c_str(), rows[row].field, plane), row + 1, plane + 1);
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
    form->addRow(tr("边坡沿走向的长度（m）"), addBox(group, "SlopeLength", LoadsField::SizeSlopeLength));
    layout->addLayout(form);

    bench_ = new QGroupBox(tr("台阶"), group);
    bench_->setObjectName(QStringLiteral("BenchGroup"));
    bench_->setCheckable(true);
    connect(bench_, &QGroupBox::clicked, this, &LoadsWindow::takeEdits);
    auto* benchForm = new QFormLayout(bench_);
    benchForm->addRow(tr("台阶高度（m）"), addBox(bench_, "BenchHeight", LoadsField::SizeBenchHeight));
    benchForm->addRow(tr("台阶宽度（m）"), addBox(bench_, "BenchWidth", LoadsField::SizeBenchWidth));
    benchForm->addRow(tr("最小安全平台宽度（m）"), addBox(bench_, "CatchWidth", LoadsField::SizeCatchWidth));
    layout->addWidget(bench_);

    auto* minimum = new QFormLayout;
    minimum->addRow(tr("楔块最小体积（m³）"), addBox(group, "MinVolume", LoadsField::SizeMinVolume));
    minimum->addRow(tr("楔块最小重量（kN）"), addBox(group, "MinWeight", LoadsField::SizeMinWeight));
    minimum->addRow(tr("楔块最小高度（m）"), addBox(group, "MinHeight", LoadsField::SizeMinHeight));
    layout->addLayout(minimum);
    column->layout()->addWidget(group);
}

void LoadsWindow::sizeShown(SizeEntry& e) const {
    for (int plane = 0; plane < 2; ++plane) {
        e.FaceTrace[plane] = textOf(box(LoadsField::SizeFaceTrace, plane));
        e.TopTrace[plane] = textOf(box(LoadsField::SizeTopTrace, plane));
        e.Persistence[plane] = textOf(box(LoadsField::SizePersistence, plane));
    }
    e.Measure = persistenceMeasure_->currentIndex() == 0 ? PersistenceMeasure::AlongIntersection
                                                         : PersistenceMeasure::LargestExtent;
    e.SlopeLength = textOf(box(LoadsField::SizeSlopeLength));
    e.HasBench = bench_->isChecked();
    e.BenchHeight = textOf(box(LoadsField::SizeBenchHeight));
    e.BenchWidth = textOf(box(LoadsField::SizeBenchWidth));
    e.CatchWidth = textOf(box(LoadsField::SizeCatchWidth));
    e.MinVolume = textOf(box(LoadsField::SizeMinVolume));
    e.MinWeight = textOf(box(LoadsField::SizeMinWeight));
    e.MinHeight = textOf(box(LoadsField::SizeMinHeight));
}

void LoadsWindow::showSize(const SizeEntry& e) {
    for (int plane = 0; plane < 2; ++plane) {
        showText(box(LoadsField::SizeFaceTrace, plane), e.FaceTrace[plane]);
        showText(box(LoadsField::SizeTopTrace, plane), e.TopTrace[plane]);
        showText(box(LoadsField::SizePersistence, plane), e.Persistence[plane]);
    }
    persistenceMeasure_->setCurrentIndex(e.Measure == PersistenceMeasure::AlongIntersection ? 0 : 1);
    showText(box(LoadsField::SizeSlopeLength), e.SlopeLength);
    bench_->setChecked(e.HasBench);
    showText(box(LoadsField::SizeBenchHeight), e.BenchHeight);
    showText(box(LoadsField::SizeBenchWidth), e.BenchWidth);
    showText(box(LoadsField::SizeCatchWidth), e.CatchWidth);
    showText(box(LoadsField::SizeMinVolume), e.MinVolume);
    showText(box(LoadsField::SizeMinWeight), e.MinWeight);
    showText(box(LoadsField::SizeMinHeight), e.MinHeight);
}

} // namespace trelmox::ui
