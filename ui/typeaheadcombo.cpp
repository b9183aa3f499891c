#include "ui/typeaheadcombo.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

#include "ui/style.h"

#include <utility>

namespace trelmox::ui {

TypeAheadCombo::TypeAheadCombo(const QString& objectName, QWidget* parent) : QComboBox(parent) {
    setObjectName(objectName);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Completion is done here, so that completing counts as choosing.
    setCompleter(nullptr);
    setMaxVisibleItems(20);
    // The line reports an edit before it reports the new text and selection,
    // and after the edit it reports the edited text once more. So the edit is
    // judged against the text and selection from before it, and completed
    // only when the edited text has been reported (to this box's own
    // listeners too, which were connected first).
    QLineEdit* edit = lineEdit();
    connect(edit, &QLineEdit::textEdited, this, [this](const QString& typed) {
        const bool inserted = typed.size() > lastText_.size() - lastSelected_;
        pendingEdit_ = PendingEdit{typed, inserted && lineEdit()->cursorPosition() == typed.size()};
    });
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        lastText_ = text;
        if (pendingEdit_ && pendingEdit_->typed == text) finishEdit(*std::exchange(pendingEdit_, std::nullopt));
    });
    connect(edit, &QLineEdit::selectionChanged, this,
            [this] { lastSelected_ = static_cast<int>(lineEdit()->selectedText().size()); });
    connect(this, &QComboBox::activated, this, &TypeAheadCombo::onActivated);
    // The whole text in the tooltip, for a text longer than the box.
    connect(this, &QComboBox::editTextChanged, this, [this](const QString& text) { setToolTip(text); });
    takeWheelOnlyWhenFocused(this);
}

void TypeAheadCombo::setText(const QString& text) {
    if (text == currentText()) return;
    settled_ = text;
    setEditText(text);
    // A text set for the user to read shows its beginning: a long figure
    // must not appear as its last digits.
    if (!hasFocus()) lineEdit()->setCursorPosition(0);
}

// Changing the list moves the current item and with it the edit text; the
// box must not report that as the user's change, so signals wait.
void TypeAheadCombo::setItems(const QStringList& items) {
    const QString kept = text();
    const QSignalBlocker quiet(this);
    clear();
    addItems(items);
    setCurrentIndex(-1);
    setEditText(kept);
}

void TypeAheadCombo::appendItem(const QString& item) {
    const QString kept = text();
    const QSignalBlocker quiet(this);
    addItem(item);
    if (count() == 1) setCurrentIndex(-1);
    setEditText(kept);
}

QStringList TypeAheadCombo::items() const {
    QStringList list;
    for (int i = 0; i < count(); ++i) list << itemText(i);
    return list;
}

bool TypeAheadCombo::hasItem(const QString& text) const {
    return findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0;
}

void TypeAheadCombo::declineChoice() {
    declined_ = text();
    setText(revertTo_);
    lineEdit()->setCursorPosition(static_cast<int>(revertTo_.size()));
}

// On focus-out and Return the box looks its text up in the list (ignoring
// case) and makes a match the current item: that would rewrite "A1.TXT" to
// "a1.txt" and count as the user choosing it. Neither is the user's doing.
void TypeAheadCombo::finishEditQuietly(const std::function<void()>& finish) {
    const QString kept = text();
    const QSignalBlocker quiet(this);
    finish();
    if (text() != kept) setEditText(kept);
}

void TypeAheadCombo::focusOutEvent(QFocusEvent* event) {
    finishEditQuietly([&] { QComboBox::focusOutEvent(event); });
}

void TypeAheadCombo::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        finishEditQuietly([&] { QComboBox::keyPressEvent(event); });
    else
        QComboBox::keyPressEvent(event);
}

void TypeAheadCombo::finishEdit(const PendingEdit& edit) {
    if (edit.typed.isEmpty() || !declined_.startsWith(edit.typed, Qt::CaseInsensitive)) declined_.clear();
    if (edit.insertedAtEnd && !edit.typed.isEmpty()) complete(edit.typed);
    const bool chosen = settled_ != text() && text() != edit.typed;
    settled_ = text();
    emit userChanged();
    if (chosen) emit listedNameChosen();
}

void TypeAheadCombo::complete(const QString& typed) {
    const int index = findText(typed, Qt::MatchStartsWith); // case-insensitive
    if (index < 0 || itemText(index) == declined_) return;
    const QString completed = itemText(index);
    revertTo_ = typed;
    lineEdit()->setText(completed);
    lineEdit()->setSelection(static_cast<int>(typed.size()), static_cast<int>(completed.size() - typed.size()));
}

void TypeAheadCombo::onActivated(int index) {
    if (index < 0) return;
    revertTo_ = settled_;
    settled_ = text();
    emit userChanged();
    emit listedNameChosen();
}

} // namespace trelmox::ui
