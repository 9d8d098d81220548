#include "object/ui/edinic.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

#include "app/dialogs.h"
#include "app/state.h"
#include "object/generaldata.h"
#include "object/units.h"

namespace object {

Edinic::Edinic(app::Workbench& wb) : wb_(wb) {
    setObjectName(QStringLiteral("Edinic"));
    setWindowTitle(QStringLiteral("Единицы  Измерения"));
    const app::AppState& s = wb.state();
    auto* editor = wb.window<app::RegimeEditorView>(app::WindowKind::Regim);
    const QStringList shown = editor ? editor->unitLabels() : s.units;
    buildUnitLists(shown);
    QGridLayout* meter = buildFrames(s);

    enterButton = new QPushButton(QStringLiteral("Ввод"));
    cancelButton = new QPushButton(QStringLiteral("Отмена"));
    connect(enterButton, &QPushButton::clicked, this, &Edinic::accept);
    connect(cancelButton, &QPushButton::clicked, this, &Edinic::cancel);

    auto* left = new QVBoxLayout;
    left->addWidget(gasFrame);
    left->addWidget(liquidFrame);
    left->addWidget(fluegasFrame);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(airFrame);
    right->addWidget(flueFrame);
    right->addWidget(waterFrame);
    right->addWidget(steamFrame);
    right->addLayout(meter);
    right->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(enterButton);
    buttons->addWidget(cancelButton);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(columns);
    outer->addLayout(buttons);
    wb_.placeWindow(this, app::Slot::Dialog);
}

// One list per unit, showing the unit in use; NO2 follows NO and the flue's pressure the furnace's.
void Edinic::buildUnitLists(const QStringList& shown) {
    for (int i = 0; i < 31; ++i) {
        auto* c = new QComboBox;
        c->setObjectName(QStringLiteral("e%1").arg(i));
        c->setEditable(false);
        c->addItems(OfferedUnits(i));
        const QString current = shown.value(i);
        if (!current.isEmpty() && c->findText(current, Qt::MatchExactly) < 0) c->addItem(current);
        c->setCurrentText(current);
        c->setMinimumWidth(110);
        e[i] = c;
    }
    connect(e[6], qOverload<int>(&QComboBox::activated), this, [this] { e[20]->setCurrentText(e[6]->currentText()); });
    connect(e[14], qOverload<int>(&QComboBox::activated), this,
            [this] { e[15]->setCurrentText(NitrogenDioxideUnit(e[14]->currentText())); });
    e[15]->setEnabled(false);  // follows NO
    e[20]->setEnabled(false);  // follows the furnace pressure
}

// The frames of the lists by medium, those the object has no use for hidden; returns the meter's row.
QGridLayout* Edinic::buildFrames(const app::AppState& s) {
    auto frame = [&](const QString& caption, std::initializer_list<int> units, const QString& note = QString()) {
        auto* box = new QGroupBox(caption);
        auto* grid = new QGridLayout(box);
        int r = 0;
        if (!note.isEmpty()) grid->addWidget(new QLabel(note), r++, 0, 1, 2);
        for (int u : units) {
            QString label = UnitLabel(u);
            if (u == 11) label = QStringLiteral("CO");
            else if (u == 17) label = QStringLiteral("Температура уходящих газов");
            grid->addWidget(new QLabel(label), r, 0);
            grid->addWidget(e[u], r++, 1);
        }
        return box;
    };
    const QString fuel = s.general.value(FuelType);
    gasFrame = frame(fuel, {0, 1, 2, 3, 4, 5});
    liquidFrame = frame(fuel.isEmpty() ? QStringLiteral("Топливо") : fuel, {7, 8, 9, 10});
    airFrame = frame(QStringLiteral("Воздух"), {18, 19, 21, 30});
    fluegasFrame = frame(QStringLiteral(" Продукты  сгорания"), {11, 12, 13, 14, 15, 17});
    flueFrame = frame(QString(), {6, 20}, QStringLiteral("Газоход"));
    waterFrame = frame(QStringLiteral("Вода"), {22, 23, 24, 25});
    steamFrame = frame(QStringLiteral("Пар / питательная вода"), {26, 27, 28, 29});
    auto* meter = new QGridLayout;
    meter->addWidget(new QLabel(UnitLabel(16)), 0, 0);
    meter->addWidget(e[16], 0, 1);

    if (IsSteamBoiler(s.general)) waterFrame->hide();
    else if (IsHotWaterBoiler(s.general)) steamFrame->hide();
    if (IsGaseousFuel(fuel)) liquidFrame->hide();
    else if (IsLiquidFuel(fuel)) gasFrame->hide();
    return meter;
}

void Edinic::focusUnit(int unit) {
    if (unit >= 0 && unit < 31) e[unit]->setFocus();
}

void Edinic::accept() {
    QStringList units;
    for (QComboBox* c : e) units.append(c->currentText());
    ApplyUnitFollowers(units);
    app::AppState& s = wb_.state();
    if (auto* editor = wb_.window<app::RegimeEditorView>(app::WindowKind::Regim)) editor->setUnitLabels(units);
    QString error;
    if (!WriteUnits(s.currentObjectFolder, units, &error)) {
        wb_.dialogs().message(QStringLiteral("Ошибка при работе с файлом ! ") + kUnitsFile, app::kProgramTitle,
                              app::Icon::Warning);
    } else {
        const QStringList before = s.units;
        s.units = units;
        // every stored regime now reads differently: recalculate them all and stay on the
        // current one
        if (CalculationUnitsChanged(before, units)) {
            app::Workbench& wb = wb_;
            closeWindow();
            if (auto* list = wb.window<app::RegimeListView>(app::WindowKind::SReg)) list->RecalculateAll();
            return;
        }
    }
    closeWindow();
}

void Edinic::cancel() { closeWindow(); }

void Edinic::deactivated() {
    // losing the focus closes the window without a change; close after the focus change
    // has finished, not inside it. A drop-down list of the window itself, or the frame
    // losing the focus to another program, leaves no other window active: nothing closes.
    if (closing_) return;
    QTimer::singleShot(0, this, [this] {
        QMdiSubWindow* active = wb_.activeSubWindow();
        if (active && active != wb_.subWindow(app::WindowKind::Edinic)) closeWindow();
    });
}

void Edinic::closeWindow() {
    if (closing_) return;
    closing_ = true;
    wb_.unloadWindow(app::WindowKind::Edinic);
}

}  // namespace object
