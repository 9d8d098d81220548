#include "store/ui/fropen.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/state.h"
#include "app/ui/keys.h"
#include "app/ui/pictures.h"
#include "object/generaldata.h"
#include "store/objectcopy.h"
#include "store/objectstore.h"

namespace store {

using namespace app;

namespace {

const QString kStatusHint = QStringLiteral("Введите или удалите текст и нажмите Enter");

QLabel* ValueLabel(const QString& name) {
    auto* l = new QLabel;
    l->setObjectName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setStyleSheet(QStringLiteral("color: #00007f;"));
    return l;
}

}  // namespace

frOpen::frOpen(Workbench& workbench, QWidget* parent) : QWidget(parent), wb_(workbench) {
    setObjectName(QStringLiteral("frOpen"));
    setWindowTitle(QStringLiteral("Открыть  отчет"));
    setWindowIcon(ProgramIcon(QStringLiteral("open")));
    buildToolbars();
    buildListAndFilter();
    QGridLayout* summary = buildSummary();

    auto* bars = new QHBoxLayout;
    bars->setSpacing(0);
    bars->addWidget(Toolbar1);
    bars->addWidget(Toolbar6, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(Image1);
    right->addLayout(summary, 1);

    auto* middle = new QHBoxLayout;
    middle->addWidget(lvAll, 3);
    middle->addLayout(right, 2);

    auto* find = new QHBoxLayout;
    find->addWidget(Text1, 1);
    find->addWidget(Command1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bars);
    layout->addWidget(Label1);
    layout->addLayout(middle, 1);
    layout->addLayout(find);
    resize(820, 520);
}

// The "Меню" bar and the command bar beside it, with the same five commands in its drop-down list.
void frOpen::buildToolbars() {
    Toolbar1 = new QToolBar;
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* menuButton = Toolbar1->addAction(ProgramIcon(QStringLiteral("menu")), QStringLiteral("Меню"));
    menuButton->setObjectName(QStringLiteral("Меню"));
    menuButton->setToolTip(QStringLiteral("Действия"));

    // The command bar stays visible all the time: a bar that appears only while the pointer
    // is over "Меню" is hard to find and to reach. "Меню" offers the same five commands as a
    // drop-down list for keyboard users.
    Toolbar6 = new QToolBar;
    Toolbar6->setObjectName(QStringLiteral("Toolbar6"));
    Toolbar6->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    struct Button {
        const char* caption;
        const char* key;
        const char* tip;
        const char* icon;
    };
    const Button buttons[5] = {{" Вид       ", "Вид", "Вид", "view"},
                               {"Создать копию", "Копию", "Создать копию объекта", "copy"},
                               {"Загрузить", "Загрузить", "Загрузить объект из...", "import"},
                               {"Копировать", "Копировать", "Отправить копию в ...", "send"},
                               {"Выход", "Выход", "Выход", "exit"}};
    auto* popup = new QMenu(this);
    for (const Button& b : buttons) {
        const QString key = QString::fromUtf8(b.key);
        QAction* a = Toolbar6->addAction(ProgramIcon(QString::fromLatin1(b.icon)), QString::fromUtf8(b.caption));
        a->setObjectName(key);
        a->setData(key);
        a->setToolTip(QString::fromUtf8(b.tip));
        connect(a, &QAction::triggered, this, [this, key] { frOpen_Toolbar6_ButtonClick(key); });
        popup->addAction(a);
        commands_.append(a);
    }
    toolbarButton(QStringLiteral("Копию"))->setEnabled(false);
    toolbarButton(QStringLiteral("Копировать"))->setEnabled(false);
    connect(menuButton, &QAction::triggered, this, [this, popup] {
        QWidget* button = Toolbar1->widgetForAction(Toolbar1->actions().value(0));
        popup->popup(button ? button->mapToGlobal(QPoint(0, button->height())) : QCursor::pos());
    });
}

// The heading, the object list and the search field with "Найти".
void frOpen::buildListAndFilter() {
    Label1 = new QLabel(QStringLiteral("Объекты  -Kalvaro-"));
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont headingFont = Label1->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.5);
    headingFont.setBold(true);
    Label1->setFont(headingFont);
    Label1->setStyleSheet(QStringLiteral("color: #00007f;"));

    lvAll = new ObjectListView;
    lvAll->setMinimumSize(380, 300);
    connect(lvAll, &ObjectListView::selected, this, [this](int row) { frOpen_lvAll_ItemClick(lvAll->entry(row)); });
    connect(lvAll, &ObjectListView::openRequested, this, [this](int) { frOpen_lvAll_Open(); });

    Text1 = new QLineEdit;
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(QStringLiteral("Введите текст и нажмите Enter"));
    Text1->installEventFilter(this);
    Command1 = new QPushButton(QStringLiteral("Найти"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, &frOpen::frOpen_Command1_Click);
    connect(Text1, &QLineEdit::returnPressed, this, [this] {
        Command1->setEnabled(true);
        Command1->click();
    });
}

// The selected object's picture and summary: its title and the captioned values below it.
QGridLayout* frOpen::buildSummary() {
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setMinimumSize(200, 150);

    Label2 = new QLabel;
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    QFont titleFont = Label2->font();
    titleFont.setBold(true);
    Label2->setFont(titleFont);
    Label2->setMinimumWidth(240);

    const QString captions[7] = {QStringLiteral("Установка:"), QStringLiteral("Тип:"),
                                 QStringLiteral("Ст.№:"),      QStringLiteral("Горелка:"),
                                 QStringLiteral("Топливо:"),   QStringLiteral("Режимов:"),
                                 QStringLiteral("Исполнитель:")};
    auto* summary = new QGridLayout;
    summary->setHorizontalSpacing(8);
    summary->addWidget(Label2, 0, 0, 1, 3);
    for (int i = 0; i < 7; ++i) {
        Captions[i] = new QLabel(captions[i]);
        Captions[i]->setObjectName(QStringLiteral("Caption%1").arg(i));
        L1[i] = ValueLabel(QStringLiteral("L1_%1").arg(i));
        summary->addWidget(Captions[i], i + 1, 0, Qt::AlignLeft | Qt::AlignTop);
        if (i == 2) {
            // the economiser stands on the station number's line, just after it
            Economiser = ValueLabel(QStringLiteral("L1_2e"));
            auto* line = new QHBoxLayout;
            line->setSpacing(16);
            line->addWidget(L1[i]);
            line->addWidget(Economiser);
            line->addStretch(1);
            summary->addLayout(line, i + 1, 1, 1, 2);
        } else {
            L1[i]->setWordWrap(true);
            summary->addWidget(L1[i], i + 1, 1, 1, 2);
        }
    }
    summary->setColumnStretch(1, 1);
    summary->setColumnStretch(2, 1);
    summary->setRowStretch(8, 1);
    setCaptionsVisible(false);
    return summary;
}

QAction* frOpen::toolbarButton(const QString& key) const {
    for (QAction* a : commands_)
        if (QString::compare(a->data().toString(), key, Qt::CaseInsensitive) == 0) return a;
    return nullptr;
}

void frOpen::setCaptionsVisible(bool visible) {
    for (QLabel* c : Captions) c->setVisible(visible);
}

void frOpen::clearSummary() {
    Label2->clear();
    for (QLabel* l : L1) l->clear();
    Economiser->clear();
}

void frOpen::frOpen_Form_Load() {
    AppState& s = wb_.state();
    Image1->setPixmap(TemplatePicture(s, QStringLiteral("Kessel.gif")));
    wb_.setCreateOpenEnabled(false);
    if (s.filterActive) {
        Text1->setText(s.filterText);
        Command1->setEnabled(true);
    }
    fillObjectList();
    wb_.enterListUp();
}

void frOpen::fillObjectList() {
    app::AppState& s = wb_.state();
    // a missing objects folder is named, and can be made here without a restart
    if (!s.objectsFolder.isEmpty() && !QFileInfo(s.objectsFolder).exists() &&
        wb_.dialogs().question(QStringLiteral("Нет папки объектов ") + QDir::toNativeSeparators(s.objectsFolder) +
                                   QStringLiteral(".\nСоздать ее сейчас?"),
                               kProgramTitle, Icon::Question) == Answer::Yes &&
        !QDir().mkpath(s.objectsFolder))
        wb_.dialogs().message(QStringLiteral("Папка объектов не создана: ") + QDir::toNativeSeparators(s.objectsFolder),
                              kProgramTitle, Icon::Warning);
    const ObjectList list = FillObjectList(wb_.state());
    lvAll->setEntries(list.names, list.header);
    wb_.setStatus(2, list.header);
    // the selection made before a copy or an import stays the current entry
    const QString current = wb_.state().currentObjectName;
    if (!current.isEmpty())
        for (int i = 0; i < lvAll->count(); ++i)
            if (lvAll->entry(i) == current) lvAll->setCurrentRowQuietly(i);
    if (!list.ok)
        wb_.dialogs().message(
            kObjectListPathError + QStringLiteral(": ") + QDir::toNativeSeparators(s.objectsFolder) +
                (QFileInfo(s.objectsFolder).exists()
                     ? QStringLiteral(".\nПроверьте, что это папка и ее можно читать, или запустите "
                                      "программу с другой папкой: kalvaro --home ПАПКА")
                     : QStringLiteral(".\nПапки нет: откройте список снова и согласитесь создать ее, "
                                      "или запустите программу с другой папкой: kalvaro --home ПАПКА")),
            kProgramTitle, Icon::Warning);
}

void frOpen::frOpen_Command1_Click() {
    Command1->setEnabled(ApplyFilter(wb_.state(), Text1->text()));
    fillObjectList();
}

void frOpen::frOpen_lvAll_ItemClick(const QString& name) {
    AppState& s = wb_.state();
    const ObjectSummary sum = SelectObject(s, name);
    toolbarButton(QStringLiteral("Копию"))->setEnabled(true);
    toolbarButton(QStringLiteral("Копировать"))->setEnabled(true);
    if (!sum.isObject) {
        clearSummary();
        Label2->setText(sum.title);
        // the object commands act on a recognised object only
        wb_.setObjectCommandsEnabled(false);
        return;
    }
    if (sum.readError) {
        // the selection is now this object: rename, delete and copy of the general data must
        // not stay enabled from the entry chosen before
        wb_.setObjectCommandsEnabled(false);
        // a short or unreadable general data file stops before anything is shown; a missing
        // regime counter stops after the general data values
        QStringList probe;
        if (!object::ReadGeneralData(s.currentObjectFolder, probe)) {
            wb_.dialogs().message(kFileReadError, kProgramTitle, Icon::Warning);
            return;
        }
    }
    Label2->setText(sum.title);
    L1[0]->setText(sum.boilerType);
    L1[1]->setText(sum.installationType);
    L1[2]->setText(sum.stationNumber);
    Economiser->setText(sum.economiser);
    L1[3]->setText(sum.burner);
    L1[4]->setText(sum.fuel);
    L1[5]->setText(sum.regimes);
    L1[6]->setText(sum.performer);
    setCaptionsVisible(true);
    if (sum.readError) {
        wb_.dialogs().message(kFileReadError, kProgramTitle, Icon::Warning);
        return;
    }
    wb_.setObjectCommandsEnabled(true);
    wb_.setCreateOpenEnabled(false);
}

void frOpen::frOpen_lvAll_Open() {
    AppState& s = wb_.state();
    const QString name = s.currentObjectName;
    if (name.isEmpty()) return;
    if (!IsObjectFolder(s.currentObjectFolder)) {
        // the object windows need the general data file: such a folder is not opened
        wb_.dialogs().message(QStringLiteral("Объект '") + name + QStringLiteral("' не является файлом Kalvaro"),
                              kProgramTitle, Icon::Warning);
        return;
    }
    wb_.openObject(name);
}

void frOpen::frOpen_Toolbar6_ButtonClick(const QString& key) {
    AppState& s = wb_.state();
    Dialogs& d = wb_.dialogs();
    QAction* button = toolbarButton(key);
    if (!button || !button->isEnabled()) return;
    if (key == u"Вид") {
        lvAll->nextView();
    } else if (key == u"Копию") {
        if (CreateObjectCopy(s, d) == CommandResult::Done) fillObjectList();
    } else if (key == u"Загрузить") {
        if (ImportObject(s, d) == CommandResult::Done) fillObjectList();
    } else if (key == u"Копировать") {
        if (SendObjectCopy(s, d) == CommandResult::Done) fillObjectList();
    } else if (key == u"Выход") {
        wb_.closeObjectList();
    }
}

void frOpen::objectRenamed() {
    fillObjectList();
    // the renamed entry is gone from the list: nothing is left to copy or send
    toolbarButton(QStringLiteral("Копию"))->setEnabled(false);
    toolbarButton(QStringLiteral("Копировать"))->setEnabled(false);
}

void frOpen::objectDeleted() {
    clearSummary();
    fillObjectList();
    toolbarButton(QStringLiteral("Копию"))->setEnabled(false);
    toolbarButton(QStringLiteral("Копировать"))->setEnabled(false);
}

bool frOpen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1) {
        switch (event->type()) {
        case QEvent::FocusIn: wb_.setStatus(1, kStatusHint); break;
        case QEvent::FocusOut: wb_.setStatus(1, QString()); break;
        case QEvent::KeyPress: Command1->setEnabled(true); break;
        case QEvent::ShortcutOverride:
            // the frame's menu shortcut wins over the box's own editing key
            if (IsFrameShortcut(static_cast<QKeyEvent*>(event))) {
                event->ignore();
                return true;
            }
            break;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frOpen::closeEvent(QCloseEvent* event) {
    wb_.listClosed(forOpen_);
    event->accept();
}

}  // namespace store
