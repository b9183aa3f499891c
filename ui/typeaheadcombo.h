#pragma once
// An editable drop-down box with case-insensitive type-ahead completion of
// its listed items: typing the beginning of a listed name completes the
// text to that name, the completed tail selected so that typing on replaces
// it. Only inserting text completes; deleting never does, so the user can
// always shorten the text. A listed name counts as chosen only when the user
// picks it or completion proposes it, never when the box merely loses the
// focus or Return is pressed on a text that happens to be listed.
#include <QComboBox>

#include <functional>
#include <optional>

namespace trelmox::ui {

class TypeAheadCombo : public QComboBox {
    Q_OBJECT
public:
    TypeAheadCombo(const QString& objectName, QWidget* parent);

    QString text() const { return currentText(); }
    // Sets the edit text without counting as a user change; the same text
    // leaves the box alone, so a box being typed in keeps its cursor.
    void setText(const QString& text);
    // The list changes; the edit text stays as it is.
    void setItems(const QStringList& items);
    void appendItem(const QString& item);
    QStringList items() const;
    bool hasItem(const QString& text) const; // exact, case-sensitive

    // Undoes the last choice of a listed name: back to the text typed before
    // completion (or shown before a pick), and that name is not proposed
    // again while the typed text still begins it.
    void declineChoice();

signals:
    // The user picked an item or typed (after completion).
    void userChanged();
    // The text became a listed item by picking it or by completion.
    void listedNameChosen();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct PendingEdit {
        QString typed;
        bool insertedAtEnd = false;
    };
    void finishEdit(const PendingEdit& edit);
    void onActivated(int index);
    void complete(const QString& typed);
    void finishEditQuietly(const std::function<void()>& finish);

    std::optional<PendingEdit> pendingEdit_;
    // The line's text and selection as they were before the edit in progress.
    QString lastText_;
    int lastSelected_ = 0;
    QString settled_;  // the text after the last user change or setText
    QString revertTo_; // what declining the last choice goes back to
    QString declined_;
};

} // namespace trelmox::ui
