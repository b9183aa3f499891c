#include "ui/typeaheadcombo.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace trelmox::ui {

TypeAheadCombo::TypeAheadCombo(const QString& objectName, QWidget* parent) : QComboBox(parent) {
    setObjectName(objectName);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Completion is done here, so that completing counts as choosing.
    setCompleter(nullptr);
    setMaxVisibleItems(20);
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, &TypeAheadCombo::onTextEdited);
    connect(this, &QComboBox::activated, this, &TypeAheadCombo::onActivated);
}

void TypeAheadCombo::setText(const QString& text) { setEditText(text); }

void TypeAheadCombo::setItems(const QStringList& items) {
    const QString kept = text();
    clear();
    addItems(items);
    setCurrentIndex(-1);
    setEditText(kept);
}

void TypeAheadCombo::appendItem(const QString& item) {
    const QString kept = text();
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

bool TypeAheadCombo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        deleting_ = key == Qt::Key_Backspace || key == Qt::Key_Delete;
        textBeforeKey_ = lineEdit()->text();
    }
    return QComboBox::eventFilter(watched, event);
}

void TypeAheadCombo::onTextEdited(const QString& typed) {
    QLineEdit* edit = lineEdit();
    const bool typingAtEnd = !deleting_ && !typed.isEmpty() && edit->cursorPosition() == typed.size();
    deleting_ = false;
    if (typingAtEnd) {
        const int index = findText(typed, Qt::MatchStartsWith); // case-insensitive
        if (index >= 0) {
            const QString completed = itemText(index);
            edit->setText(completed);
            edit->setSelection(typed.size(), completed.size() - typed.size());
            emit userChanged();
            if (completed != textBeforeKey_) emit listedNameChosen();
            return;
        }
    }
    emit userChanged();
}

void TypeAheadCombo::onActivated(int index) {
    if (index < 0) return;
    emit userChanged();
    emit listedNameChosen();
}

} // namespace trelmox::ui
