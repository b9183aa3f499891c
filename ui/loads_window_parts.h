#pragma once
// What the parts of the loads window share (loads_window*.cpp): the bolts'
// table's columns and the boxes' texts.
#include <QString>

#include <array>
#include <string>

#include "document/loads_entries.h"

class QComboBox;
class QLineEdit;
class QTableWidget;
class QWidget;

namespace trelmox::ui::loads {

// The bolts' table goes on past the mode with the capacity model: its type
// (the first item: a force given instead) and four figures.
enum Column {
    MagnitudeColumn,
    TrendColumn,
    PlungeColumn,
    ModeColumn,
    TypeColumn,
    LengthColumn,
    TendonColumn,
    PlateColumn,
    BondColumn
};

std::array<std::string*, 4> capacityTexts(CapacityEntry& c);
// The k-th field after `first`: a capacity model's tendon, plate and bond
// after its length, a plunge after its trend, a strength parameter.
inline LoadsField fieldAfter(LoadsField first, int k) { return static_cast<LoadsField>(static_cast<int>(first) + k); }
QComboBox* comboAt(const QTableWidget* table, int row, int column);
QLineEdit* cellBox(const QTableWidget* table, int row, int column);
// An unchanged text keeps the cursor where the user types.
void showText(QLineEdit* box, const std::string& text);
std::string textOf(const QLineEdit* box);
// 主动 / 被动, by BoltMode.
QComboBox* modeBox(QWidget* parent);

} // namespace trelmox::ui::loads
