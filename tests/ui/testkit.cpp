#include "testkit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDirIterator>
#include <QHeaderView>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>

#include <algorithm>
#include <fstream>

#include "model/files.h"

namespace trelmox::testkit {

QStringList RecordingBoxes::shown() const {
    QStringList list;
    for (const RecordedBox& box : boxes)
        list << (box.isError ? QStringLiteral("error: ") : QStringLiteral("message: ")) + box.text;
    return list;
}

TestProgram::TestProgram(Folders folders) : folder_(dir_.path().toStdString()) {
    if (folders != Folders::None) std::filesystem::create_directory(folder_ / ui::DataFolderName);
    if (folders == Folders::Both) std::filesystem::create_directory(folder_ / ui::ReportFolderName);
    program_ = std::make_unique<app::Program>(folder_);
    program_->workspace.setProgramStarter([this](const QString& program, const QStringList& arguments) {
        started.push_back({program, arguments});
        return true;
    });
}

std::filesystem::path TestProgram::dataFile(const std::string& name) const {
    return folder_ / ui::DataFolderName / name;
}
std::filesystem::path TestProgram::reportFile(const std::string& name) const {
    return folder_ / ui::ReportFolderName / name;
}

ui::TypeAheadCombo* TestProgram::box(QWidget* window, int number) const {
    auto* found = window->findChild<ui::TypeAheadCombo*>(QStringLiteral("ComboBox%1").arg(number));
    if (!found) qFatal("no ComboBox%d on %s", number, qPrintable(window->objectName()));
    return found;
}

QPushButton* TestProgram::button(QWidget* window, const QString& name) const {
    auto* found = window->findChild<QPushButton*>(name);
    if (!found) qFatal("no %s on %s", qPrintable(name), qPrintable(window->objectName()));
    return found;
}

QLineEdit* TestProgram::edit(const QString& name) const {
    auto* found = program_->Form4.findChild<QLineEdit*>(name);
    if (!found) qFatal("no %s on Form4", qPrintable(name));
    return found;
}

void TestProgram::enterExamplePlanes() {
    // Boxes 1-6 first cutting plane, 7-12 second, 13-18 slope top, 19-24 slope face.
    const QStringList texts{"N", "15", "E", "S", "E", "45", "N", "35", "W", "S", "W", "70",
                            "N", "75", "W", "S", "W", "12", "N", "85", "W", "S", "W", "65"};
    for (int i = 0; i < texts.size(); ++i) typeInto(box(&program_->Form2, i + 1), texts[i]);
}

void TestProgram::enterExampleParameters() {
    const QStringList texts{"25", "9.81", "40", "1", "", "", "", "", "24", "0.364", "48", "0.577"};
    // A water box the mode has disabled takes no typing.
    for (int i = 0; i < texts.size(); ++i)
        if (box(&program_->Form3, i + 1)->isEnabled()) typeInto(box(&program_->Form3, i + 1), texts[i]);
}

void TestProgram::confirmExample(const QString& name) {
    program_->Form2.setBlockNameText(name);
    enterExamplePlanes();
    enterExampleParameters();
    program_->Form3.findChild<QRadioButton*>("RadioButton2")->click();
    button(&program_->Form2, "BitBtn1")->click();
}

void activate(QWidget* window) {
    window->show();
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowActive(window)) qFatal("%s does not become active", qPrintable(window->objectName()));
}

void clickInto(ui::TypeAheadCombo* box) {
    activate(box->window());
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
    if (QApplication::focusWidget() != box) qFatal("a click into %s does not focus it", qPrintable(box->objectName()));
}

void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

void typeKeys(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }

void typeInto(ui::TypeAheadCombo* box, const QString& text) {
    clickInto(box);
    pressKey(Qt::Key_A, Qt::ControlModifier);
    pressKey(Qt::Key_Backspace);
    typeKeys(text);
}

void typeInto(QLineEdit* box, const QString& text) {
    activate(box->window());
    QTest::mouseClick(box, Qt::LeftButton);
    if (QApplication::focusWidget() != box) qFatal("a click into %s does not focus it", qPrintable(box->objectName()));
    pressKey(Qt::Key_A, Qt::ControlModifier);
    pressKey(Qt::Key_Backspace);
    typeKeys(text);
}

namespace {

int itemRow(ui::TypeAheadCombo* box, const QString& item) {
    const int row = box->findText(item, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (row < 0) qFatal("%s has no item %s", qPrintable(box->objectName()), qPrintable(item));
    return row;
}

QAbstractItemView* openPopup(ui::TypeAheadCombo* box) {
    activate(box->window());
    box->showPopup();
    QAbstractItemView* view = box->view();
    if (!QTest::qWaitForWindowExposed(view->window()))
        qFatal("the list of %s does not open", qPrintable(box->objectName()));
    return view;
}

} // namespace

void pick(ui::TypeAheadCombo* box, const QString& item) {
    const int row = itemRow(box, item);
    QAbstractItemView* view = openPopup(box);
    const QPoint at = view->visualRect(box->model()->index(row, 0)).center();
    QTest::mouseMove(view->viewport(), at);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void pickByKeys(ui::TypeAheadCombo* box, const QString& item) {
    const int row = itemRow(box, item);
    QAbstractItemView* view = openPopup(box);
    QTest::keyClick(view, Qt::Key_Home);
    for (int i = 0; i < row; ++i) QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
}

QStringList filesBelow(const std::filesystem::path& folder) {
    const QString root = QString::fromStdString(folder.string());
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

std::string fileText(const std::filesystem::path& path) { return readTextFile(path); }

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

namespace {

QString placeOf(const QWidget* window, const QWidget* widget) {
    return window->objectName() + u'/' + widget->objectName() + u'/' +
           QString::fromUtf8(widget->metaObject()->className());
}

} // namespace

QStringList cutTexts(QWidget* window) {
    QStringList problems;
    for (QHeaderView* header : window->findChildren<QHeaderView*>()) {
        if (!header->isVisibleTo(window) || header->orientation() != Qt::Horizontal || !header->model()) continue;
        const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int section = 0; section < header->count(); ++section) {
            if (header->isSectionHidden(section)) continue;
            const QString text = header->model()->headerData(section, Qt::Horizontal).toString();
            const QStringList lines = text.split(u'\n');
            int width = 0;
            for (const QString& line : lines) width = std::max(width, header->fontMetrics().horizontalAdvance(line));
            const int room = header->sectionSize(section) - margin;
            if (width > room)
                problems << placeOf(window, header->parentWidget()) +
                                QStringLiteral(" header %1 > %2: ").arg(width).arg(room) + text;
            if (header->height() < int(lines.size()) * header->fontMetrics().height())
                problems << placeOf(window, header->parentWidget()) + QStringLiteral(" header too low: ") + text;
        }
    }
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
        if (!box->isVisibleTo(window) || !box->isReadOnly() || box->text().isEmpty()) continue;
        const int room = box->contentsRect().width() - 6; // the text's margins
        const int width = box->fontMetrics().horizontalAdvance(box->text());
        if (width > room)
            problems << placeOf(window, box) + QStringLiteral(" %1 > %2: ").arg(width).arg(room) + box->text();
    }
    for (QComboBox* combo : window->findChildren<QComboBox*>()) {
        if (!combo->isVisibleTo(window) || combo->isEditable() || combo->currentText().isEmpty()) continue;
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.currentText = combo->currentText();
        const int room =
            combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
        const int width = combo->fontMetrics().horizontalAdvance(combo->currentText());
        if (width > room)
            problems << placeOf(window, combo) + QStringLiteral(" %1 > %2: ").arg(width).arg(room) +
                            combo->currentText();
    }
    return problems;
}

QStringList tablesWithoutRows(QWidget* window, int rows) {
    QStringList problems;
    for (QTableView* table : window->findChildren<QTableView*>()) {
        if (!table->isVisibleTo(window) || !table->model()) continue;
        int shown = 0, all = 0;
        const QRect view = table->viewport()->rect();
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            if (table->isRowHidden(row)) continue;
            ++all;
            const QRect rect = table->visualRect(table->model()->index(row, 0));
            if (view.top() <= rect.top() && rect.bottom() <= view.bottom()) ++shown;
        }
        if (shown < std::min(all, rows))
            problems << placeOf(window, table) + QStringLiteral(" shows %1 of %2 rows").arg(shown).arg(all);
    }
    return problems;
}

} // namespace trelmox::testkit
