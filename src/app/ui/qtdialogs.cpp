#include "app/ui/qtdialogs.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "app/ui/notice.h"

namespace app {

namespace {

QMessageBox::Icon ToQt(Icon icon) {
    switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Error: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

int InputBoxWidth(const QWidget& box, const QString& preset) {
    // wide enough for the preset text (an object's name) and the prompt, within the screen
    const QFontMetrics fm(box.font());
    int width = std::max(box.sizeHint().width(), fm.horizontalAdvance(preset) + 80);
    width = std::max(width, 360);
    if (const QScreen* screen = box.screen()) width = std::min(width, screen->availableGeometry().width() - 40);
    return width;
}

void QtDialogs::message(const QString& text, const QString& title, Icon icon) {
    QMessageBox box(ToQt(icon), title, text, QMessageBox::Ok, parent_);
    box.exec();
}

Answer QtDialogs::question(const QString& text, const QString& title, Icon icon, bool withCancel) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) buttons |= QMessageBox::Cancel;
    QMessageBox box(ToQt(icon), title, text, buttons, parent_);
    box.setDefaultButton(DefaultAnswerFor(title) == Answer::No ? QMessageBox::No : QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return withCancel ? Answer::Cancel : Answer::No;
    }
}

std::optional<QString> QtDialogs::input(const QString& prompt, const QString& title, const QString& preset) {
    QInputDialog box(parent_);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setInputMode(QInputDialog::TextInput);
    box.setTextValue(preset);
    box.resize(InputBoxWidth(box, preset), box.sizeHint().height());
    // a file name comes with its name selected and its extension not, so typing a new name
    // keeps the extension ("протокол.xls": "протокол")
    static const QRegularExpression extension(QStringLiteral("\\.[A-Za-z0-9]{2,4}$"));
    const QRegularExpressionMatch m = extension.match(preset);
    if (m.hasMatch() && m.capturedStart() > 0)
        if (auto* field = box.findChild<QLineEdit*>()) {
            QTimer::singleShot(0, field, [field, length = m.capturedStart()] { field->setSelection(0, int(length)); });
        }
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return box.textValue();
}

QString QtDialogs::chooseFolder(const QString& title) {
    return QFileDialog::getExistingDirectory(parent_, title, QDir::homePath(), QFileDialog::ShowDirsOnly);
}

QString QtDialogs::openFileName(const QString& title, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, title, folder, filter);
}

QString QtDialogs::saveFileName(const QString& title, const QString& suggested, const QString& filter,
                                bool askOverwrite) {
    return QFileDialog::getSaveFileName(parent_, title, suggested, filter, nullptr,
                                        askOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite);
}

std::optional<QColor> QtDialogs::chooseColor(const QColor& initial) {
    const QColor c = QColorDialog::getColor(initial, parent_);
    if (!c.isValid()) return std::nullopt;
    return c;
}

void QtDialogs::notice(QWidget* parent, const QString& message) {
    fProverca notice(message, parent);
    notice.exec();
}

bool QtDialogs::openWithPlatform(const QUrl& url) { return QDesktopServices::openUrl(url); }

}  // namespace app
