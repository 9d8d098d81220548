#include "tools/ui/toolwindows.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QUrl>
#include <algorithm>

#include "app/dialogs.h"
#include "app/ui/keys.h"
#include "regime/editorlayout.h"

namespace tools {

void OfferWorkbook(app::Dialogs& dialogs, const QString& path) {
    if (dialogs.openWithPlatform(QUrl::fromLocalFile(path))) return;
    dialogs.message(QStringLiteral("Таблица сохранена в файл ") + path +
                        QStringLiteral(". Программа для ее открытия не найдена."),
                    QStringLiteral("Информация"), app::Icon::Information);
}

void ReportWorkbookFailure(app::Dialogs& dialogs, const QString& path) {
    dialogs.message(QStringLiteral("Ошибка записи файла ") + path, QStringLiteral("Ошибка !"), app::Icon::Error);
}

bool FilterNumericKey(QLineEdit* field, QKeyEvent* key) {
    if (app::IsFrameShortcut(key)) return false;
    const QString text = key->text();
    if (text.isEmpty() || key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete ||
        key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Tab ||
        (key->modifiers() & Qt::ControlModifier))
        return false;
    const auto accepted = regime::FilterKey(text.at(0));
    if (!accepted) return true;
    if (*accepted != text.at(0)) {
        field->insert(QString(*accepted));
        return true;
    }
    return false;
}

void FilterNumericEdits(QLineEdit* field) {
    QObject::connect(field, &QLineEdit::textEdited, field, [field](const QString& text) {
        QString kept;
        kept.reserve(text.size());
        for (QChar c : text)
            if (const auto accepted = regime::FilterKey(c)) kept.append(*accepted);
        if (kept == text) return;
        const int cursor = std::max<int>(0, field->cursorPosition() - static_cast<int>(text.size() - kept.size()));
        field->setText(kept);
        field->setCursorPosition(std::min<int>(cursor, static_cast<int>(kept.size())));
    });
}

bool FilterCommaKey(QLineEdit* field, QKeyEvent* key) {
    if (key->text() == u",") {
        field->insert(QStringLiteral("."));
        return true;
    }
    return false;
}

}  // namespace tools
