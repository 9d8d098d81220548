#pragma once
// The documents kept with an object (spreadsheets, text documents, pictures, drawings), the
// object's comment "Koment.txt", and the file commands of the file-task page: add a file
// from elsewhere, save a copy elsewhere, delete, rename. No widgets: every question and
// message goes through app::Dialogs.

#include <QList>
#include <functional>
#include <QString>

#include "app/dialogs.h"
#include "app/state.h"

namespace docs {

inline const QString kCommentFile = QStringLiteral("Koment.txt");

// Messages of the file commands.
inline const QString kUnknownError = QStringLiteral("Неизвестная ошибка!");
inline const QString kErrorTitle = QStringLiteral("Ошибка !");
inline const QString kFileError = QStringLiteral("Ошибка работы с файлом ! ");
inline const QString kRenameKept = QStringLiteral("Файл остался с тем же именем.");
inline const QString kInfoTitle = QStringLiteral("Информация");
// Title of a message that has none of its own (the program name, as the windows use).
inline const QString kProgramTitle = QStringLiteral("Kalvaro");
inline const QString kRenameTitle = QStringLiteral("Переименовать");
QString RenameFailure(const QString& objectFolder);
// Warning when the comment could not be stored.
inline const QString kCommentNotSaved =
    QStringLiteral("Комментарий не сохранен: файл \"Koment.txt\" не удалось записать в папку объекта.");

// Kinds and icons of the documents list.
inline const QString kExcelKind = QStringLiteral("Книга Microsoft Excel");
inline const QString kWordKind = QStringLiteral("Документ Microsoft Word");
inline const QString kAccessKind = QStringLiteral("База данных Microsoft Access");
inline const QString kPaintKind = QStringLiteral("Рисунок Microsoft Paint");
inline const QString kPictureKind = QStringLiteral("Графический файл");

struct DocumentEntry {
    QString name;  // file name, also the entry's key
    QString kind;  // column "Программа"
    int icon = 0;  // 1 Word, 2 Excel, 3 Paint, 4 Access, 5 picture
};

// The kind of a file by the end of its name (case ignored); false when it is no document.
// Besides the classic kinds, ".xlsx" and ".xlsm" are workbooks, ".docx" a Word document and
// ".png" a picture, so the workbooks the program writes itself are listed too.
bool DocumentKind(const QString& name, DocumentEntry& entry);

// The documents directly in the folder, in the order of the folder listing.
bool ListDocuments(const QString& folder, QList<DocumentEntry>& entries);

// Filter of the open and save dialogs: the two entries of the classic filter, each also
// offering today's formats of its kind.
QString DocumentFilter();

// The comment: one quoted field followed by CR LF; reading appends every quoted field of the
// file in turn. Line breaks inside are stored as CR LF and come back as "\n". A double quote
// cannot be stored and is written as an apostrophe. A missing file is an empty comment.
// A comment longer than kMaxCommentLength characters is cut there (`cut` set): a window
// showing one line of half a megabyte would freeze. A comment read only in part, or not at
// all (too large, unreadable, not a file), must not be written back over the file.
constexpr int kMaxCommentLength = 32768;
bool ReadComment(const QString& folder, QString& text, QString* error = nullptr, bool* cut = nullptr);
bool WriteComment(const QString& folder, const QString& text, QString* error = nullptr);

enum class FileResult { Done, Cancelled, Refused, Failed };

// "Загрузить": copies a chosen file into the object folder, asking for another name while
// the name is taken.
FileResult AddDocument(app::AppState& s, app::Dialogs& d);
// "Копировать": saves a copy of the selected document where the user chooses.
// `copied` runs after the copy and before the closing message (the list refreshes first).
FileResult SaveDocumentCopy(app::AppState& s, app::Dialogs& d, const std::function<void()>& copied = {});
// "Удалить": deletes the selected document (only that one regular file) after a question;
// the selection is emptied whatever the answer.
FileResult DeleteDocument(app::AppState& s, app::Dialogs& d);
// "Переименовать": renames the selected document inside the object folder; the selection is
// emptied whatever happened.
FileResult RenameDocument(app::AppState& s, app::Dialogs& d);

}  // namespace docs
