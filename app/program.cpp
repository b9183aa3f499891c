#include "app/program.h"

#include <QMenu>
#include <QPushButton>

#include "ui/views/picture_commands.h"

namespace trelmox::app {

Program::Program(const std::filesystem::path& programFolder)
    : workspace(programFolder), Form1(workspace), Form2(workspace), Form3(workspace), Form4(workspace),
      Loads(workspace), Pictures([this] { return views::workspaceBlock(workspace); }) {
    workspace.attach(&Form2, &Form3, &Form4);
    workspace.attachLoads(&Loads);
    // In free space: below the main window's commands, and beside the
    // analysis window's result boxes.
    QMenu* menu = views::addPictureMenuButton(&Form1, Pictures, QRect(514, 366, 140, 26))->menu();
    menu->addSeparator();
    QAction* loads = menu->addAction(QStringLiteral("荷载与支护"));
    loads->setObjectName(QStringLiteral("LoadsCommand"));
    QObject::connect(loads, &QAction::triggered, &Loads, &ui::LoadsWindow::bringUp);
    views::addPictureButtons(&Form4, Pictures, QPoint(330, 231), QSize(120, 24), 34);
}

} // namespace trelmox::app
