#include "ui/messages.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

namespace trelmox::ui {

namespace {

class ModalMessageBoxes final : public MessageBoxes {
public:
    void message(const QString& text) override { show(QMessageBox::NoIcon, text); }
    void error(const QString& text) override { show(QMessageBox::Critical, text); }

private:
    static void show(QMessageBox::Icon icon, const QString& text) {
        QMessageBox box(icon, ApplicationTitle, text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }
};

ModalMessageBoxes modalBoxes;
MessageBoxes* current = &modalBoxes;

} // namespace

MessageBoxes& messageBoxes() { return *current; }

void setMessageBoxes(MessageBoxes* boxes) { current = boxes ? boxes : &modalBoxes; }

QString errorBoxText(const QString& message) {
    if (message.endsWith(u'.') || message.endsWith(u'。')) return message;
    return message + u'.';
}

bool runCommand(const std::function<void()>& command) {
    // Exceptions must not cross Qt's event loop, so every command ends here.
    try {
        command();
        return true;
    } catch (const std::exception& failure) {
        messageBoxes().error(errorBoxText(QString::fromUtf8(failure.what())));
    }
    return false;
}

} // namespace trelmox::ui
