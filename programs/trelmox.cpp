// The windowed program: the main window and four hidden windows; the
// program's files live beside the executable, or in the user's data folder
// when the program is installed.
#include <QApplication>

#include <algorithm>
#include <iostream>
#include <string_view>

#include "app/program.h"
#include "trelmox/version.h"

int main(int argc, char* argv[]) {
    // Answered before Qt starts, so that it works without a display.
    if (std::any_of(argv + 1, argv + argc, [](const char* arg) { return std::string_view(arg) == "--version"; })) {
        std::cout << "trelmox " << trelmox::Version << '\n';
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TRELMOX"));
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("trelmox"));
    trelmox::app::loadQtChineseTexts();
    trelmox::app::Program program(trelmox::app::openProgramFolder(QCoreApplication::applicationDirPath().toStdString()));
    program.Form1.show();
    return QApplication::exec();
}
