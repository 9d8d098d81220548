#include "object/ui/fnorm.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "app/dialogs.h"
#include "app/state.h"
#include "core/numbers.h"
#include "object/generaldata.h"

namespace object {

namespace {

enum Column { SetColumn, FuelColumn, PollutantColumn, LimitColumn, DocumentColumn, FromColumn, ToColumn, kColumns };

QString NumberText(double v) { return core::StoredForm(static_cast<float>(v)); }

// A number typed with "." or ",": false for anything else.
bool ReadNumber(const QString& typed, double& out) {
    bool ok = false;
    out = QLocale::c().toDouble(typed.trimmed().replace(u',', u'.'), &ok);
    return ok && std::isfinite(out);
}

}  // namespace

fNorm::fNorm(app::AppState& state, app::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), s_(state), dialogs_(dialogs) {
    setObjectName(QStringLiteral("fNorm"));
    setWindowTitle(QStringLiteral("Нормы выбросов"));
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(
        QStringLiteral("Пределы концентраций в мг/м3 при α = 1,4 (сухие газы, 0 °C, 101,3 кПа), NOx в пересчете на "
                       "NO2. Пределы по умолчанию (ГОСТ Р 55173-2012, табл. 3) — нормы для котлов тепловых "
                       "электростанций; разрешение на выбросы вашего объекта может устанавливать другие. Предел CO "
                       "по умолчанию не задан: внесите предел из разрешения. Объект выбирает набор норм в своих "
                       "общих данных. Мощность (номинальная, МВт) задают, когда предел относится не ко всем котлам: "
                       "от ≤ P < до."),
        this);
    note->setWordWrap(true);
    layout->addWidget(note);
    Table = new QTableWidget(0, kColumns, this);
    Table->setObjectName(QStringLiteral("Table"));
    Table->setHorizontalHeaderLabels({QStringLiteral("Набор"), QStringLiteral("Топливо"), QStringLiteral("Вещество"),
                                      QStringLiteral("Предел, мг/м3"), QStringLiteral("Документ"),
                                      QStringLiteral("Мощность от, МВт"), QStringLiteral("до, МВт")});
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setSectionResizeMode(DocumentColumn, QHeaderView::Stretch);
    layout->addWidget(Table);

    auto* buttons = new QHBoxLayout;
    Add = new QPushButton(QStringLiteral("Добавить"), this);
    Remove = new QPushButton(QStringLiteral("Удалить"), this);
    Defaults = new QPushButton(QStringLiteral("По умолчанию"), this);
    Save = new QPushButton(QStringLiteral("Сохранить"), this);
    Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    for (QPushButton* b : {Add, Remove, Defaults}) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(Save);
    buttons->addWidget(Cancel);
    layout->addLayout(buttons);

    EmissionNorms norms;
    QString error;
    if (!ReadEmissionNorms(s_.templateFolder, norms, &error))
        dialogs_.message(error + QStringLiteral("\nПоказаны нормы по умолчанию."), QStringLiteral("Ошибка !"),
                         app::Icon::Warning);
    fill(norms);

    connect(Add, &QPushButton::clicked, this, [this] {
        EmissionLimit l;
        const int row = Table->currentRow();
        // a new row continues the set of the row the user stands on
        l.set = row >= 0 && Table->item(row, SetColumn) ? Table->item(row, SetColumn)->text() : kDefaultNormsSet;
        l.fuel = kNaturalGas;
        l.pollutant = Pollutant::CO;
        addRow(l);
        Table->item(Table->rowCount() - 1, LimitColumn)->setText(QString());
        Table->setCurrentCell(Table->rowCount() - 1, LimitColumn);
    });
    connect(Remove, &QPushButton::clicked, this, [this] {
        if (Table->currentRow() >= 0) Table->removeRow(Table->currentRow());
    });
    connect(Defaults, &QPushButton::clicked, this, [this] { fill(DefaultEmissionNorms()); });
    connect(Save, &QPushButton::clicked, this, [this] {
        if (this->save()) accept();
    });
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(900, 420);
}

void fNorm::fill(const EmissionNorms& norms) {
    Table->setRowCount(0);
    for (const auto& l : norms.limits) addRow(l);
    Table->resizeColumnsToContents();
    Table->horizontalHeader()->setSectionResizeMode(DocumentColumn, QHeaderView::Stretch);
}

void fNorm::addRow(const EmissionLimit& l) {
    const int row = Table->rowCount();
    Table->insertRow(row);
    Table->setItem(row, SetColumn, new QTableWidgetItem(l.set));
    auto* fuel = new QComboBox(Table);
    fuel->addItems(FuelTypes());
    fuel->setCurrentText(l.fuel);
    Table->setCellWidget(row, FuelColumn, fuel);
    auto* pollutant = new QComboBox(Table);
    pollutant->addItems({PollutantText(Pollutant::NOx), PollutantText(Pollutant::CO)});
    pollutant->setCurrentText(PollutantText(l.pollutant));
    Table->setCellWidget(row, PollutantColumn, pollutant);
    Table->setItem(row, LimitColumn, new QTableWidgetItem(NumberText(l.limit)));
    Table->setItem(row, DocumentColumn, new QTableWidgetItem(l.document));
    Table->setItem(row, FromColumn, new QTableWidgetItem(l.ranged ? NumberText(l.outputFrom) : QString()));
    Table->setItem(row, ToColumn, new QTableWidgetItem(l.ranged ? NumberText(l.outputTo) : QString()));
}

bool fNorm::collect(EmissionNorms& norms, int& row, QString& why) const {
    norms.limits.clear();
    auto text = [this](int r, int c) { return Table->item(r, c) ? Table->item(r, c)->text().trimmed() : QString(); };
    for (row = 0; row < Table->rowCount(); ++row) {
        EmissionLimit l;
        l.set = text(row, SetColumn);
        if (auto* fuel = qobject_cast<QComboBox*>(Table->cellWidget(row, FuelColumn))) l.fuel = fuel->currentText();
        if (auto* p = qobject_cast<QComboBox*>(Table->cellWidget(row, PollutantColumn)))
            l.pollutant = p->currentText() == PollutantText(Pollutant::CO) ? Pollutant::CO : Pollutant::NOx;
        if (!ReadNumber(text(row, LimitColumn), l.limit)) {
            why = QStringLiteral("предел должен быть числом");
            return false;
        }
        l.document = text(row, DocumentColumn);
        const QString from = text(row, FromColumn), to = text(row, ToColumn);
        if (!from.isEmpty() || !to.isEmpty()) {
            l.ranged = true;
            if (!ReadNumber(from, l.outputFrom) || !ReadNumber(to, l.outputTo)) {
                why = QStringLiteral("мощность задают двумя числами «от» и «до» или не задают");
                return false;
            }
        }
        norms.limits.append(l);
    }
    why = CheckEmissionNorms(norms, &row);
    return why.isEmpty();
}

bool fNorm::save() {
    EmissionNorms norms;
    int row = -1;
    QString why;
    if (!collect(norms, row, why)) {
        dialogs_.message(QStringLiteral("Строка %1: ").arg(row + 1) + why + u'.', QStringLiteral("Ошибка !"),
                         app::Icon::Warning);
        if (row >= 0 && row < Table->rowCount()) Table->selectRow(row);
        return false;
    }
    QString error;
    if (!WriteEmissionNorms(s_.templateFolder, norms, &error)) {
        dialogs_.message(error, QStringLiteral("Ошибка !"), app::Icon::Warning);
        return false;
    }
    emit saved();
    return true;
}

}  // namespace object
