#include "tools/ui/pricid.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/state.h"
#include "app/ui/numberfield.h"
#include "app/writerefusal.h"
#include "core/names.h"
#include "core/numbers.h"
#include "object/generaldata.h"
#include "regime/regimestore.h"
#include "tools/ui/toolwindows.h"

namespace tools {

namespace {

constexpr int kCaptionWidth = 200;
constexpr int kFieldWidth = 86;

ExperimentContext ContextOf(app::Workbench& wb) {
    const app::AppState& s = wb.state();
    ExperimentContext c;
    c.fuelType = s.general.value(object::FuelType);
    c.co2Max = core::ParseNumber(s.general.value(object::Co2Max));
    c.q5 = s.results[7];
    c.airTemp = s.inputs[18];
    c.coUnit = s.units.value(11);
    // what the editor shows now: its air temperature field and its CO unit label
    if (auto* editor = wb.window<app::RegimeEditorView>(app::WindowKind::Regim)) {
        const QStringList fields = editor->fieldTexts();
        if (fields.size() > 18) c.airTemp = core::ParseEditorNumber(fields[18]);
        const QStringList units = editor->unitLabels();
        if (units.size() > 11) c.coUnit = units[11];
    }
    return c;
}

}  // namespace

Pricid::Pricid(app::Workbench& wb) : wb_(wb), sheet_(ContextOf(wb)) {
    setObjectName(QStringLiteral("Pricid"));
    setWindowTitle(QStringLiteral("Прикидочные опыты"));
    build();

    const app::AppState& s = wb.state();
    QStringList units = s.units;
    if (auto* editor = wb.window<app::RegimeEditorView>(app::WindowKind::Regim)) units = editor->unitLabels();
    const QString line =
        ExperimentLoadLine(s.general.value(object::FuelType), s.inputs, s.results, units.value(5), units.value(9));
    if (!line.isEmpty()) Label2->setText(line);
    setWindowTitle(ExperimentCaption(s.results));
    sheet_.open(s.inputs, s.results);
    showFields();
}

void Pricid::build() {
    auto* options = new QHBoxLayout;
    auto* optionCaption = new QLabel(QStringLiteral("Основной опыт"));
    optionCaption->setFixedWidth(kCaptionWidth);
    options->addSpacing(10);
    options->addWidget(optionCaption);
    for (int k = 0; k < kExperimentCount; ++k) {
        auto* o = new QRadioButton(QStringLiteral("Опыт ") + QString::number(k + 1));
        o->setObjectName(QStringLiteral("Option1_%1").arg(k));
        o->setFixedWidth(kFieldWidth);
        Option1[k] = o;
        options->addWidget(o);
        connect(o, &QRadioButton::clicked, this, [this, k] { Pricid_Option1_Click(k); });
    }
    Option1[kMainExperiment]->setChecked(true);
    options->addStretch();

    const QStringList captions = ExperimentRowCaptions();
    auto makeFrame = [&](const QString& name, const QString& title, int from, int to) {
        auto* box = new QGroupBox(title);
        box->setObjectName(name);
        auto* grid = new QGridLayout(box);
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(3);
        for (int r = from; r <= to; ++r) {
            auto* caption = new QLabel(captions[r]);
            caption->setFixedWidth(kCaptionWidth);
            grid->addWidget(caption, r - from, 0);
            for (int k = 0; k < kExperimentCount; ++k) {
                const int i = 12 * k + r;
                auto* t = new app::NumberField;
                t->setObjectName(QStringLiteral("T%1").arg(i));
                t->setFixedWidth(kFieldWidth);
                t->setAlignment(Qt::AlignRight);
                T[i] = t;
                grid->addWidget(t, r - from, k + 1);
                connect(t, &QLineEdit::textChanged, this, [this, i] { Pricid_T_Change(i); });
            }
        }
        grid->setColumnStretch(kExperimentCount + 1, 1);
        return box;
    };
    Frame1 = makeFrame(QStringLiteral("Frame1"), QStringLiteral("Воздух"), AirPressure, ServoPosition);
    Frame2 = makeFrame(QStringLiteral("Frame2"), QStringLiteral("Продукты сгорания"), CO, FlueTemp);
    Frame3 = makeFrame(QStringLiteral("Frame3"), QStringLiteral("Баланс"), ExcessAir, StandardFuel);

    Label2 = new QLabel;
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(QStringLiteral(
        "Редактируйте поля по СО, О2 и Тух.г.      Поля СО2 и поля баланса обновляются автоматически.       "
        "Отмеченный опыт сохранится как основной в редакторе режимов."));
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setWordWrap(true);
    Label3->setMaximumWidth(kCaptionWidth + 4 * (kFieldWidth + 6) + 40);

    Command3 = new QPushButton(QStringLiteral("Закрыть"));
    Command3->setObjectName(QStringLiteral("Command3"));
    Command2 = new QPushButton(QStringLiteral("Создать таблицу"));
    Command2->setObjectName(QStringLiteral("Command2"));
    for (QPushButton* b : {Command2, Command3}) b->setAutoDefault(false);
    connect(Command3, &QPushButton::clicked, this, &QWidget::close);
    connect(Command2, &QPushButton::clicked, this, &Pricid::Pricid_Command2_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label2);
    layout->addLayout(options);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    layout->addWidget(Frame3);
    layout->addWidget(Label3);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Pricid::showFields() {
    showing_ = true;
    for (int i = 0; i < kExperimentFieldCount; ++i)
        if (T[i]->text() != sheet_.field(i)) {
            // the field being typed in keeps its cursor where the user left it
            const int cursor = T[i]->cursorPosition();
            T[i]->setText(sheet_.field(i));
            if (T[i]->hasFocus()) T[i]->setCursorPosition(std::min<int>(cursor, static_cast<int>(T[i]->text().size())));
        }
    showing_ = false;
}

void Pricid::Pricid_T_Change(int i) {
    if (showing_) return;
    sheet_.setField(i, T[i]->text());
    showFields();
}

void Pricid::Pricid_Option1_Click(int k) {
    app::AppState& s = wb_.state();
    chosen_ = k;
    Option1[k]->setChecked(true);
    if (s.regimeList.find(s.currentRegimeFile) < 0) {
        wb_.dialogs().message(QStringLiteral("Ошибка записи файла. Режим не сохранен: ") + s.currentRegimeFile,
                              app::kProgramTitle, app::Icon::Warning);
        return;
    }
    auto* editor = wb_.window<app::RegimeEditorView>(app::WindowKind::Regim);
    QStringList fields;
    if (editor) fields = editor->fieldTexts();
    else if (!regime::LoadRegimeInputs(s, &fields)) return;
    fields = sheet_.takeInto(k, fields);
    if (editor) editor->setFieldTexts(fields);
    QString error;
    if (!regime::SaveRegimeInputs(s, fields, &error)) {
        wb_.dialogs().message(
            app::WriteFailureText(s, QStringLiteral("Режим не сохранен"),
                                  QStringLiteral("Ошибка записи файла. Режим не сохранен: ") + s.currentRegimeFile),
            app::kProgramTitle, app::Icon::Warning);
        return;
    }
    for (int i = 0; i < kExperimentFieldCount; ++i)
        T[i]->setStyleSheet(i / 12 == k ? QStringLiteral("QLineEdit { background: rgb(255, 255, 192); }") : QString());
    // the regime now holds the experiment's air and flue-gas values: its results, load and
    // place in the list follow them at once, not at the next Enter
    wb_.calculateCurrentRegime(this);
}

void Pricid::Pricid_Command2_Click() {
    const app::AppState& s = wb_.state();
    const QString path = core::JoinPath(s.currentObjectFolder, ExperimentsWorkbookName(s.currentRegimeFile));
    for (int k = 0; k < kExperimentCount; ++k)
        if (Option1[k]->isChecked()) chosen_ = k;
    const ExperimentExport e{s.currentObjectName, s.currentRegimeFile, Label2->text(), sheet_.fields(), chosen_};
    if (!ExportExperimentsXlsx(path, e)) {
        ReportWorkbookFailure(wb_.dialogs(), path);
        return;
    }
    OfferWorkbook(wb_.dialogs(), path);
}

void Pricid::closeEvent(QCloseEvent* event) {
    // not QDialog::closeEvent: it would reject(), which closes again, and refuse the close
    event->accept();
}

}  // namespace tools
