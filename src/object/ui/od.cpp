#include "object/ui/od.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTimer>

#include "app/dialogs.h"
#include "app/startup.h"
#include "app/state.h"
#include "app/ui/pictures.h"
#include "app/writerefusal.h"
#include "object/emissionnorms.h"
#include "object/generaldata.h"
#include "object/generalranges.h"
#include "object/reflists.h"

namespace object {

OD::OD(app::Workbench& workbench, QWidget* parent) : GeneralDataForm(false, parent), wb_(workbench) {
    setObjectName(QStringLiteral("OD"));
    useNumberFields();
    setWindowTitle(QStringLiteral("Общие Данные"));
    setWindowIcon(app::ProgramIcon(QStringLiteral("copygeneral")));
    Command1->setEnabled(true);
    Command2->setEnabled(true);

    app::AppState& s = wb_.state();
    QStringList names;
    if (object::ReadList(app::TemplateFile(s, object::kEmployeesFile), names)) {
        COD[Performer]->addItems(names);
        COD[Performer]->setCurrentIndex(-1);
    } else {
        // the fields are still filled: an empty window would overwrite the object's file
        wb_.dialogs().message(QStringLiteral("Ошибка при работе с файлом /сотрудники/!"), app::kProgramTitle,
                              app::Icon::Warning);
    }
    setFields(s.general);
    saved_ = fields();
    // what the window shows is what the calculation uses, saved or not
    for (int i = 0; i < kGeneralCount; ++i)
        connect(COD[i], &QComboBox::editTextChanged, this, [this, i](const QString& text) {
            if (!loading_ && i < wb_.state().general.size()) wb_.state().general[i] = text;
        });
    loading_ = false;

    // the emission limits the verdicts use, under the fuel
    if (auto* frame3 = findChild<QGroupBox*>(QStringLiteral("Frame3")))
        if (auto* g3 = qobject_cast<QGridLayout*>(frame3->layout())) {
            Norms = new QComboBox;
            Norms->setObjectName(QStringLiteral("Norms"));
            NormsNote = new QLabel;
            NormsNote->setObjectName(QStringLiteral("NormsNote"));
            NormsNote->setWordWrap(true);
            const int row = g3->rowCount();
            g3->addWidget(new QLabel(QStringLiteral("Нормы выбросов")), row, 0);
            g3->addWidget(Norms, row, 1, 1, 2);
            g3->addWidget(NormsNote, row + 1, 0, 1, 3);
            fillNorms();
            connect(Norms, qOverload<int>(&QComboBox::activated), this, [this] { pickNorms(); });
        }
    contentBuilt();
}

void OD::fillNorms() {
    if (!Norms) return;
    const app::AppState& s = wb_.state();
    EmissionNorms norms;
    ReadEmissionNorms(s.templateFolder, norms);  // a damaged list: the defaults (its window names it)
    QString why;
    if (!ReadObjectNorms(s.currentObjectFolder, normsChoice_, &why)) {
        normsChoice_.clear();
        wb_.dialogs().message(why, app::kProgramTitle, app::Icon::Warning);
    }
    const QStringList sets = norms.sets();
    const QSignalBlocker block(Norms);
    Norms->clear();
    Norms->addItem(
        sets.isEmpty() ? QStringLiteral("по умолчанию") : QStringLiteral("по умолчанию («%1»)").arg(sets.first()),
        QString());
    for (const QString& set : sets) Norms->addItem(set, set);
    Norms->addItem(QStringLiteral("не проверять"), kNoNorms);
    int index = -1;
    for (int i = 0; i < Norms->count(); ++i)
        if (Norms->itemData(i).toString().compare(normsChoice_, Qt::CaseInsensitive) == 0) index = i;
    if (index < 0) {
        // a set the list no longer has stays chosen, and says so
        Norms->addItem(normsChoice_ + QStringLiteral(" (нет в списке норм)"), normsChoice_);
        index = Norms->count() - 1;
    }
    Norms->setCurrentIndex(index);
    showNormsNote();
}

void OD::showNormsNote() {
    if (!NormsNote) return;
    const app::AppState& s = wb_.state();
    EmissionNorms norms;
    ReadEmissionNorms(s.templateFolder, norms);
    QStringList parts;
    for (Pollutant p : {Pollutant::NOx, Pollutant::CO}) {
        const AppliedLimit l = ObjectLimit(norms, normsChoice_, s.general, p);
        parts.append(l.found ? PollutantText(p) + QStringLiteral(" ≤ ") + QLocale().toString(l.limit) +
                                   QStringLiteral(" мг/м3 (") + l.document + u')'
                             : PollutantText(p) + QStringLiteral(": предел не задан"));
    }
    NormsNote->setText(normsChoice_.compare(kNoNorms, Qt::CaseInsensitive) == 0
                           ? QStringLiteral("Выбросы с нормами не сравниваются.")
                           : parts.join(QStringLiteral("; ")) + QStringLiteral(" — при α = 1,4."));
}

void OD::pickNorms() {
    const QString choice = Norms->currentData().toString();
    if (choice == normsChoice_) return;
    QString why;
    if (!WriteObjectNorms(wb_.state().currentObjectFolder, choice, &why)) {
        wb_.dialogs().message(why, app::kProgramTitle, app::Icon::Warning);
        fillNorms();  // the choice the file still holds
        return;
    }
    normsChoice_ = choice;
    showNormsNote();
    wb_.referenceListChanged(kObjectNormsFile);
}

void OD::showEvent(QShowEvent* event) {
    GeneralDataForm::showEvent(event);
    if (placed_) return;
    placed_ = true;
    // at the top, right of the regime list and the task pane, like the other working windows
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->move(wb_.slotRect(app::Slot::Work).topLeft());
    }
}

GeneralDataForm::KeyRule OD::keyRule(int entry) const {
    switch (entry) {
    case SteamOutputUnit:
    case Q5Mode:
    case HeatOutputUnit: return KeyRule::NoTyping;
    case CalorificValue:
    case FuelDensity:
    case Co2Max:
    case NominalOutput:
    case Q5Nominal:
    case OwnNeedsLoss: return KeyRule::Numeric;
    default: return KeyRule::Free;
    }
}

void OD::entryPicked(int entry) {
    if (entry == HeatOutputUnit) {
        wb_.setResultUnit(QStringLiteral("Q"), COD[HeatOutputUnit]->currentText());
    } else if (entry == Q5Mode) {
        applyQ5Mode();
        wb_.showQ5Row(COD[Q5Mode]->currentText().compare(kQ5EachRegime, Qt::CaseInsensitive) == 0);
    } else if (entry == FuelType) {
        // the unit texts beside the fuel values follow the fuel; the values stay as typed
        applyFuelUnits();
        showNormsNote();
    }
}

bool OD::refuseOutOfRange(int entry) {
    const QString text = COD[entry]->currentText();
    if (text == saved_.value(entry)) return false;
    const QString range = GeneralRangeError(entry, text, COD[FuelType]->currentText());
    if (range.isEmpty()) return false;
    // the value that was saved comes back; the user is told which entry and range
    COD[entry]->setEditText(saved_.value(entry));
    wb_.dialogs().message(range + QStringLiteral(". Значение не принято."), app::kProgramTitle, app::Icon::Warning);
    return true;
}

void OD::entryLeft(int entry) { refuseOutOfRange(entry); }

bool OD::save(bool recalculateNow) {
    app::AppState& s = wb_.state();
    for (int entry : {CalorificValue, FuelDensity, Co2Max, NominalOutput, OwnNeedsLoss}) refuseOutOfRange(entry);
    const QStringList values = fields();
    s.general = values;
    if (s.currentObjectFolder.isEmpty()) return false;
    QString why;
    if (!WriteGeneralData(s.currentObjectFolder, values, &why)) {
        wb_.dialogs().message(
            app::WriteFailureText(s, QStringLiteral("Общие данные не сохранены"),
                                  QStringLiteral("Ошибка при записи файла ") + kGeneralFile + QStringLiteral(" !")),
            app::kProgramTitle, app::Icon::Warning);
        return false;
    }
    const bool recalculate = CalculationDataChanged(saved_, values);
    saved_ = values;
    // every stored regime now reads differently: recalculate them all (with the list's
    // progress) and stay on the current one, as a change of units does. Leaving the window
    // runs it once the activation has settled; closing runs it before the list goes.
    if (recalculate)
        if (QWidget* list = wb_.window(app::WindowKind::SReg)) {
            auto* regimes = dynamic_cast<app::RegimeListView*>(list);
            if (regimes && recalculateNow) regimes->RecalculateAll();
            else if (regimes) QTimer::singleShot(0, list, [regimes] { regimes->RecalculateAll(); });
        }
    return true;
}

void OD::activated() {
    wb_.showTaskPage(0, QStringLiteral("..."));
    wb_.setStatus(1, QStringLiteral("Общие Данные"));
    // the editor's hint about Enter does not hold here: entries are saved when left
    wb_.setStatus(3, QString());
}

void OD::deactivated() { save(false); }

bool OD::restoreEntry(int entry) {
    if (COD[entry]->currentText() == saved_.value(entry)) return false;
    COD[entry]->setEditText(saved_.value(entry));
    COD[entry]->lineEdit()->selectAll();
    return true;
}

void OD::referenceListChanged(const QString& file) {
    if (file.compare(kNormsFile, Qt::CaseInsensitive) == 0) fillNorms();
    if (file.compare(kEmployeesFile, Qt::CaseInsensitive) != 0) return;
    QStringList names;
    if (ReadList(app::TemplateFile(wb_.state(), kEmployeesFile), names)) offerPerformers(names);
}

void OD::closeEvent(QCloseEvent* event) {
    save(true);
    GeneralDataForm::closeEvent(event);
}

}  // namespace object
