#include "report/carddata.h"

#include <QFileInfo>

#include "core/filekinds.h"
#include "core/names.h"
#include "core/textfile.h"
#include "object/reflists.h"

namespace report {

QStringList CardEntryCaptions() {
    return {QStringLiteral("Должность утверждающего"),
            QStringLiteral("Ф.И.О. утверждающего"),
            QStringLiteral("Владелец котла (заказчик)"),
            QStringLiteral("Наладочная организация"),
            QStringLiteral("Даты испытаний"),
            QStringLiteral("Срок действия карты"),
            QStringLiteral("Ответственный за газовое хозяйство"),
            QStringLiteral("Ответственный за безопасную эксплуатацию котла"),
            QStringLiteral("Должность исполнителя"),
            QStringLiteral("Составил"),
            QStringLiteral("Проверил"),
            QStringLiteral("Допуск давления газа на горелке, ± %"),
            QStringLiteral("Допуск давления воздуха на горелке, ± %"),
            QStringLiteral("Допуск разрежения в топке, ± Па"),
            QStringLiteral("Рег. номер технического отчета"),
            QStringLiteral("Согласовано (должность, организация, Ф.И.О.)")};
}

QStringList DefaultCardData() {
    QStringList v(kCardEntryCount);
    v[Validity] = QStringLiteral("3 года");
    v[GasPressureTolerance] = QStringLiteral("5");
    v[AirPressureTolerance] = QStringLiteral("10");
    v[DraughtTolerance] = QStringLiteral("20");
    return v;
}

bool ReadCardData(const QString& objectFolder, QStringList& values, QString* error) {
    values = DefaultCardData();
    const QString path = core::ResolvePath(objectFolder, kCardFile);
    if (!QFileInfo::exists(path)) return true;
    QStringList read;
    bool ok = core::ReadKindFile(QStringLiteral("card"), path, read, error);
    // the first version's 9 lines, or all of them; any count between is a line lost
    if (ok && read.size() != kFirstCardEntryCount && read.size() != kCardEntryCount) {
        ok = false;
        if (error)
            *error = path + QStringLiteral(": в файле %1 строк, ожидается %2").arg(read.size()).arg(kCardEntryCount);
    }
    if (!ok) core::ReadQuotedFile(path, kCardEntryCount, read);  // shown as it is, reported as damaged
    for (int i = 0; i < read.size() && i < kCardEntryCount; ++i) values[i] = read[i];
    return ok;
}

bool WriteCardData(const QString& objectFolder, const QStringList& values, QString* error) {
    QStringList v = values;
    v.resize(kCardEntryCount);
    // one value per line: a line break typed into an entry would shift every later entry
    for (QString& t : v) t = t.simplified();
    return core::WriteQuotedFile(core::JoinPath(objectFolder, kCardFile), v, error);
}

bool ReadObjectInstruments(const QString& objectFolder, QStringList& instruments, QString* error) {
    instruments.clear();
    if (!core::ExistsNoCase(objectFolder, object::kObjectInstrumentsFile)) return true;
    QStringList lines;
    if (!core::ReadKindFile(QStringLiteral("object-instruments"),
                            core::ResolvePath(objectFolder, object::kObjectInstrumentsFile), lines, error))
        return false;
    for (const QString& l : lines)
        if (!l.trimmed().isEmpty()) instruments.append(l.trimmed());
    return true;
}

bool WriteObjectInstruments(const QString& objectFolder, const QStringList& instruments, QString* error) {
    QStringList lines;
    for (const QString& i : instruments) lines.append(i.simplified());
    return core::WriteTextLines(core::ResolvePath(objectFolder, object::kObjectInstrumentsFile), lines, error);
}

QString TestDatesFromRegimes(const QString& objectFolder) {
    QStringList files;
    if (!core::ListFiles(objectFolder, QStringLiteral("Режим*.dat"), files)) return {};
    QDate first, last;
    for (const QString& f : files) {
        const QDate d = QFileInfo(core::JoinPath(objectFolder, f)).lastModified().date();
        if (!d.isValid()) continue;
        if (!first.isValid() || d < first) first = d;
        if (!last.isValid() || d > last) last = d;
    }
    if (!first.isValid()) return {};
    const QString a = first.toString(QStringLiteral("dd.MM.yyyy")), b = last.toString(QStringLiteral("dd.MM.yyyy"));
    return a == b ? a : a + QStringLiteral(" – ") + b;
}

}  // namespace report
