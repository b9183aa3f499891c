#pragma once
// The plane entry window: the block name and the four planes' attitudes in
// quadrant notation or as dip angle and dip direction.
#include <QWidget>

#include <array>

#include "model/datafile.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace trelmox::ui {

class TypeAheadCombo;
class Workspace;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(Workspace& workspace);

    Workspace& workspace() const { return workspace_; }
    QString blockNameText() const;
    void setBlockNameText(const QString& text);
    TypeAheadCombo* blockNameBox() const { return blockName_; }
    QString statusText() const;

    // The loaded texts into the quadrant and dip-mode boxes; absent lines
    // leave their boxes alone.
    void showBlock(const BlockDataTexts& texts);

    // Event handlers, one per control event.
    void RadioButton1Click();
    void RadioButton2Click();
    void BitBtn1Click(); // quadrant-mode confirm
    void BitBtn3Click(); // dip-mode confirm
    void BitBtn2Click(); // exit: hide
    void BitBtn7Click(); // view report
    void ComboBox33Select();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool takeCurrentBlock(const std::string& boxText);
    void buildModeSelectors();
    void buildBlockPanel();
    void buildQuadrantGroup();
    void buildDipGroup();
    void buildSchematic();
    void applyDipLetterRule(int role, bool dipNSChanged);
    void readdata_1();
    void readdata_2();
    void addListEntry(const QString& entry);

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
};

} // namespace trelmox::ui
