#include "support/xlsxread.h"

#include <QProcess>
#include <QXmlStreamReader>

namespace testing_support {

namespace {

QByteArray Run(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("unzip"), args);
    p.waitForFinished(30000);
    return p.readAllStandardOutput();
}

}  // namespace

QStringList ZipParts(const QString& zip) {
    QStringList parts;
    for (const QByteArray& line : Run({QStringLiteral("-Z1"), zip}).split('\n'))
        if (!line.trimmed().isEmpty()) parts.append(QString::fromUtf8(line.trimmed()));
    return parts;
}

QByteArray ZipPart(const QString& zip, const QString& part) { return Run({QStringLiteral("-p"), zip, part}); }

QMap<QString, SheetCell> ReadSheet(const QString& xlsx, int sheet) {
    QStringList shared;
    {
        QXmlStreamReader x(ZipPart(xlsx, QStringLiteral("xl/sharedStrings.xml")));
        QString current;
        bool inSi = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == u"si") {
                inSi = true;
                current.clear();
            } else if (x.isStartElement() && x.name() == u"t" && inSi) {
                current += x.readElementText();
            } else if (x.isEndElement() && x.name() == u"si") {
                shared.append(current);
                inSi = false;
            }
        }
    }
    QMap<QString, SheetCell> cells;
    QXmlStreamReader x(ZipPart(xlsx, QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheet)));
    QString ref, type;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == u"c") {
            ref = x.attributes().value(QStringLiteral("r")).toString();
            type = x.attributes().value(QStringLiteral("t")).toString();
        } else if (x.isStartElement() && x.name() == u"v") {
            const QString v = x.readElementText();
            SheetCell c;
            c.number = type.isEmpty() || type == u"n";
            c.value = c.number ? v.toDouble() : 0.0;
            c.text = type == u"s" ? shared.value(v.toInt()) : v;
            cells.insert(ref, c);
        }
    }
    return cells;
}

QMap<QString, QString> SheetCells(const QString& xlsx, int sheet) {
    QMap<QString, QString> texts;
    const QMap<QString, SheetCell> cells = ReadSheet(xlsx, sheet);
    for (auto it = cells.begin(); it != cells.end(); ++it) texts.insert(it.key(), it.value().text);
    return texts;
}

QString CellRef(int column, int row) {
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26) letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

}  // namespace testing_support
