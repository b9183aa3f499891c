#pragma once
// The main window: the program's four commands and its picture.
#include <QWidget>

#include "model/language.h"

class QLabel;
class QStatusBar;

namespace trelmox::ui {
class TypeAheadCombo;
class Workspace;
} // namespace trelmox::ui

namespace trelmox::app {

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(ui::Workspace& workspace);

    ui::Workspace& workspace() const { return workspace_; }
    QLabel* picture() const { return picture_; }

    void BitBtn1Click(); // plane entry window
    void BitBtn2Click(); // parameter window
    void BitBtn4Click(); // drawing export
    void BitBtn3Click(); // analysis window with the block's report

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // 语言: 中文 or English, saved for the next start.
    void buildLanguageMenu();
    void languageChosen(Language language);
    void openEntryWindow(QWidget* window, ui::TypeAheadCombo* blockNameBox);

    ui::Workspace& workspace_;
    QLabel* picture_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
};

// The window that exists but is never shown.
class TForm5 : public QWidget {
    Q_OBJECT
public:
    TForm5();
};

} // namespace trelmox::app
