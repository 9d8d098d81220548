#pragma once
// A text document of headings, paragraphs, tables and pictures, and its two forms: an
// editable ODT (written here: headings with their outline level, so a word processor's
// navigation and table of contents see them) and a PDF (laid out by Qt's text engine, A4, the
// page number in the footer). The technical report is made of one.

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace report {

struct DocBlock {
    enum Kind { Heading, Paragraph, Table, Figure, PageBreak, Contents };
    Kind kind = Paragraph;
    int level = 1;                                      // Heading: 1 or 2
    QString text;                                       // Heading, Paragraph; Figure: its caption; Table: its caption
    bool bold = false, centred = false, right = false;  // Paragraph
    QStringList header;                                 // Table
    QList<QStringList> rows;                            // Table
    QImage image;                                       // Figure
};

struct TextDoc {
    QString title;  // the document's title (PDF and ODT metadata)
    QList<DocBlock> blocks;

    void heading(const QString& text, int level = 1);
    void paragraph(const QString& text, bool bold = false, bool centred = false, bool right = false);
    void table(const QString& caption, const QStringList& header, const QList<QStringList>& rows);
    void figure(const QImage& image, const QString& caption);
    void pageBreak();
    void contents();  // the table of contents (headings of level 1 and 2 with their pages)

    int count(DocBlock::Kind kind) const;
};

// The PDF: A4 portrait, the headings of the contents with the pages they fall on, "N" in
// the footer of every page. `pages` receives the page count.
QByteArray RenderDocPdf(const TextDoc& doc, int* pages = nullptr);
// The ODT: content.xml, styles.xml, meta.xml, the manifest and the pictures, in a zip whose
// first entry is the uncompressed mimetype; the contents name the pages of the PDF's layout.
QByteArray RenderDocOdt(const TextDoc& doc);
// Both at once, laid out once for both.
struct DocFiles {
    QByteArray pdf, odt;
    int pages = 0;
};
DocFiles RenderDoc(const TextDoc& doc);
// Written in a paragraph, it becomes the document's page count.
inline const QString kPagesToken = QStringLiteral("{страниц}");

}  // namespace report
