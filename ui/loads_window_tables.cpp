// The loads window's tables of forces and bolts and its pattern bolting:
// rows made as the document's entries need them, each cell a box of its
// own, and the capacity models that decide which boxes are read.
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/loads_window.h"
#include "ui/loads_window_parts.h"
#include "ui/style.h"
#include "ui/table_columns.h"
#include "ui/workspace.h"

namespace trelmox::ui {

namespace loads {

namespace {

const char* const ModeNames[] = {QT_TRANSLATE_NOOP("trelmox::ui::LoadsWindow", "主动"),
                                 QT_TRANSLATE_NOOP("trelmox::ui::LoadsWindow", "被动")}; // by BoltMode
const char* const TypeNames[] = {QT_TRANSLATE_NOOP("trelmox::ui::LoadsWindow", "端锚锚杆"),
                                 QT_TRANSLATE_NOOP("trelmox::ui::LoadsWindow", "全长粘结锚杆"),
                                 QT_TRANSLATE_NOOP("trelmox::ui::LoadsWindow", "锚索")}; // by BoltType

} // namespace

std::array<std::string*, 4> capacityTexts(CapacityEntry& c) { return {&c.Length, &c.Tendon, &c.Plate, &c.Bond}; }

QComboBox* comboAt(const QTableWidget* table, int row, int column) {
    return qobject_cast<QComboBox*>(table->cellWidget(row, column));
}

void showText(QLineEdit* box, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (box->text() != shown) box->setText(shown); // an unchanged text keeps the cursor where the user types
}

std::string textOf(const QLineEdit* box) { return box->text().toStdString(); }

QLineEdit* cellBox(const QTableWidget* table, int row, int column) {
    return qobject_cast<QLineEdit*>(table->cellWidget(row, column));
}

QComboBox* modeBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    takeWheelOnlyWhenFocused(box);
    for (const char* mode : ModeNames) box->addItem(LoadsWindow::tr(mode));
    return box;
}

} // namespace loads

using namespace loads;

QTableWidget* LoadsWindow::addTable(QWidget* parent, const char* name, const QStringList& headers) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setObjectName(QString::fromUtf8(name));
    setTwoLineHeaders(table, headers);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 12);
    // The cells are edited in their own boxes only: the table itself takes
    // no focus and opens no editor of its own, so keys never leave a cell
    // for the table.
    table->setFocusPolicy(Qt::NoFocus);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The header and four rows in view; more rows scroll.
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() + 4 * (table->fontMetrics().height() + 12) +
                            4);
    fitColumns(table);
    return table;
}

void LoadsWindow::buildTables(QWidget* forcesColumn, QWidget* boltsColumn) {
    const struct {
        const char* title;
        const char* table;
        QStringList headers;
        const char* addName;
        const char* removeName;
        QTableWidget* LoadsWindow::*member;
    } tables[] = {
        {QT_TR_NOOP("外力"),
         "ForcesTable",
         {tr("大小"), tr("方位角（°）"), tr("倾伏角（°）")},
         "AddForceButton",
         "RemoveForceButton",
         &LoadsWindow::forces_},
        {QT_TR_NOOP("锚杆"),
         "BoltsTable",
         {tr("锚固力"), tr("方位角（°）"), tr("倾伏角（°）"), tr("方式"), tr("承载模型"), tr("长度（m）"),
          tr("杆体抗拉力（kN）"), tr("垫板承载力（kN）"), tr("粘结强度（kN/m）")},
         "AddBoltButton",
         "RemoveBoltButton",
         &LoadsWindow::bolts_},
    };
    for (const auto& t : tables) {
        const bool isBolts = t.member == &LoadsWindow::bolts_;
        QWidget* column = isBolts ? boltsColumn : forcesColumn;
        auto* group = new QGroupBox(tr(t.title), column);
        auto* layout = new QVBoxLayout(group);
        QTableWidget* table = addTable(group, t.table, t.headers);
        this->*t.member = table;
        if (isBolts) {
            // The boxes of the mode and the capacity model, wide enough for
            // their longest item before the first row is made.
            QStringList modes, types{tr("给定锚固力")};
            for (const char* mode : ModeNames) modes << tr(mode);
            for (const char* name : TypeNames) types << tr(name);
            QList<int> least(table->columnCount(), 0);
            least[ModeColumn] = comboWidth(modes, table->font());
            least[TypeColumn] = comboWidth(types, table->font());
            fitColumns(table, least);
        }
        auto* add = new QPushButton(tr("增加一行"), group);
        add->setObjectName(QString::fromUtf8(t.addName));
        auto* remove = new QPushButton(tr("删除所在行"), group);
        remove->setObjectName(QString::fromUtf8(t.removeName));
        remove->setFocusPolicy(Qt::NoFocus); // the row to remove is the one the focus stays in
        connect(add, &QPushButton::clicked, this, [this, isBolts] {
            LoadsEntries entries = document().loadsEntries();
            if (isBolts)
                entries.Bolts.push_back({});
            else
                entries.Forces.push_back({});
            document().setLoadsEntries(entries);
        });
        // The row whose box holds the focus, else the last one.
        connect(remove, &QPushButton::clicked, this, [this, table, isBolts] {
            int row = table->rowCount() - 1;
            for (int r = 0; r < table->rowCount(); ++r)
                for (int c = 0; c < table->columnCount(); ++c)
                    if (table->cellWidget(r, c) && table->cellWidget(r, c)->hasFocus()) row = r;
            if (row < 0) return;
            LoadsEntries entries = document().loadsEntries();
            if (isBolts)
                entries.Bolts.erase(entries.Bolts.begin() + row);
            else
                entries.Forces.erase(entries.Forces.begin() + row);
            document().setLoadsEntries(entries);
        });
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(add);
        buttons->addWidget(remove);
        buttons->addStretch();
        layout->addWidget(table);
        layout->addLayout(buttons);
        column->layout()->addWidget(group);
    }
}

void LoadsWindow::showRows(QTableWidget* table, const std::vector<std::vector<std::string>>& rows,
                           const std::vector<BoltMode>& modes) {
    const bool withMode = table == bolts_;
    const int rowsBefore = table->rowCount();
    while (table->rowCount() > static_cast<int>(rows.size())) table->removeRow(table->rowCount() - 1);
    while (table->rowCount() < static_cast<int>(rows.size())) {
        const int row = table->rowCount();
        table->insertRow(row);
        for (int column = MagnitudeColumn; column < table->columnCount(); ++column) {
            if (column == ModeColumn || column == TypeColumn) continue;
            auto* box = new QLineEdit(table);
            box->setObjectName(QStringLiteral("%1%2_%3").arg(table->objectName()).arg(row).arg(column));
            connect(box, &QLineEdit::textEdited, this, &LoadsWindow::takeEdits);
            table->setCellWidget(row, column, box);
            // A cell box counts to the view as its editor: the delegate would
            // close it on Return and hand the focus and the next keys to the
            // table. The box is the user's until the user leaves it.
            box->removeEventFilter(table->itemDelegate());
        }
        if (withMode) {
            QComboBox* mode = modeBox(table);
            connect(mode, &QComboBox::activated, this, &LoadsWindow::takeEdits);
            table->setCellWidget(row, ModeColumn, mode);
            mode->removeEventFilter(table->itemDelegate());
            auto* type = new QComboBox(table);
            type->setObjectName(QStringLiteral("%1%2_%3").arg(table->objectName()).arg(row).arg(int(TypeColumn)));
            takeWheelOnlyWhenFocused(type);
            type->addItem(tr("给定锚固力"));
            for (const char* name : TypeNames) type->addItem(tr(name));
            // A type picked: the figures the user has not typed take its defaults.
            connect(type, &QComboBox::activated, this, [this, row](int index) {
                const CapacityEntry before = document().loadsEntries().Bolts.at(row).Capacity;
                LoadsEntries entries = entriesShown();
                if (index > 0) entries.Bolts.at(row).Capacity = withType(before, static_cast<BoltType>(index - 1));
                document().setLoadsEntries(entries);
            });
            table->setCellWidget(row, TypeColumn, type);
            type->removeEventFilter(table->itemDelegate());
        }
    }
    if (table->rowCount() != rowsBefore) fitColumns(table); // the new rows' boxes
    for (int row = 0; row < table->rowCount(); ++row) {
        int text = 0;
        for (int column = MagnitudeColumn; column < table->columnCount(); ++column)
            if (column != ModeColumn && column != TypeColumn) showText(cellBox(table, row, column), rows[row][text++]);
        if (withMode)
            static_cast<QComboBox*>(table->cellWidget(row, ModeColumn))->setCurrentIndex(static_cast<int>(modes[row]));
    }
}

// Each bolt's type, and which of its boxes are read: the force without a
// capacity model, the figures with one (a dowel has no plate); the pattern.
void LoadsWindow::showCapacities(const LoadsEntries& e) {
    for (int row = 0; row < bolts_->rowCount(); ++row) {
        const BoltEntry& b = e.Bolts[row];
        comboAt(bolts_, row, TypeColumn)->setCurrentIndex(b.Rated ? static_cast<int>(b.Capacity.Type) + 1 : 0);
        cellBox(bolts_, row, MagnitudeColumn)->setEnabled(!b.Rated);
        for (int column = LengthColumn; column <= BondColumn; ++column)
            cellBox(bolts_, row, column)
                ->setEnabled(b.Rated && !(column == PlateColumn && b.Capacity.Type == BoltType::GroutedDowel));
    }
    pattern_->setChecked(e.HasPattern);
    showText(box(LoadsField::PatternSpacingStrike), e.Pattern.SpacingStrike);
    showText(box(LoadsField::PatternSpacingDip), e.Pattern.SpacingDip);
    showText(box(LoadsField::PatternTrend), e.Pattern.Trend);
    showText(box(LoadsField::PatternPlunge), e.Pattern.Plunge);
    patternMode_->setCurrentIndex(static_cast<int>(e.Pattern.Mode));
    patternType_->setCurrentIndex(static_cast<int>(e.Pattern.Capacity.Type));
    CapacityEntry c = e.Pattern.Capacity;
    for (int k = 0; k < 4; ++k) showText(box(fieldAfter(LoadsField::PatternLength, k)), *capacityTexts(c)[k]);
    // Set after the group's check: enabling a box by hand would undo the
    // switched-off group's disabling of it.
    box(fieldAfter(LoadsField::PatternLength, 2))->setEnabled(e.HasPattern && c.Type != BoltType::GroutedDowel);
}

void LoadsWindow::buildPattern(QWidget* column) {
    pattern_ = new QGroupBox(tr("系统锚杆（坡面网格布置）"), column);
    pattern_->setObjectName(QStringLiteral("PatternGroup"));
    pattern_->setCheckable(true);
    connect(pattern_, &QGroupBox::clicked, this, &LoadsWindow::takeEdits);
    auto* form = new QFormLayout(pattern_);
    form->addRow(tr("沿走向间距（m）"), addBox(pattern_, "PatternSpacingStrike", LoadsField::PatternSpacingStrike));
    form->addRow(tr("沿倾向间距（m）"), addBox(pattern_, "PatternSpacingDip", LoadsField::PatternSpacingDip));
    form->addRow(tr("方位角（°）"), addBox(pattern_, "PatternTrend", LoadsField::PatternTrend));
    form->addRow(tr("倾伏角（°）"), addBox(pattern_, "PatternPlunge", LoadsField::PatternPlunge));
    patternMode_ = modeBox(pattern_);
    patternMode_->setObjectName(QStringLiteral("PatternMode"));
    connect(patternMode_, &QComboBox::activated, this, &LoadsWindow::takeEdits);
    form->addRow(tr("方式"), patternMode_);
    patternType_ = new QComboBox(pattern_);
    patternType_->setObjectName(QStringLiteral("PatternType"));
    takeWheelOnlyWhenFocused(patternType_);
    for (const char* name : TypeNames) patternType_->addItem(tr(name));
    connect(patternType_, &QComboBox::activated, this, [this](int index) {
        const CapacityEntry before = document().loadsEntries().Pattern.Capacity;
        LoadsEntries entries = entriesShown();
        entries.Pattern.Capacity = withType(before, static_cast<BoltType>(index));
        document().setLoadsEntries(entries);
    });
    form->addRow(tr("承载模型"), patternType_);
    const char* const captions[] = {QT_TR_NOOP("长度（m）"), QT_TR_NOOP("杆体抗拉力（kN）"),
                                    QT_TR_NOOP("垫板承载力（kN）"), QT_TR_NOOP("粘结强度（kN/m）")};
    const char* const names[] = {"PatternLength", "PatternTendon", "PatternPlate", "PatternBond"};
    for (int k = 0; k < 4; ++k)
        form->addRow(tr(captions[k]), addBox(pattern_, names[k], fieldAfter(LoadsField::PatternLength, k)));
    column->layout()->addWidget(pattern_);
}

void LoadsWindow::tablesShown(LoadsEntries& e) const {
    for (int row = 0; row < forces_->rowCount(); ++row)
        e.Forces.push_back({textOf(cellBox(forces_, row, MagnitudeColumn)), textOf(cellBox(forces_, row, TrendColumn)),
                            textOf(cellBox(forces_, row, PlungeColumn))});
    const LoadsEntries& held = document().loadsEntries();
    for (int row = 0; row < bolts_->rowCount(); ++row) {
        e.Bolts.push_back(
            {textOf(cellBox(bolts_, row, MagnitudeColumn)), textOf(cellBox(bolts_, row, TrendColumn)),
             textOf(cellBox(bolts_, row, PlungeColumn)),
             static_cast<BoltMode>(static_cast<QComboBox*>(bolts_->cellWidget(row, ModeColumn))->currentIndex())});
        BoltEntry& b = e.Bolts.back();
        const int type = comboAt(bolts_, row, TypeColumn)->currentIndex();
        b.Rated = type > 0;
        // Without a model the type last chosen stays with its texts.
        if (row < static_cast<int>(held.Bolts.size())) b.Capacity.Type = held.Bolts[row].Capacity.Type;
        if (type > 0) b.Capacity.Type = static_cast<BoltType>(type - 1);
        for (int k = 0; k < 4; ++k) *capacityTexts(b.Capacity)[k] = textOf(cellBox(bolts_, row, LengthColumn + k));
    }
    e.HasPattern = pattern_->isChecked();
    e.Pattern.SpacingStrike = textOf(box(LoadsField::PatternSpacingStrike));
    e.Pattern.SpacingDip = textOf(box(LoadsField::PatternSpacingDip));
    e.Pattern.Trend = textOf(box(LoadsField::PatternTrend));
    e.Pattern.Plunge = textOf(box(LoadsField::PatternPlunge));
    e.Pattern.Mode = static_cast<BoltMode>(patternMode_->currentIndex());
    e.Pattern.Capacity.Type = static_cast<BoltType>(patternType_->currentIndex());
    for (int k = 0; k < 4; ++k)
        *capacityTexts(e.Pattern.Capacity)[k] = textOf(box(fieldAfter(LoadsField::PatternLength, k)));
}

} // namespace trelmox::ui
