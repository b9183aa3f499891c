#include "paint/report_pages.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextObjectInterface>
#include <QTextTable>

#include <algorithm>
#include <cmath>

#include "model/error.h"
#include "model/wording.h"
#include "model/files.h"
#include "paint/figure_painter.h"
#include "trelmox/version.h"

namespace trelmox::paint {
namespace {

constexpr int PictureObject = QTextFormat::UserObject + 1;
constexpr int PictureIndex = QTextFormat::UserProperty + 1;
// A block (a title, a heading, a table's caption) that must stand on the
// page of what follows it.
constexpr int KeepWithNext = QTextFormat::UserProperty + 2;
constexpr double BodyPoints = 10.5; // 五号字, the size of Chinese engineering documents
// More than a block's bottom margin and a line's extra spacing, less than
// any line: how far a block's box may reach past the foot of its page.
constexpr double MarginReach = 12;
// Pagination puts a line at the head of a page up to a rounding error
// above it, in device pixels.
constexpr double PageTolerance = 1;

QString qt(const std::string& text) { return QString::fromStdString(text); }

QFont reportFont(double points, bool bold = false) {
    QFont font(QString::fromUtf8(FigureFontFamily));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QTextCharFormat charFormat(double points, bool bold = false) {
    QTextCharFormat format;
    format.setFont(reportFont(points, bold));
    format.setForeground(Qt::black);
    return format;
}

// The resolution Qt takes the lengths of text formats (margins, indents,
// borders, padding) to be given in: it scales them from the screen's
// resolution to the device's, so that a document looks alike on both.
double formatDpi() {
    if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi)) return 96;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) return std::round(screen->logicalDotsPerInchY());
    return 100;
}

// Where things go on a page, in device pixels: the header band, the body
// the text flows through, and the footer band, inside the page's margins.
// Format lengths go through pt(), so that the layout is the same whatever
// screen the program runs on.
struct PageGeometry {
    double unit = 1;       // device pixels per point
    double formatUnit = 1; // format length per point
    double width = 0, headerHeight = 0, bodyHeight = 0, footerHeight = 0;

    double pt(double points) const { return points * formatUnit; }
    double formatLength(double devicePixels) const { return devicePixels / unit * formatUnit; }

    explicit PageGeometry(const QPagedPaintDevice& device) {
        const int dpi = device.logicalDpiY();
        const QRectF paintRect = device.pageLayout().paintRectPixels(dpi);
        unit = dpi / 72.0;
        formatUnit = formatDpi() / 72.0;
        width = paintRect.width();
        headerHeight = 28 * unit;
        footerHeight = 24 * unit;
        bodyHeight = paintRect.height() - headerHeight - footerHeight;
    }
};

// Draws the pictures where the text holds their object characters, each
// with its caption under it in the same object, so that a caption never
// lands on another page than its picture.
class PictureObjects : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    explicit PictureObjects(double maxHeight) : maxHeight_(maxHeight) {}

    // The pictures in the order of their object characters.
    std::vector<const ReportPicture*> pictures;

    QSizeF intrinsicSize(QTextDocument* document, int, const QTextFormat& format) override {
        const QSizeF size = pictureSize(picture(format), document->textWidth());
        return {size.width(), size.height() + captionHeight(document)};
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int,
                    const QTextFormat& format) override {
        const ReportPicture& p = picture(format);
        const double caption = captionHeight(document);
        paintFigure(*painter, p.Picture, QRectF(rect.left(), rect.top(), rect.width(), rect.height() - caption));
        painter->save();
        painter->setFont(reportFont(BodyPoints, true));
        painter->setPen(Qt::black);
        painter->drawText(QRectF(rect.left(), rect.bottom() - caption, rect.width(), caption), Qt::AlignCenter,
                          qt(p.Caption));
        painter->restore();
    }

private:
    const ReportPicture& picture(const QTextFormat& format) const {
        return *pictures[static_cast<std::size_t>(format.property(PictureIndex).toInt())];
    }
    // Nine tenths of the text's width in the picture's proportions, low
    // enough for two pictures with their captions on a page.
    QSizeF pictureSize(const ReportPicture& p, double textWidth) const {
        double width = textWidth * 0.9, height = width * p.Aspect;
        if (height > maxHeight_) {
            height = maxHeight_;
            width = height / p.Aspect;
        }
        return {width, height};
    }
    static double captionHeight(QTextDocument* document) {
        return QFontMetricsF(reportFont(BodyPoints, true), document->documentLayout()->paintDevice()).height() * 2;
    }

    double maxHeight_;
};

// Writes the report into a text document, item by item.
class DocumentWriter {
public:
    DocumentWriter(QTextDocument& document, const PageGeometry& page, PictureObjects& pictures)
        : cursor_(&document), page_(page), pictures_(pictures) {}

    // The title a fifth of the way down the page, well clear of the header
    // line, and the table of the cover's data below it. The layout drops
    // the top margin of a page's first block and the bottom margin of a
    // block before a table, so the space above is an empty line of that
    // height and the space below the table's own margin.
    void cover(const CalculationReport& report) {
        QTextBlockFormat space;
        space.setLineHeight(page_.formatLength(page_.bodyHeight * 0.2), QTextBlockFormat::FixedHeight);
        block(space, charFormat(BodyPoints), QString());
        QTextBlockFormat title;
        title.setAlignment(Qt::AlignHCenter);
        block(title, charFormat(22, true), report.Title);
        ReportTable table{{}, {}, {}};
        for (const auto& [label, value] : report.Cover) table.Rows.push_back({label, value});
        addTable(table, 70, 16, page_.pt(48));
    }

    void section(const ReportSection& section) {
        QTextBlockFormat format;
        format.setTopMargin(page_.pt(14));
        format.setBottomMargin(page_.pt(6));
        if (section.NewPage) format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        format.setProperty(KeepWithNext, true);
        block(format, charFormat(14, true), section.Title);
        for (const ReportItem& item : section.Items) std::visit([this](const auto& i) { add(i); }, item);
    }

private:
    // The document's first block is there from the start: the first block
    // written takes it over, every later one (an empty one too) is new.
    void block(const QTextBlockFormat& format, const QTextCharFormat& chars, const QString& text) {
        if (!started_) {
            cursor_.setBlockFormat(format);
            cursor_.setBlockCharFormat(chars);
            started_ = true;
        } else {
            cursor_.insertBlock(format, chars);
        }
        cursor_.insertText(text, chars);
    }
    void block(const QTextBlockFormat& format, const QTextCharFormat& chars, const std::string& text) {
        block(format, chars, qt(text));
    }

    void add(const ReportParagraph& paragraph) {
        QTextBlockFormat format;
        format.setTextIndent(page_.pt(2 * BodyPoints)); // two characters, as Chinese text is set
        format.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
        format.setBottomMargin(page_.pt(4));
        block(format, charFormat(BodyPoints), paragraph.Text);
    }

    void add(const ReportHeading& heading) {
        QTextBlockFormat format;
        format.setTopMargin(page_.pt(8));
        format.setBottomMargin(page_.pt(4));
        format.setProperty(KeepWithNext, true);
        block(format, charFormat(12, true), heading.Text);
    }

    void add(const ReportTable& table) { addTable(table, 100, 4, 0); }

    void add(const ReportPicture& picture) {
        QTextBlockFormat format;
        format.setAlignment(Qt::AlignHCenter);
        format.setTopMargin(page_.pt(8));
        format.setBottomMargin(page_.pt(8));
        block(format, charFormat(BodyPoints), QString());
        QTextCharFormat object;
        object.setObjectType(PictureObject);
        object.setProperty(PictureIndex, static_cast<int>(pictures_.pictures.size()));
        pictures_.pictures.push_back(&picture);
        cursor_.insertText(QString(QChar::ObjectReplacementCharacter), object);
    }

    // A table `percent` of the text's width, `above` below what precedes it;
    // a table without a header is one of labels and values.
    void addTable(const ReportTable& table, double percent, double padding, double above) {
        if (!table.Caption.empty()) {
            QTextBlockFormat caption;
            caption.setAlignment(Qt::AlignHCenter);
            caption.setTopMargin(page_.pt(8));
            caption.setBottomMargin(page_.pt(3));
            caption.setProperty(KeepWithNext, true);
            block(caption, charFormat(BodyPoints, true), table.Caption);
        }
        const bool headed = !table.Header.empty();
        const int columns = headed ? static_cast<int>(table.Header.size()) : 2;
        const int rows = static_cast<int>(table.Rows.size()) + (headed ? 1 : 0);
        QTextTableFormat format;
        format.setBorderCollapse(true);
        format.setBorder(page_.pt(0.75));
        format.setBorderBrush(Qt::black);
        format.setCellSpacing(0);
        format.setCellPadding(page_.pt(padding));
        format.setAlignment(Qt::AlignHCenter);
        format.setWidth(QTextLength(QTextLength::PercentageLength, percent));
        if (above > 0) format.setTopMargin(above);
        format.setHeaderRowCount(headed ? 1 : 0);
        if (!headed)
            format.setColumnWidthConstraints(
                {QTextLength(QTextLength::PercentageLength, 38), QTextLength(QTextLength::PercentageLength, 62)});
        QTextTable* grid = cursor_.insertTable(rows, columns, format);
        int row = 0;
        if (headed) {
            for (int c = 0; c < columns; ++c) cell(grid, 0, c, table.Header[c], true);
            row = 1;
        }
        for (const auto& values : table.Rows) {
            for (int c = 0; c < columns && c < static_cast<int>(values.size()); ++c)
                cell(grid, row, c, values[c], !headed && c == 0);
            ++row;
        }
        cursor_.movePosition(QTextCursor::End);
    }

    void cell(QTextTable* grid, int row, int column, const std::string& text, bool emphasised) {
        QTextTableCell cell = grid->cellAt(row, column);
        if (emphasised) {
            QTextCharFormat shade = cell.format();
            shade.setBackground(QColor(238, 238, 238));
            cell.setFormat(shade);
        }
        // A cell's block would take the format of the block before the table.
        QTextCursor inside = cell.firstCursorPosition();
        inside.setBlockFormat(QTextBlockFormat());
        inside.insertText(qt(text), charFormat(BodyPoints, emphasised));
    }

    QTextCursor cursor_;
    bool started_ = false;
    const PageGeometry& page_;
    PictureObjects& pictures_;
};

// No heading at a page's foot and no table row alone there: a heading
// whose next block (for a table, its second row) falls on a later page
// moves to that page, with the headings and caption just before it.
void keepHeadingsWithWhatFollows(QTextDocument& document) {
    const double pageHeight = document.pageSize().height();
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    const auto pageOf = [pageHeight](double y) {
        return static_cast<int>(std::floor((y + PageTolerance) / pageHeight));
    };
    // The point that must share the heading's page: a paragraph's first
    // line, or a table's first two rows.
    const auto followingPoint = [&](const QTextBlock& next) {
        if (QTextTable* table = QTextCursor(next).currentTable()) {
            const QTextBlock row = table->cellAt(std::min(1, table->rows() - 1), 0).firstCursorPosition().block();
            const QRectF rect = layout->blockBoundingRect(row);
            return rect.top() + rect.height() / 2;
        }
        const QRectF rect = layout->blockBoundingRect(next);
        const QTextLayout* lines = next.layout();
        return rect.top() + (lines->lineCount() > 0 ? lines->lineAt(0).y() + lines->lineAt(0).height() / 2 : 0);
    };
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        if (!block.blockFormat().boolProperty(KeepWithNext) || QTextCursor(block).currentTable()) continue;
        const QTextBlock next = block.next();
        if (!next.isValid()) continue;
        const QRectF own = layout->blockBoundingRect(block);
        const QTextLayout* lines = block.layout();
        const double ownLine = own.top() + (lines->lineCount() > 0 ? lines->lineAt(0).y() : 0);
        if (pageOf(ownLine) == pageOf(followingPoint(next))) continue;
        QTextBlock first = block;
        while (first.previous().isValid() && first.previous().blockFormat().boolProperty(KeepWithNext) &&
               !QTextCursor(first.previous()).currentTable())
            first = first.previous();
        QTextBlockFormat moved = first.blockFormat();
        if (moved.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue; // at a page's head already
        moved.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(first).setBlockFormat(moved);
    }
}

// Qt draws a paragraph that runs over a page break on both pages, clipped
// away where it does not belong but still there as text, so that a search
// would find a line twice. Split at the break, each part is drawn once.
void splitParagraphsAtPageBreaks(QTextDocument& document) {
    const double pageHeight = document.pageSize().height();
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    const auto pageOf = [pageHeight](double y) {
        return static_cast<int>(std::floor((y + PageTolerance) / pageHeight));
    };
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        layout->blockBoundingRect(block); // lays the document out up to here
        const QTextLayout* lines = block.layout();
        if (lines->lineCount() < 2 || QTextCursor(block).currentTable()) continue; // table rows move whole
        const double top = lines->position().y();
        for (int i = 1; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            if (pageOf(top + line.y()) == pageOf(top + lines->lineAt(0).y())) continue;
            QTextBlockFormat rest = block.blockFormat();
            rest.setTextIndent(0);
            rest.setTopMargin(0);
            rest.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
            QTextCursor cursor(block);
            cursor.setPosition(block.position() + line.textStart());
            cursor.insertBlock(rest, block.charFormat());
            break;
        }
    }
}

void paintMargins(QPainter& painter, const PageGeometry& page, const QString& header, int number, int count) {
    painter.save();
    painter.setPen(QPen(Qt::black, 0.5 * page.unit));
    painter.setFont(reportFont(9));
    painter.drawText(QRectF(0, 0, page.width, page.headerHeight - 8 * page.unit), Qt::AlignLeft | Qt::AlignBottom,
                     header);
    painter.drawText(QRectF(0, 0, page.width, page.headerHeight - 8 * page.unit), Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("TRELMOX ") + QString::fromUtf8(Version));
    painter.drawLine(QPointF(0, page.headerHeight - 5 * page.unit),
                     QPointF(page.width, page.headerHeight - 5 * page.unit));
    const double footerTop = page.headerHeight + page.bodyHeight;
    painter.drawText(
        QRectF(0, footerTop, page.width, page.footerHeight), Qt::AlignHCenter | Qt::AlignBottom,
        (inEnglish() ? QStringLiteral("Page %1 of %2") : QStringLiteral("第 %1 页 共 %2 页")).arg(number).arg(count));
    painter.restore();
}

} // namespace

void setReportPageLayout(QPagedPaintDevice& device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(25, 15, 20, 15),
                                     QPageLayout::Millimeter));
}

int paintReport(const CalculationReport& report, QPagedPaintDevice& device) {
    const PageGeometry page(device);
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&device);
    document.setDocumentMargin(0);
    document.setDefaultFont(reportFont(BodyPoints));
    document.setPageSize(QSizeF(page.width, page.bodyHeight));

    PictureObjects pictures(page.bodyHeight * 0.42);
    document.documentLayout()->registerHandler(PictureObject, &pictures);
    DocumentWriter writer(document, page, pictures);
    // One edit: laid out once at its end, not again after every table cell.
    QTextCursor edit(&document);
    edit.beginEditBlock();
    writer.cover(report);
    for (const ReportSection& section : report.Sections) writer.section(section);
    edit.endEditBlock();
    keepHeadingsWithWhatFollows(document);
    splitParagraphsAtPageBreaks(document);

    const int count = document.pageCount();
    QPainter painter;
    if (!painter.begin(&device))
        throw Error(inLanguage("不能写计算书：输出设备无法绘制",
                               "cannot write the calculation report: the output device cannot be painted on"));
    painter.setRenderHint(QPainter::Antialiasing);
    for (int p = 0; p < count; ++p) {
        if (p > 0) device.newPage();
        paintMargins(painter, page, qt(report.Header), p + 1, count);
        painter.save();
        const QRectF slice(0, p * page.bodyHeight, page.width, page.bodyHeight);
        painter.translate(0, page.headerHeight - slice.top());
        painter.setClipRect(slice);
        // The layout culls by a paragraph's box with its margins: a box that
        // ends just past the page's foot must not count as on the next page,
        // nor one that starts at the head of the next as on this one.
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = slice.adjusted(0, MarginReach * page.unit, 0, -PageTolerance);
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
    return count;
}

QByteArray reportPdf(const CalculationReport& report) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(qt(report.Header));
    writer.setCreator(QStringLiteral("TRELMOX ") + QString::fromUtf8(Version));
    setReportPageLayout(writer);
    paintReport(report, writer);
    return bytes;
}

void writeReportPdf(const std::filesystem::path& path, const CalculationReport& report) {
    const QByteArray pdf = reportPdf(report);
    writeFileAtomically(path, std::string(pdf.constData(), static_cast<std::size_t>(pdf.size())));
}

} // namespace trelmox::paint

#include "report_pages.moc"
