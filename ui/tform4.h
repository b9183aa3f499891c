#pragma once
// The analysis window: the current block's report, and the command that
// works out volume, height, plunge and the safety factor, shows them and
// writes the block's files again.
#include <QWidget>

class QLineEdit;
class QTextEdit;

namespace trelmox::ui {

class Workspace;

class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(Workspace& workspace);

    Workspace& workspace() const { return workspace_; }
    QString volumeText() const;
    QString heightText() const;
    QString safetyFactorText() const;
    QString plungeText() const;
    QString reportShown() const;
    void showReport(const QString& text);
    void setBlockName(const QString& name);
    QString blockName() const;

    void BitBtn1Click(); // analyse

private:
    void buildResultRows();

    Workspace& workspace_;
    QTextEdit* viewer_ = nullptr;
    QLineEdit* blockName_ = nullptr;
    QLineEdit* volume_ = nullptr;     // Edit3
    QLineEdit* height_ = nullptr;     // Edit4
    QLineEdit* safety_ = nullptr;     // Edit1
    QLineEdit* plunge_ = nullptr;     // Edit2
};

} // namespace trelmox::ui
