#pragma once
// Every message box, question, input box, chooser, notice and hand-over to the platform's
// applications goes through this interface, so a command's whole flow can be driven by a
// script in tests.

#include <QColor>
#include <QString>
#include <QUrl>
#include <optional>

class QWidget;

namespace app {

enum class Icon { None, Information, Warning, Error, Question };
enum class Answer { Yes, No, Cancel };

// Default title of a message that has none of its own.
inline const QString kProgramTitle = QStringLiteral("Kalvaro");

// Title of every question that destroys data (regime, object, document delete). Such a
// question has "Нет" as its default button, so a stray Enter keeps the data.
inline const QString kDeleteQuestionTitle = QStringLiteral("Подтвердите удаление");
inline Answer DefaultAnswerFor(const QString& questionTitle) {
    return questionTitle.compare(kDeleteQuestionTitle, Qt::CaseInsensitive) == 0 ? Answer::No : Answer::Yes;
}

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void message(const QString& text, const QString& title, Icon icon) = 0;
    // Yes/No (or Yes/No/Cancel) question.
    virtual Answer question(const QString& text, const QString& title, Icon icon,
                            bool withCancel = false) = 0;
    // Input box; std::nullopt when the user cancels. The text comes back as typed.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& preset) = 0;
    // Folder chooser; empty text when cancelled.
    virtual QString chooseFolder(const QString& title) = 0;
    virtual QString openFileName(const QString& title, const QString& folder, const QString& filter) = 0;
    // Save dialog; `askOverwrite` false when the command asks about a taken name itself.
    virtual QString saveFileName(const QString& title, const QString& suggested, const QString& filter,
                                 bool askOverwrite = true) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    // The notice of a regime that cannot be calculated: names what is missing over `parent`
    // and closes by itself.
    virtual void notice(QWidget* parent, const QString& message) = 0;
    // Opens a file or address with the application the platform has for it; false when
    // nothing could.
    virtual bool openWithPlatform(const QUrl& url) = 0;
};

// Asks whether to open a file just saved ("<saved>: <path>\n<open>") and opens it with the
// platform's application, or says that nothing here can.
inline void OfferToOpenSaved(Dialogs& d, const QString& saved, const QString& path, const QString& open) {
    if (d.question(saved + QStringLiteral(": ") + path + u'\n' + open, QStringLiteral("Информация"), Icon::Question) ==
            Answer::Yes &&
        !d.openWithPlatform(QUrl::fromLocalFile(path)))
        d.message(QStringLiteral("Нет программы для открытия файла ") + path, kProgramTitle, Icon::Warning);
}

}  // namespace app
