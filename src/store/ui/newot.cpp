#include "store/ui/newot.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/startup.h"
#include "app/state.h"
#include "app/ui/pictures.h"
#include "object/generaldata.h"
#include "object/reflists.h"
#include "store/objectcreate.h"

namespace store {

using namespace object;

NewOt::NewOt(app::Workbench& workbench, QWidget* parent) : GeneralDataForm(true, parent), wb_(workbench) {
    setObjectName(QStringLiteral("NewOt"));
    useNumberFields();
    setWindowTitle(QStringLiteral("Новый объект"));
    setWindowIcon(app::ProgramIcon(QStringLiteral("create")));

    COD[BoilerType]->setToolTip(QStringLiteral("Обязательно внести значение до нажатия на кнопку ввод"));
    COD[FuelType]->setToolTip(QStringLiteral("Обязательно внести значение до нажатия на кнопку <ввод>"));
    COD[Economiser]->setToolTip(QStringLiteral("Хвостовые поверхности котла: с экономайзером или без экономайзера"));

    Command4 = new QPushButton(QStringLiteral("Ввод"));
    Command4->setObjectName(QStringLiteral("Command4"));
    Command3 = new QPushButton(QStringLiteral("Отмена"));
    Command3->setObjectName(QStringLiteral("Command3"));
    buttonRow->addWidget(Command4);
    buttonRow->addWidget(Command3);
    connect(Command4, &QPushButton::clicked, this, [this] { NewOt_Command4_Click(); });
    connect(Command3, &QPushButton::clicked, this, &NewOt::NewOt_Command3_Click);

    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    Image1->setPixmap(app::TemplatePicture(wb_.state(), QStringLiteral("Brenner.gif")));
    sideColumn->addWidget(Image1);
    sideColumn->addStretch(1);

    // opening: page 1, all fields empty, "Ввод" available once page 2 has been seen
    showPage(1);
    Command4->setEnabled(false);
    Command2->setEnabled(false);
    Command1->setEnabled(true);
    Command3->setEnabled(true);
    connect(Command1, &QPushButton::clicked, this, [this] { Command4->setEnabled(true); });
    // or once the required entries of page 1 (name, boiler type) are set: what else is missing
    // the checks of "Ввод" name, and they turn to its page
    for (int entry : {int(ObjectName), int(BoilerType)})
        connect(COD[entry], &QComboBox::currentTextChanged, this, [this] {
            if (!COD[ObjectName]->currentText().trimmed().isEmpty() && !COD[BoilerType]->currentText().isEmpty())
                Command4->setEnabled(true);
        });
    activated();
    initial_ = fields();
    contentBuilt();
}

void NewOt::fillFrom(const QStringList& general) {
    QStringList values = general;
    while (values.size() < kGeneralCount) values.append(QString());
    values[ObjectName].clear();
    setFields(values);
    initial_ = fields();
}

void NewOt::showEntryTip(int entry) {
    QComboBox* box = COD[entry];
    QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), box->toolTip(), box);
}

void NewOt::activated() {
    // the list is filled afresh each time, so the entries are not repeated
    QStringList names;
    object::ReadList(app::TemplateFile(wb_.state(), object::kEmployeesFile), names);
    offerPerformers(names);
}

void NewOt::referenceListChanged(const QString& file) {
    if (file.compare(object::kEmployeesFile, Qt::CaseInsensitive) == 0) activated();
}

GeneralDataForm::KeyRule NewOt::keyRule(int entry) const {
    switch (entry) {
    case BoilerType:
    case SteamOutputUnit:
    case Q5Mode:
    case FuelType:
    case HeatOutputUnit:
    case Economiser: return KeyRule::NoTyping;
    case ObjectName: return KeyRule::QuoteToBlank;
    case CalorificValue:
    case FuelDensity:
    case Co2Max:
    case StationNumber:
    case FactoryNumber:
    case NominalOutput:
    case Q5Nominal:
    case OwnNeedsLoss: return KeyRule::Numeric;
    default: return KeyRule::Free;
    }
}

void NewOt::entryPicked(int entry) {
    if (entry == BoilerType) {
        applyBoilerType();
    } else if (entry == FuelType) {
        FuelDefaults d;
        if (DefaultsForFuel(COD[FuelType]->currentText(), d)) {
            COD[CalorificValue]->setEditText(d.calorificValue);
            COD[FuelDensity]->setEditText(d.density);
            COD[Co2Max]->setEditText(d.co2Max);
            applyFuelUnits();
        }
    } else if (entry == Q5Mode) {
        applyQ5Mode();
    }
}

void NewOt::entryLeft(int entry) {
    if (entry != ObjectName) return;
    const QString name = COD[ObjectName]->currentText();
    const QString filtered = FilterObjectName(name);
    if (filtered != name) COD[ObjectName]->setEditText(filtered);
}

bool NewOt::NewOt_Command4_Click() {
    app::AppState& s = wb_.state();
    app::Dialogs& d = wb_.dialogs();
    // a name typed last is filtered as when the field is left
    entryLeft(ObjectName);
    const QStringList values = fields();
    const QString name = values[ObjectName].trimmed();
    s.setCurrentObject(name);
    const CreateCheck check = CheckNewObject(s, values);
    if (!check.ok) {
        d.message(check.text, check.title, app::Icon::Warning);
        if (check.page) showPage(check.page);
        if (check.focusEntry >= 0) {
            COD[check.focusEntry]->setFocus();
            // the economiser choice has no caption of its own: its tip says what is meant
            if (check.focusEntry == Economiser) showEntryTip(Economiser);
        }
        return false;
    }
    QString why, unitsWarning;
    if (!CreateObject(s, values, &why, &unitsWarning)) {
        // CreateObject leaves nothing behind; the name stays for the user to change
        d.message(QStringLiteral("Папка объекта '") + name + QStringLiteral("' не может быть создана.") +
                      (why.isEmpty() ? QString() : QStringLiteral("\n\n") + why),
                  QStringLiteral("Ошибка !"), app::Icon::Warning);
        COD[ObjectName]->setFocus();
        return false;
    }
    QDir::setCurrent(s.currentObjectFolder);
    created_ = true;
    closeWindow();
    wb_.objectCreated(name);
    // the object is open with the built-in units, which the user may need to change
    if (!unitsWarning.isEmpty()) d.message(unitsWarning, app::kProgramTitle, app::Icon::Warning);
    return true;
}

void NewOt::NewOt_Command3_Click() { closeWindow(); }

void NewOt::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->close();
    else close();
}

void NewOt::keyPressEvent(QKeyEvent* event) {
    // Escape that no field took for itself (an open list closes on its own) cancels as
    // "Отмена" does, but what was typed is not thrown away without a question
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (fields() != initial_ &&
            wb_.dialogs().question(QStringLiteral("Закрыть окно \"Новый объект\"? Введенные данные будут потеряны."),
                                   app::kProgramTitle, app::Icon::Question) != app::Answer::Yes)
            return;
        closeWindow();
        return;
    }
    GeneralDataForm::keyPressEvent(event);
}

void NewOt::closeEvent(QCloseEvent* event) {
    if (!created_) wb_.newObjectCancelled();
    event->accept();
}

}  // namespace store
