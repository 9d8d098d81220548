#include "docs/documents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "core/filekinds.h"
#include "core/names.h"
#include "core/textfile.h"

namespace docs {

namespace {

// Copies a file through the atomic writer, so a failed copy never leaves half a document.
// `error` receives the file and the system's reason of a failure.
bool CopyFile(const QString& from, const QString& to, QString* error) {
    QFile in(from);
    QByteArray bytes;
    if (in.open(QIODevice::ReadOnly)) bytes = in.readAll();
    if (!in.isOpen() || in.error() != QFile::NoError) {
        *error = QDir::toNativeSeparators(from) + QStringLiteral(": ") + in.errorString();
        return false;
    }
    QString why;
    if (core::WriteFileAtomic(to, bytes, &why)) return true;
    *error = why.contains(QDir::toNativeSeparators(to)) || why.contains(to)
                 ? why
                 : QDir::toNativeSeparators(to) + QStringLiteral(": ") + why;
    return false;
}

// The refusal of a name no file may have.
QString BadFileName(const QString& name) {
    return QStringLiteral("Недопустимое имя файла  '") + name +
           QStringLiteral("'. Имя не может быть пустым, равным «.» или «..» и не может содержать символы «/», «\\» "
                          "и управляющие символы.");
}

// Asks for another name while `name` exists in `folder`; nullopt when the answer is empty.
std::optional<QString> FreeName(app::Dialogs& d, const QString& folder, QString name, const QString& prompt) {
    while (core::ExistsNoCase(folder, name)) {
        const auto answer = d.input(prompt, kRenameTitle, name);
        if (!answer) return std::nullopt;
        name = answer->trimmed();
        if (name.isEmpty()) return std::nullopt;
        if (!core::IsAcceptableName(name)) return name;  // the caller refuses it
    }
    return name;
}

QString TextAfterLastSeparator(const QString& path) {
    const int cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}

}  // namespace

QString RenameFailure(const QString& objectFolder) {
    return QStringLiteral("Ошибка! Попробуйте переименовать файл средствами проводника Windows.Путь файла: ") +
           objectFolder;
}

bool DocumentKind(const QString& name, DocumentEntry& e) {
    const int dot = name.lastIndexOf(u'.');
    if (dot < 0) return false;
    const QString ext = name.mid(dot + 1).toLower();
    e.name = name;
    // csv: the gas analyser's reading logs, opened by the spreadsheet
    if (ext == u"xls" || ext == u"xlsx" || ext == u"xlsm" || ext == u"csv") {
        e.kind = kExcelKind;
        e.icon = 2;
    } else if (ext == u"doc" || ext == u"docx" || ext == u"odt") {  // odt: the technical report
        e.kind = kWordKind;
        e.icon = 1;
    } else if (ext == u"mdb") {
        e.kind = kAccessKind;
        e.icon = 4;
    } else if (ext == u"bmp") {
        e.kind = kPaintKind;
        e.icon = 3;
    } else if (QStringList{"jpg", "jpeg", "pdf", "psd", "dwg", "gif", "png"}.contains(ext)) {
        e.kind = kPictureKind;
        e.icon = 5;
    } else {
        return false;
    }
    return true;
}

bool ListDocuments(const QString& folder, QList<DocumentEntry>& entries) {
    entries.clear();
    QStringList names;
    if (!core::ListFiles(folder, QStringLiteral("*"), names)) return false;
    for (const QString& name : names) {
        DocumentEntry e;
        if (DocumentKind(name, e)) entries.append(e);
    }
    // by name, as the user reads the list: the folder's own order moves an entry after a
    // rename, so a remembered position would open another file
    std::stable_sort(entries.begin(), entries.end(), [](const DocumentEntry& a, const DocumentEntry& b) {
        const int c = a.name.compare(b.name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    return true;
}

QString DocumentFilter() {
    return QStringLiteral(
        "Файлы MS Office(*.xls;*.doc;*.mdb) (*.xls *.doc *.mdb *.xlsx *.xlsm *.docx *.odt);;"
        "Графические файлы (*.bmp;*.dwg;*.jpg;*.jpeg;*.gif;*.pdf;*.psd) "
        "(*.bmp *.dwg *.jpg *.jpeg *.gif *.pdf *.psd *.png)");
}

bool ReadComment(const QString& folder, QString& text, QString* error, bool* cut) {
    text.clear();
    if (cut) *cut = false;
    if (!core::ExistsNoCase(folder, kCommentFile)) return true;
    QByteArray bytes;
    const QString path = core::ResolvePath(folder, kCommentFile);
    if (!core::ReadDataFile(path, bytes, error)) return false;
    QStringList checked;
    QString why;
    if (!core::CheckKindBytes(core::Kind(QStringLiteral("comment")), bytes, checked, &why)) {
        if (error) *error = path + QStringLiteral(": ") + why;
        return false;
    }
    // no more than the window can show without freezing (a character is a byte here)
    const bool truncated = bytes.size() > kMaxCommentLength + 2;
    if (truncated) {
        bytes.truncate(kMaxCommentLength + 2);
        if (cut) *cut = true;
    }
    const QString all = core::DecodeCp1251(bytes);
    // text outside quotes, or a quote never closed, is no comment this program wrote: shown
    // as it reads, it would be written back without what it lost
    auto damaged = [&](const QString& why) {
        if (error) *error = path + QStringLiteral(": ") + why;
        text.clear();
        return false;
    };
    if (!all.trimmed().isEmpty() && !all.trimmed().startsWith(u'"'))
        return damaged(QStringLiteral("текст комментария не в кавычках"));
    if (!truncated && all.count(u'"') % 2 != 0) return damaged(QStringLiteral("нет закрывающей кавычки: файл обрезан"));
    // every quoted field in turn: from a quote to the next one, line breaks included
    qsizetype from = 0;
    while (true) {
        const qsizetype open = all.indexOf(u'"', from);
        if (open < 0) break;
        const qsizetype close = all.indexOf(u'"', open + 1);
        if (close < 0) {
            text += all.mid(open + 1);
            break;
        }
        text += all.mid(open + 1, close - open - 1);
        from = close + 1;
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    if (text.size() > kMaxCommentLength) {
        text.truncate(kMaxCommentLength);
        if (cut) *cut = true;
    }
    return true;
}

bool WriteComment(const QString& folder, const QString& text, QString* error) {
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace(u'"', u'\'');
    body.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    const QByteArray bytes = core::EncodeCp1251(u'"' + body + QStringLiteral("\"\r\n"));
    return core::WriteFileAtomic(core::ResolvePath(folder, kCommentFile), bytes, error);
}

// `typed` with the extension of `original` when it has none of its own.
static QString KeptExtension(const QString& original, const QString& typed) {
    const qsizetype dot = original.lastIndexOf(u'.');
    if (dot <= 0 || typed.contains(u'.')) return typed;
    return typed + original.mid(dot);
}

static bool IsListed(const QString& name) {
    DocumentEntry e;
    return DocumentKind(name, e);
}

// "<what>: <name> — не документ списка (...)": the kinds the list shows.
static QString NotListed(const QString& what, const QString& name) {
    return what + QStringLiteral(": список документов не показывает файл ") + name +
           QStringLiteral(
               ". Документы: xls, xlsx, xlsm, csv, doc, docx, odt, mdb, bmp, jpg, jpeg, gif, png, pdf, psd, dwg.");
}

FileResult AddDocument(app::AppState& s, app::Dialogs& d) {
    const QString chosen = d.openFileName(QStringLiteral("Загрузить файл"), s.objectsFolder, DocumentFilter());
    const QString picked = TextAfterLastSeparator(chosen);
    if (picked.isEmpty()) return FileResult::Cancelled;
    const auto name = FreeName(d, s.currentObjectFolder, picked,
                               QStringLiteral("Файл с таким именем существует.Введите новое имя,включая расширение!"));
    if (!name) return FileResult::Cancelled;
    if (!core::IsAcceptableName(*name)) {
        d.message(BadFileName(*name), kErrorTitle, app::Icon::Error);
        return FileResult::Refused;
    }
    // the list shows documents only: a file it would not show is not copied in, where it
    // could be neither seen nor removed
    const QString target = KeptExtension(picked, *name);
    if (!IsListed(target)) {
        d.message(NotListed(QStringLiteral("Файл не загружен"), target), kErrorTitle, app::Icon::Warning);
        return FileResult::Refused;
    }
    if (target != *name && core::ExistsNoCase(s.currentObjectFolder, target)) {
        d.message(QStringLiteral("Файл не загружен: файл ") + target + QStringLiteral(" уже есть в папке объекта."),
                  kErrorTitle, app::Icon::Warning);
        return FileResult::Refused;
    }
    QString why;
    if (!CopyFile(chosen, core::JoinPath(s.currentObjectFolder, target), &why)) {
        d.message(QStringLiteral("Файл не загружен.\n\n") + why, kErrorTitle, app::Icon::Error);
        return FileResult::Failed;
    }
    return FileResult::Done;
}

FileResult SaveDocumentCopy(app::AppState& s, app::Dialogs& d, const std::function<void()>& copied) {
    if (s.selectedDocument.isEmpty()) return FileResult::Cancelled;
    // the one question about a taken name is the command's own, not the file dialog's too
    const QString chosen = d.saveFileName(QStringLiteral("Сохранить копию файла"),
                                          core::JoinPath(s.objectsFolder, s.selectedDocument), DocumentFilter(),
                                          false);
    const QString picked = TextAfterLastSeparator(chosen);
    if (picked.isEmpty()) return FileResult::Cancelled;
    const QString folder = chosen.left(chosen.size() - picked.size());
    const auto name = FreeName(d, folder, picked,
                               QStringLiteral("Файл с таким именем существует.Введите новое имя, включая расширение!"));
    if (!name) return FileResult::Cancelled;
    if (!core::IsAcceptableName(*name)) {
        d.message(BadFileName(*name), kErrorTitle, app::Icon::Error);
        return FileResult::Refused;
    }
    QString why;
    if (!CopyFile(core::JoinPath(s.currentObjectFolder, s.selectedDocument), core::JoinPath(folder, *name), &why)) {
        d.message(QStringLiteral("Копия файла не сохранена.\n\n") + why, kErrorTitle, app::Icon::Error);
        return FileResult::Failed;
    }
    if (copied) copied();
    d.message(QStringLiteral("Файл сохранен под именем  ") + *name + QStringLiteral("  По адресу: ") + folder, kInfoTitle,
              app::Icon::Information);
    return FileResult::Done;
}

// An object opened read-only keeps its documents as they are: says so, and why.
static bool RefusedReadOnly(const app::AppState& s, app::Dialogs& d, const QString& what) {
    const QString why = core::FolderWriteRefusal(s.currentObjectFolder);
    if (why.isEmpty()) return false;
    d.message(what + QStringLiteral(": ") + why + u'.', kProgramTitle, app::Icon::Warning);
    return true;
}

FileResult DeleteDocument(app::AppState& s, app::Dialogs& d) {
    if (s.selectedDocument.isEmpty()) return FileResult::Cancelled;
    if (RefusedReadOnly(s, d, QStringLiteral("Файл не удален"))) return FileResult::Refused;
    const QString name = s.selectedDocument;
    FileResult result = FileResult::Cancelled;
    if (d.question(QStringLiteral("Вы действительно хотите удалить файл -") + name + QStringLiteral(" ?"),
                   QStringLiteral("Подтвердите удаление"), app::Icon::Warning) == app::Answer::Yes) {
        const QString path = core::JoinPath(s.currentObjectFolder, name);
        const QFileInfo info(path);
        // only the one regular file of the object folder: never a folder, never a link's target
        if (!core::IsAcceptableName(name) || info.isSymLink() || !info.isFile() || !QFile::remove(path)) {
            d.message(kFileError, kProgramTitle, app::Icon::Warning);
            result = FileResult::Failed;
        } else {
            result = FileResult::Done;
        }
    }
    s.selectedDocument.clear();
    return result;
}

FileResult RenameDocument(app::AppState& s, app::Dialogs& d) {
    if (s.selectedDocument.isEmpty()) return FileResult::Cancelled;
    if (RefusedReadOnly(s, d, QStringLiteral("Файл не переименован"))) return FileResult::Refused;
    const QString old = s.selectedDocument;
    s.selectedDocument.clear();
    const auto answer = d.input(QStringLiteral("Введите новое имя "), kRenameTitle, old);
    if (!answer) return FileResult::Cancelled;
    const QString typed = answer->trimmed();
    if (typed.isEmpty()) return FileResult::Cancelled;
    if (!core::IsAcceptableName(typed)) {
        d.message(RenameFailure(s.currentObjectFolder), kErrorTitle, app::Icon::Warning);
        return FileResult::Refused;
    }
    // a name typed without an extension keeps the old one; a name the list would not show
    // is refused, so the document never drops out of it
    const QString name = KeptExtension(old, typed);
    if (!IsListed(name)) {
        d.message(NotListed(kRenameKept.chopped(1), name), kInfoTitle, app::Icon::Information);
        return FileResult::Refused;
    }
    if (core::ExistsNoCase(s.currentObjectFolder, name)) {
        d.message(kRenameKept, kInfoTitle, app::Icon::Information);
        return FileResult::Refused;
    }
    const QString from = core::JoinPath(s.currentObjectFolder, old);
    if (!QFileInfo(from).isFile() || !QFile::rename(from, core::JoinPath(s.currentObjectFolder, name))) {
        d.message(RenameFailure(s.currentObjectFolder), kErrorTitle, app::Icon::Warning);
        return FileResult::Failed;
    }
    return FileResult::Done;
}

}  // namespace docs
