#include "ui/window_feedback.h"

#include "ui/messages.h"

namespace trelmox::ui {

void WindowFeedback::inform(const std::string& message) { messageBoxes().message(QString::fromStdString(message)); }

} // namespace trelmox::ui
