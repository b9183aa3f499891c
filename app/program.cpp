#include "app/program.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTranslator>

#include <system_error>

#include <unistd.h>

#include "model/error.h"
#include "model/files.h"
#include "ui/style.h"
#include "ui/views/picture_commands.h"
#include "ui/views/report_command.h"

namespace trelmox::app {

namespace fs = std::filesystem;

namespace {

// The superuser may write anywhere, the system's program folders included,
// so for it the executable's folder counts only once it holds the data
// folder, as a build folder does.
bool keepsFilesBesideProgram(const fs::path& executableFolder) {
    return ::access(executableFolder.c_str(), W_OK) == 0 &&
           (::geteuid() != 0 || fs::is_directory(executableFolder / ui::DataFolderName));
}

void copyExampleBlock(const fs::path& dataFolder) {
    QFile example(QStringLiteral(":/example.txt")); // the shipped bytes, CR LF and GBK
    if (!example.open(QIODevice::ReadOnly)) return;
    try {
        writeFileAtomically(dataFolder / "example.txt", example.readAll().toStdString());
    } catch (const Error&) {
        // An unwritable data folder shows at the first command that writes there.
    }
}

} // namespace

bool loadQtChineseTexts() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

fs::path openProgramFolder(const fs::path& executableFolder) {
    const fs::path folder =
        keepsFilesBesideProgram(executableFolder)
            ? executableFolder
            : fs::path(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
    const fs::path data = folder / ui::DataFolderName;
    std::error_code failure;
    const bool firstStart = !fs::exists(data, failure);
    fs::create_directories(data, failure);
    fs::create_directories(folder / ui::ReportFolderName, failure);
    if (firstStart && fs::is_directory(data, failure)) copyExampleBlock(data);
    return folder;
}

Program::Program(const std::filesystem::path& programFolder)
    : workspace(programFolder), Form1(workspace), Form2(workspace), Form3(workspace), Form4(workspace),
      Loads(workspace), Pictures([this] { return views::workspaceBlock(workspace); }, &workspace.document().studies()) {
    workspace.attach(&Form2, &Form3, &Form4);
    // Pictures follow the document: no window shows a block that has changed.
    workspace.document().addListener([this] { Pictures.blockChanged(); });
    workspace.attachLoads(&Loads);
    // In free space: below the main window's commands, and beside the
    // analysis window's result boxes.
    QPushButton* pictures = views::addPictureMenuButton(&Form1, Pictures, QRect(514, 366, 140, 26));
    ui::keepInView(pictures);
    QMenu* menu = pictures->menu();
    QAction* joints = menu->addAction(QCoreApplication::translate("Program", "结构面统计与组合"));
    joints->setObjectName(QStringLiteral("JointsCommand"));
    QObject::connect(joints, &QAction::triggered, &Form1, [this] { showJoints(); });
    menu->addSeparator();
    QAction* loads = menu->addAction(QCoreApplication::translate("Program", "荷载与支护"));
    loads->setObjectName(QStringLiteral("LoadsCommand"));
    QObject::connect(loads, &QAction::triggered, &Loads, &ui::LoadsWindow::bringUp);
    views::addPictureButtons(&Form4, Pictures, QPoint(330, 231), QSize(120, 24), 34);
    // Beside "分析、计算" on its panel: the calculation report of the results.
    views::addReportButton(Form4.findChild<QWidget*>(QStringLiteral("Panel1")), workspace, QRect(385, 8, 75, 25));
}

views::JointsWindow& Program::joints() {
    if (!joints_) joints_ = std::make_unique<views::JointsWindow>(workspace);
    return *joints_;
}

void Program::showJoints() {
    joints().refresh();
    ui::placeBesideOpener(&joints());
    ui::bringToFront(&joints());
}

} // namespace trelmox::app
