#include "ui/guide_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "model/language.h"
#include "ui/messages.h"
#include "ui/style.h"

namespace trelmox::ui {

namespace {

constexpr const char* GuidePage = "README.md";
// The Chinese summary, whose links lead on to the English pages.
constexpr const char* ChineseGuidePage = "zh/README.md";

bool holdsGuide(const std::filesystem::path& folder) {
    std::error_code error;
    return std::filesystem::is_regular_file(folder / GuidePage, error);
}

} // namespace

std::filesystem::path guidePage(const std::filesystem::path& folder, Language language) {
    std::error_code error;
    if (language == Language::Chinese && std::filesystem::is_regular_file(folder / ChineseGuidePage, error))
        return folder / ChineseGuidePage;
    return folder / GuidePage;
}

std::filesystem::path guideFolder() {
    const std::filesystem::path installed =
        std::filesystem::path(QDir(QCoreApplication::applicationDirPath()).absolutePath().toStdString()) / ".." /
        "share" / "doc" / "trelmox" / "guide";
    if (holdsGuide(installed)) return installed.lexically_normal();
    const std::filesystem::path source = TRELMOX_SOURCE_GUIDE;
    return holdsGuide(source) ? source : std::filesystem::path();
}

GuideWindow::GuideWindow(const std::filesystem::path& folder, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("GuideWindow"));
    setWindowTitle(tr("使用指南"));
    auto* layout = new QVBoxLayout(this);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("GuideBrowser"));
    browser_->setOpenExternalLinks(true);
    // The pages link one another by relative names, which the browser
    // follows within the folder, each page rendered from its Markdown.
    browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(guidePage(folder, messageLanguage()).string())),
                        QTextDocument::MarkdownResource);
    layout->addWidget(browser_);
    resize(760, 640);
}

void showGuide() {
    static QPointer<GuideWindow> window;
    if (!window) {
        const std::filesystem::path folder = guideFolder();
        if (folder.empty()) {
            messageBoxes().message(GuideWindow::tr("找不到使用指南（docs/README.md）。"));
            return;
        }
        window = new GuideWindow(folder);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringToFront(window);
}

QToolButton* addHelpMenu(QWidget* window, const QWidget* above) {
    auto* button = new QToolButton(window);
    button->setObjectName(QStringLiteral("HelpButton"));
    button->setText(GuideWindow::tr("帮助"));
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* menu = new QMenu(button);
    menu->setObjectName(QStringLiteral("HelpMenu"));
    QAction* guide = menu->addAction(GuideWindow::tr("使用指南"));
    guide->setObjectName(QStringLiteral("GuideAction"));
    QObject::connect(guide, &QAction::triggered, window, [] { showGuide(); });
    button->setMenu(menu);
    button->adjustSize();
    button->move(above->geometry().right() - button->width() + 1, above->geometry().bottom() + 5);
    // F1 wherever the user is in the program.
    auto* f1 = new QShortcut(QKeySequence::HelpContents, window);
    f1->setObjectName(QStringLiteral("GuideShortcut"));
    f1->setContext(Qt::ApplicationShortcut);
    QObject::connect(f1, &QShortcut::activated, window, [] { showGuide(); });
    return button;
}

} // namespace trelmox::ui
