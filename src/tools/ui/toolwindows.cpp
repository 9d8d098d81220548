#include "tools/ui/toolwindows.h"

#include <QUrl>

#include "app/dialogs.h"

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

}  // namespace tools
