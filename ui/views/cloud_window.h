#pragma once
// "点云结构面": a point cloud of the rock face read and analysed on a worker
// thread (a progress bar, cancellable), its facets and sets shown in 3D
// coloured by set; the joints found go into the joint document, where the
// joints window shows them on the net and combines them as it does a
// measurement file's.
#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace trelmox {
class JointDocument;
}
namespace trelmox::ui {
class BackgroundRun;
}

namespace trelmox::views {

class CloudView;

class CloudWindow : public QWidget {
    Q_OBJECT
public:
    CloudWindow(JointDocument& joints, QWidget* parent = nullptr);
    ~CloudWindow() override;
    // The caption of the joints window's button that opens this window.
    static QString openerCaption();
    bool running() const;
    // Runs the cloud in the file box, as the start button does.
    void start();

signals:
    // A run ended: finished, cancelled or failed.
    void finished();

private:
    void chooseFile();
    void showResult();

    JointDocument& joints_;
    QLineEdit* file_ = nullptr;
    QLineEdit* frame_ = nullptr;
    QDoubleSpinBox* voxel_ = nullptr;
    QSpinBox* neighbours_ = nullptr;
    QDoubleSpinBox* minArea_ = nullptr;
    QSpinBox* sets_ = nullptr;
    QCheckBox* automatic_ = nullptr;
    QComboBox* weight_ = nullptr;
    QLabel* summary_ = nullptr;
    CloudView* view_ = nullptr;
    ui::BackgroundRun* run_ = nullptr;
};

} // namespace trelmox::views
