#pragma once
// The guide (docs/README.md and the pages it links) in a window of its own,
// rendered by Qt from its Markdown: the main window's 帮助 menu and F1 in
// any window open it.
#include <QWidget>

#include <filesystem>

#include "model/language.h"

class QTextBrowser;
class QToolButton;

namespace trelmox::ui {

// Where the guide is: installed with the program (<prefix>/share/doc/
// trelmox/guide beside <prefix>/bin), else the docs/ of the source tree the
// program was built from. Empty when neither holds it.
std::filesystem::path guideFolder();
// The page the guide opens on in the interface's language: the Chinese
// summary in the Chinese interface where it is installed, else the
// English contents.
std::filesystem::path guidePage(const std::filesystem::path& folder, Language language);

class GuideWindow : public QWidget {
    Q_OBJECT
public:
    explicit GuideWindow(const std::filesystem::path& folder, QWidget* parent = nullptr);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

// Shows the one guide window, made on first use, raised; says so when the
// guide is not where it belongs.
void showGuide();

// The 帮助 button with its menu (the guide) below the top right corner's
// `above`, and F1 for the guide in every window of the program.
QToolButton* addHelpMenu(QWidget* window, const QWidget* above);

} // namespace trelmox::ui
