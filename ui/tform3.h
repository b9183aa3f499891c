#pragma once
// The parameter window: unit weights, slope height, overhang coefficient,
// water pressures (entered, or computed from the water unit weight and the
// slope height) and c, f of both cutting planes, shown from the block
// document and written into it as the user types.
#include <QWidget>

#include <array>
#include <vector>

#include "ui/workspace.h"

class QRadioButton;
class QStatusBar;

namespace trelmox::ui {

class TypeAheadCombo;

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(Workspace& workspace);

    Workspace& workspace() const { return workspace_; }
    QString blockNameText() const;
    void setBlockNameText(const QString& text);
    TypeAheadCombo* blockNameBox() const { return blockName_; }
    // ComboBox1 .. ComboBox12 by number.
    TypeAheadCombo* valueBox(int number) const { return values_[number - 1]; }
    // Brings the window up with the box of a parameter focused and its text
    // selected, the parameter by its name in the data ("SlopeHeight");
    // false for a name no box holds.
    bool focusParameter(const std::string& field);

    void RadioButton1Click(); // entered water pressures
    void RadioButton2Click(); // computed water pressures
    void ComboBox1DblClick();
    // Checks and saves the block with its parameters and loads; whether it
    // went through.
    bool confirm();

    void BitBtn1Click(); // confirm
    void BitBtn2Click(); // exit: hide
    void BitBtn6Click(); // view report
    void ComboBox33Select();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BlockDocument& document() const;
    void buildPanels();
    void buildValueRow(QWidget* panel, int y, int leftNumber, const QString& leftLabel, const QString& rightLabel);
    void showDocument();
    void showWaterMode(TWaterPressureMode mode);

    // Where the boxes stand: the captions' column widens for captions
    // longer than the Chinese ones, and the window with it.
    struct Columns {
        int leftBox, rightLabel, rightBox, width;
    };
    static Columns columnsFor(const QStringList& leftCaptions, const QStringList& rightCaptions);

    Workspace& workspace_;
    Columns columns_{};
    TypeAheadCombo* blockName_ = nullptr;
    std::array<TypeAheadCombo*, 12> values_{};
    QRadioButton* entered_ = nullptr;
    QRadioButton* computed_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    // The enabled states follow the mode only once it changes: at start all
    // four water boxes are enabled.
    TWaterPressureMode shownMode_ = TWaterPressureMode::Entered;
};

} // namespace trelmox::ui
