// varnolux-make-manual: turns the Markdown manual into a printable PDF: A4 pages, a
// table of contents with page numbers, chapters on new pages, pictures fitted to the
// text width, and a footer with the program version and the page number.
//
// usage: varnolux-make-manual SOURCE.md OUTPUT.pdf

#include "settings/ProgramInfo.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

namespace {

constexpr const char* UsageText = "usage: varnolux-make-manual SOURCE.md OUTPUT.pdf\n";
constexpr const char* ContentsTitle = "Contents";

// Lengths in the document's units: pixels at 96 per inch, which the layout scales to
// the PDF's resolution.
constexpr double CssPixelsPerInch = 96.0;
constexpr double FooterHeightPt = 24.0;
constexpr int MaxContentsPasses = 5;

void Fail(const QString& message)
{
    std::fprintf(stderr, "varnolux-make-manual: %s\n", qPrintable(message));
}

/// The manual's text font. Without shaping there are no ligatures, so that the PDF's
/// text is found and copied as typed ("fi", not one ligature glyph).
QFont TextFont(int pointSize)
{
    QFont font("DejaVu Sans", pointSize);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

struct THeading {
    QTextBlock block;
    int level;
};

/// The chapter (level 1) and section (level 2) headings after the title and the
/// contents heading, in document order.
std::vector<THeading> ListedHeadings(const QTextDocument& document)
{
    std::vector<THeading> headings;
    bool titleSeen = false;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 0 || level > 2)
            continue;
        if (!titleSeen) {
            titleSeen = true;
            continue;
        }
        if (block.text() != ContentsTitle)
            headings.push_back({block, level});
    }
    return headings;
}

std::optional<QTextBlock> ContentsHeading(const QTextDocument& document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.blockFormat().headingLevel() > 0 && block.text() == ContentsTitle)
            return block;
    return std::nullopt;
}

/// Text, code and table styles of a printed manual; chapters start on a new page.
void StyleDocument(QTextDocument& document)
{
    document.setDefaultFont(TextFont(10));
    document.setDocumentMargin(0);
    bool titleSeen = false;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        const int level = format.headingLevel();
        if (level > 0) {
            format.setTopMargin(level == 1 ? 0 : 14);
            format.setBottomMargin(6);
            if (level == 1 && titleSeen)
                format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            titleSeen = titleSeen || level == 1;
            QTextCharFormat heading;
            heading.setForeground(QColor(0x1f, 0x3a, 0x5f));
            QTextCursor text(block);
            text.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            text.mergeCharFormat(heading);
        } else if (format.hasProperty(QTextFormat::BlockCodeFence) || format.nonBreakableLines()) {
            format.setBackground(QColor(0xf0, 0xf0, 0xf0));
            format.setLeftMargin(6);
        } else {
            format.setBottomMargin(std::max(format.bottomMargin(), 4.0));
        }
        cursor.setBlockFormat(format);
    }
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame)) {
            QTextTableFormat format = table->format();
            format.setBorder(1);
            format.setBorderBrush(QColor(0x90, 0x90, 0x90));
            format.setBorderCollapse(true);
            format.setCellPadding(3);
            format.setCellSpacing(0);
            format.setTopMargin(2);
            format.setBottomMargin(8);
            format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            table->setFormat(format);
        }
}

/// Loads every picture the text names (relative to the source's folder), fits it to
/// the text width and centres it. A missing picture is an error: a manual with holes
/// must not be built.
bool PlacePictures(QTextDocument& document, double textWidthCss)
{
    bool allFound = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            QTextImageFormat format = fragment.fragment().charFormat().toImageFormat();
            if (!format.isValid())
                continue;
            const QUrl url = document.baseUrl().resolved(QUrl(format.name()));
            const QImage image(url.toLocalFile());
            if (image.isNull()) {
                Fail("cannot read the picture " + url.toLocalFile());
                allFound = false;
                continue;
            }
            document.addResource(QTextDocument::ImageResource, QUrl(format.name()), image);
            const double width = std::min(double(image.width()), textWidthCss);
            format.setWidth(width);
            format.setHeight(width * image.height() / image.width());
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.fragment().position());
            cursor.setPosition(fragment.fragment().position() + fragment.fragment().length(),
                               QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
            QTextBlockFormat centred = block.blockFormat();
            centred.setAlignment(Qt::AlignHCenter);
            cursor.setBlockFormat(centred);
        }
    }
    return allFound;
}

/// The page (from 1) a block starts on.
int PageOf(const QTextDocument& document, const QTextBlock& block)
{
    const double top = document.documentLayout()->blockBoundingRect(block).top();
    return int(std::floor(top / document.pageSize().height())) + 1;
}

/// Writes the contents list after its heading: one line per chapter and section with
/// its page number at the right margin. Entries are rewritten in place on later passes.
class TContents {
public:
    TContents(QTextDocument& document, QTextBlock heading, double textWidth)
        : document_(document)
    {
        headings_ = ListedHeadings(document);
        QTextCursor cursor(heading);
        cursor.movePosition(QTextCursor::EndOfBlock);
        for (const THeading& entry : headings_) {
            QTextBlockFormat format;
            format.setTopMargin(entry.level == 1 ? 4 : 0);
            format.setTabPositions({QTextOption::Tab(textWidth, QTextOption::RightTab)});
            QTextCharFormat text;
            text.setFontWeight(entry.level == 1 ? QFont::Bold : QFont::Normal);
            cursor.insertBlock(format, text);
            entries_.push_back(cursor.block());
            cursor.insertText(Entry(entry, 0));
        }
        Relayout();
    }

    /// Puts in the current page numbers; false when none changed (the layout is final).
    bool Update()
    {
        bool changed = false;
        for (size_t i = 0; i < entries_.size(); ++i) {
            const QString line = Entry(headings_[i], PageOf(document_, headings_[i].block));
            if (entries_[i].text() == line)
                continue;
            QTextCursor cursor(entries_[i]);
            const QTextCharFormat format = cursor.charFormat();
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            cursor.insertText(line, format);
            changed = true;
        }
        if (changed)
            Relayout();
        return changed;
    }

private:
    /// Lays the whole document out again: after an insertion the paginated layout
    /// moves later blocks without breaking their lines anew, and they would not print.
    void Relayout() { document_.markContentsDirty(0, document_.characterCount()); }

    /// Sections are indented by two spaces of the font's size: a left margin would
    /// shift the line's right edge away from the tab position.
    static QString Entry(const THeading& heading, int page)
    {
        return (heading.level == 1 ? QString() : QString("\u2002\u2002")) + heading.block.text() +
               "\t" + QString::number(page);
    }

    QTextDocument& document_;
    std::vector<THeading> headings_;
    std::vector<QTextBlock> entries_;
};

void DrawFooter(QPainter& painter, const QRectF& area, int page, int pages)
{
    painter.save();
    painter.setPen(QColor(0x50, 0x50, 0x50));
    painter.setFont(TextFont(8));
    const QString left = "Varnolux " + QString::fromStdString(varnolux::ProgramVersionText()) +
                         " \u2013 User manual";
    painter.drawLine(area.topLeft(), area.topRight());
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, left);
    painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter,
                     QString("Page %1 of %2").arg(page).arg(pages));
    painter.restore();
}

bool ReadMarkdown(const QString& fileName, QTextDocument& document)
{
    QFile source(fileName);
    if (!source.open(QIODevice::ReadOnly)) {
        Fail("cannot read " + fileName + ": " + source.errorString());
        return false;
    }
    // Pictures are named relative to the source's folder.
    document.setBaseUrl(QUrl::fromLocalFile(QFileInfo(fileName).absolutePath() + "/"));
    document.setMarkdown(QString::fromUtf8(source.readAll()), QTextDocument::MarkdownDialectGitHub);
    return true;
}

void SetUpPages(QPdfWriter& writer)
{
    writer.setTitle("Varnolux \u2013 User manual");
    writer.setCreator("varnolux-make-manual");
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 18, 20, 12), QPageLayout::Millimeter));
}

bool WritePdf(QTextDocument& document, QPdfWriter& writer, double footerHeight)
{
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    const QSizeF page = document.pageSize();
    const int pages = document.pageCount();
    for (int index = 0; index < pages; ++index) {
        if (index > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -index * page.height());
        document.drawContents(&painter, QRectF(QPointF(0, index * page.height()), page));
        painter.restore();
        DrawFooter(painter, QRectF(0, page.height(), page.width(), footerHeight), index + 1, pages);
    }
    return painter.end();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs(UsageText, stderr);
        return 2;
    }
    // The build has no display: fonts and layout need no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString sourceName = QFile::decodeName(argv[1]);
    const QString outputName = QFile::decodeName(argv[2]);

    QTextDocument document;
    if (!ReadMarkdown(sourceName, document))
        return 1;
    // Written under a temporary name: a failed run leaves no half manual behind.
    QSaveFile output(outputName);
    if (!output.open(QIODevice::WriteOnly)) {
        Fail("cannot write " + outputName + ": " + output.errorString());
        return 1;
    }
    QPdfWriter writer(&output);
    SetUpPages(writer);
    const double footerHeight = FooterHeightPt * writer.resolution() / 72.0;
    const double textWidthCss = writer.width() * CssPixelsPerInch / writer.resolution();

    StyleDocument(document);
    if (!PlacePictures(document, textWidthCss))
        return 1;
    document.documentLayout()->setPaintDevice(&writer);
    document.setPageSize(QSizeF(writer.width(), writer.height() - footerHeight));
    if (const auto heading = ContentsHeading(document)) {
        TContents contents(document, *heading, textWidthCss - 1);
        // A number that grows a digit can move a heading to the next page: repeat until
        // the numbers hold.
        for (int pass = 0; pass < MaxContentsPasses; ++pass)
            if (!contents.Update())
                break;
    }
    if (!WritePdf(document, writer, footerHeight) || !output.commit()) {
        Fail("cannot write " + outputName + ": " + output.errorString());
        return 1;
    }
    return 0;
}
