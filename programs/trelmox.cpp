// The windowed program: the main window and four hidden windows; the
// program's files live beside the executable, or in the user's data folder
// when the program is installed.
#include <QApplication>

#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "app/language.h"
#include "app/program.h"
#include "trelmox/version.h"

int main(int argc, char* argv[]) {
    // Answered before Qt starts, so that it works without a display.
    if (std::any_of(argv + 1, argv + argc, [](const char* arg) { return std::string_view(arg) == "--version"; })) {
        std::cout << "trelmox " << trelmox::Version << '\n';
        return 0;
    }
    const std::optional<std::string> lang = trelmox::app::langOption(argc, argv);
    if (lang && !trelmox::languageFromName(*lang)) {
        std::cerr << "trelmox: --lang takes zh or en, not \"" << *lang << "\"\n";
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TRELMOX"));
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("trelmox"));
    const std::optional<std::string> saved = trelmox::app::savedLanguageChoice();
    trelmox::app::useLanguage(trelmox::app::chooseLanguage(lang, saved, trelmox::messagesLocaleOfEnvironment()));
    trelmox::app::Program program(
        trelmox::app::openProgramFolder(QCoreApplication::applicationDirPath().toStdString()));
    program.Form1.show();
    return QApplication::exec();
}
