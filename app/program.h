#pragma once
// The program's windows, created in a fixed order, one instance each, and
// the workspace they share. The program folder is a parameter so that tests
// run the whole program on a folder of their own.
#include <filesystem>
#include <memory>

#include "app/tform1.h"
#include "ui/loads_window.h"
#include "ui/tform2.h"
#include "ui/tform3.h"
#include "ui/tform4.h"
#include "ui/views/joints_window.h"
#include "ui/views/picture_windows.h"
#include "ui/workspace.h"

namespace trelmox::app {

// The folder that holds the data and report folders, made ready: the
// executable's own folder when the user may write there (a build folder,
// an unpacked copy), otherwise the user's data location, e.g.
// ~/.local/share/TRELMOX (an installed program under /usr). Missing data and
// report folders are made; a data folder made now gets the example block.
// Failures are left to the commands, which report the file they cannot
// write.
std::filesystem::path openProgramFolder(const std::filesystem::path& executableFolder);

// Qt's own texts (the standard buttons, the print and file dialogs) in
// Chinese, as the rest of the interface; false when the translations are
// not installed, and Qt's English texts stay.
bool loadQtChineseTexts();

struct Program {
    explicit Program(const std::filesystem::path& programFolder);

    ui::Workspace workspace;
    TForm1 Form1;
    TForm5 Form5;
    ui::TForm2 Form2;
    ui::TForm3 Form3;
    ui::TForm4 Form4;
    // "荷载与支护", opened from the main window's menu and the analysis window.
    ui::LoadsWindow Loads;
    // The stereonet, the 3D view and the analysis plots, opened from the
    // main window and the analysis window.
    views::PictureWindows Pictures;

    // The window of joint measurements and their combinations, made when
    // first asked for.
    views::JointsWindow& joints();
    void showJoints();

private:
    std::unique_ptr<views::JointsWindow> joints_;
};

} // namespace trelmox::app
