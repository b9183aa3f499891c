#pragma once
// Every box the program shows goes through one interface, so that a test can
// record the boxes instead of blocking on them, and one function turns a
// failed command into the error box.
#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>

namespace trelmox::ui {

inline const char* const ApplicationTitle = "TRELMOX";

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A plain box with the program's own message and one OK button.
    virtual void message(const QString& text) = 0;
    // The error box of a command that failed.
    virtual void error(const QString& text) = 0;
    // A question with the buttons 是 and 否; true for 是.
    virtual bool question(const QString& text) = 0;
    // Unsaved edits: 保存, 不保存 or 取消 (the default, so that Return
    // loses nothing).
    enum class SaveAnswer { Save, Discard, Cancel };
    virtual SaveAnswer saveChanges(const QString&) { return SaveAnswer::Cancel; }
};

// The boxes in use; modal QMessageBoxes titled "TRELMOX" unless replaced.
MessageBoxes& messageBoxes();
// Replaces the boxes (nullptr restores the modal ones); the caller keeps
// ownership.
void setMessageBoxes(MessageBoxes* boxes);

// The box the modal boxes show: titled with the application title and wide
// enough for the title bar to show the title whole.
std::unique_ptr<QMessageBox> titledMessageBox(QMessageBox::Icon icon, const QString& text,
                                              QMessageBox::StandardButtons buttons);

// The error box's text: the failure's message with a full stop added when it
// does not already end in one ("。" for a message in Chinese, else ".").
QString errorBoxText(const QString& message);

// Runs one user command. A failure stops the command where it happened
// (what was done before stays done) and is shown in the error box, after
// which `afterFailure` gets the failure itself; the program carries on.
// Returns whether the command ran to its end.
bool runCommand(const std::function<void()>& command,
                const std::function<void(const std::exception& failure)>& afterFailure = {});

} // namespace trelmox::ui
