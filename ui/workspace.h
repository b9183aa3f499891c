#pragma once
// What the windows share: the program folder, the block model, the corner
// state, and the file commands that read one window's boxes and another's
// (the report and data-file writers, the block loader, the drawing export).
// The windows hold the boxes; the engine computes and writes the files.
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "analysis/vertices.h"
#include "model/block.h"

namespace trelmox::ui {

class TForm2;
class TForm3;
class TForm4;

inline const char* const DataFolderName = "数据文件";
inline const char* const ReportFolderName = "分析报告";
inline const char* const EmptyBlockNameMessage = "请输入或选择块体名称";

// The confirmed block: both notations of the four planes and the name that
// names the block's files. Data move in only when the user confirms.
struct BlockModel {
    PlaneQuadrantArray PlaneQuadrants{};
    PlaneAttitudeArray PlaneAttitudes{};
    std::string CurrentBlock;
};

// Starts a program with its arguments, detached, without a shell; false
// when it could not be started.
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;

class Workspace {
public:
    // `programFolder` holds the data and report folders.
    explicit Workspace(std::filesystem::path programFolder);

    const std::filesystem::path& programFolder() const { return programFolder_; }
    std::filesystem::path dataFolder() const;
    std::filesystem::path reportFolder() const;

    BlockModel& model() { return model_; }
    const BlockModel& model() const { return model_; }

    void attach(TForm2* planeEntry, TForm3* parameters, TForm4* analysis);
    TForm2& planeEntry() const { return *planeEntry_; }
    TForm3& parameters() const { return *parameters_; }
    TForm4& analysis() const { return *analysis_; }

    // The analysis report of CurrentBlock from the model, the parameter
    // boxes and the result boxes. With an empty block-name box it shows the
    // empty-name message and writes nothing.
    void writeReport();
    // The data file of CurrentBlock, with the same empty-name refusal.
    void writeDataFile();
    // Fills the plane boxes and the parameter boxes from the data file
    // named by the plane entry window's block-name box. Model untouched.
    void loadBlock();
    // The report of CurrentBlock as text, for the analysis window's viewer;
    // fails with "Cannot open file "<path>". <reason>".
    QString currentReportText() const;

    // The corners from the confirmed quadrants and the slope-height box.
    // Shows one message per triple of planes that cuts out no corner and
    // then gives nothing, so no result is ever made from stale corners.
    std::optional<BlockVertices> computeCorners();
    // The drawing of CurrentBlock from freshly computed corners.
    void exportDrawing();

    // Opens the report named by a block-name box text in the desktop's
    // text viewer.
    void viewReport(const QString& blockNameBoxText) const;
    void setProgramStarter(ProgramStarter starter) { startProgram_ = std::move(starter); }

    // The corner state of the last computation (for further views).
    const VertexGeometry& cornerState() const { return corners_; }

private:
    bool refuseEmptyBlockName() const;

    std::filesystem::path programFolder_;
    BlockModel model_;
    VertexGeometry corners_;
    TForm2* planeEntry_ = nullptr;
    TForm3* parameters_ = nullptr;
    TForm4* analysis_ = nullptr;
    ProgramStarter startProgram_;
};

// "<folder>/<name>" as a text, the name appended unchanged.
QString pathText(const std::filesystem::path& folder, const QString& name);

} // namespace trelmox::ui
