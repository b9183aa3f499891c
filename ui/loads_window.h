#pragma once
// "荷载与支护": the loads and support of the block - tension crack, water,
// seismic load, external forces, surface pressures, bolts and the required
// safety factor - shown from the block document and written into it as the
// user types, and the support the required factor needs after an analysis.
#include <QWidget>

#include <array>
#include <vector>

#include "document/loads_entries.h"
#include "report/figures.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QStatusBar;
class QTableWidget;

namespace trelmox {
class BlockDocument;
}

namespace trelmox::ui {

class Workspace;

class LoadsWindow : public QWidget {
    Q_OBJECT
public:
    explicit LoadsWindow(Workspace& workspace);

    void bringUp();
    // The box a loads text is typed into; row counts the table's rows.
    QLineEdit* entryBox(LoadsField field, int row = -1) const;
    // After a command failed on the loads box `field` (in table row `row`):
    // the window comes up with that box focused and its text selected.
    void focusEntry(LoadsField field, int row);
    // The design answers of the last analysis, as shown.
    QString resultsText() const;

    void confirm(); // "确定": save the loads with the block
    void analyse(); // "分析、计算": the analysis window's command

private:
    BlockDocument& document() const;
    void buildCrackAndWater(QWidget* column);
    void buildSeismicAndPressures(QWidget* column);
    void buildStrength(QWidget* column);
    // The forces' table into `forcesColumn`, the bolts' into `boltsColumn`.
    void buildTables(QWidget* forcesColumn, QWidget* boltsColumn);
    void buildDesign(QWidget* column);
    void buildResults(QWidget* column);
    // "楔体尺寸": the limits of the wedge's size, each box empty for none.
    void buildSize(QWidget* column);
    void sizeShown(SizeEntry& e) const;
    void showSize(const SizeEntry& e);
    QLineEdit* sizeBox(LoadsField field, int row) const;
    QLineEdit* addBox(QWidget* parent, const char* name);
    QTableWidget* addTable(QWidget* parent, const char* name, const QStringList& headers);
    void addRow(QTableWidget* table, const std::vector<QString>& texts, const BoltMode* mode);
    // Every edit goes to the document at once; the document's changes come
    // back through showDocument.
    LoadsEntries entriesShown() const;
    void takeEdits();
    void showDocument();
    void showRows(QTableWidget* table, const std::vector<std::vector<std::string>>& rows,
                  const std::vector<BoltMode>& modes);
    void buildPattern(QWidget* column);
    // The forces', the bolts' and the pattern's entries as shown.
    void tablesShown(LoadsEntries& e) const;
    void showCapacities(const LoadsEntries& e);
    void showResults();

    Workspace& workspace_;
    QGroupBox* crack_ = nullptr;
    QLineEdit *crackDip_ = nullptr, *crackDipDirection_ = nullptr, *crackDistance_ = nullptr, *crackWater_ = nullptr;
    QButtonGroup* water_ = nullptr;
    QLineEdit* seismic_ = nullptr;
    QCheckBox* seismicDirected_ = nullptr;
    QLineEdit *seismicTrend_ = nullptr, *seismicPlunge_ = nullptr;
    QLineEdit *facePressure_ = nullptr, *topPressure_ = nullptr;
    QLineEdit *pressure1_ = nullptr, *pressure2_ = nullptr, *crackPressure_ = nullptr;
    QLineEdit *filledPercent_ = nullptr, *pondLevel_ = nullptr;
    QCheckBox *facePressureDirected_ = nullptr, *topPressureDirected_ = nullptr;
    QLineEdit *facePressureTrend_ = nullptr, *facePressurePlunge_ = nullptr;
    QLineEdit *topPressureTrend_ = nullptr, *topPressurePlunge_ = nullptr;
    QGroupBox* shotcrete_ = nullptr;
    QLineEdit *shotcreteThickness_ = nullptr, *shotcreteShear_ = nullptr, *shotcreteUnitWeight_ = nullptr;
    // By cutting plane: the model, its page of parameters, and the boxes
    // of every model's parameters by LoadsField from StrengthJrc on.
    static constexpr int StrengthBoxCount = 12;
    std::array<QComboBox*, 2> strengthModel_{};
    std::array<QStackedWidget*, 2> strengthPages_{};
    std::array<std::array<QLineEdit*, StrengthBoxCount>, 2> strengthBoxes_{};
    QTableWidget* forces_ = nullptr;
    QTableWidget* bolts_ = nullptr;
    QGroupBox* pattern_ = nullptr;
    QLineEdit *patternSpacingStrike_ = nullptr, *patternSpacingDip_ = nullptr, *patternTrend_ = nullptr,
              *patternPlunge_ = nullptr;
    QComboBox *patternMode_ = nullptr, *patternType_ = nullptr;
    std::array<QLineEdit*, 4> patternCapacity_{}; // length, tendon, plate, bond
    QComboBox* preset_ = nullptr;
    std::vector<FactorPreset> presets_; // by preset_'s items after the first
    QLineEdit* required_ = nullptr;
    QCheckBox* design_ = nullptr;
    QLineEdit *designTrend_ = nullptr, *designPlunge_ = nullptr;
    QComboBox* designMode_ = nullptr;
    QLabel* results_ = nullptr;
    // By cutting plane: the trace lengths on the face and the upper slope,
    // and the persistence.
    std::array<QLineEdit*, 2> faceTrace_{}, topTrace_{}, persistence_{};
    QComboBox* persistenceMeasure_ = nullptr;
    QLineEdit* slopeLength_ = nullptr;
    QGroupBox* bench_ = nullptr;
    QLineEdit *benchHeight_ = nullptr, *benchWidth_ = nullptr, *catchWidth_ = nullptr;
    QLineEdit *minVolume_ = nullptr, *minWeight_ = nullptr, *minHeight_ = nullptr;
    QLabel* caption_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
};

// "按台阶宽度缩小为全高楔块的0.1530倍；全高楔块体积 … m³", after a line
// break, for a wedge the size limits scaled down.
QString scaledWedgeText(const FullFigureTexts& texts);

} // namespace trelmox::ui
