#pragma once
// An editable drop-down box with case-insensitive type-ahead completion of
// its listed items: typing the beginning of a listed name completes the
// text to that name, the completed tail selected so that typing on replaces
// it. Deleting never completes, so the user can always shorten the text.
#include <QComboBox>

namespace trelmox::ui {

class TypeAheadCombo : public QComboBox {
    Q_OBJECT
public:
    TypeAheadCombo(const QString& objectName, QWidget* parent);

    QString text() const { return currentText(); }
    // Sets the edit text without counting as a user change.
    void setText(const QString& text);
    void setItems(const QStringList& items);
    // Appends an item; the edit text stays as it is.
    void appendItem(const QString& item);
    QStringList items() const;
    bool hasItem(const QString& text) const; // exact, case-sensitive

signals:
    // The user picked an item or typed (after completion).
    void userChanged();
    // The text became a listed item by picking it or by completion.
    void listedNameChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onTextEdited(const QString& typed);
    void onActivated(int index);

    bool deleting_ = false;
    QString textBeforeKey_;
};

} // namespace trelmox::ui
