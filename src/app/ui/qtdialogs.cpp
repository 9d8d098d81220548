#include "app/ui/qtdialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

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

void QtDialogs::message(const QString& text, const QString& title, Icon icon) {
    QMessageBox box(ToQt(icon), title, text, QMessageBox::Ok, parent_);
    box.exec();
}

Answer QtDialogs::question(const QString& text, const QString& title, Icon icon, bool withCancel) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) buttons |= QMessageBox::Cancel;
    QMessageBox box(ToQt(icon), title, text, buttons, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return withCancel ? Answer::Cancel : Answer::No;
    }
}

std::optional<QString> QtDialogs::input(const QString& prompt, const QString& title, const QString& preset) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, preset, &ok);
    if (!ok) return std::nullopt;
    return text;
}

QString QtDialogs::chooseFolder(const QString& title) {
    return QFileDialog::getExistingDirectory(parent_, title, QDir::homePath(), QFileDialog::ShowDirsOnly);
}

QString QtDialogs::openFileName(const QString& title, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, title, folder, filter);
}

QString QtDialogs::saveFileName(const QString& title, const QString& suggested, const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, title, suggested, filter);
}

std::optional<QColor> QtDialogs::chooseColor(const QColor& initial) {
    const QColor c = QColorDialog::getColor(initial, parent_);
    if (!c.isValid()) return std::nullopt;
    return c;
}

}  // namespace app
