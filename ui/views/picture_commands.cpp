#include "ui/views/picture_commands.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPushButton>

#include "model/error.h"
#include "ui/views/picture_windows.h"
#include "ui/workspace.h"

namespace trelmox::views {
namespace {

struct PictureCommand {
    const char* objectName;
    const char* caption;
    void (PictureWindows::*show)();
};

const PictureCommand pictureCommands[] = {
    {"StereonetButton", QT_TRANSLATE_NOOP("PictureCommands", "赤平投影"), &PictureWindows::showStereonet},
    {"WedgeViewButton", QT_TRANSLATE_NOOP("PictureCommands", "三维视图"), &PictureWindows::showWedgeView},
    {"ProbabilisticButton", QT_TRANSLATE_NOOP("PictureCommands", "可靠度分析"), &PictureWindows::showProbabilistic},
    {"SensitivityButton", QT_TRANSLATE_NOOP("PictureCommands", "敏感性分析"), &PictureWindows::showSensitivity},
};

} // namespace

ViewedBlock workspaceBlock(const ui::Workspace& workspace) {
    const BlockDocument& document = workspace.document();
    ViewedBlock block{QString::fromStdString(document.currentBlock()),
                      document.attitudes(),
                      document.quadrants(),
                      document.params(),
                      QString::fromStdString(workspace.reportFolder().string()),
                      std::nullopt,
                      {},
                      std::nullopt};
    try {
        block.Loads = document.loads();
    } catch (const Error& failure) {
        block.LoadsProblem = QString::fromUtf8(failure.what());
    }
    if (document.resultsCurrent()) block.Run = document.results();
    convertParameters(block);
    return block;
}

QPushButton* addPictureMenuButton(QWidget* window, PictureWindows& pictures, const QRect& geometry) {
    auto* button = new QPushButton(QCoreApplication::translate("PictureCommands", "图形分析"), window);
    button->setObjectName(QStringLiteral("PicturesButton"));
    button->setGeometry(geometry);
    auto* menu = new QMenu(button);
    menu->setObjectName(QStringLiteral("PicturesMenu"));
    for (const PictureCommand& command : pictureCommands) {
        QAction* action = menu->addAction(QCoreApplication::translate("PictureCommands", command.caption));
        action->setObjectName(QString::fromUtf8(command.objectName));
        QObject::connect(action, &QAction::triggered, button, [&pictures, show = command.show] { (pictures.*show)(); });
    }
    button->setMenu(menu);
    return button;
}

void addPictureButtons(QWidget* window, PictureWindows& pictures, QPoint topLeft, QSize size, int step) {
    for (const PictureCommand& command : pictureCommands) {
        auto* button = new QPushButton(QCoreApplication::translate("PictureCommands", command.caption), window);
        button->setObjectName(QString::fromUtf8(command.objectName));
        button->setGeometry(QRect(topLeft, size));
        QObject::connect(button, &QPushButton::clicked, window,
                         [&pictures, show = command.show] { (pictures.*show)(); });
        topLeft.ry() += step;
    }
}

} // namespace trelmox::views
