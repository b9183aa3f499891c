#pragma once
// "结构面统计与组合分析": a file of measured joints, the sets formed from it
// with their Fisher statistics, its net of poles with density contours and
// the current slope's kinematic check, and every pair of its planes or sets
// set into the current slope, the critical wedge first. A pair opens as the
// current block: its planes and strengths go into the entry windows, to be
// confirmed there as usual. The joint document and the block document hold
// everything shown; the window holds only its boxes.
#include <QWidget>

#include <cstdint>
#include <exception>
#include <optional>
#include <vector>

#include "drawing/figure.h"
#include "analysis/joints/pair_probability.h"
#include "model/block.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLayout;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QLineEdit;
class QModelIndex;
class QSpinBox;
class QTableView;
class QTableWidget;

namespace trelmox {
class JointDocument;
struct KinematicJob;
struct KinematicResult;
struct PairProbabilityJob;
}

namespace trelmox::ui {
class BackgroundRun;
class Workspace;
}

namespace trelmox::views {

class CloudWindow;
class CombinationsModel;
class FigureWidget;

class JointsWindow : public QWidget {
    Q_OBJECT
public:
    explicit JointsWindow(ui::Workspace& workspace, QWidget* parent = nullptr);
    ~JointsWindow() override;

    // Redraws the net with the current block's face and friction.
    void refresh();
    FigureWidget* picture() const { return picture_; }
    bool probabilitiesRunning() const;
    // The pairs' checks of a pair mode are being worked out.
    bool kinematicsRunning() const;

signals:
    // A run of the pairs' probabilities ended: finished, cancelled or failed.
    void probabilitiesFinished();
    // A run of the pairs' kinematic checks ended, likewise.
    void kinematicsFinished();

private:
    JointDocument& joints() const;
    QWidget* buildFilePanel();
    QWidget* buildNetPanel();
    QWidget* buildSetPanel();
    QWidget* buildCombinationPanel();
    QLayout* buildProbabilityRow(QWidget* panel);
    QWidget* buildKinematicsPanel();

    void chooseFile();
    void openFile();
    void exportTables();
    void pickSetAt(Point2 framePoint);
    void combine();
    void openPair(const QModelIndex& shown);
    void startProbabilities();
    void finishProbabilities(const PairProbabilityJob& job, std::optional<std::vector<PairProbability>> found,
                             std::exception_ptr failure);
    void setProbabilityRunning(bool running);
    void chooseSectors();
    void addSector();
    void editSector(int row, int column);
    void reopenSectorCell(int row, int column, const QString& typed);

    // What the net shows of the current block: its slope face, once one is
    // confirmed, and the friction angle of the weaker cutting plane.
    struct SlopeOnNet {
        std::optional<TPlaneAttitude> Face;
        std::optional<double> FrictionAngle;
        bool operator==(const SlopeOnNet&) const = default;
    };
    SlopeOnNet currentSlope() const;

    void showJoints();
    void showSets();
    void showKinematics();
    // The face the kinematic checks are made against: the chosen sector's,
    // else the current block's; none before either exists.
    std::optional<TPlaneAttitude> kinematicFace() const;
    // The checks of the mode shown against `face`: those of a pole mode at
    // once; those of a pair mode when known, else nullptr while a run on
    // the worker thread works them out (`asked`: the user asked again for a
    // run that was cancelled).
    const KinematicResult* shownKinematics(const TPlaneAttitude& face, bool asked = false);
    void finishKinematics(const KinematicJob& job, std::optional<KinematicResult> found, std::exception_ptr failure);
    void showKinematicButtons();
    void redraw();

    ui::Workspace& workspace_;
    CloudWindow* cloud_ = nullptr; // made when first asked for
    QLineEdit* file_ = nullptr;
    QLabel* summary_ = nullptr;
    FigureWidget* picture_ = nullptr;
    QComboBox* projection_ = nullptr;
    QComboBox* density_ = nullptr;
    QSpinBox* setCount_ = nullptr;
    QDoubleSpinBox* coneAngle_ = nullptr;
    QLabel* grouping_ = nullptr;
    QTableWidget* sets_ = nullptr;
    QLabel* combinationsCaption_ = nullptr;
    QTableView* combinations_ = nullptr;
    CombinationsModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QPushButton* combine_ = nullptr;
    QSpinBox* pairSamples_ = nullptr;
    QSpinBox* pairSeed_ = nullptr;
    ui::BackgroundRun* probabilities_ = nullptr;
    QComboBox* mode_ = nullptr;
    QDoubleSpinBox* friction_ = nullptr;
    QDoubleSpinBox* lateral_ = nullptr;
    QTableWidget* sectors_ = nullptr;
    QLabel* kinematicsCaption_ = nullptr;
    QTableWidget* kinematics_ = nullptr;
    QPushButton* kinematicStart_ = nullptr;
    ui::BackgroundRun* kinematicRun_ = nullptr;
    // Which checks a run is for, or the user cancelled: the planes, sets and
    // limits (by their count of changes) and the face.
    struct KinematicKey {
        std::uint64_t Inputs = 0;
        double Dip = 0, DipDirection = 0;
        bool operator==(const KinematicKey&) const = default;
    };
    KinematicKey kinematicKey(const TPlaneAttitude& face) const;
    std::optional<KinematicKey> runningKinematics_, cancelledKinematics_;
    bool restartKinematics_ = false; // the run going was cancelled for another
    // Contouring many poles takes a noticeable moment, so an edit in the
    // entry windows redraws the net only when it changes what the net shows.
    SlopeOnNet drawnSlope_;
};

} // namespace trelmox::views
