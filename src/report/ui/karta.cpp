#include "report/ui/karta.h"

#include <QCloseEvent>
#include <QCompleter>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/state.h"
#include "core/names.h"
#include "object/generaldata.h"
#include "object/reflists.h"
#include "report/carddata.h"

namespace report {

namespace {

const QString kTitle = QStringLiteral("Реквизиты режимной карты");

}  // namespace

Karta::Karta(app::Workbench& wb) : wb_(wb) {
    setObjectName(QStringLiteral("Karta"));
    setWindowTitle(kTitle);
    const app::AppState& s = wb.state();
    QStringList values;
    QString error;
    if (!ReadCardData(s.currentObjectFolder, values, &error))
        wb.dialogs().message(error, kTitle, app::Icon::Warning);

    auto* intro = new QLabel(QStringLiteral(
        "Сведения режимной карты, которых нет в общих данных объекта. Объект, котел, горелка, топливо и исполнитель "
        "берутся из общих данных. Пустое поле печатается линией для записи от руки."));
    intro->setWordWrap(true);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    buildEntries(form, values);
    addInstruments(form, error);
    savedInstruments_ = ticked();
    T[Validity]->setPlaceholderText(QStringLiteral("например, 3 года"));
    saved_ = texts();
    // a new card proposes the dates on which the regimes were measured
    if (T[TestDates]->text().trimmed().isEmpty()) T[TestDates]->setText(TestDatesFromRegimes(s.currentObjectFolder));

    QHBoxLayout* buttons = buildButtons();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    // the entries scroll when the screen is lower than the window (a laptop's 600 pixels)
    auto* entries = new QWidget;
    entries->setLayout(form);
    auto* scroll = new QScrollArea;
    scroll->setWidget(entries);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumHeight(std::min(entries->sizeHint().height() + 4, 420));
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);
    resize(sizeHint().expandedTo(QSize(760, 0)));
}

// One field per entry of the card, with the names and examples offered where they help.
void Karta::buildEntries(QFormLayout* form, const QStringList& values) {
    const app::AppState& s = wb_.state();
    const QStringList captions = CardEntryCaptions();
    const bool gas = object::IsGaseousFuel(s.general.value(object::FuelType));
    for (int i = 0; i < kCardEntryCount; ++i) {
        auto* edit = new QLineEdit(values.value(i));
        edit->setObjectName(QStringLiteral("T%1").arg(i));
        edit->setMinimumWidth(320);
        T.append(edit);
        form->addRow(new QLabel(captions[i] + u':'), edit);
        // the gas facilities sign only where the boiler burns gas
        if (i == GasResponsible && !gas) {
            edit->setEnabled(false);
            edit->setToolTip(QStringLiteral("Только для газообразного топлива"));
        }
    }
    // who drew the card up and who checked it: the names of the employee list offered
    QStringList employees;
    object::ReadList(core::ResolvePath(s.templateFolder, object::kEmployeesFile), employees);
    for (int i : {CompiledBy, CheckedBy}) {
        auto* completer = new QCompleter(employees, T[i]);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
        T[i]->setCompleter(completer);
        T[i]->setPlaceholderText(QStringLiteral("из списка сотрудников"));
    }
    for (int i : {GasPressureTolerance, AirPressureTolerance, DraughtTolerance})
        T[i]->setPlaceholderText(DefaultCardData()[i]);
    T[TestDates]->setPlaceholderText(QStringLiteral("например, 12.05.2026 – 14.05.2026"));
}

// The measuring instruments' list, those of this object ticked.
void Karta::addInstruments(QFormLayout* form, QString& error) {
    const app::AppState& s = wb_.state();
    // the instruments of the program's list, those used in this object ticked; one the list
    // no longer holds stays, ticked
    QStringList all, used;
    object::ReadList(core::ResolvePath(s.templateFolder, object::kInstrumentsFile), all);
    if (!ReadObjectInstruments(s.currentObjectFolder, used, &error))
        wb_.dialogs().message(error, kTitle, app::Icon::Warning);
    for (const QString& u : used)
        if (!all.contains(u)) all.append(u);
    Instruments = new QListWidget;
    Instruments->setObjectName(QStringLiteral("Instruments"));
    for (const QString& i : all) {
        auto* item = new QListWidgetItem(i, Instruments);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(used.contains(i) ? Qt::Checked : Qt::Unchecked);
    }
    Instruments->setMaximumHeight(110);
    Instruments->setToolTip(QStringLiteral("Список ведется в меню «Инструменты» → «Средства измерений...»"));
    form->addRow(new QLabel(QStringLiteral("Средства измерений:")), Instruments);
}

// "Сохранить" and "Закрыть"; Escape closes as "Закрыть" does.
QHBoxLayout* Karta::buildButtons() {
    Command1 = new QPushButton(QStringLiteral("Сохранить"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Закрыть"));
    Command2->setObjectName(QStringLiteral("Command2"));
    connect(Command1, &QPushButton::clicked, this, [this] { save(); });
    connect(Command2, &QPushButton::clicked, this, &QWidget::close);
    // Escape closes as "Закрыть" does (unsaved entries are asked about), as in any dialog
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    return buttons;
}

QStringList Karta::ticked() const {
    QStringList v;
    for (int i = 0; i < Instruments->count(); ++i)
        if (Instruments->item(i)->checkState() == Qt::Checked) v.append(Instruments->item(i)->text());
    return v;
}

QStringList Karta::texts() const {
    QStringList v;
    for (const QLineEdit* e : T) v.append(e->text().simplified());
    return v;
}

bool Karta::changed() const { return texts() != saved_ || ticked() != savedInstruments_; }

bool Karta::save() {
    QString error;
    if (!WriteCardData(wb_.state().currentObjectFolder, texts(), &error) ||
        !WriteObjectInstruments(wb_.state().currentObjectFolder, ticked(), &error)) {
        wb_.dialogs().message(QStringLiteral("Реквизиты карты не сохранены: ") + error, kTitle, app::Icon::Warning);
        return false;
    }
    saved_ = texts();
    savedInstruments_ = ticked();
    return true;
}

void Karta::showEvent(QShowEvent* event) {
    // over the middle of the frame, as a dialog stands
    if (QWidget* frame = parentWidget(); frame && !event->spontaneous())
        move(frame->mapToGlobal(frame->rect().center()) - rect().center());
    QWidget::showEvent(event);
}

void Karta::closeEvent(QCloseEvent* event) {
    // what was typed is not dropped without a word
    if (changed()) {
        const app::Answer a = wb_.dialogs().question(QStringLiteral("Сохранить изменения реквизитов режимной карты?"),
                                                     kTitle, app::Icon::Question, true);
        if (a == app::Answer::Cancel || (a == app::Answer::Yes && !save())) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

}  // namespace report
