#include "ui/tform4.h"

#include <QPointer>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>

#include <algorithm>

#include "model/language.h"
#include "model/error.h"
#include "ui/loads_window.h"
#include "ui/messages.h"
#include "ui/report_view.h"
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

// A figure is never cut at the front: the box shows its beginning, and the
// whole text is in the tooltip when it is longer than the box.
void showWhole(QLineEdit* box, const std::string& text) {
    box->setText(QString::fromStdString(text));
    box->setCursorPosition(0);
    box->setToolTip(box->text());
}

QLineEdit* makeResultBox(QWidget* parent, const QString& name, QRect rect) {
    QLineEdit* box = makeEdit(parent, name, rect);
    box->setReadOnly(true);
    return box;
}

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
    makeCaption(panel, QStringLiteral("Label1"), tr("楔块名称"), {24, 12});
    auto* analyse = new QPushButton(tr("分析、计算"), panel);
    analyse->setObjectName(QStringLiteral("BitBtn1"));
    analyse->setGeometry(304, 8, 75, 25);
    connect(analyse, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
    blockName_ = makeEdit(this, QStringLiteral("Edit5"), {120, 184, 145, 21});
    blockName_->setReadOnly(true);

    buildResultRows();

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(false);
    statusBar_->setGeometry(0, height() - StatusBarHeight, width(), StatusBarHeight);
    // This window analyses; the parameter window's hint would mislead here.
    statusBar_->addWidget(new QLabel(tr("本对话框用于分析、计算楔块的稳定性"), statusBar_), 1);
    buildFullAnalysisPanel();
    setFixedSize(size()); // fixed places: resizing would cut off the buttons or strand the status bar
    // The document outlives the window: a change after it is gone calls nothing.
    workspace_.document().addListener([window = QPointer(this)] {
        if (window) window->showDocument();
    });
}

void TForm4::buildResultRows() {
    makeCaption(this, QStringLiteral("Label5"), tr("楔块的体积"), {24, 232});
    volume_ = makeResultBox(this, QStringLiteral("Edit3"), {184, 232, 121, 21});
    makeCaption(this, QStringLiteral("Label6"), tr("楔块的高度"), {24, 264});
    height_ = makeResultBox(this, QStringLiteral("Edit4"), {184, 266, 121, 21});
    makeCaption(this, QStringLiteral("Label20"), tr("楔块安全系数Kc"), {23, 301});
    safety_ = makeResultBox(this, QStringLiteral("Edit1"), {184, 301, 121, 21});
    makeCaption(this, QStringLiteral("Label3"), tr("楔块交线的倾角βab"), {24, 335});
    plunge_ = makeResultBox(this, QStringLiteral("Edit2"), {184, 336, 121, 21});
    // Under the result boxes, above the status bar: says when the figures
    // shown no longer belong to the block as it stands.
    staleNote_ = new QLabel(this);
    staleNote_->setObjectName(QStringLiteral("StaleNote"));
    setTextColour(staleNote_, QColor(0xC0, 0, 0));
    staleNote_->setGeometry(24, 362, 300, 18);
}

QString TForm4::volumeText() const { return volume_->text(); }
QString TForm4::heightText() const { return height_->text(); }
QString TForm4::safetyFactorText() const { return safety_->text(); }
QString TForm4::plungeText() const { return plunge_->text(); }
QString TForm4::reportShown() const { return viewer_->toPlainText(); }
QString TForm4::blockName() const { return blockName_->text(); }

namespace {

// The report's text as the viewer shows a file's: line ends as "\n".
QString viewedReport(const std::string& text) {
    return reportForViewer(QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

} // namespace

void TForm4::showCurrentReport() {
    viewer_->setPlainText(reportForViewer(workspace_.currentReportText()));
    shownBlock_ = workspace_.document().currentBlock();
    reportShown_ = true;
    showReportState();
}

void TForm4::showReport(const std::string& text) {
    viewer_->setPlainText(viewedReport(text));
    shownBlock_ = workspace_.document().currentBlock();
    reportShown_ = true;
    showReportState();
}

// The file was just written from the block as it stands: the viewer never
// keeps an older report of the block beside figures that changed.
void TForm4::reportWritten(const std::string& text) {
    if (!reportShown_ || !shownBlock_ || *shownBlock_ != workspace_.document().currentBlock()) return;
    viewer_->setPlainText(viewedReport(text));
    showReportState();
}

// A report whose figures no longer belong to the block as it stands (a
// parameter typed since) is greyed, the stale note beside it saying why.
void TForm4::showReportState() {
    const BlockDocument& document = workspace_.document();
    const bool stale = reportShown_ && document.results() && !document.kcResultsCurrent();
    setTextColour(viewer_, stale ? QColor(Qt::gray) : Teal);
}

void TForm4::showBlockName() {
    shownBlock_ = workspace_.document().currentBlock();
    blockName_->setText(QString::fromStdString(*shownBlock_));
}

// Results are shown only beside the inputs they belong to: once a
// confirmed plane, a parameter or a load changes, the figures that depend on
// it are cleared and the note asks for a new analysis.
void TForm4::showDocument() {
    const BlockDocument& document = workspace_.document();
    const FigureTexts shown = document.figures().value_or(FigureTexts{});
    showWhole(volume_, shown.Volume);
    showWhole(height_, shown.Height);
    showWhole(plunge_, shown.Plunge);
    showWhole(safety_, shown.SafetyFactor);
    staleNote_->setText(document.results() && !document.resultsCurrent() ? QString::fromUtf8(staleResultsNote())
                                                                         : QString());
    showFullResults();
    if (shownBlock_ && *shownBlock_ != document.currentBlock()) {
        shownBlock_.reset();
        reportShown_ = false;
        viewer_->clear();
        blockName_->clear();
    }
    showReportState();
}

void TForm4::BitBtn1Click() { workspace_.analyse(); }

// --- The full analysis panel ---------------------------------------------

namespace {

// The panel's outer width; the window widens by it so that nothing moves.
constexpr int FullPanelWidth = 256;
// Lines kept free for the notes that wrap (the scaled wedge, a warning).
constexpr int WrappedNoteLines = 3;

} // namespace

void TForm4::buildFullAnalysisPanel() {
    const int left = width() + 4;
    resize(width() + FullPanelWidth, height());
    statusBar_->setGeometry(0, height() - StatusBarHeight, width(), StatusBarHeight);

    auto* panel = new QGroupBox(tr("三维分析（实际楔块）"), this);
    panel->setObjectName(QStringLiteral("FullAnalysisPanel"));
    panel->setGeometry(left, 4, FullPanelWidth - 12, height() - StatusBarHeight - 10);
    auto* form = new QFormLayout(panel);
    // English captions and descriptions are longer: each box goes under
    // its caption, at the panel's whole width, so that none is cut.
    if (messageLanguage() == Language::English) form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    const auto row = [&](const char* name, const char* caption) {
        QLineEdit* box = makeResultBox(panel, QString::fromUtf8(name), {});
        form->addRow(tr(caption), box);
        return box;
    };
    fullFactor_ = row("FsEdit", QT_TR_NOOP("安全系数Fs"));
    fullContact_ = row("FsContactEdit", QT_TR_NOOP("接触状态"));
    state_ = row("StateEdit", QT_TR_NOOP("稳定状态"));
    // The wedge Fs belongs to: the one the size limits leave, which may be
    // far smaller than the full-height wedge of Kc's volume.
    fullVolume_ = row("FullVolumeEdit", QT_TR_NOOP("楔块体积（m³）"));
    fullWeight_ = row("FullWeightEdit", QT_TR_NOOP("楔块重量（kN）"));
    sizeNote_ = new QLabel(panel);
    sizeNote_->setObjectName(QStringLiteral("SizeNote"));
    sizeNote_->setWordWrap(true);
    form->addRow(sizeNote_);
    required_ = row("RequiredEdit", QT_TR_NOOP("所需安全系数"));
    // The box holds the factor; the slope class it comes from, longer than
    // a box, is shown whole under it.
    requiredClass_ = new QLabel(panel);
    requiredClass_->setObjectName(QStringLiteral("RequiredClassText"));
    requiredClass_->setWordWrap(true);
    form->addRow(requiredClass_);
    designBolt_ = row("DesignBoltEdit", QT_TR_NOOP("设计锚杆力（kN）"));
    leastBolt_ = row("LeastBoltEdit", QT_TR_NOOP("最省锚固力（kN）"));
    // The least force's direction is longer than a box: shown whole below it.
    leastBoltDirection_ = new QLabel(panel);
    leastBoltDirection_->setObjectName(QStringLiteral("LeastBoltText"));
    leastBoltDirection_->setWordWrap(true);
    form->addRow(leastBoltDirection_);
    fullNote_ = new QLabel(panel);
    fullNote_->setObjectName(QStringLiteral("FullNote"));
    fullNote_->setWordWrap(true);
    setTextColour(fullNote_, QColor(0xC0, 0, 0));
    form->addRow(fullNote_);
    auto* loads = new QPushButton(tr("荷载与支护…"), panel);
    loads->setObjectName(QStringLiteral("LoadsButton"));
    connect(loads, &QPushButton::clicked, this, [this] { workspace_.loads().bringUp(); });
    form->addRow(loads);
    // The window grows downwards to the panel's height, leaving the
    // original controls where they are; the stale note goes in the room
    // this leaves under them.
    const int panelHeight =
        std::max(panel->height(), form->sizeHint().height() + 2 * WrappedNoteLines * fontMetrics().lineSpacing());
    resize(width(), panelHeight + StatusBarHeight + 10);
    panel->resize(panel->width(), panelHeight);
    statusBar_->setGeometry(0, height() - StatusBarHeight, width(), StatusBarHeight);
}

QString TForm4::fullFactorText() const { return fullFactor_->text(); }
QString TForm4::fullContactText() const { return fullContact_->text(); }
QString TForm4::stateText() const { return state_->text(); }

// Empty boxes without results, as Kc's; a wedge the real planes do not cut
// out, or a full analysis that failed, says why under the boxes.
void TForm4::showFullResults() {
    const BlockDocument& document = workspace_.document();
    const auto& results = document.results();
    const bool full = results && results->Full && document.resultsCurrent();
    const FullFigureTexts shown = full ? fullFigureTexts(*results) : FullFigureTexts{};
    showWhole(fullFactor_, shown.Factor);
    showWhole(fullContact_, shown.Contact);
    showWhole(state_, shown.State);
    showWhole(fullVolume_, shown.Volume);
    showWhole(fullWeight_, shown.Weight);
    sizeNote_->setText(shown.Scale.empty() ? QString() : scaledWedgeText(shown).trimmed());
    // "1.35（永久边坡 一级 一般工况）": the factor, then its class.
    const auto classAt = std::min(shown.Required.find("（"), shown.Required.find(" ("));
    showWhole(required_, shown.Required.substr(0, classAt));
    requiredClass_->setText(classAt == std::string::npos ? QString()
                                                         : QString::fromStdString(shown.Required.substr(classAt)));
    showWhole(designBolt_, shown.DesignBolt);
    // The force, then its direction after the comma of the language.
    const auto comma = shown.LeastBolt.find(inLanguage("，", ", "));
    showWhole(leastBolt_, shown.LeastBolt.substr(0, comma));
    leastBoltDirection_->setText(QString::fromStdString(shown.LeastBolt));
    std::string note;
    if (document.resultsCurrent() && !results->Full) note = results->fullFailureMessage();
    if (full && results->Full->Analysis.Refusal) note = refusalMessage(*results->Full->Analysis.Refusal);
    if (note.empty()) note = shown.SizeWarning; // too small, the bench left too narrow
    fullNote_->setText(QString::fromStdString(note));
}

} // namespace trelmox::ui
