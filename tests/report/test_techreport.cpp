// The technical report of the demo school, from the command line: the ODT is a real ODF text
// (mimetype first and stored, headings with their outline level) that LibreOffice opens; the
// PDF's abstract names its own pages and figures; its numbers are those of the results files.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "core/names.h"
#include "core/textfile.h"
#include "report/techreport.h"
#include "support/xlsxread.h"

namespace {

QString RunProgram(const QString& program, const QStringList& args,
                   const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(), int* code = nullptr) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(120000);
    if (code) *code = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int Pages(const QString& pdf) {
    return QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
        .match(RunProgram(QStringLiteral("pdfinfo"), {pdf}))
        .captured(1)
        .toInt();
}

}  // namespace

TEST(TechReport, TheDemoSchoolsReportAsOdtAndPdf) {
    QTemporaryDir dir;
    const QString from = QStringLiteral(KALVARO_SOURCE_DIR "/demo");
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        const QString to = core::JoinPath(dir.path(), QDir(from).relativeFilePath(f));
        QDir().mkpath(QFileInfo(to).path());
        QFile::copy(f, to);
    }
    const QString school = core::JoinPath(dir.path(), QStringLiteral("Все объекты/Котельная школы №3"));
    int code = -1;
    const QString out = RunProgram(QStringLiteral(KALVARO_CLI), {QStringLiteral("techreport"), school},
                                   QProcessEnvironment::systemEnvironment(), &code);
    ASSERT_EQ(code, 0) << out.toStdString();
    const QString odt = core::JoinPath(school, report::kTechReportOdt),
                  pdf = core::JoinPath(school, report::kTechReportPdf);

    // the ODT: mimetype first, stored, then content with real headings, tables and pictures
    QByteArray bytes;
    ASSERT_TRUE(core::ReadDataFile(odt, bytes));
    EXPECT_EQ(bytes.mid(30, 47), QByteArray("mimetypeapplication/vnd.oasis.opendocument.text"));
    const QString content = QString::fromUtf8(testing_support::ZipPart(odt, QStringLiteral("content.xml")));
    for (const QString& h : {QStringLiteral("ВВЕДЕНИЕ"), QStringLiteral("3 Результаты испытаний"),
                             QStringLiteral("ЗАКЛЮЧЕНИЕ"), QStringLiteral("ПРИЛОЖЕНИЕ А. Режимная карта")})
        EXPECT_TRUE(content.contains(QStringLiteral("text:outline-level=\"1\">") + h + QStringLiteral("</text:h>")))
            << h.toStdString();
    EXPECT_TRUE(content.contains(QStringLiteral("<table:table ")));
    EXPECT_TRUE(testing_support::ZipParts(odt).contains(QStringLiteral("Pictures/figure1.png")));

    // the PDF: the abstract counts the document itself; the numbers of the results files
    const int pages = Pages(pdf);
    ASSERT_GT(pages, 10);
    const QString text = RunProgram(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    const QRegularExpressionMatch abstract =
        QRegularExpression(QStringLiteral("Отчет (\\d+) с\\., (\\d+) рис\\., (\\d+) табл\\., 4 прил\\.")).match(text);
    ASSERT_TRUE(abstract.hasMatch());
    EXPECT_EQ(abstract.captured(1).toInt(), pages);
    QSet<QString> figures;
    for (const auto& m : QRegularExpression(QStringLiteral("Рисунок (\\d+) —")).globalMatch(text))
        figures.insert(m.captured(1));
    EXPECT_EQ(figures.size(), abstract.captured(2).toInt());
    QStringList results;
    ASSERT_TRUE(core::ReadTextLines(core::JoinPath(school, QStringLiteral("РасчетРежим №  5.Dat")), results));
    EXPECT_TRUE(text.contains(QString(results[4]).replace(u'.', u',')))
        << results[4].toStdString();  // its gross efficiency
    EXPECT_TRUE(text.contains(QStringLiteral("уставку O2 = ")));
    // the contents name the page each section starts on
    const QString layout =
        RunProgram(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    const QRegularExpressionMatch toc = QRegularExpression(QStringLiteral("ЗАКЛЮЧЕНИЕ +(\\d+)\\n")).match(layout);
    ASSERT_TRUE(toc.hasMatch());
    const QString page = RunProgram(
        QStringLiteral("pdftotext"),
        {QStringLiteral("-f"), toc.captured(1), QStringLiteral("-l"), toc.captured(1), pdf, QStringLiteral("-")});
    EXPECT_TRUE(page.contains(QStringLiteral("ЗАКЛЮЧЕНИЕ")));

    // LibreOffice opens the ODT and makes a PDF of it with the same sections
    QTemporaryDir profile, converted;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), profile.path());
    RunProgram(QStringLiteral("soffice"),
               {QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                QStringLiteral("--outdir"), converted.path(), odt},
               env);
    const QString lo = core::JoinPath(converted.path(), QFileInfo(odt).completeBaseName() + QStringLiteral(".pdf"));
    ASSERT_TRUE(QFile::exists(lo)) << "LibreOffice did not convert the ODT";
    EXPECT_GT(Pages(lo), 10);
    const QString loText = RunProgram(QStringLiteral("pdftotext"), {lo, QStringLiteral("-")});
    for (const QString& h : {QStringLiteral("РЕФЕРАТ"), QStringLiteral("4 Выбросы"), QStringLiteral("ЗАКЛЮЧЕНИЕ")})
        EXPECT_TRUE(loText.contains(h)) << h.toStdString();
    EXPECT_TRUE(loText.contains(QString(results[4]).replace(u'.', u',')));
}
