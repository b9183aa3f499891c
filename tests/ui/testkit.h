#pragma once
// A whole program on a temporary program folder, with its message boxes
// and program starts recorded instead of shown, and helpers that drive the
// real widgets as a user does.
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>
#include <memory>
#include <string>

#include "app/program.h"
#include "ui/messages.h"
#include "ui/typeaheadcombo.h"

namespace trelmox::testkit {

struct RecordedBox {
    bool isError = false;
    QString text;
};

class RecordingBoxes final : public ui::MessageBoxes {
public:
    RecordingBoxes() { ui::setMessageBoxes(this); }
    ~RecordingBoxes() override { ui::setMessageBoxes(nullptr); }
    void message(const QString& text) override { boxes.push_back({false, text}); }
    void error(const QString& text) override { boxes.push_back({true, text}); }
    // Answers with the next of `answers` (否 when none is left) and records
    // the question.
    bool question(const QString& text) override {
        questions << text;
        return !answers.isEmpty() && answers.takeFirst();
    }
    // Answers with the next of `saveAnswers` (取消 when none is left).
    SaveAnswer saveChanges(const QString& text) override {
        questions << text;
        return saveAnswers.isEmpty() ? SaveAnswer::Cancel : saveAnswers.takeFirst();
    }
    QList<SaveAnswer> saveAnswers;
    // "message: <text>" / "error: <text>", in the order shown.
    QStringList shown() const;
    QList<RecordedBox> boxes;
    QStringList questions;
    QList<bool> answers;
};

struct StartedProgram {
    QString program;
    QStringList arguments;
};

class TestProgram {
public:
    enum class Folders { Both, DataOnly, None };
    explicit TestProgram(Folders folders = Folders::Both);

    app::Program& operator*() { return *program_; }
    app::Program* operator->() { return program_.get(); }
    std::filesystem::path dataFile(const std::string& name) const;
    std::filesystem::path reportFile(const std::string& name) const;
    const std::filesystem::path& folder() const { return folder_; }

    ui::TypeAheadCombo* box(QWidget* window, int number) const;
    QPushButton* button(QWidget* window, const QString& name) const;
    QLineEdit* edit(const QString& name) const; // on the analysis window

    // The example block in quadrant notation and its parameters, typed
    // into the boxes (entered water pressures left empty).
    void enterExamplePlanes();
    void enterExampleParameters();
    // Both, with computed water pressures, confirmed under `name`.
    void confirmExample(const QString& name);

    RecordingBoxes boxes;
    QList<StartedProgram> started;

private:
    QTemporaryDir dir_;
    std::filesystem::path folder_;
    std::unique_ptr<app::Program> program_;
};

// Makes a window the active one, as a click on it does.
void activate(QWidget* window);
// Clicks into a box of the active window: the box gets the focus.
void clickInto(ui::TypeAheadCombo* box);
// Key presses into whatever has the focus.
void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void typeKeys(const QString& text);
// Replaces a box's text the way the user does: activate its window, click
// into the box, select all, delete, type.
void typeInto(ui::TypeAheadCombo* box, const QString& text);
// The same for a plain edit box.
void typeInto(QLineEdit* box, const QString& text);
// Opens a box's drop-down list and clicks an item.
void pick(ui::TypeAheadCombo* box, const QString& item);
// Opens a box's drop-down list with the keyboard and picks an item with
// the arrow keys and Return.
void pickByKeys(ui::TypeAheadCombo* box, const QString& item);

// What a person cannot read in a window shown, in words: a result in a
// read-only box, a table header or a (non-editable) combo box's current
// text cut by its box; a table with rows that shows fewer than `rows` of
// them whole.
QStringList cutTexts(QWidget* window);
QStringList tablesWithoutRows(QWidget* window, int rows = 2);

// Every file below a folder, as paths relative to it, sorted.
QStringList filesBelow(const std::filesystem::path& folder);
// A program file's text (GB18030 on disk) as UTF-8.
std::string fileText(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

} // namespace trelmox::testkit
