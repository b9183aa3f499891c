#include "app/program.h"

#include "ui/views/picture_commands.h"
#include "ui/views/report_command.h"

namespace trelmox::app {

Program::Program(const std::filesystem::path& programFolder)
    : workspace(programFolder), Form1(workspace), Form2(workspace), Form3(workspace), Form4(workspace),
      Pictures([this] { return views::workspaceBlock(workspace); }) {
    workspace.attach(&Form2, &Form3, &Form4);
    // In free space: below the main window's commands, and beside the
    // analysis window's result boxes.
    views::addPictureMenuButton(&Form1, Pictures, QRect(514, 366, 140, 26));
    views::addPictureButtons(&Form4, Pictures, QPoint(330, 231), QSize(120, 24), 34);
    // Beside "分析、计算" on its panel: the calculation report of the results.
    views::addReportButton(Form4.findChild<QWidget*>(QStringLiteral("Panel1")), workspace, Pictures,
                           QRect(385, 8, 75, 25));
}

} // namespace trelmox::app
