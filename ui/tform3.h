#pragma once
// The parameter window: unit weights, slope height, overhang coefficient,
// water pressures (entered, or computed from the water unit weight and the
// slope height) and c, f of both cutting planes. Its boxes are the only
// store of the block's parameters.
#include <QWidget>

#include <array>

#include "model/block.h"
#include "model/datafile.h"

class QRadioButton;

namespace trelmox::ui {

class TypeAheadCombo;
class Workspace;

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(Workspace& workspace);

    Workspace& workspace() const { return workspace_; }
    // The parameter texts as they stand, with the water-pressure mode.
    TWedgeParams params() const;
    QString slopeHeightText() const;
    QString blockNameText() const;
    void setBlockNameText(const QString& text);
    TypeAheadCombo* blockNameBox() const { return blockName_; }
    // ComboBox1 .. ComboBox12 by number.
    TypeAheadCombo* valueBox(int number) const { return values_[number - 1]; }

    // The loaded parameter texts; the mode and the other water pair stay.
    void showBlock(const BlockDataTexts& texts);

    void RadioButton1Click(); // entered water pressures
    void RadioButton2Click(); // computed water pressures
    void ComboBox1DblClick();
    void BitBtn1Click();      // confirm
    void BitBtn2Click();      // exit: hide
    void BitBtn6Click();      // view report
    void ComboBox33Select();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPanels();
    void buildValueRow(QWidget* panel, int y, int leftNumber, const QString& leftLabel, const QString& rightLabel);
    void enableWaterBoxes(bool computed);

    Workspace& workspace_;
    TypeAheadCombo* blockName_ = nullptr;
    std::array<TypeAheadCombo*, 12> values_{};
    QRadioButton* entered_ = nullptr;
    QRadioButton* computed_ = nullptr;
};

} // namespace trelmox::ui
