#include "app/ui/qtdialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

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

}  // namespace app
