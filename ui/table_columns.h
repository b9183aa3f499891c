#pragma once
// Tables whose every header and cell reads whole on a laptop screen: a
// header with a unit in brackets goes on two lines, so that the unit does
// not widen its column, and each column is at least as wide as its header
// and its cells (a combo box as its longest item); the room beyond is
// shared out in proportion. The table asks for the sum as its minimum
// width, so that a layout never squeezes a column below what it shows.
#include <QString>
#include <QFont>
#include <QList>
#include <QStringList>

class QTableView;
class QTableWidget;

namespace trelmox::ui {

// "杆体抗拉力（kN）" as "杆体抗拉力\n（kN）", "Tendon capacity (kN)" as
// "Tendon capacity\n(kN)"; a header without a unit as it is.
QString twoLineHeader(const QString& header);
void setTwoLineHeaders(QTableWidget* table, const QStringList& headers);

// Sizes the columns now and whenever the table is resized; call again
// after rows or cell widgets change. `least`: widths by column that the
// columns keep before any row is made (a combo box's column).
void fitColumns(QTableWidget* table, const QList<int>& least = {});
// The width a combo box of these items takes in `font`, whichever is chosen.
int comboWidth(const QStringList& items, const QFont& font);

// A table never shrinks below its header and `rows` rows (and a
// horizontal scroll bar), so that a crowded window still shows rows.
void showAtLeastRows(QTableView* table, int rows);

} // namespace trelmox::ui
