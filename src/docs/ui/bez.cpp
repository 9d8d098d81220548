#include "docs/ui/bez.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/names.h"
#include "object/reflists.h"
#include "docs/safetymap.h"

namespace docs {

namespace {
constexpr int kSensorColumn = 2;
const int kColumnWidths[kMapColumns] = {330, 110, 220, 110, 120};

// A cell's text shown from its start: a text longer than the cell keeps its beginning in
// view, which says what the sensor or parameter is.
void ShowText(QComboBox* cell, const QString& text) {
    cell->setEditText(text);
    if (cell->lineEdit()) cell->lineEdit()->setCursorPosition(0);
}
}  // namespace

Bez::Bez(app::AppState& state, app::Dialogs& dialogs, QWidget* parent) : QDialog(parent), s_(state), d_(dialogs) {
    setObjectName(QStringLiteral("Bez"));
    setWindowTitle(QStringLiteral("Карта уставок  и  протокол  автоматики  безопасности котла"));
    Frame1 = new QGroupBox(QStringLiteral("Параметры срабатывания автоматики безопасности"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(Frame1);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    const QStringList heads = {QStringLiteral("Параметр срабатывания"), QStringLiteral("Ед. изм."),
                               QStringLiteral("Тип датчика"), QStringLiteral("Номер прибора"), QStringLiteral("Уставка")};
    for (int c = 0; c < kMapColumns; ++c) {
        auto* head = new QLabel(heads[c]);
        head->setAlignment(Qt::AlignCenter);
        grid->addWidget(head, 0, 1 + c);
    }
    const QStringList initial = InitialMapCells();
    for (int r = 0; r < kMapRows; ++r) {
        auto* box = new QCheckBox;
        box->setObjectName(QStringLiteral("Check1_%1").arg(r));
        box->setToolTip(QStringLiteral("Искл./Вкл. в список"));
        box->setChecked(InitiallyIncluded(r));
        connect(box, &QCheckBox::clicked, this, [this, r] { Bez_Check1_Click(r); });
        Check1.append(box);
        grid->addWidget(box, 1 + r, 0);
        for (int c = 0; c < kMapColumns; ++c) {
            auto* cell = new QComboBox;
            const int index = r * kMapColumns + c;
            cell->setObjectName(QStringLiteral("C1_%1").arg(index));
            cell->setEditable(true);
            cell->setInsertPolicy(QComboBox::NoInsert);
            cell->setToolTip(MapColumnTooltip(c));
            cell->setMinimumWidth(kColumnWidths[c]);
            if (c == 0) cell->addItems(TripParameters());
            if (c == 1) cell->addItems(MapUnits());
            ShowText(cell, initial[index]);
            C1.append(cell);
            grid->addWidget(cell, 1 + r, 1 + c);
        }
        for (int c = 0; c < kMapColumns; ++c) C1[r * kMapColumns + c]->setEnabled(box->isChecked());
    }

    Command2 = new QPushButton(QStringLiteral("Сохранить"));
    Command3 = new QPushButton(QStringLiteral("+ Датчики"));
    Command3->setToolTip(QStringLiteral("Добавить в базу данных датчик"));
    Command4 = new QPushButton(QStringLiteral("В таблицу >>"));
    Command4->setToolTip(QStringLiteral("Создать карту уставок и протокол безопасности в MS Excel"));
    Command1 = new QPushButton(QStringLiteral("Закрыть"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2->setObjectName(QStringLiteral("Command2"));
    Command3->setObjectName(QStringLiteral("Command3"));
    Command4->setObjectName(QStringLiteral("Command4"));
    for (QPushButton* b : {Command1, Command2, Command3, Command4}) b->setAutoDefault(false);
    connect(Command2, &QPushButton::clicked, this, &Bez::Bez_Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Bez::Bez_Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Bez::Bez_Command4_Click);
    connect(Command1, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    buttons->addStretch();
    buttons->addWidget(Command4);
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    Bez_Form_Load();
}

void Bez::Bez_Form_Load() {
    // every sensor cell offers the template's sensor list, in file order
    QStringList sensors;
    const bool listRead = object::ReadList(core::ResolvePath(s_.templateFolder, object::kSensorsFile), sensors);
    for (int r = 0; r < kMapRows; ++r) {
        QComboBox* cell = C1[r * kMapColumns + kSensorColumn];
        const QString text = cell->currentText();
        cell->clear();
        cell->addItems(sensors);
        ShowText(cell, text);
    }
    if (!listRead) d_.message(kMapFileError, QStringLiteral("Kalvaro"), app::Icon::Warning);
    QStringList values = cells();
    const MapRead read = ReadSafetyMap(s_.currentObjectFolder, values);
    if (read == MapRead::Complete || read == MapRead::Short)
        for (int i = 0; i < kMapCells; ++i) ShowText(C1[i], values[i]);
    // the ticks of the last save; without that file the rows keep their initial ticks
    QList<bool> ticks = included();
    const MapRead rows = ReadSafetyMapRows(s_.currentObjectFolder, ticks);
    showIncluded(ticks);
    if (read == MapRead::Short || read == MapRead::Failed || rows == MapRead::Failed)
        d_.message(kMapFileError, QStringLiteral("Kalvaro"), app::Icon::Warning);
    markSaved();
}

QStringList Bez::cells() const {
    QStringList l;
    for (const QComboBox* c : C1) l.append(c->currentText());
    return l;
}

QList<bool> Bez::included() const {
    QList<bool> l;
    for (const QCheckBox* b : Check1) l.append(b->isChecked());
    return l;
}

bool Bez::changed() const { return cells() != savedCells_ || included() != savedIncluded_; }

void Bez::markSaved() {
    savedCells_ = cells();
    savedIncluded_ = included();
}

void Bez::showIncluded(const QList<bool>& ticks) {
    for (int r = 0; r < kMapRows; ++r) {
        Check1[r]->setChecked(ticks.value(r, false));
        Bez_Check1_Click(r);
    }
}

bool Bez::Bez_Command2_Click() {
    if (!WriteSafetyMap(s_.currentObjectFolder, cells()) || !WriteSafetyMapRows(s_.currentObjectFolder, included())) {
        d_.message(kMapFileError, QStringLiteral("Kalvaro"), app::Icon::Warning);
        return false;
    }
    markSaved();
    return true;
}

void Bez::reject() {
    if (changed()) {
        switch (d_.question(QStringLiteral("Карта уставок изменена. Сохранить изменения?"), QStringLiteral("Kalvaro"),
                            app::Icon::Question, true)) {
        case app::Answer::Yes:
            if (!Bez_Command2_Click()) return;  // not written: the edits stay on screen
            break;
        case app::Answer::No: break;
        case app::Answer::Cancel: return;
        }
    }
    QDialog::reject();
}

void Bez::Bez_Command3_Click() {
    const auto answer = d_.input(QStringLiteral("Введите тип нового датчика"), QStringLiteral("Добавить датчик в список"),
                                 QString());
    if (!answer) return;
    const QString sensor = answer->trimmed();
    if (sensor.isEmpty()) return;
    if (!object::AppendToList(core::ResolvePath(s_.templateFolder, object::kSensorsFile), sensor)) {
        d_.message(kMapFileError, QStringLiteral("Kalvaro"), app::Icon::Warning);
        return;
    }
    for (int r = 0; r < kMapRows; ++r) C1[r * kMapColumns + kSensorColumn]->addItem(sensor);
}

void Bez::Bez_Command4_Click() {
    const QString path = core::JoinPath(s_.currentObjectFolder, kProtocolXlsx);
    if (core::ExistsNoCase(s_.currentObjectFolder, kProtocolXlsx) &&
        d_.question(QStringLiteral("Файл \"") + kProtocolXlsx + QStringLiteral("\" уже есть в папке объекта. Заменить его?"),
                    QStringLiteral("Подтвердите замену"), app::Icon::Question) != app::Answer::Yes)
        return;
    QString error;
    if (!WriteSafetyProtocol(core::ResolvePath(s_.currentObjectFolder, kProtocolXlsx), s_.general, cells(), included(),
                             QDate::currentDate(), &error)) {
        d_.message(QStringLiteral("Ошибка работы с файлом ! ") + error, QStringLiteral("Kalvaro"), app::Icon::Warning);
        return;
    }
    if (protocolWritten) protocolWritten(path);
    if (d_.question(QStringLiteral("Карта уставок и протокол автоматики безопасности записаны в файл \"") + kProtocolXlsx +
                        QStringLiteral("\" папки объекта. Открыть его?"),
                    QStringLiteral("Информация"), app::Icon::Information) == app::Answer::Yes &&
        openDocument)
        openDocument(core::ResolvePath(s_.currentObjectFolder, kProtocolXlsx));
}

void Bez::Bez_Check1_Click(int row) {
    const bool on = Check1[row]->isChecked();
    for (int c = 0; c < kMapColumns; ++c) C1[row * kMapColumns + c]->setEnabled(on);
}

}  // namespace docs
