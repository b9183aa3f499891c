#pragma once
// "荷载与支护": the loads and support of the block - tension crack, water,
// seismic load, external forces, surface pressures, bolts and the required
// safety factor - shown from the block document and written into it as the
// user types, and the support the required factor needs after an analysis.
#include <QWidget>

#include <array>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "document/loads_entries.h"
#include "report/figures.h"

class QButtonGroup;
class QFormLayout;
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
    // `fields`, `directions`: the numbers and directions of the load
    // fields' tables it gives boxes to.
    explicit LoadsWindow(Workspace& workspace, std::span<const LoadField> fields = loadFields(),
                         std::span<const LoadDirection> directions = loadDirections());

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
    // Beside the analysis window it works with, else beside the opener.
    void placeForUse();
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
    QLineEdit* box(LoadsField field, int row = -1) const;
    // A box the focus can find by its field (and row: a plane).
    QLineEdit* addBox(QWidget* parent, const char* name, LoadsField field, int row = -1);
    // The boxes of the tables' numbers in `part`, labelled, into `form`;
    // after them each direction's check box and its two boxes.
    void addFieldBoxes(QFormLayout* form, QWidget* parent, LoadPart part);
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
    std::span<const LoadField> fields_;
    std::span<const LoadDirection> directions_;
    // Every box outside the forces' and bolts' tables by its field and row
    // (-1, or the cutting plane): the one place the window finds a box.
    std::map<std::pair<LoadsField, int>, QLineEdit*> boxes_;
    QGroupBox* crack_ = nullptr;
    QButtonGroup* water_ = nullptr;
    std::map<LoadsField, QCheckBox*> directed_; // each direction's switch by its trend's field
    QGroupBox* shotcrete_ = nullptr;
    // By cutting plane: the model and its page of parameters.
    std::array<QComboBox*, 2> strengthModel_{};
    std::array<QStackedWidget*, 2> strengthPages_{};
    QTableWidget* forces_ = nullptr;
    QTableWidget* bolts_ = nullptr;
    QGroupBox* pattern_ = nullptr;
    QComboBox *patternMode_ = nullptr, *patternType_ = nullptr;
    QComboBox* preset_ = nullptr;
    std::vector<FactorPreset> presets_; // by preset_'s items after the first
    QCheckBox* design_ = nullptr;
    QComboBox* designMode_ = nullptr;
    QLabel* results_ = nullptr;
    QComboBox* persistenceMeasure_ = nullptr;
    QGroupBox* bench_ = nullptr;
    QLabel* caption_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
};

// "按台阶宽度缩小为全高楔块的0.1530倍；全高楔块体积 … m³", after a line
// break, for a wedge the size limits scaled down.
QString scaledWedgeText(const FullFigureTexts& texts);

} // namespace trelmox::ui
