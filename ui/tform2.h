#pragma once
// The plane entry window: the block name and the four planes' attitudes in
// quadrant notation or as dip angle and dip direction.
#include <QWidget>

#include <array>
#include <vector>

#include "ui/workspace.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace trelmox::ui {

class TypeAheadCombo;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(Workspace& workspace);

    Workspace& workspace() const { return workspace_; }
    QString blockNameText() const;
    void setBlockNameText(const QString& text);
    TypeAheadCombo* blockNameBox() const { return blockName_; }
    QString statusText() const;

    // Event handlers, one per control event.
    void RadioButton1Click();
    void RadioButton2Click();
    // After a confirm refused an angle out of range ("坡面倾角应在0到90之间")
    // or letters that form no attitude: the window comes up with the box
    // holding it focused, as after a text that is not a number, so that a
    // key pressed next corrects the box instead of pressing 确定 again;
    // false when the refusal names no box of the mode shown.
    bool focusPlaneBox(const std::string& field, int row);
    // Whether the dip angle and dip direction mode is the one shown.
    bool dipModeShown() const;

    // The confirm of the mode shown; whether it went through.
    bool confirmShownMode();

    void BitBtn1Click(); // quadrant-mode confirm
    void BitBtn3Click(); // dip-mode confirm
    void BitBtn2Click(); // exit: hide
    void BitBtn7Click(); // view report
    void ComboBox33Select();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BlockDocument& document() const;
    void buildModeSelectors();
    void buildBlockPanel();
    void buildQuadrantGroup();
    void buildDipGroup();
    void buildSchematic();
    void showDocument();
    void addListEntry(const QString& entry);
    bool confirm(bool dipMode);

    Workspace& workspace_;
    QRadioButton* quadrantMode_ = nullptr;
    QRadioButton* dipMode_ = nullptr;
    QGroupBox* quadrantGroup_ = nullptr;
    QGroupBox* dipGroup_ = nullptr;
    TypeAheadCombo* blockName_ = nullptr;
    // Indexed by plane role: StrikeNS, StrikeAngle, StrikeEW, DipNS, DipEW, DipAngle.
    std::array<std::array<TypeAheadCombo*, 6>, 4> quadrantBoxes_{};
    // Indexed by plane role: DipAngle, DipDirection.
    std::array<std::array<TypeAheadCombo*, 2>, 4> dipBoxes_{};
    std::array<std::pair<QWidget*, QString>, 5> hints_{};
    QLabel* status_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
};

} // namespace trelmox::ui
