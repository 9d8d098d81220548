#include "regime/repeatability.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringList>
#include <cmath>

#include "core/filekinds.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/numparse.h"
#include "core/textfile.h"

namespace regime {

namespace {

// "3" for "Режим №  3.Dat", the base name for a file without a number
QString RegimeTag(const QString& regimeFile) {
    const QString base = QFileInfo(regimeFile).completeBaseName();
    QString digits;
    for (const QChar c : base)
        if (c.isDigit()) digits += c;
    return digits.isEmpty() ? base : QString::number(digits.toInt());
}

bool ReadEntries(const QString& path, QMap<int, SpreadEntry>& entries, QString* error) {
    QStringList lines;
    if (!core::ReadKindFile(QStringLiteral("repeatability"), path, lines, error)) return false;
    for (const QString& line : lines) {
        // the file table has checked the form of each line
        const QStringList parts = line.split(u' ', Qt::SkipEmptyParts);
        double k = 0, sigma = 0, n = 0, value = 0;
        core::ParseWholeNumber(parts[0].toStdString(), k);
        core::ParseWholeNumber(parts[1].toStdString(), sigma);
        core::ParseWholeNumber(parts[2].toStdString(), n);
        core::ParseWholeNumber(parts[3].toStdString(), value);
        entries[static_cast<int>(k)] = {static_cast<int>(k), sigma, static_cast<int>(n), static_cast<float>(value)};
    }
    return true;
}

}  // namespace

QString RepeatabilityFileName(const QString& regimeFile) {
    return QStringLiteral("СКО Режим ") + RegimeTag(regimeFile) + QStringLiteral(".txt");
}

QSet<QString> SpreadFilesOf(const QString& objectFolder) {
    QStringList files;
    core::ListFiles(objectFolder, QStringLiteral("СКО Режим *.txt"), files);
    QSet<QString> set;
    for (const QString& f : files) set.insert(f.toLower());
    return set;
}

bool ReadRepeatability(const QString& objectFolder, const QString& regimeFile,
                       const std::array<float, engine::kInputCount>& inputs, engine::Repeatability& out, QString* error,
                       const QSet<QString>* present) {
    out = {};
    const QString name = RepeatabilityFileName(regimeFile);
    if (present ? !present->contains(name.toLower()) : !core::ExistsNoCase(objectFolder, name)) return true;
    QMap<int, SpreadEntry> entries;
    if (!ReadEntries(core::ResolvePath(objectFolder, name), entries, error)) return false;
    for (const SpreadEntry& e : entries) {
        if (e.value != inputs[static_cast<std::size_t>(e.input)]) continue;  // typed over since
        out.sigma[static_cast<std::size_t>(e.input)] = e.sigma;
        out.count[static_cast<std::size_t>(e.input)] = e.count;
    }
    return true;
}

bool WriteRepeatability(const QString& objectFolder, const QString& regimeFile, const QList<SpreadEntry>& entries,
                        QString* error) {
    const QString path = core::ResolvePath(objectFolder, RepeatabilityFileName(regimeFile));
    QMap<int, SpreadEntry> all;
    if (QFileInfo::exists(path) && !ReadEntries(path, all, error)) return false;
    for (const SpreadEntry& e : entries) {
        if (e.input < 0 || e.input >= engine::kInputCount) continue;
        if (e.count >= 2 && std::isfinite(e.sigma) && e.sigma >= 0) all[e.input] = e;
        else all.remove(e.input);
    }
    if (all.isEmpty()) {
        if (!QFileInfo::exists(path) || QFile::remove(path)) return true;
        if (error) *error = QStringLiteral("Не удалось удалить файл ") + path;
        return false;
    }
    QStringList lines;
    for (const SpreadEntry& e : all)
        lines.append(QStringLiteral("%1 %2 %3 %4")
                         .arg(e.input)
                         .arg(core::StoredForm(static_cast<float>(e.sigma)))
                         .arg(e.count)
                         .arg(core::StoredForm(e.value)));
    return core::WriteTextLines(path, lines, error);
}

}  // namespace regime
