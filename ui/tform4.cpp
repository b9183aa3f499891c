#include "ui/tform4.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>

#include "analysis/geometry.h"
#include "analysis/wedge.h"
#include "model/numtext.h"
#include "ui/messages.h"
#include "ui/style.h"
#include "ui/tform3.h"
#include "ui/workspace.h"

namespace trelmox::ui {

namespace {

QLineEdit* makeEdit(QWidget* parent, const QString& name, QRect rect) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(rect);
    return edit;
}

QLabel* makeCaption(QWidget* parent, const QString& name, const QString& text, QPoint position) {
    QLabel* label = makeLabel(parent, name, text, position, captionFont(16));
    setTextColour(label, Teal);
    return label;
}

QString text(double value) { return QString::fromStdString(floatToText(value)); }
QString fixed4(double value) { return QString::fromStdString(floatToFixed4(value)); }

} // namespace

TForm4::TForm4(Workspace& workspace) : workspace_(workspace) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Form4"));
    setFont(dialogFont(11));
    placeWindow(this, {300, 180}, {476, 414});

    viewer_ = new QTextEdit(this);
    viewer_->setObjectName(QStringLiteral("RichEdit1"));
    viewer_->setGeometry(0, 0, 465, 169);
    viewer_->setReadOnly(true);
    viewer_->setAcceptRichText(false);
    viewer_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewer_->setFont(dialogFont(13));
    setTextColour(viewer_, Teal);
    viewer_->setPlainText(QStringLiteral("RichEdit1"));

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(0, 176, 465, 41);
    makeCaption(panel, QStringLiteral("Label1"), QStringLiteral("楔块名称"), {24, 12});
    auto* analyse = new QPushButton(QStringLiteral("分析、计算"), panel);
    analyse->setObjectName(QStringLiteral("BitBtn1"));
    analyse->setGeometry(304, 8, 75, 25);
    connect(analyse, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
    blockName_ = makeEdit(this, QStringLiteral("Edit5"), {120, 184, 145, 21});
    blockName_->setReadOnly(true);

    buildResultRows();

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setSizeGripEnabled(false);
    statusBar->setGeometry(0, height() - StatusBarHeight, width(), StatusBarHeight);
    statusBar->addWidget(new QLabel(QStringLiteral("本对话框用于输入岩体及结构面的物理、力学参数"), statusBar), 1);
}

void TForm4::buildResultRows() {
    makeCaption(this, QStringLiteral("Label5"), QStringLiteral("楔块的体积"), {24, 232});
    volume_ = makeEdit(this, QStringLiteral("Edit3"), {184, 232, 121, 21});
    makeCaption(this, QStringLiteral("Label6"), QStringLiteral("楔块的高度"), {24, 264});
    height_ = makeEdit(this, QStringLiteral("Edit4"), {184, 266, 121, 21});
    makeCaption(this, QStringLiteral("Label20"), QStringLiteral("楔块安全系数Kc"), {23, 301});
    safety_ = makeEdit(this, QStringLiteral("Edit1"), {184, 301, 121, 21});
    makeCaption(this, QStringLiteral("Label3"), QStringLiteral("楔块交线的倾角βab"), {24, 335});
    plunge_ = makeEdit(this, QStringLiteral("Edit2"), {184, 336, 121, 21});
}

QString TForm4::volumeText() const { return volume_->text(); }
QString TForm4::heightText() const { return height_->text(); }
QString TForm4::safetyFactorText() const { return safety_->text(); }
QString TForm4::plungeText() const { return plunge_->text(); }
QString TForm4::reportShown() const { return viewer_->toPlainText(); }
void TForm4::showReport(const QString& text) { viewer_->setPlainText(text); }
void TForm4::setBlockName(const QString& name) { blockName_->setText(name); }
QString TForm4::blockName() const { return blockName_->text(); }

void TForm4::BitBtn1Click() {
    runCommand([this] {
        // The corners come from the block's current planes and slope height,
        // never from an earlier drawing export of another block.
        const auto corners = workspace_.computeCorners();
        if (!corners) return;
        const WedgeGeometry geometry = wedgeGeometry(*corners);
        volume_->setText(fixed4(geometry.Volume));
        height_->setText(fixed4(geometry.Height));
        plunge_->setText(fixed4(geometry.IntersectionPlunge));
        const SafetyResult safety = account(workspace_.model().PlaneAttitudes, workspace_.parameters().params());
        if (const std::string message = contactMessage(safety.Contact); !message.empty())
            messageBoxes().message(QString::fromStdString(message));
        safety_->setText(text(safety.SafetyFactor));
        workspace_.writeDataFile();
        workspace_.writeReport();
        showReport(workspace_.currentReportText());
    });
}

} // namespace trelmox::ui
