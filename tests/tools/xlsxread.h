#pragma once
// Reads the first sheet of a workbook back for tests: unzips the sheet XML and the shared
// strings and gives each cell ("B4") as its number or its text.

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

namespace tools_testing {

struct SheetCell {
    bool number = false;
    double value = 0;
    QString text;
};

inline QString Unzip(const QString& path, const QString& part) {
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, part});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QMap<QString, SheetCell> ReadSheet(const QString& path) {
    QStringList strings;
    QXmlStreamReader s(Unzip(path, QStringLiteral("xl/sharedStrings.xml")));
    QString current;
    bool inItem = false;
    while (!s.atEnd()) {
        s.readNext();
        if (s.isStartElement() && s.name() == u"si") {
            inItem = true;
            current.clear();
        } else if (s.isCharacters() && inItem) {
            current += s.text();
        } else if (s.isEndElement() && s.name() == u"si") {
            strings.append(current);
            inItem = false;
        }
    }
    QMap<QString, SheetCell> cells;
    QXmlStreamReader x(Unzip(path, QStringLiteral("xl/worksheets/sheet1.xml")));
    QString ref, type;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == u"c") {
            ref = x.attributes().value(QStringLiteral("r")).toString();
            type = x.attributes().value(QStringLiteral("t")).toString();
        } else if (x.isStartElement() && x.name() == u"v") {
            const QString v = x.readElementText();
            SheetCell c;
            if (type == u"s") c.text = strings.value(v.toInt());
            else if (type.isEmpty() || type == u"n") {
                c.number = true;
                c.value = v.toDouble();
            } else c.text = v;
            cells.insert(ref, c);
        }
    }
    return cells;
}

}  // namespace tools_testing
