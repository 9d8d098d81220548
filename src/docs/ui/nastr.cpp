#include "docs/ui/nastr.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/startup.h"
#include "core/textfile.h"
#include "app/state.h"
#include "object/reflists.h"

namespace docs {

Nastr::Nastr(app::AppState& state, app::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), state_(state), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Nastr"));
    setWindowTitle(QStringLiteral("Список"));
    List1 = new QListWidget;
    List1->setObjectName(QStringLiteral("List1"));
    Command1 = new QPushButton(QStringLiteral("Добавить+"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Удалить -"));
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setEnabled(false);
    Command3 = new QPushButton(QStringLiteral("Закрыть"));
    Command3->setObjectName(QStringLiteral("Command3"));
    Command1->setAutoDefault(false);
    Command2->setAutoDefault(false);
    Command3->setAutoDefault(false);

    connect(Command1, &QPushButton::clicked, this, &Nastr::Nastr_Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Nastr::Nastr_Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &QDialog::close);
    // a highlighted row can be deleted, whether the mouse or the keys highlighted it
    connect(List1, &QListWidget::itemSelectionChanged, this,
            [this] { Command2->setEnabled(!List1->selectedItems().isEmpty()); });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addStretch(1);
    buttons->addWidget(Command3);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(List1, 1);
    layout->addLayout(buttons);
    resize(460, 320);
}

QString Nastr::listPath() const { return app::TemplateFile(state_, state_.selectedDocument); }

void Nastr::loadList() {
    List1->clear();
    QStringList entries;
    int cut = 0;
    const bool ok = object::ReadList(listPath(), entries, &cut);
    List1->addItems(entries);
    if (!ok) dialogs_.message(object::kListFileError, app::kProgramTitle, app::Icon::Warning);
    else if (cut > 0) dialogs_.message(object::kLongEntriesNote, app::kProgramTitle, app::Icon::Warning);
}

void Nastr::Nastr_Command1_Click() {
    const auto answer = dialogs_.input(QStringLiteral("Добавить в список"), QStringLiteral("Ввод данных"), QString());
    if (!answer) return;
    const QString entry = answer->trimmed();
    if (entry.isEmpty()) return;
    if (!object::AppendToList(listPath(), entry)) {
        dialogs_.message(object::kListFileError, app::kProgramTitle, app::Icon::Warning);
        return;
    }
    loadList();
    Q_EMIT listChanged(state_.selectedDocument);
}

void Nastr::Nastr_Command2_Click() {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    if (selected.isEmpty()) return;
    const int row = List1->row(selected.first());
    // an entry removed cannot come back: ask first, "Нет" by default
    if (dialogs_.question(QStringLiteral("Удалить из списка: ") + List1->item(row)->text() + QStringLiteral(" ?"),
                          app::kDeleteQuestionTitle, app::Icon::Question) != app::Answer::Yes)
        return;
    delete List1->takeItem(row);
    Command2->setEnabled(false);
    // the file's own lines, so an entry shown shortened is written back whole
    QStringList entries;
    if (!object::ReadListLines(listPath(), entries) || entries.size() != List1->count() + 1) {
        entries.clear();
        for (int i = 0; i < List1->count(); ++i) entries.append(List1->item(i)->text());
    } else {
        entries.removeAt(row);
    }
    if (!object::WriteList(listPath(), entries)) {
        dialogs_.message(object::kListFileError, app::kProgramTitle, app::Icon::Warning);
        return;
    }
    Q_EMIT listChanged(state_.selectedDocument);
}

void Nastr::closeEvent(QCloseEvent* event) {
    state_.selectedDocument.clear();
    QDialog::closeEvent(event);
}

void Nastr::done(int result) {
    state_.selectedDocument.clear();
    QDialog::done(result);
}

}  // namespace docs
