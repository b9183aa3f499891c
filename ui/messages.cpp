#include "ui/messages.h"

#include <QApplication>
#include <QGridLayout>
#include <QPushButton>
#include <QSpacerItem>

#include <exception>

namespace trelmox::ui {

namespace {

class ModalMessageBoxes final : public MessageBoxes {
public:
    void message(const QString& text) override { titledMessageBox(QMessageBox::NoIcon, text, QMessageBox::Ok)->exec(); }
    void error(const QString& text) override { titledMessageBox(QMessageBox::Critical, text, QMessageBox::Ok)->exec(); }
    bool question(const QString& text) override {
        const auto box = titledMessageBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No);
        box->button(QMessageBox::Yes)->setText(QCoreApplication::translate("MessageBoxes", "是"));
        box->button(QMessageBox::No)->setText(QCoreApplication::translate("MessageBoxes", "否"));
        box->setDefaultButton(QMessageBox::No); // Return must not discard the user's edits
        return box->exec() == QMessageBox::Yes;
    }
    SaveAnswer saveChanges(const QString& text) override {
        const auto box = titledMessageBox(QMessageBox::Question, text,
                                          QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box->button(QMessageBox::Save)->setText(QCoreApplication::translate("MessageBoxes", "保存"));
        box->button(QMessageBox::Discard)->setText(QCoreApplication::translate("MessageBoxes", "不保存"));
        box->button(QMessageBox::Cancel)->setText(QCoreApplication::translate("MessageBoxes", "取消"));
        box->setDefaultButton(QMessageBox::Cancel);
        box->setEscapeButton(QMessageBox::Cancel);
        switch (box->exec()) {
        case QMessageBox::Save: return SaveAnswer::Save;
        case QMessageBox::Discard: return SaveAnswer::Discard;
        default: return SaveAnswer::Cancel;
        }
    }
};

ModalMessageBoxes modalBoxes;
MessageBoxes* current = &modalBoxes;

// The title bar is the window manager's: its font is often bold and larger
// than the application's, and its buttons and icon take room of their own.
constexpr double TitleFontAllowance = 1.5;
constexpr int TitleBarDecoration = 160;

} // namespace

MessageBoxes& messageBoxes() { return *current; }

void setMessageBoxes(MessageBoxes* boxes) { current = boxes ? boxes : &modalBoxes; }

std::unique_ptr<QMessageBox> titledMessageBox(QMessageBox::Icon icon, const QString& text,
                                              QMessageBox::StandardButtons buttons) {
    auto box = std::make_unique<QMessageBox>(icon, ApplicationTitle, text, buttons, QApplication::activeWindow());
    // A message box sizes itself to its text; a spacer across its grid is
    // the one width it keeps to.
    const int titleWidth =
        static_cast<int>(box->fontMetrics().horizontalAdvance(ApplicationTitle) * TitleFontAllowance) +
        TitleBarDecoration;
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    return box;
}

QString errorBoxText(const QString& message) {
    if (message.endsWith(u'.') || message.endsWith(u'。')) return message;
    // A message written in Chinese (it begins in Chinese) ends in the
    // Chinese full stop.
    const bool chinese = !message.isEmpty() && message.front().unicode() >= 0x2E80;
    return message + (chinese ? u'。' : u'.');
}

bool runCommand(const std::function<void()>& command,
                const std::function<void(const std::exception& failure)>& afterFailure) {
    // Exceptions must not cross Qt's event loop, so every command ends here.
    try {
        command();
        return true;
    } catch (const std::exception& failure) {
        messageBoxes().error(errorBoxText(QString::fromUtf8(failure.what())));
        if (afterFailure) afterFailure(failure);
    }
    return false;
}

} // namespace trelmox::ui
