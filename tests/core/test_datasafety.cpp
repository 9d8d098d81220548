// Data files under faults: a full disk, failing steps of the atomic write, links, FIFOs,
// folders and devices in place of data files, numbers beyond the float range, huge files.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <cfloat>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/startup.h"
#include "core/ini.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "results/graphpainter.h"
#include "results/plotter.h"
#include "results/xlsxexport.h"
#include "support/filesizelimit.h"
#include "support/testdirs.h"

using testing_support::FileSizeLimit;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

namespace {

// Files of a folder, hidden ones included (a left temporary file would show here).
QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}


struct HookGuard {
    explicit HookGuard(core::WriteFaultHook h) { core::SetWriteFaultHook(std::move(h)); }
    ~HookGuard() { core::SetWriteFaultHook({}); }
};

class DataFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return core::JoinPath(dir.path(), name); }
};

}  // namespace

TEST_F(DataFiles, FullDiskKeepsTheOldFileAndSaysSo) {
    const QString file = path("РасчетРежим №  1.Dat");
    WriteBytes(file, "old\r\n");
    const QByteArray big(64 * 1024, 'x');
    QString error;
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(core::WriteFileAtomic(file, big, &error));
    }
    EXPECT_EQ(ReadBytes(file), QByteArray("old\r\n"));
    EXPECT_EQ(Entries(dir.path()), QStringList{"РасчетРежим №  1.Dat"});  // no temporary file left
    EXPECT_TRUE(error.startsWith(file)) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("превышен допустимый размер файла"))) << error.toStdString();
    // and the same bytes go through once there is room
    EXPECT_TRUE(core::WriteFileAtomic(file, big, &error));
    EXPECT_EQ(ReadBytes(file), big);
}

TEST_F(DataFiles, EveryFailingStepOfAWriteKeepsTheOldBytes) {
    const QString file = path("OData.txt");
    WriteBytes(file, "\"old\"\r\n");
    const struct {
        const char* step;
        int err;
        const char* text;
    } cases[] = {
        {"open", EROFS, "только для чтения"},  // a read-only folder or medium
        {"open", EACCES, "нет прав доступа"},
        {"write", ENOSPC, "нет места на диске"},
        {"sync", EIO, "ошибка ввода-вывода"},
        {"close", EDQUOT, "дисковая квота"},
        {"rename", ENOENT, "не найдены"},  // the folder went away mid-command
    };
    for (const auto& c : cases) {
        HookGuard guard([&](const char* step) { return std::string_view(step) == c.step ? c.err : 0; });
        QString error;
        EXPECT_FALSE(core::WriteTextLines(file, {"\"new\""}, &error)) << c.step;
        EXPECT_EQ(ReadBytes(file), QByteArray("\"old\"\r\n")) << c.step;
        EXPECT_EQ(Entries(dir.path()), QStringList{"OData.txt"}) << c.step;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.text))) << c.step << " " << error.toStdString();
        EXPECT_TRUE(error.startsWith(file)) << c.step;
    }
}

TEST_F(DataFiles, AWriteIntoAMissingFolderFails) {
    QString error;
    EXPECT_FALSE(core::WriteTextLines(path("gone/Col_R.txt"), {" 1"}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("не найдены"))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("gone")));
}

TEST_F(DataFiles, ReplacingKeepsPermissionsAndFindsTheNameWhateverItsCase) {
    const QString file = path("ODATA.TXT");
    WriteBytes(file, "x");
    ::chmod(QFile::encodeName(file).constData(), 0640);
    ASSERT_TRUE(core::WriteTextLines(path("OData.txt"), {"y"}));
    EXPECT_EQ(Entries(dir.path()), QStringList{"ODATA.TXT"});  // replaced, not doubled
    EXPECT_EQ(ReadBytes(file), QByteArray("y\r\n"));
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    QStringList lines;
    ASSERT_TRUE(core::ReadTextLines(path("odata.txt"), lines));
    EXPECT_EQ(lines, QStringList{"y"});
}

TEST_F(DataFiles, LinksFifosFoldersAndDevicesAreRefusedNamingThem) {
    QTemporaryDir outside;
    const QString victim = core::JoinPath(outside.path(), "victim.txt");
    WriteBytes(victim, "outside\r\n");
    const QString link = path("РасчетРежим №  1.Dat");
    ASSERT_TRUE(QFile::link(victim, link));
    const QString fifo = path("Col_RAll.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    QDir().mkdir(path("OData.txt"));
    const QString device = "/dev/null";

    QString error;
    QStringList lines;
    EXPECT_FALSE(core::ReadTextLines(link, lines, &error));
    EXPECT_TRUE(error.startsWith(link) && error.contains(QStringLiteral("символическая ссылка"))) << error.toStdString();
    EXPECT_FALSE(core::WriteTextLines(link, {"1"}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("символическая ссылка"))) << error.toStdString();
    EXPECT_EQ(ReadBytes(victim), QByteArray("outside\r\n"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    // a FIFO neither blocks the reader nor is written through
    EXPECT_FALSE(core::ReadTextLines(fifo, lines, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("канал (FIFO)"))) << error.toStdString();
    EXPECT_FALSE(core::WriteTextLines(fifo, {" 1"}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("канал (FIFO)")));

    EXPECT_FALSE(core::ReadTextLines(path("OData.txt"), lines, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("это папка")));
    EXPECT_FALSE(core::WriteTextLines(path("OData.txt"), {"x"}, &error));
    EXPECT_TRUE(QFileInfo(path("OData.txt")).isDir());

    EXPECT_FALSE(core::ReadTextLines(device, lines, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("устройство"))) << error.toStdString();
}

TEST_F(DataFiles, ReadersStopAtTheLinesTheirFormatNeeds) {
    // 16 MB of bare line breaks: a fixed-length reader takes its lines, a list reader refuses
    const QString file = path("OData.txt");
    WriteBytes(file, QByteArray(core::kMaxTextFileSize, '\n'));
    QStringList values;
    EXPECT_TRUE(core::ReadQuotedFile(file, 19, values));
    EXPECT_EQ(values.size(), 19);
    // a number file has exactly its lines: the rest is counted and named, not ignored
    float numbers[43];
    QString error;
    EXPECT_FALSE(core::ReadNumberFile(file, numbers, 43, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("в файле %1 строк, нужно 43").arg(core::kMaxTextFileSize)))
        << error.toStdString();
    QStringList lines;
    EXPECT_FALSE(core::ReadTextLines(file, lines, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("слишком много строк")));
    EXPECT_TRUE(lines.isEmpty());
    WriteBytes(file, QByteArray(core::kMaxTextFileSize + 1, 'x'));
    EXPECT_FALSE(core::ReadQuotedFile(file, 19, values, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("слишком велик")));
}

TEST_F(DataFiles, NumberFilesRefuseValuesBeyondTheFloatRange) {
    const QString file = path("Режим №  1.Dat");
    float v[3];
    QString error;
    WriteBytes(file, "1.5\r\n-.2\n3\r\n");
    ASSERT_TRUE(core::ReadNumberFile(file, v, 3, &error));
    EXPECT_EQ(v[0], 1.5f);
    EXPECT_EQ(v[1], -0.2f);
    EXPECT_EQ(v[2], 3.0f);
    // a line that holds no number is a read error naming it, never a 0
    WriteBytes(file, "1.5\r\n-.2\nabc\r\n");
    EXPECT_FALSE(core::ReadNumberFile(file, v, 3, &error));
    EXPECT_TRUE(error.contains(file + QStringLiteral(": строка 3: «abc» — не число"))) << error.toStdString();
    WriteBytes(file, "1\r\n2\r\n");
    EXPECT_FALSE(core::ReadNumberFile(file, v, 3, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("в файле 2 строк, нужно 3"))) << error.toStdString();
    for (const char* big : {"1e39", "-3.5e38", "1e400", "9999999999999999999999999999999999999999"}) {
        WriteBytes(file, QByteArray("1\r\n") + big + "\r\n3\r\n");
        EXPECT_FALSE(core::ReadNumberFile(file, v, 3, &error)) << big;
        EXPECT_TRUE(error.contains(QStringLiteral("строка 2"))) << error.toStdString();
        EXPECT_TRUE(error.startsWith(file));
    }
    // the largest float and a vanishing value are numbers
    WriteBytes(file, "3.402823E+38\r\n1e-400\r\n1e-50\r\n");
    ASSERT_TRUE(core::ReadNumberFile(file, v, 3, &error)) << error.toStdString();
    EXPECT_EQ(v[0], 3.402823e38f);
    EXPECT_EQ(v[1], 0.0f);
    EXPECT_EQ(v[2], 0.0f);
}

TEST(CheckedNumbers, FloatRangeAndWholeNumbers) {
    float f = 1;
    EXPECT_TRUE(core::ToFloatChecked(FLT_MAX, f));
    EXPECT_FALSE(core::ToFloatChecked(3.5e38, f));
    EXPECT_FALSE(core::ToFloatChecked(-1e300, f));
    EXPECT_FALSE(core::ParseEditorFloat(" 1 e 39", f));
    EXPECT_TRUE(core::ParseEditorFloat(" 1 2.5", f));
    EXPECT_EQ(f, 12.5f);
    double d = 0;
    EXPECT_TRUE(core::ParseWholeNumber(" 33.5 ", d));
    EXPECT_EQ(d, 33.5);
    EXPECT_TRUE(core::ParseWholeNumber("-1.5E+02", d));
    EXPECT_EQ(d, -150);
    for (const char* bad : {"", "  ", "33,5", "1e", "12abc", "..5", "1e999"})
        EXPECT_FALSE(core::ParseWholeNumber(bad, d)) << bad;
}

TEST(CheckedNumbers, StoredFormIsShortestAndLocaleFree) {
    // the stored form reads back as the same float, with at most 7 significant digits
    for (float v : {627.78f, 0.1f, -0.2f, 1.0f / 3.0f, 16777217.0f, 1.5e-5f, 3.4028235e38f, 1e-45f, 100.0f}) {
        const std::string s = core::FormatStored(v);
        float back = 0;
        ASSERT_TRUE(core::ParseStoredFloat(s, back)) << s;
        const size_t digits = std::count_if(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
        EXPECT_LE(digits, 9u) << s;
        if (v == 627.78f) {
            EXPECT_EQ(s, "627.78");
        } else if (v == 0.1f) {
            EXPECT_EQ(s, "0.1");
        } else if (v == 1.5e-5f) {
            EXPECT_EQ(s, "1.5E-05");
        } else if (v == 100.0f) {
            EXPECT_EQ(s, "100");
        }
        if (v == 1.0f / 3.0f) {
            EXPECT_EQ(s, "0.3333333");
        } else if (v != 1e-45f && v != 16777217.0f && v != 3.4028235e38f) {
            EXPECT_EQ(back, v) << s;
        }
    }
}

TEST(GraphRanges, ExtremeValuesNeverGiveNanOrInfinityOnTheScale) {
    results::GraphData d;
    d.x = {-3.4e38f, 3.4e38f};
    d.y = {FLT_MAX, -FLT_MAX};
    d.regimes = {"a", "b"};
    const results::Ranges r = results::ComputeRanges(d, 400, 300);
    EXPECT_TRUE(std::isfinite(r.upperX) && std::isfinite(r.lowerX) && std::isfinite(r.scaleX));
    EXPECT_TRUE(std::isfinite(r.upperY) && std::isfinite(r.lowerY) && std::isfinite(r.scaleY));
    for (const QString& t : results::ScaleValuesX(r, QLocale::c()) + results::ScaleValuesY(r, QLocale::c())) {
        EXPECT_FALSE(t.contains("nan", Qt::CaseInsensitive)) << t.toStdString();
        EXPECT_FALSE(t.contains("inf", Qt::CaseInsensitive)) << t.toStdString();
    }
}

TEST_F(DataFiles, IniWriteLeavesAFileItCannotRead) {
    const QString ini = path("ComPort.ini");
    QByteArray big;
    for (int i = 0; i < core::kMaxTextLines + 10; ++i) big += "; comment\r\n";
    WriteBytes(ini, big);
    EXPECT_FALSE(core::WriteIni(ini, "Port", "Speed", "9600"));
    EXPECT_EQ(ReadBytes(ini), big);
    QFile::remove(ini);
    // a missing file starts empty, as before
    EXPECT_TRUE(core::WriteIni(ini, "Port", "Speed", "9600"));
    EXPECT_EQ(core::ReadIni(ini, "port", "SPEED", "?"), "9600");
    // a link in its place is neither read nor replaced
    QTemporaryDir outside;
    const QString target = core::JoinPath(outside.path(), "other.ini");
    WriteBytes(target, "[Port]\r\nSpeed=1200\r\n");
    const QString link = path("Link.ini");
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_FALSE(core::WriteIni(link, "Port", "Speed", "9600"));
    EXPECT_EQ(ReadBytes(target), QByteArray("[Port]\r\nSpeed=1200\r\n"));
}

TEST_F(DataFiles, ExportsTakeNoNameBesideTheTarget) {
    const QString book = path("График.xlsx");
    const QString part = book + ".part";
    WriteBytes(part, "the user's own file");
    WriteBytes(book, "old workbook");
    results::GraphExport g{"Объект", "КПД", "Нагрузка", {}};
    g.data.x = {1, 2};
    g.data.y = {90, 91};
    g.data.regimes = {"Режим №  1.Dat", "Режим №  2.Dat"};
    QString error;
    ASSERT_TRUE(results::ExportGraphXlsx(book, g, &error)) << error.toStdString();
    EXPECT_EQ(ReadBytes(part), QByteArray("the user's own file"));
    EXPECT_TRUE(ReadBytes(book).startsWith("PK"));
    EXPECT_EQ(Entries(dir.path()), (QStringList{"График.xlsx", "График.xlsx.part"}));
    {
        FileSizeLimit limit(512);
        const QByteArray before = ReadBytes(book);
        EXPECT_FALSE(results::ExportGraphXlsx(book, g, &error));
        EXPECT_EQ(ReadBytes(book), before);
        const QString png = path("График.png");
        WriteBytes(png, "old picture");
        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (int i = 0; i < 200; ++i) image.setPixel(i, (i * 7) % 200, qRgb(i, 255 - i, (i * 13) % 255));
        EXPECT_FALSE(results::SaveGraphPng(png, image, &error));
        EXPECT_EQ(ReadBytes(png), QByteArray("old picture"));
        EXPECT_TRUE(error.startsWith(png));
    }
    EXPECT_EQ(Entries(dir.path()), (QStringList{"График.png", "График.xlsx", "График.xlsx.part"}));
}

TEST_F(DataFiles, TemplateCopyFollowsNoFolderLinkAndKeepsFilesOfTheUser) {
    const QString from = path("installed");
    QDir().mkpath(core::JoinPath(from, "help"));
    WriteBytes(core::JoinPath(from, "Ediny.txt"), "units");
    WriteBytes(core::JoinPath(from, "help/index.html"), "help");
    ASSERT_TRUE(QFile::link(from, core::JoinPath(from, "loop")));  // a link to itself
    const QString to = path("user/Template");
    QDir().mkpath(to);
    WriteBytes(core::JoinPath(to, "Ediny.txt"), "mine");
    QString error;
    ASSERT_TRUE(app::CopyTemplateTree(from, to, &error)) << error.toStdString();
    EXPECT_EQ(ReadBytes(core::JoinPath(to, "Ediny.txt")), QByteArray("mine"));
    EXPECT_EQ(ReadBytes(core::JoinPath(to, "help/index.html")), QByteArray("help"));
    EXPECT_FALSE(QFileInfo::exists(core::JoinPath(to, "loop")));
    // a copy that cannot be written is reported, naming the file
    const QString blocked = path("blocked");
    WriteBytes(blocked, "a file where the folder should go");
    EXPECT_FALSE(app::CopyTemplateTree(from, core::JoinPath(blocked, "Template"), &error));
    EXPECT_TRUE(error.contains("blocked")) << error.toStdString();
}
