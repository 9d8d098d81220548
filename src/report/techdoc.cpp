#include "report/techdoc.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>
#include <array>

namespace report {

void TextDoc::heading(const QString& text, int level) {
    DocBlock b;
    b.kind = DocBlock::Heading;
    b.text = text;
    b.level = level;
    blocks.append(b);
}

void TextDoc::paragraph(const QString& text, bool bold, bool centred, bool right) {
    DocBlock b;
    b.text = text;
    b.bold = bold;
    b.centred = centred;
    b.right = right;
    blocks.append(b);
}

void TextDoc::table(const QString& caption, const QStringList& header, const QList<QStringList>& rows) {
    DocBlock b;
    b.kind = DocBlock::Table;
    b.text = caption;
    b.header = header;
    b.rows = rows;
    blocks.append(b);
}

void TextDoc::figure(const QImage& image, const QString& caption) {
    DocBlock b;
    b.kind = DocBlock::Figure;
    b.image = image;
    b.text = caption;
    blocks.append(b);
}

void TextDoc::pageBreak() {
    DocBlock b;
    b.kind = DocBlock::PageBreak;
    blocks.append(b);
}

void TextDoc::contents() {
    DocBlock b;
    b.kind = DocBlock::Contents;
    blocks.append(b);
}

int TextDoc::count(DocBlock::Kind kind) const {
    int n = 0;
    for (const DocBlock& b : blocks) n += b.kind == kind;
    return n;
}

namespace {

constexpr int kDpi = 300;
const QString kFont = QStringLiteral("DejaVu Serif");

// ------------------------------------------------------------------ the PDF

struct Entry {
    QString text;
    int level = 1;
    int page = 0;
};

// "{страниц}" in a paragraph names the document's page count ("00" before it is known).
QString WithPages(const QString& text, int pages) {
    return text.contains(kPagesToken)
               ? QString(text).replace(kPagesToken, pages > 0 ? QString::number(pages) : QStringLiteral("00"))
               : text;
}

// The headings of the contents, in order.
QList<Entry> ContentEntries(const TextDoc& doc) {
    QList<Entry> list;
    for (const DocBlock& b : doc.blocks)
        if (b.kind == DocBlock::Heading) list.append({b.text, b.level, 0});
    return list;
}

QTextCharFormat Chars(double size, bool bold) {
    QTextCharFormat f;
    f.setFontFamilies({kFont});
    f.setFontPointSize(size);
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    return f;
}

// Writes the blocks of the document into a QTextDocument through one cursor.
class Builder {
public:
    Builder(QTextDocument& td, double textWidth, int pages) : td_(td), c_(&td), width_(textWidth), pages_(pages) {
        QFont base(kFont);
        base.setPointSizeF(11);
        td.setDefaultFont(base);
        c_.beginEditBlock();
    }
    ~Builder() { c_.endEditBlock(); }

    void add(const DocBlock& b, const QList<Entry>& entries) {
        switch (b.kind) {
        case DocBlock::PageBreak: pendingBreak_ = true; break;
        case DocBlock::Heading: heading(b); break;
        case DocBlock::Paragraph:
            block(b.centred ? Qt::AlignHCenter : (b.right ? Qt::AlignRight : Qt::AlignJustify), takeBreak());
            c_.insertText(WithPages(b.text, pages_), Chars(11, b.bold));
            break;
        case DocBlock::Contents: contents(entries); break;
        case DocBlock::Table: table(b); break;
        case DocBlock::Figure: figure(b); break;
        }
    }
    QList<QTextBlock> headings;

private:
    bool takeBreak() {
        const bool b = pendingBreak_;
        pendingBreak_ = false;
        return b;
    }
    void block(Qt::Alignment align, bool breakBefore = false, double after = 6) {
        QTextBlockFormat f;
        f.setAlignment(align);
        f.setBottomMargin(after);
        if (breakBefore) f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        if (first_) c_.setBlockFormat(f);
        else c_.insertBlock(f);
        first_ = false;
    }
    void heading(const DocBlock& b) {
        block(Qt::AlignLeft, takeBreak() || b.level == 1, 8);
        QTextBlockFormat f = c_.blockFormat();
        f.setHeadingLevel(b.level);
        f.setTopMargin(b.level == 1 ? 0 : 8);
        c_.setBlockFormat(f);
        c_.insertText(b.text, Chars(b.level == 1 ? 14 : 12, true));
        headings.append(c_.block());
    }
    void contents(const QList<Entry>& entries) {
        block(Qt::AlignHCenter, takeBreak(), 10);
        c_.insertText(QStringLiteral("СОДЕРЖАНИЕ"), Chars(14, true));
        for (const Entry& e : entries) {
            QTextBlockFormat f;
            f.setLeftMargin(e.level == 1 ? 0 : 24);
            // the text engine takes these from 96 dpi to the device's, as an image's size
            f.setTabPositions({QTextOption::Tab(width_ * 0.98 * 96.0 / kDpi - f.leftMargin(), QTextOption::RightTab)});
            c_.insertBlock(f);
            c_.insertText(e.text + u'\t' + (e.page > 0 ? QString::number(e.page) : QStringLiteral("00")),
                          Chars(11, false));
        }
    }
    void table(const DocBlock& b) {
        if (!b.text.isEmpty()) {
            block(Qt::AlignLeft, takeBreak(), 2);
            c_.insertText(b.text, Chars(10, false));
        }
        QTextTableFormat tf;
        tf.setBorder(2);  // device pixels at 300 dpi: a thin line
        tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        tf.setCellPadding(4);
        tf.setCellSpacing(0);
        tf.setBorderCollapse(true);
        tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        tf.setHeaderRowCount(b.header.isEmpty() ? 0 : 1);
        const int columns = static_cast<int>(std::max<qsizetype>(1, b.header.size()));
        const QTextCharFormat head = Chars(8, true), cell = Chars(8, false);
        // a long table goes in parts of a page or less, each with its header: the text engine
        // lays a table that runs over many pages out in a time that grows fast
        constexpr int kPart = 40;
        for (int start = 0; start < std::max<qsizetype>(b.rows.size(), 1); start += kPart) {
            const QList<QStringList> part = b.rows.mid(start, kPart);
            if (start > 0) block(Qt::AlignLeft, false, 0);
            QTextTable* t =
                c_.insertTable(std::max(1, static_cast<int>(part.size()) + (b.header.isEmpty() ? 0 : 1)), columns, tf);
            int r = 0;
            if (!b.header.isEmpty()) {
                for (int k = 0; k < columns; ++k)
                    t->cellAt(0, k).firstCursorPosition().insertText(b.header.value(k), head);
                r = 1;
            }
            for (const QStringList& row : part) {
                for (int k = 0; k < columns; ++k) t->cellAt(r, k).firstCursorPosition().insertText(row.value(k), cell);
                ++r;
            }
            c_.movePosition(QTextCursor::End);
        }
        first_ = false;
    }
    void figure(const DocBlock& b) {
        block(Qt::AlignHCenter, takeBreak(), 2);
        const QString name = QStringLiteral("figure%1.png").arg(++images_);
        td_.addResource(QTextDocument::ImageResource, QUrl(name), b.image);
        QTextImageFormat f;
        f.setName(name);
        // the text engine scales an image's size from 96 dpi to the device's
        const double w = width_ * 0.9 * 96.0 / kDpi;
        f.setWidth(w);
        f.setHeight(w * b.image.height() / std::max(1, b.image.width()));
        c_.insertImage(f);
        block(Qt::AlignHCenter);
        c_.insertText(b.text, Chars(10, false));
    }

    QTextDocument& td_;
    QTextCursor c_;
    double width_;
    int pages_;
    bool first_ = true, pendingBreak_ = false;
    int images_ = 0;
};

// Writes the document into `td` for a text width of `textWidth` (device pixels); `entries`
// give the contents' page numbers, `pages` the page count. Returns each heading's block.
QList<QTextBlock> Build(QTextDocument& td, const TextDoc& doc, const QList<Entry>& entries, double textWidth,
                        int pages) {
    Builder b(td, textWidth, pages);
    for (const DocBlock& block : doc.blocks) b.add(block, entries);
    return b.headings;
}

}  // namespace

namespace {

constexpr double kFooter = kDpi * 0.3;  // the page number's strip, 7.6 mm

// A writer of the report's pages: A4 portrait, margins 30 mm left, 15 right, 20 top, 15 bottom.
void SetUp(QPdfWriter& writer, const QString& title) {
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Kalvaro"));
    writer.setResolution(kDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(30, 20, 15, 15),
                                     QPageLayout::Millimeter));
}

// Lays the document out for the writer's pages, twice: the first pass finds the pages the
// headings fall on, which the contents of the second name. Returns the page size.
QSizeF LayOut(QTextDocument& td, QPdfWriter& writer, const TextDoc& doc, QList<Entry>& entries, int& pages) {
    const QRectF paint(writer.pageLayout().paintRectPixels(kDpi));
    const QSizeF page(paint.width(), paint.height() - kFooter);
    auto lay = [&](QTextDocument& d) {
        // built first, laid out once after: a paged layout follows every insertion otherwise
        const QList<QTextBlock> heads = Build(d, doc, entries, page.width(), pages);
        d.documentLayout()->setPaintDevice(&writer);
        d.setDocumentMargin(0);
        d.setPageSize(page);
        for (int i = 0; i < heads.size() && i < entries.size(); ++i)
            entries[i].page =
                1 + static_cast<int>(d.documentLayout()->blockBoundingRect(heads[i]).top() / page.height());
        pages = d.pageCount();
    };
    QTextDocument counted;
    lay(counted);
    lay(td);
    return page;
}

}  // namespace

namespace {

// Draws the laid-out document page by page with the page number in the footer.
QByteArray DrawPdf(const TextDoc& doc, QList<Entry>& entries, int* pages) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    SetUp(writer, doc.title);
    QTextDocument td;
    int count = 0;
    const QSizeF page = LayOut(td, writer, doc, entries, count);
    count = std::max(1, count);
    QPainter p(&writer);
    QFont footer(kFont);
    footer.setPointSizeF(9);
    for (int i = 0; i < count; ++i) {
        if (i > 0) writer.newPage();
        p.save();
        p.translate(0, -i * page.height());
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = QRectF(0, i * page.height(), page.width(), page.height());
        p.setClipRect(ctx.clip);
        td.documentLayout()->draw(&p, ctx);
        p.restore();
        p.setFont(footer);
        p.drawText(QRectF(0, page.height(), page.width(), kFooter), Qt::AlignHCenter | Qt::AlignBottom,
                   QString::number(i + 1));
    }
    p.end();
    if (pages) *pages = count;
    return buffer.data();
}

QByteArray WriteOdt(const TextDoc& doc, const QList<Entry>& entries, int pages);

}  // namespace

QByteArray RenderDocPdf(const TextDoc& doc, int* pages) {
    QList<Entry> entries = ContentEntries(doc);
    return DrawPdf(doc, entries, pages);
}

DocFiles RenderDoc(const TextDoc& doc) {
    DocFiles f;
    QList<Entry> entries = ContentEntries(doc);
    f.pdf = DrawPdf(doc, entries, &f.pages);
    f.odt = WriteOdt(doc, entries, f.pages);
    return f;
}

// ------------------------------------------------------------------ the ODT

namespace {

QString Esc(const QString& t) { return t.toHtmlEscaped(); }

// CRC-32 of the zip format (polynomial 0xEDB88320).
quint32 Crc32(const QByteArray& data) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (const char b : data) c = table[(c ^ static_cast<quint8>(b)) & 0xFFu] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// A zip of stored (uncompressed) entries, as ODF readers take them.
class StoredZip {
public:
    void add(const QString& name, const QByteArray& data) {
        const QByteArray n = name.toUtf8();
        const quint32 crc = Crc32(data), offset = static_cast<quint32>(out_.size());
        auto header = [&](QByteArray& to, bool central) {
            put32(to, central ? 0x02014b50u : 0x04034b50u);
            if (central) put16(to, 20);  // made by
            put16(to, 20);               // needed to extract
            put16(to, 0x0800);           // UTF-8 names
            put16(to, 0);                // stored
            put16(to, 0);                // time
            put16(to, 0x21);             // date: 1980-01-01
            put32(to, crc);
            put32(to, static_cast<quint32>(data.size()));
            put32(to, static_cast<quint32>(data.size()));
            put16(to, static_cast<quint16>(n.size()));
            put16(to, 0);  // extra
            if (central) {
                put16(to, 0);  // comment
                put16(to, 0);  // disk
                put16(to, 0);  // internal attributes
                put32(to, 0);  // external attributes
                put32(to, offset);
            }
            to += n;
        };
        header(out_, false);
        out_ += data;
        header(central_, true);
        ++count_;
    }
    QByteArray finish() {
        QByteArray z = out_;
        const quint32 at = static_cast<quint32>(z.size());
        z += central_;
        put32(z, 0x06054b50u);
        put16(z, 0);
        put16(z, 0);
        put16(z, count_);
        put16(z, count_);
        put32(z, static_cast<quint32>(central_.size()));
        put32(z, at);
        put16(z, 0);
        return z;
    }

private:
    static void put16(QByteArray& b, quint16 v) {
        b.append(static_cast<char>(v & 0xFF));
        b.append(static_cast<char>(v >> 8));
    }
    static void put32(QByteArray& b, quint32 v) {
        put16(b, static_cast<quint16>(v & 0xFFFF));
        put16(b, static_cast<quint16>(v >> 16));
    }
    QByteArray out_, central_;
    quint16 count_ = 0;
};

const char kNamespaces[] =
    "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
    "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
    "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
    "xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
    "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
    "xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\" "
    "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" office:version=\"1.2\"";

QByteArray StylesXml() {
    const QString s =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-styles %1><office:font-face-decls/>"
            "<office:styles>"
            "<style:default-style style:family=\"paragraph\"><style:text-properties style:font-name=\"DejaVu Serif\" "
            "fo:font-family=\"'DejaVu Serif'\" fo:font-size=\"11pt\" fo:language=\"ru\" fo:country=\"RU\"/>"
            "</style:default-style>"
            "<style:style style:name=\"Standard\" style:family=\"paragraph\" style:class=\"text\">"
            "<style:paragraph-properties fo:margin-bottom=\"0.15cm\" fo:text-align=\"justify\"/></style:style>"
            "<style:style style:name=\"Heading_20_1\" style:display-name=\"Heading 1\" style:family=\"paragraph\" "
            "style:parent-style-name=\"Standard\" style:default-outline-level=\"1\" style:class=\"text\">"
            "<style:paragraph-properties fo:break-before=\"page\" fo:margin-bottom=\"0.3cm\" fo:text-align=\"start\"/>"
            "<style:text-properties fo:font-size=\"14pt\" fo:font-weight=\"bold\"/></style:style>"
            "<style:style style:name=\"Heading_20_2\" style:display-name=\"Heading 2\" style:family=\"paragraph\" "
            "style:parent-style-name=\"Standard\" style:default-outline-level=\"2\" style:class=\"text\">"
            "<style:paragraph-properties fo:margin-top=\"0.3cm\" fo:margin-bottom=\"0.2cm\" fo:text-align=\"start\"/>"
            "<style:text-properties fo:font-size=\"12pt\" fo:font-weight=\"bold\"/></style:style>"
            "<style:style style:name=\"Table_20_Contents\" style:display-name=\"Table Contents\" "
            "style:family=\"paragraph\" "
            "style:parent-style-name=\"Standard\"><style:paragraph-properties fo:text-align=\"start\" "
            "fo:margin-bottom=\"0cm\"/>"
            "<style:text-properties fo:font-size=\"8pt\"/></style:style>"
            "<style:style style:name=\"Caption\" style:family=\"paragraph\" style:parent-style-name=\"Standard\">"
            "<style:paragraph-properties fo:text-align=\"center\"/><style:text-properties "
            "fo:font-size=\"10pt\"/></style:style>"
            "<style:style style:name=\"Footer\" style:family=\"paragraph\" style:parent-style-name=\"Standard\">"
            "<style:paragraph-properties fo:text-align=\"center\"/><style:text-properties "
            "fo:font-size=\"9pt\"/></style:style>"
            "</office:styles>"
            "<office:automatic-styles><style:page-layout style:name=\"pm1\"><style:page-layout-properties "
            "fo:page-width=\"21cm\" fo:page-height=\"29.7cm\" fo:margin-top=\"2cm\" fo:margin-bottom=\"1.5cm\" "
            "fo:margin-left=\"3cm\" fo:margin-right=\"1.5cm\" style:print-orientation=\"portrait\"/>"
            "<style:footer-style><style:header-footer-properties fo:min-height=\"0.6cm\"/></style:footer-style>"
            "</style:page-layout></office:automatic-styles>"
            "<office:master-styles><style:master-page style:name=\"Standard\" style:page-layout-name=\"pm1\">"
            "<style:footer><text:p text:style-name=\"Footer\"><text:page-number text:select-page=\"current\"/></text:p>"
            "</style:footer></style:master-page></office:master-styles></office:document-styles>\n")
            .arg(QString::fromLatin1(kNamespaces));
    return s.toUtf8();
}

}  // namespace

QByteArray RenderDocOdt(const TextDoc& doc) { return RenderDoc(doc).odt; }

namespace {

// The ODT, its contents naming the pages of `entries`.
// One table in ODF, its header row marked as such.
QString OdtTable(const DocBlock& b, int number) {
    const int columns = static_cast<int>(std::max<qsizetype>(1, b.header.size()));
    QString body = QStringLiteral(
                       "<table:table table:name=\"Таблица%1\" table:style-name=\"Tbl\">"
                       "<table:table-column table:number-columns-repeated=\"%2\"/>")
                       .arg(number)
                       .arg(columns);
    auto row = [&](const QStringList& cells, bool head) {
        QString r = QStringLiteral("<table:table-row>");
        for (int k = 0; k < columns; ++k)
            r += QStringLiteral(
                     "<table:table-cell table:style-name=\"Cell\" office:value-type=\"string\">"
                     "<text:p text:style-name=\"%1\">%2</text:p></table:table-cell>")
                     .arg(head ? QStringLiteral("CellHead") : QStringLiteral("Table_20_Contents"), Esc(cells.value(k)));
        return r + QStringLiteral("</table:table-row>");
    };
    if (!b.header.isEmpty())
        body += QStringLiteral("<table:table-header-rows>") + row(b.header, true) +
                QStringLiteral("</table:table-header-rows>");
    for (const QStringList& r : b.rows) body += row(r, false);
    body += QStringLiteral("</table:table>");
    return body;
}

// The text of content.xml: the blocks in ODF; `pictures` receives the pictures' names.
QString OdtBody(const TextDoc& doc, const QList<Entry>& entries, int pages, QStringList& pictures) {
    QString body;
    int tables = 0;
    bool pendingBreak = false;
    auto paragraphStyle = [&](const DocBlock& b) {
        if (pendingBreak) return QStringLiteral("PBreak");
        if (b.centred) return b.bold ? QStringLiteral("PCentreBold") : QStringLiteral("PCentre");
        if (b.right) return QStringLiteral("PRight");
        return b.bold ? QStringLiteral("PBold") : QStringLiteral("Standard");
    };
    for (const DocBlock& b : doc.blocks) {
        switch (b.kind) {
        case DocBlock::PageBreak: pendingBreak = true; break;
        case DocBlock::Heading:
            body += QStringLiteral("<text:h text:style-name=\"Heading_20_%1\" text:outline-level=\"%1\">%2</text:h>")
                        .arg(b.level)
                        .arg(Esc(b.text));
            pendingBreak = false;
            break;
        case DocBlock::Paragraph:
            body += QStringLiteral("<text:p text:style-name=\"%1\">%2</text:p>")
                        .arg(paragraphStyle(b), Esc(WithPages(b.text, pages)));
            pendingBreak = false;
            break;
        case DocBlock::Contents: {
            body += QStringLiteral(
                        "<text:table-of-content text:name=\"Содержание\"><text:table-of-content-source "
                        "text:outline-level=\"2\"><text:index-title-template>СОДЕРЖАНИЕ</text:index-title-template>"
                        "</text:table-of-content-source><text:index-body><text:index-title text:name=\"Содержание\">"
                        "<text:p text:style-name=\"%1\">СОДЕРЖАНИЕ</text:p></text:index-title>")
                        .arg(pendingBreak ? QStringLiteral("PBreakCentre") : QStringLiteral("PCentreBold"));
            for (const Entry& e : entries)
                body += QStringLiteral("<text:p text:style-name=\"Contents%1\">%2<text:tab/>%3</text:p>")
                            .arg(e.level)
                            .arg(Esc(e.text))
                            .arg(e.page);
            body += QStringLiteral("</text:index-body></text:table-of-content>");
            pendingBreak = false;
            break;
        }
        case DocBlock::Table: {
            if (!b.text.isEmpty())
                body += QStringLiteral("<text:p text:style-name=\"%1\">%2</text:p>")
                            .arg(pendingBreak ? QStringLiteral("PBreak") : QStringLiteral("Standard"), Esc(b.text));
            pendingBreak = false;
            body += OdtTable(b, ++tables);
            break;
        }
        case DocBlock::Figure: {
            const QString name = QStringLiteral("Pictures/figure%1.png").arg(pictures.size() + 1);
            pictures.append(name);
            const double w = 16.0, h = w * b.image.height() / std::max(1, b.image.width());
            body += QStringLiteral(
                        "<text:p text:style-name=\"%1\"><draw:frame draw:name=\"Рисунок%2\" "
                        "text:anchor-type=\"as-char\" svg:width=\"%3cm\" svg:height=\"%4cm\">"
                        "<draw:image xlink:href=\"%5\" xlink:type=\"simple\" xlink:show=\"embed\" "
                        "xlink:actuate=\"onLoad\"/></draw:frame></text:p>"
                        "<text:p text:style-name=\"Caption\">%6</text:p>")
                        .arg(pendingBreak ? QStringLiteral("PBreakCentre") : QStringLiteral("PCentre"))
                        .arg(pictures.size())
                        .arg(w, 0, 'f', 2)
                        .arg(h, 0, 'f', 2)
                        .arg(name, Esc(b.text));
            pendingBreak = false;
            break;
        }
        }
    }
    return body;
}

// The paragraph, table and cell styles of the body.
QString OdtAutomaticStyles() {
    return QStringLiteral(
        "<office:automatic-styles>"
        "<style:style style:name=\"PBold\" style:family=\"paragraph\" style:parent-style-name=\"Standard\">"
        "<style:text-properties fo:font-weight=\"bold\"/></style:style>"
        "<style:style style:name=\"PCentre\" style:family=\"paragraph\" style:parent-style-name=\"Standard\">"
        "<style:paragraph-properties fo:text-align=\"center\"/></style:style>"
        "<style:style style:name=\"PCentreBold\" style:family=\"paragraph\" style:parent-style-name=\"Standard\">"
        "<style:paragraph-properties fo:text-align=\"center\"/><style:text-properties "
        "fo:font-weight=\"bold\"/></style:style>"
        "<style:style style:name=\"PRight\" style:family=\"paragraph\" style:parent-style-name=\"Standard\">"
        "<style:paragraph-properties fo:text-align=\"end\"/></style:style>"
        "<style:style style:name=\"PBreak\" style:family=\"paragraph\" style:parent-style-name=\"Standard\">"
        "<style:paragraph-properties fo:break-before=\"page\"/></style:style>"
        "<style:style style:name=\"PBreakCentre\" style:family=\"paragraph\" style:parent-style-name=\"Standard\">"
        "<style:paragraph-properties fo:break-before=\"page\" fo:text-align=\"center\"/>"
        "<style:text-properties fo:font-weight=\"bold\"/></style:style>"
        "<style:style style:name=\"Contents1\" style:family=\"paragraph\" style:parent-style-name=\"Standard\">"
        "<style:paragraph-properties><style:tab-stops><style:tab-stop style:position=\"16.5cm\" style:type=\"right\" "
        "style:leader-style=\"dotted\" "
        "style:leader-text=\".\"/></style:tab-stops></style:paragraph-properties></style:style>"
        "<style:style style:name=\"Contents2\" style:family=\"paragraph\" style:parent-style-name=\"Contents1\">"
        "<style:paragraph-properties fo:margin-left=\"0.6cm\"/></style:style>"
        "<style:style style:name=\"CellHead\" style:family=\"paragraph\" style:parent-style-name=\"Table_20_Contents\">"
        "<style:text-properties fo:font-weight=\"bold\"/></style:style>"
        "<style:style style:name=\"Tbl\" style:family=\"table\"><style:table-properties style:width=\"16.5cm\" "
        "table:align=\"margins\" fo:margin-bottom=\"0.2cm\"/></style:style>"
        "<style:style style:name=\"Cell\" style:family=\"table-cell\"><style:table-cell-properties "
        "fo:padding=\"0.05cm\" "
        "fo:border=\"0.5pt solid #000000\"/></style:style>"
        "</office:automatic-styles>");
}

QByteArray WriteOdt(const TextDoc& doc, const QList<Entry>& entries, int pages) {
    QStringList pictures;
    const QString body = OdtBody(doc, entries, pages, pictures);
    const QString automatic = OdtAutomaticStyles();
    const QString content = QStringLiteral(
                                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content %1>"
                                "%2<office:body><office:text>%3</office:text></office:body>"
                                "</office:document-content>\n")
                                .arg(QString::fromLatin1(kNamespaces), automatic, body);
    const QString meta = QStringLiteral(
                             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-meta %1>"
                             "<office:meta><dc:title>%2</dc:title><meta:generator>Kalvaro</meta:generator>"
                             "</office:meta></office:document-meta>\n")
                             .arg(QString::fromLatin1(kNamespaces), Esc(doc.title));
    QString manifest = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<manifest:manifest "
        "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.2\">"
        "<manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\" "
        "manifest:media-type=\"application/vnd.oasis.opendocument.text\"/>"
        "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
        "<manifest:file-entry manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>"
        "<manifest:file-entry manifest:full-path=\"meta.xml\" manifest:media-type=\"text/xml\"/>");
    for (const QString& p : pictures)
        manifest +=
            QStringLiteral("<manifest:file-entry manifest:full-path=\"%1\" manifest:media-type=\"image/png\"/>").arg(p);
    manifest += QStringLiteral("</manifest:manifest>\n");

    StoredZip zip;
    zip.add(QStringLiteral("mimetype"), QByteArrayLiteral("application/vnd.oasis.opendocument.text"));
    zip.add(QStringLiteral("content.xml"), content.toUtf8());
    zip.add(QStringLiteral("styles.xml"), StylesXml());
    zip.add(QStringLiteral("meta.xml"), meta.toUtf8());
    int figure = 0;
    for (const DocBlock& b : doc.blocks) {
        if (b.kind != DocBlock::Figure) continue;
        QByteArray png;
        QBuffer buf(&png);
        buf.open(QIODevice::WriteOnly);
        b.image.save(&buf, "PNG");
        zip.add(pictures[figure++], png);
    }
    zip.add(QStringLiteral("META-INF/manifest.xml"), manifest.toUtf8());
    return zip.finish();
}

}  // namespace

}  // namespace report
