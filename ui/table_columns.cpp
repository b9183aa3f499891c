#include "ui/table_columns.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>
#include <numeric>
#include <vector>

namespace trelmox::ui {

namespace {

// A cell box at least this wide keeps room for a typed figure.
constexpr int LeastCellWidth = 56;

int headerWidth(const QTableWidget* table, int column) {
    const QHeaderView* header = table->horizontalHeader();
    int widest = 0;
    const QString text = table->model()->headerData(column, Qt::Horizontal).toString();
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, header->fontMetrics().horizontalAdvance(line));
    // The section's margins and, for a sorted column, its arrow.
    return widest + 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 8;
}

int cellWidth(const QTableWidget* table, int column) {
    int widest = 0;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QWidget* cell = table->cellWidget(row, column);
        if (auto* combo = qobject_cast<const QComboBox*>(cell)) {
            QStringList items;
            for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
            widest = std::max(widest, comboWidth(items, combo->font()));
        } else if (cell) {
            widest = std::max(widest, LeastCellWidth);
        } else if (const QTableWidgetItem* item = table->item(row, column)) {
            widest = std::max(widest, table->fontMetrics().horizontalAdvance(item->text()) + 12);
        }
    }
    return widest;
}

void layOut(QTableWidget* table, const QList<int>& least) {
    const int columns = table->columnCount();
    std::vector<int> needed(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c)
        needed[static_cast<std::size_t>(c)] =
            std::max({headerWidth(table, c), cellWidth(table, c), c < least.size() ? least[c] : 0});
    const int sum = std::accumulate(needed.begin(), needed.end(), 0);
    const int frame = 2 * table->frameWidth() +
                      (table->verticalHeader()->isVisible() ? table->verticalHeader()->width() : 0) +
                      table->verticalScrollBar()->sizeHint().width();
    table->setMinimumWidth(sum + frame);
    const int room = std::max(0, table->viewport()->width() - sum);
    int given = 0;
    for (int c = 0; c < columns; ++c) {
        const int share =
            c + 1 == columns ? room - given : room * needed[static_cast<std::size_t>(c)] / std::max(sum, 1);
        given += share;
        table->horizontalHeader()->resizeSection(c, needed[static_cast<std::size_t>(c)] + share);
    }
}

class ColumnFitter final : public QObject {
public:
    explicit ColumnFitter(QTableWidget* table) : QObject(table), table_(table) {
        setObjectName(QStringLiteral("ColumnFitter"));
        table->viewport()->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) layOut(table_, least);
        return false;
    }
    QList<int> least;

private:
    QTableWidget* table_;
};

} // namespace

QString twoLineHeader(const QString& header) {
    for (const QString& unit : {QStringLiteral("（"), QStringLiteral(" (")}) {
        const qsizetype at = header.indexOf(unit);
        if (at > 0) return header.left(at) + u'\n' + header.mid(at).trimmed();
    }
    return header;
}

void setTwoLineHeaders(QTableWidget* table, const QStringList& headers) {
    QStringList lines;
    for (const QString& header : headers) lines << twoLineHeader(header);
    table->setHorizontalHeaderLabels(lines);
}

int comboWidth(const QStringList& items, const QFont& font) {
    QComboBox probe;
    probe.setFont(font);
    probe.addItems(items);
    probe.setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return probe.sizeHint().width();
}

void showAtLeastRows(QTableView* table, int rows) {
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() +
                            rows * table->verticalHeader()->defaultSectionSize() +
                            table->horizontalScrollBar()->sizeHint().height() + 2 * table->frameWidth());
}

void fitColumns(QTableWidget* table, const QList<int>& least) {
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->horizontalHeader()->setStretchLastSection(false);
    auto* fitter = table->findChild<ColumnFitter*>(QStringLiteral("ColumnFitter"), Qt::FindDirectChildrenOnly);
    if (!fitter) fitter = new ColumnFitter(table);
    if (!least.isEmpty()) fitter->least = least;
    layOut(table, fitter->least);
}

} // namespace trelmox::ui
