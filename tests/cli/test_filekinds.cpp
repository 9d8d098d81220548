// Every kept file kind against every class of damage, seeded, on a copy of the demo. For each
// kind of the file table that a command reads and each damage (a line dropped, doubled or
// inserted, a non-number in a number line, an unknown choice or unit, a line cut off, UTF-8,
// LF or CR line ends only, NUL bytes, a 1 MB line, an empty file, a folder or a FIFO in its
// place), every command that reads the kind either gives exactly what the undamaged copy
// gives, or fails (exit 1, or 3 for a failed data check) naming the damaged file; and it
// never stores anything the undamaged copy does not store. The kinds no command reads are
// held to the same rule through their reader.
//
// KALVARO_PROPERTY_SEED sets the seed (every failure prints it, so it reproduces);
// KALVARO_PROPERTY_ROUNDS the seeds per kind and damage (1 by default, about a minute here).

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "app/objectlock.h"
#include "core/filekinds.h"
#include "core/names.h"
#include "core/textfile.h"
#include "docs/documents.h"
#include "docs/safetymap.h"
#include "object/reflists.h"
#include "results/instrumentlimits.h"
#include "support/clirun.h"
#include "support/testdirs.h"
#include "tools/flamehead.h"

using testing_support::Cli;
using testing_support::CliRun;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

namespace {

const QString kObject = QStringLiteral("Котельная школы №3");
const QString kRegime = QStringLiteral("Режим №  2.Dat");
const QString kObjects = QStringLiteral("Все объекты");

enum Damage {
    DropLine,
    DoubleLine,
    InsertLine,
    NotANumber,
    UnknownChoice,
    CutMidLine,
    Utf8,
    LfOnly,
    CrOnly,
    Nul,
    LongLine,
    Empty,
    Folder,
    Fifo,
    kDamageCount
};
const char* const kDamageNames[] = {
    "line dropped", "line doubled", "line inserted", "not a number", "unknown choice or unit",
    "cut mid-line", "UTF-8",        "LF only",       "CR only",      "NUL bytes",
    "1 MB line",    "empty",        "folder",        "FIFO"};

quint32 Seed() {
    bool ok = false;
    const quint32 s = qEnvironmentVariable("KALVARO_PROPERTY_SEED").toUInt(&ok);
    return ok ? s : 20261209u;
}
int Rounds() {
    bool ok = false;
    const int r = qEnvironmentVariable("KALVARO_PROPERTY_ROUNDS").toInt(&ok);
    return ok && r > 0 ? r : 1;
}

QList<QByteArray> SplitKeepingContent(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QByteArray& l : lines)
        if (l.endsWith('\r')) l.chop(1);
    return lines;
}
QByteArray JoinCrLf(const QList<QByteArray>& lines) {
    QByteArray b;
    for (const QByteArray& l : lines) b += l + "\r\n";
    return b;
}

// The lines of a kind whose values the damage "not a number" and "unknown choice" can aim at.
QList<int> LinesOfType(const core::FileKind& kind, int count, core::ValueType type) {
    QList<int> lines;
    for (int i = 0; i < count; ++i) {
        const core::ValueType t = kind.layout == core::FileLayout::Numbers ? core::ValueType::Number
                                  : kind.lineType                          ? kind.lineType(i).type
                                                                           : core::ValueType::Text;
        if (t == type || (type == core::ValueType::Number && t == core::ValueType::Whole)) lines.append(i);
    }
    return lines;
}

// Damages the file at `path` (a kind `kind`) in place; false when this damage does not
// apply to the kind (no number line to spoil, say).
bool Apply(Damage d, const core::FileKind& kind, const QString& path, QRandomGenerator& rng) {
    const QByteArray bytes = ReadBytes(path);
    QList<QByteArray> lines = SplitKeepingContent(bytes);
    const bool quoted = kind.layout == core::FileLayout::Quoted;
    auto pick = [&](int n) { return n > 0 ? static_cast<int>(rng.bounded(n)) : 0; };
    auto wrap = [&](const QByteArray& v) { return quoted ? '"' + v + '"' : v; };
    switch (d) {
    case DropLine:
        if (lines.isEmpty()) return false;
        lines.removeAt(pick(lines.size()));
        WriteBytes(path, JoinCrLf(lines));
        return true;
    case DoubleLine: {
        if (lines.isEmpty()) return false;
        const int i = pick(lines.size());
        const QByteArray copy = lines[i];
        lines.insert(i, copy);
        WriteBytes(path, JoinCrLf(lines));
        return true;
    }
    case InsertLine:
        lines.insert(pick(lines.size() + 1), wrap("0"));
        WriteBytes(path, JoinCrLf(lines));
        return true;
    case NotANumber: {
        const QList<int> numbers = LinesOfType(kind, static_cast<int>(lines.size()), core::ValueType::Number);
        if (numbers.isEmpty()) return false;
        const int i = numbers[pick(numbers.size())];
        static const char* const spoilt[] = {"12x", "5..", "1,2,3", "1e"};
        const QByteArray bad = spoilt[pick(4)];
        if (kind.layout == core::FileLayout::Plain && kind.lineType && kind.lineType(i).type == core::ValueType::Custom)
            lines[i] = "0.5 " + bad;  // a pair of numbers, the second spoilt
        else lines[i] = wrap(bad);
        WriteBytes(path, JoinCrLf(lines));
        return true;
    }
    case UnknownChoice: {
        QList<int> choices = LinesOfType(kind, static_cast<int>(lines.size()), core::ValueType::Choice);
        QByteArray text = core::EncodeCp1251(QStringLiteral("Наклон."));
        if (kind.id == u"units") {
            choices = {0, 2, 11, 14};  // units the calculation reads
            text = core::EncodeCp1251(QStringLiteral("литров/мин"));
        } else if (kind.id == u"general") {
            choices = {6};  // the unit of the nominal output of a hot-water boiler
            text = core::EncodeCp1251(QStringLiteral("кВтт"));
        }
        if (choices.isEmpty()) return false;
        lines[choices[pick(choices.size())]] = wrap(text);
        WriteBytes(path, JoinCrLf(lines));
        return true;
    }
    case CutMidLine: {
        if (bytes.size() < 2) return false;
        // inside a line, never right at its end
        qsizetype at = 1 + pick(static_cast<int>(bytes.size() - 1));
        while (at > 1 && (bytes[at] == '\r' || bytes[at] == '\n' || bytes[at - 1] == '\r' || bytes[at - 1] == '\n'))
            --at;
        WriteBytes(path, bytes.left(at));
        return true;
    }
    case Utf8: WriteBytes(path, core::DecodeCp1251(bytes).toUtf8()); return true;
    case LfOnly: {
        QByteArray b = bytes;
        WriteBytes(path, b.replace("\r\n", "\n"));
        return true;
    }
    case CrOnly: {
        QByteArray b = bytes;
        WriteBytes(path, b.replace("\r\n", "\r"));
        return true;
    }
    case Nul: {
        QByteArray b = bytes;
        b.insert(pick(static_cast<int>(b.size()) + 1), QByteArray("\0\0", 2));
        WriteBytes(path, b);
        return true;
    }
    case LongLine:
        lines.insert(pick(lines.size() + 1), wrap(QByteArray(1024 * 1024, '7')));
        WriteBytes(path, JoinCrLf(lines));
        return true;
    case Empty: WriteBytes(path, QByteArray()); return true;
    case Folder: return QFile::remove(path) && QDir().mkdir(path);
    case Fifo: return QFile::remove(path) && ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
    case kDamageCount: break;
    }
    return false;
}

// A program folder: the demo's template and one object, the instrument limits written out
// (the demo has none: the defaults), and a lock left by an ended process of this computer,
// which every writer takes over.
void MakeHome(const QString& home) {
    const QString source = QStringLiteral(KALVARO_SOURCE_DIR "/demo");
    for (const QString& sub : {QStringLiteral("Template"), kObjects + u'/' + kObject}) {
        QDirIterator it(core::JoinPath(source, sub), QDir::Files);
        const QString to = core::JoinPath(home, sub);
        QDir().mkpath(to);
        while (it.hasNext()) {
            const QString f = it.next();
            QFile::copy(f, core::JoinPath(to, QFileInfo(f).fileName()));
        }
    }
    ASSERT_TRUE(results::WriteInstrumentLimits(core::JoinPath(home, "Template"), engine::DefaultInstrumentLimits()));
    const QString lock = QStringLiteral("computer=%1\r\nuser=test\r\npid=999999\r\ntime=01.12.2026 10:00:00\r\n")
                             .arg(app::ThisProcess().computer);
    WriteBytes(core::JoinPath(home, kObjects + u'/' + kObject + u'/' + app::kLockFileName), lock.toLatin1());
}

struct Outcome {
    int code = -1;
    QString out, err;
    QMap<QString, QByteArray> stored;  // the object's data files afterwards
};

Outcome RunCommand(const QString& command, const QString& home) {
    const QString outputs = core::JoinPath(home, QStringLiteral("out"));
    QDir().mkpath(outputs);
    const QString obj = core::JoinPath(home, kObjects + u'/' + kObject);
    QStringList args{command};
    if (command == u"objects") args << home;
    else args << obj;
    if (command == u"calc" || command == u"q5") args << kRegime;
    if (command == u"graph")
        args << "R4 R3"
             << "--xlsx" << core::JoinPath(outputs, "g.xlsx");
    if (command == u"report")
        args << "--xlsx" << core::JoinPath(outputs, "r.xlsx") << "--pdf" << core::JoinPath(outputs, "r.pdf");
    const CliRun r = Cli(args);
    Outcome o{r.code, r.out, r.err, {}};
    // paths differ from copy to copy
    o.out.replace(home, QStringLiteral("HOME"));
    o.err.replace(home, QStringLiteral("HOME"));
    QDirIterator it(obj, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        const QString f = it.next();
        if (QFileInfo(f).fileName() != app::kLockFileName) o.stored.insert(QFileInfo(f).fileName(), ReadBytes(f));
    }
    return o;
}

struct Target {
    QString kind, relative;
    QStringList commands;
};

QList<Target> Targets() {
    const QString obj = kObjects + u'/' + kObject + u'/';
    const QStringList calculating = {"regimes", "recalc", "calc", "tune", "graph", "q5", "report"};
    return {
        {"general", obj + "OData.txt", calculating},
        {"units", obj + "Ediny.txt", {"recalc", "calc", "tune", "graph", "q5", "report"}},
        // the counters and the lock are read by the one routine that opens an object for
        // every command: one writing and one reading command stand for the others
        {"last-number", obj + "Col_R.txt", {"regimes", "recalc"}},
        {"regime-count", obj + "Col_RAll.txt", {"objects", "regimes", "recalc"}},
        {"regime", obj + kRegime, calculating},
        {"results", obj + QStringLiteral("РасчетРежим №  2.Dat"), {"regimes", "recalc", "calc", "graph", "report"}},
        {"q5", obj + QStringLiteral("Режим  2q5.txt"), {"q5"}},
        {"card", obj + "Karta.txt", {"report"}},
        {"lock", obj + app::kLockFileName, {"recalc"}},
        {"instrument-limits", QStringLiteral("Template/Погрешности приборов.txt"), {"calc", "tune", "report"}},
    };
}

void CopyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        const QString target = core::JoinPath(to, QDir(from).relativeFilePath(f));
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(f, target);
    }
}

}  // namespace

TEST(FileKindProperty, EveryCommandGivesTheUndamagedOutputOrNamesTheDamagedFile) {
    QTemporaryDir dir;
    const QString pristine = core::JoinPath(dir.path(), "pristine");
    MakeHome(pristine);
    // what each command gives on the undamaged copy (a copy of its own: recalc and report write)
    QMap<QString, Outcome> base;
    for (const QString& c : {"objects", "regimes", "recalc", "calc", "tune", "graph", "q5", "report"}) {
        const QString home = core::JoinPath(dir.path(), "base-" + c);
        CopyTree(pristine, home);
        base[c] = RunCommand(c, home);
        ASSERT_EQ(base[c].code, 0) << c.toStdString() << "\n" << base[c].err.toStdString();
    }
    const quint32 seed = Seed();
    // every case (kind, damage, round) on a copy of its own; two at a time, one per core
    struct Case {
        int target = 0, damage = 0, round = 0;
        bool applies = false;
        QList<Outcome> outcomes;  // one per command of the target
    };
    const QList<Target> targets = Targets();
    std::vector<Case> cases;
    for (int t = 0; t < targets.size(); ++t)
        for (int d = 0; d < kDamageCount; ++d)
            for (int round = 0; round < Rounds(); ++round) cases.push_back({t, d, round, false, {}});
    auto work = [&](int worker) {
        const QString home = core::JoinPath(dir.path(), QStringLiteral("case-%1").arg(worker));
        for (size_t i = static_cast<size_t>(worker); i < cases.size(); i += 2) {
            Case& c = cases[i];
            const Target& t = targets[c.target];
            QRandomGenerator rng(seed ^
                                 static_cast<quint32>(qHash(t.kind) * 31u + static_cast<quint32>(c.damage) * 977u +
                                                      static_cast<quint32>(c.round)));
            QDir(home).removeRecursively();
            CopyTree(pristine, home);
            c.applies = Apply(static_cast<Damage>(c.damage), core::Kind(t.kind), core::JoinPath(home, t.relative), rng);
            if (!c.applies) continue;
            for (const QString& command : t.commands) c.outcomes.append(RunCommand(command, home));
        }
    };
    std::thread second(work, 1);
    work(0);
    second.join();

    int runs = 0, refused = 0, same = 0;
    for (const Case& k : cases) {
        if (!k.applies) continue;
        const Target& t = targets[k.target];
        const QString name = QFileInfo(t.relative).fileName();
        for (int i = 0; i < t.commands.size(); ++i) {
            const QString& c = t.commands[i];
            const Outcome& o = k.outcomes[i];
            ++runs;
            const std::string where = "seed " + std::to_string(seed) + ", round " + std::to_string(k.round) + ": " +
                                      t.kind.toStdString() + " / " + kDamageNames[k.damage] + " / " + c.toStdString() +
                                      "\nexit " + std::to_string(o.code) + "\nstdout:\n" +
                                      o.out.left(1500).toStdString() + "\nstderr:\n" + o.err.left(1500).toStdString();
            // nothing stored that the undamaged copy does not store (the damaged file aside)
            QMap<QString, QByteArray> stored = o.stored, expected = base[c].stored;
            stored.remove(name);
            expected.remove(name);
            EXPECT_TRUE(stored == expected) << "stored files differ; " << where;
            const bool identical = o.code == base[c].code && o.out == base[c].out && o.err == base[c].err;
            const bool named = (o.out + o.err).contains(name, Qt::CaseInsensitive);
            // a damaged results file is written anew from the regime's inputs, and the line of
            // its regime says so
            const bool repaired = t.kind == u"results" && o.code == 0 && (c == u"recalc" || c == u"report") &&
                                  (o.out.contains(kRegime + QStringLiteral("\tНагрузка, %: 56\t(файл результатов")) ||
                                   o.out.contains(QStringLiteral("пересчитан (результаты устарели): ") + kRegime));
            if (identical) ++same;
            else {
                ++refused;
                EXPECT_TRUE(repaired || (o.code == 1 && named) || o.code == 3) << where;
            }
        }
    }
    // each kind was damaged and read: the run is no empty loop
    EXPECT_GT(runs, 300);
    EXPECT_GT(refused, runs / 2);
    std::printf("property run: seed %u, %d command runs, %d refused, %d unchanged\n", seed, runs, refused, same);
}

// The kinds that only the windows read, through the readers the windows use.
TEST(FileKindProperty, TheWindowsReadersRefuseEveryDamageTheyCannotReadAsTheUndamagedFile) {
    QTemporaryDir dir;
    const QString pristine = core::JoinPath(dir.path(), "pristine");
    MakeHome(pristine);
    const QString obj = kObjects + u'/' + kObject + u'/';
    struct Reader {
        QString kind, relative;
        std::function<bool(const QString& path, QString& what, QString& error)> read;
    };
    auto folderOf = [](const QString& path) { return QFileInfo(path).path(); };
    const QList<Reader> readers = {
        {"flame-head", obj + "PLG.txt",
         [&](const QString& p, QString& what, QString& error) {
             tools::PlgContents c;
             const bool ok = tools::ReadPlg(folderOf(p), c, &error) && c.complete;
             what = c.values.join(u'|');
             return ok;
         }},
        {"safety-rows", obj + "BezVkl.txt",
         [&](const QString& p, QString& what, QString& error) {
             QList<bool> rows;
             const bool ok = docs::ReadSafetyMapRows(folderOf(p), rows, &error) == docs::MapRead::Complete;
             for (bool b : rows) what += b ? u'1' : u'0';
             return ok;
         }},
        {"safety-map", obj + "Bez.txt",
         [&](const QString& p, QString& what, QString&) {
             QStringList cells;
             const bool ok = docs::ReadSafetyMap(folderOf(p), cells) == docs::MapRead::Complete;
             what = cells.join(u'|');
             return ok;
         }},
        {"comment", obj + "Koment.txt",
         [&](const QString& p, QString& what, QString& error) { return docs::ReadComment(folderOf(p), what, &error); }},
    };
    // free text lines: a doubled or added line of the comment is text like any other, and an
    // empty file an empty comment
    const QList<int> freeText = {DropLine, DoubleLine, InsertLine, LongLine, Empty};
    const quint32 seed = Seed();
    int refused = 0;
    for (const Reader& r : readers) {
        const core::FileKind& kind = core::Kind(r.kind);
        QString before, error;
        const QString pristinePath = core::JoinPath(pristine, r.relative);
        if (!QFileInfo::exists(pristinePath)) {
            // the demo has none: one written by the program
            if (r.kind == u"safety-rows")
                ASSERT_TRUE(docs::WriteSafetyMapRows(folderOf(pristinePath), QList<bool>(9, true)));
        }
        ASSERT_TRUE(r.read(pristinePath, before, error)) << r.kind.toStdString() << ": " << error.toStdString();
        for (int d = 0; d < kDamageCount; ++d) {
            QRandomGenerator rng(seed ^ (qHash(r.kind) * 31u + static_cast<quint32>(d) * 977u));
            const QString home = core::JoinPath(dir.path(), "case");
            QDir(home).removeRecursively();
            CopyTree(pristine, home);
            const QString path = core::JoinPath(home, r.relative);
            if (r.kind == u"comment" && freeText.contains(d)) continue;
            if (!Apply(static_cast<Damage>(d), kind, path, rng)) continue;
            QString after;
            error.clear();
            const bool ok = r.read(path, after, error);
            const std::string where =
                "seed " + std::to_string(seed) + ": " + r.kind.toStdString() + " / " + kDamageNames[d];
            if (ok) {
                EXPECT_EQ(after, before) << "read as good, but reads differently; " << where;
            } else {
                ++refused;
                // a short safety map is completed by its window, the others say which file
                if (r.kind != u"safety-map" && r.kind != u"flame-head")
                    EXPECT_TRUE(error.contains(QFileInfo(path).fileName())) << error.toStdString() << "; " << where;
            }
        }
    }
    EXPECT_GT(refused, 20);
}
