#pragma once
// What the joints window's files share (joints_window.cpp: the files, the
// net, the sets and the combinations; joints_kinematics.cpp: the kinematic
// checks and the slope sectors).
#include <QPushButton>
#include <QString>

#include <functional>
#include <string>

#include "drawing/stereonet.h"
#include "model/error.h"
#include "model/files.h"
#include "ui/views/joints_window.h"

namespace trelmox::views::joints_parts {

// The rows every table keeps in view, however small the screen.
inline constexpr int LeastRowsShown = 2;

inline QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

inline QString planeText(const TPlaneAttitude& plane) {
    return text(attitudeLabel(plane.DipDirection, plane.DipAngle));
}

inline QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

// A file the user named that cannot be read is named with the reason in
// the window's words; a fault in its contents keeps the reader's message.
inline void readNamedFile(const QString& what, const QString& path, const std::function<void()>& read) {
    try {
        read();
    } catch (const Error& failure) {
        if (failure.kind() != ErrorKind::File) throw;
        const std::string reason = failure.systemError() ? systemReason(failure.systemError()) : failure.what();
        throw failure.reworded(
            JointsWindow::tr("%1“%2”无法读取：%3").arg(what, path, QString::fromStdString(reason)).toStdString());
    }
}

} // namespace trelmox::views::joints_parts
