#include "tuning/ui/fopt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "core/names.h"
#include "regime/editorlayout.h"
#include "regime/regimestore.h"
#include "tuning/tuningchart.h"

namespace tuning {

StepChart::StepChart(QWidget* parent) : QWidget(parent) { setMinimumSize(700, 300); }

void StepChart::setStep(const TuneStep* step) {
    step_ = step;
    update();
}

void StepChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (!step_) return;
    const double half = width() / 2.0;
    DrawStepChart(p, QRectF(0, 0, half, height()), *step_, Chart::Losses);
    DrawStepChart(p, QRectF(half, 0, half, height()), *step_, Chart::Co);
}

fOpt::fOpt(app::Workbench& wb) : wb_(wb) {
    setObjectName(QStringLiteral("fOpt"));
    setWindowTitle(QStringLiteral("Оптимальный избыток воздуха"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Ступень нагрузки:"), this));
    Steps = new QComboBox(this);
    Steps->setObjectName(QStringLiteral("Steps"));
    top->addWidget(Steps, 1);
    top->addWidget(new QLabel(QStringLiteral("Исходный режим:"), this));
    AsFound = new QComboBox(this);
    AsFound->setObjectName(QStringLiteral("AsFound"));
    top->addWidget(AsFound);
    top->addWidget(new QLabel(QStringLiteral("Режим карты:"), this));
    OnCard = new QComboBox(this);
    OnCard->setObjectName(QStringLiteral("OnCard"));
    top->addWidget(OnCard);
    layout->addLayout(top);
    auto* limits = new QHBoxLayout;
    limits->addWidget(new QLabel(QStringLiteral("Предел CO, мг/м3 (α = 1,4):"), this));
    Ceiling = new QDoubleSpinBox(this);
    Ceiling->setObjectName(QStringLiteral("Ceiling"));
    Ceiling->setRange(1, 10000);
    Ceiling->setDecimals(0);
    Ceiling->setKeyboardTracking(false);
    limits->addWidget(Ceiling);
    limits->addWidget(new QLabel(QStringLiteral("Запас по O2, %:"), this));
    Margin = new QDoubleSpinBox(this);
    Margin->setObjectName(QStringLiteral("Margin"));
    Margin->setRange(0, 5);
    Margin->setSingleStep(0.1);
    Margin->setDecimals(1);
    Margin->setKeyboardTracking(false);
    limits->addWidget(Margin);
    limits->addStretch(1);
    layout->addLayout(limits);
    Chart = new StepChart(this);
    layout->addWidget(Chart, 3);
    Summary = new QLabel(this);
    Summary->setObjectName(QStringLiteral("Summary"));
    Summary->setWordWrap(true);
    layout->addWidget(Summary);
    Table = new QTableWidget(this);
    Table->setObjectName(QStringLiteral("Table"));
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->verticalHeader()->hide();
    layout->addWidget(Table, 1);
    auto* buttons = new QHBoxLayout;
    Limits = new QPushButton(QStringLiteral("Погрешности приборов..."), this);
    Export = new QPushButton(QStringLiteral("В таблицу >"), this);
    Close = new QPushButton(QStringLiteral("Закрыть"), this);
    buttons->addWidget(Limits);
    buttons->addStretch(1);
    buttons->addWidget(Export);
    buttons->addWidget(Close);
    layout->addLayout(buttons);
    connect(Steps, &QComboBox::currentIndexChanged, this, &fOpt::fOpt_Steps_Click);
    connect(Table, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0) Steps->setCurrentIndex(row);
    });
    connect(Export, &QPushButton::clicked, this, &fOpt::fOpt_Export_Click);
    connect(Ceiling, &QDoubleSpinBox::valueChanged, this, &fOpt::fOpt_Settings_Change);
    connect(Margin, &QDoubleSpinBox::valueChanged, this, &fOpt::fOpt_Settings_Change);
    connect(AsFound, &QComboBox::activated, this, &fOpt::fOpt_Settings_Change);
    connect(OnCard, &QComboBox::activated, this, &fOpt::fOpt_Settings_Change);
    connect(Limits, &QPushButton::clicked, this, &fOpt::fOpt_Limits_Click);
    connect(Close, &QPushButton::clicked, this, &QDialog::accept);
    resize(1040, 760);
    recalculate();
}

void fOpt::recalculate() {
    const app::AppState& s = wb_.state();
    const int keep = Steps->currentIndex();
    engine::InstrumentLimits limits;
    QString error;
    QList<TunePoint> points;
    QStringList skipped;
    TuneSettings applied;
    // a damaged limits or settings file is a read error, never the defaults: the limits
    // window mends the one, the fields here the other
    if (!results::ReadInstrumentLimits(s.templateFolder, limits, &error))
        wb_.dialogs().message(error + QStringLiteral("\nИсправьте погрешности приборов («Погрешности приборов...»)."),
                              QStringLiteral("Ошибка !"), app::Icon::Error);
    else if (!ReadTuneSettings(s.currentObjectFolder, settings_, &error) || !ObjectTuneSettings(s, applied, &error))
        wb_.dialogs().message(error, QStringLiteral("Ошибка !"), app::Icon::Error);
    else if (!CollectPoints(s, limits, points, &skipped, &error))
        wb_.dialogs().message(error, QStringLiteral("Ошибка !"), app::Icon::Error);
    steps_ = FindSteps(points, applied, &limits);
    {
        const QSignalBlocker b1(Ceiling), b2(Margin);
        Ceiling->setValue(settings_.ceiling);
        Margin->setValue(settings_.margin);
    }

    const QStringList header = StepTableHeader();
    Table->clear();
    Table->setColumnCount(header.size());
    Table->setHorizontalHeaderLabels(header);
    Table->setRowCount(steps_.size());
    const QSignalBlocker block(Steps);
    Steps->clear();
    int first = -1;
    for (int i = 0; i < steps_.size(); ++i) {
        const QStringList row = StepTableRow(steps_[i]);
        for (int c = 0; c < row.size(); ++c) {
            // the table shows the numbers in the user's form
            QString text = row[c];
            bool number = false;
            const double v = QLocale::c().toDouble(text, &number);
            if (number && c != 1) text = QLocale().toString(v, 'f', text.section(u'.', 1).size());
            auto* item = new QTableWidgetItem(text);
            item->setTextAlignment(number && c != 1 ? Qt::AlignRight | Qt::AlignVCenter
                                                    : Qt::AlignLeft | Qt::AlignVCenter);
            Table->setItem(i, c, item);
        }
        Steps->addItem(QStringLiteral("%1 %: режимы %2").arg(row[0], row[1]));
        if (first < 0 && steps_[i].hasSetPoint()) first = i;
    }
    Table->resizeColumnsToContents();
    Table->horizontalHeader()->setStretchLastSection(true);
    if (keep >= 0 && keep < steps_.size()) first = keep;
    if (first < 0) first = steps_.isEmpty() ? -1 : 0;
    Steps->setCurrentIndex(first);
    fOpt_Steps_Click(first);
    Export->setEnabled(!steps_.isEmpty());
}

void fOpt::fillAsFound(int index) {
    const QSignalBlocker block(AsFound), blockCard(OnCard);
    AsFound->clear();
    AsFound->addItem(QStringLiteral("нет"));
    OnCard->clear();
    OnCard->addItem(QStringLiteral("по умолчанию"));
    if (index < 0 || index >= steps_.size()) return;
    const TuneStep& s = steps_[index];
    int chosen = 0;
    for (int i = 0; i < s.points.size(); ++i) {
        const TunePoint& p = s.points[i];
        AsFound->addItem(QStringLiteral("Режим № %1").arg(p.number), p.file);
        OnCard->addItem(QStringLiteral("Режим № %1").arg(p.number), p.file);
        if (settings_.cardRegimes.contains(p.file, Qt::CaseInsensitive)) chosen = i + 1;
    }
    AsFound->setCurrentIndex(s.asFound + 1);
    OnCard->setCurrentIndex(chosen);
    if (s.cardRegime >= 0)
        OnCard->setItemText(0, QStringLiteral("по умолчанию (№ %1)").arg(s.points[s.cardRegime].number));
}

void fOpt::fOpt_Settings_Change() {
    TuneSettings next = settings_;
    next.ceiling = Ceiling->value();
    next.margin = Margin->value();
    const int index = Steps->currentIndex();
    if (index >= 0 && index < steps_.size()) {
        // one regime per step: the step's others are unmarked
        QStringList files;
        for (const TunePoint& p : steps_[index].points) files.append(p.file);
        MarkInStep(next.asFound, files, AsFound->currentData().toString());
        MarkInStep(next.cardRegimes, files, OnCard->currentData().toString());
    }
    QString error;
    if (!WriteTuneSettings(wb_.state().currentObjectFolder, next, &error)) {
        wb_.dialogs().message(QStringLiteral("Уставка не записана: ") + error, QStringLiteral("Ошибка !"),
                              app::Icon::Error);
        return;
    }
    recalculate();
}

void fOpt::fOpt_Steps_Click(int index) {
    fillAsFound(index);
    if (index < 0 || index >= steps_.size()) {
        Chart->setStep(nullptr);
        Summary->setText(QStringLiteral("В объекте нет рассчитанных режимов."));
        return;
    }
    const TuneStep& s = steps_[index];
    Chart->setStep(&s);
    if (Table->currentRow() != index) {
        const QSignalBlocker block(Table);
        Table->selectRow(index);
    }
    const QLocale l;
    const QString notes = s.warnings.isEmpty()
                              ? QString()
                              : QStringLiteral(" Замечания: ") + s.warnings.join(QStringLiteral("; ")) + u'.';
    if (!s.hasSetPoint()) {
        Summary->setText(QStringLiteral("Ступень %1 %: уставки нет (нужны хотя бы два режима с разным O2).%2")
                             .arg(l.toString(s.load, 'f', 0), notes));
        return;
    }
    const TunePoint& rec = s.points[s.recommended];
    const TunePoint& base = s.points[s.baseline];
    Summary->setText(
        QStringLiteral("O2 = %1 ± %2 % (α = %3); предел по CO %4 мг/м3 — при O2 %5 %; q2+q3 = %6 %, КПД = %7 %, "
                       "CO ≈ %8 мг/м3. Выигрыш против %9 режима № %10: %11 ± %12 % КПД, %13 кг у.т./Гкал. "
                       "Рекомендуется режим № %14 (O2 %15 %).%16")
            .arg(l.toString(s.o2Set, 'f', 1), l.toString(s.o2SetU95, 'f', 1), l.toString(s.alphaSet, 'f', 2),
                 l.toString(s.ceiling, 'f', 0), l.toString(s.o2Rich, 'f', 1), l.toString(s.q23AtSet, 'f', 2),
                 l.toString(s.etaAtSet, 'f', 2), l.toString(s.coAtSet, 'f', 0),
                 s.asFound >= 0 ? QStringLiteral("исходного") : QStringLiteral("худшего"))
            .arg(QString::number(base.number), l.toString(s.gainEta, 'f', 2), l.toString(s.gainU95, 'f', 2),
                 l.toString(s.gainFuel, 'f', 2), QString::number(rec.number), l.toString(rec.o2, 'f', 1), notes));
}

void fOpt::fOpt_Export_Click() {
    const app::AppState& s = wb_.state();
    // asked where, as the graph export asks: the object's folder is offered
    const QString path = wb_.dialogs().saveFileName(QStringLiteral("Сохранить таблицу опытов в MS Excel"),
                                                    core::JoinPath(s.currentObjectFolder, kTuningWorkbook),
                                                    QStringLiteral("Книга Excel (*.xlsx)"));
    if (path.isEmpty()) return;
    QString error;
    if (!WriteTuningWorkbook(path, s.currentObjectName, steps_, &error)) {
        wb_.dialogs().message(QStringLiteral("Таблица не записана: ") + error, QStringLiteral("Ошибка !"), app::Icon::Error);
        return;
    }
    app::OfferToOpenSaved(wb_.dialogs(), QStringLiteral("Книга сохранена"), path, QStringLiteral("Открыть ее?"));
}

void fOpt::fOpt_Limits_Click() {
    fPogr editor(wb_, this);
    if (editor.exec() == QDialog::Accepted) recalculate();
}

namespace {

// The rows of the limits window: the inputs the calculation reads, then the calculation's own
// values (q5, CO2max, the barometric pressure), each with the unit its limit is stated in.
enum : int { kQ5Row = -1, kCo2MaxRow = -2, kAtmosphereRow = -3 };
const QList<int>& LimitRows() {
    static const QList<int> rows = {13, 12, 11, 14, 15, 17, 18, 37, 36, 38,     39,         40,
                                    0,  1,  2,  7,  22, 23, 26, 28, 41, kQ5Row, kCo2MaxRow, kAtmosphereRow};
    return rows;
}

QString RowName(int row) {
    switch (row) {
    case kQ5Row: return QStringLiteral("q5 (оценка по нормативу)");
    case kCo2MaxRow: return QStringLiteral("CO2max топлива");
    case kAtmosphereRow: return QStringLiteral("Атмосферное давление (к давлению на счетчике)");
    default: return results::LimitInputName(row);
    }
}

QString RowUnit(int row) {
    switch (row) {
    case kQ5Row: return QString();
    case kCo2MaxRow: return QStringLiteral("% об.");
    case kAtmosphereRow: return QStringLiteral("кПа");
    default: return results::StatedUnitText(row);
    }
}

// the value of a cell, false for a text that is no non-negative number (empty reads as 0)
bool CellNumber(const QTableWidgetItem* item, double& v) {
    const QString text = item->text().trimmed().replace(u',', u'.');
    if (text.isEmpty() || text == u"—") {
        v = 0.0;
        return true;
    }
    bool ok = false;
    v = QLocale::c().toDouble(text, &ok);
    return ok && v >= 0 && std::isfinite(v);
}

QTableWidgetItem* Cell(const QString& text, bool editable) {
    auto* item = new QTableWidgetItem(text);
    if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

}  // namespace

fPogr::fPogr(app::Workbench& wb, QWidget* parent) : QDialog(parent), wb_(wb) {
    setObjectName(QStringLiteral("fPogr"));
    setWindowTitle(QStringLiteral("Погрешности приборов"));
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(QStringLiteral("Предел погрешности: большее из абсолютного значения (в указанных единицах, "
                                           "переводится в единицы поля объекта) и доли показания. Распределение "
                                           "равномерное, u = a/√3; U95 = 2·u (k = 2). Для всей программы."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    Table = new QTableWidget(static_cast<int>(LimitRows().size()), 4, this);
    Table->setObjectName(QStringLiteral("Table"));
    Table->setHorizontalHeaderLabels({QStringLiteral("Параметр"), QStringLiteral("±, абс."), QStringLiteral("Единица"),
                                      QStringLiteral("±, % показания")});
    Table->verticalHeader()->hide();
    QString error;
    if (!results::ReadInstrumentLimits(wb_.state().templateFolder, limits_, &error))
        wb_.dialogs().message(error + QStringLiteral("\nПоказаны погрешности по умолчанию."),
                              QStringLiteral("Ошибка !"), app::Icon::Warning);
    for (int i = 0; i < Table->rowCount(); ++i) {
        const int row = LimitRows()[i];
        Table->setItem(i, 0, Cell(RowName(row), false));
        Table->item(i, 0)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        Table->setItem(i, 2, Cell(RowUnit(row), false));
        Table->item(i, 2)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    Co2FromO2 = new QCheckBox(QStringLiteral("CO2 рассчитывается анализатором по O2"), this);
    Co2FromO2->setObjectName(QStringLiteral("Co2FromO2"));
    BudgetCaption = new QLabel(this);
    BudgetCaption->setWordWrap(true);
    Budget = new QTableWidget(0, 4, this);
    Budget->setObjectName(QStringLiteral("Budget"));
    Budget->setHorizontalHeaderLabels(
        {QStringLiteral("Составляющая"), QStringLiteral("u"), QStringLiteral("c"), QStringLiteral("Доля, %")});
    Budget->verticalHeader()->hide();
    Budget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Budget->horizontalHeader()->setStretchLastSection(true);
    showLimits(limits_);
    Table->resizeColumnsToContents();
    layout->addWidget(Table, 3);
    layout->addWidget(Co2FromO2);
    layout->addWidget(BudgetCaption);
    layout->addWidget(Budget, 2);
    auto* buttons = new QHBoxLayout;
    auto* defaults = new QPushButton(QStringLiteral("По умолчанию"), this);
    auto* save = new QPushButton(QStringLiteral("Сохранить"), this);
    auto* cancel = new QPushButton(QStringLiteral("Отмена"), this);
    buttons->addWidget(defaults);
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(defaults, &QPushButton::clicked, this, [this] { showLimits(engine::DefaultInstrumentLimits()); });
    connect(save, &QPushButton::clicked, this, [this] {
        if (this->save()) accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Table, &QTableWidget::itemChanged, this, [this] { showBudget(); });
    connect(Co2FromO2, &QCheckBox::toggled, this, [this] { showBudget(); });
    resize(720, 760);
}

void fPogr::showLimits(const engine::InstrumentLimits& l) {
    const QSignalBlocker block(Table);
    auto text = [](double v) { return QLocale::c().toString(v); };
    for (int i = 0; i < Table->rowCount(); ++i) {
        const int row = LimitRows()[i];
        double absolute = 0.0, percent = 0.0;
        bool hasAbsolute = true, hasPercent = true;
        if (row == kQ5Row) {
            percent = l.q5Percent;
            hasAbsolute = false;
        } else if (row == kCo2MaxRow || row == kAtmosphereRow) {
            absolute = row == kCo2MaxRow ? l.co2Max : l.atmosphere;
            hasPercent = false;
        } else {
            absolute = l[row].absolute;
            percent = l[row].percent;
            hasAbsolute = engine::LimitUnitOf(row) != engine::LimitUnit::ReadingShare;
        }
        Table->setItem(i, 1, Cell(hasAbsolute ? text(absolute) : QStringLiteral("—"), hasAbsolute));
        Table->setItem(i, 3, Cell(hasPercent ? text(percent) : QStringLiteral("—"), hasPercent));
    }
    const QSignalBlocker blockBox(Co2FromO2);
    Co2FromO2->setChecked(l.co2FromO2);
    showBudget();
}

bool fPogr::readTable(engine::InstrumentLimits& l, int* badRow, int* badColumn) const {
    l = limits_;  // inputs the window does not show keep their limits
    for (int i = 0; i < Table->rowCount(); ++i) {
        const int row = LimitRows()[i];
        double v[2] = {};
        for (int c = 0; c < 2; ++c) {
            if (!CellNumber(Table->item(i, c == 0 ? 1 : 3), v[c])) {
                if (badRow) *badRow = i;
                if (badColumn) *badColumn = c == 0 ? 1 : 3;
                return false;
            }
        }
        if (row == kQ5Row) l.q5Percent = v[1];
        else if (row == kCo2MaxRow) l.co2Max = v[0];
        else if (row == kAtmosphereRow) l.atmosphere = v[0];
        else l[row] = {v[0], v[1]};
    }
    l.co2FromO2 = Co2FromO2->isChecked();
    return true;
}

void fPogr::showBudget() {
    const app::AppState& s = wb_.state();
    Budget->setRowCount(0);
    engine::InstrumentLimits l;
    engine::RegimeUncertainty u;
    QString why;
    const bool calculated =
        s.resultsCheckMessage.isEmpty() && regime::Calculated(s.results) && !s.currentRegimeFile.isEmpty();
    if (!calculated) {
        BudgetCaption->setText(QStringLiteral("Бюджет неопределенности: текущий режим не рассчитан."));
        return;
    }
    if (!readTable(l)) {
        BudgetCaption->setText(
            QStringLiteral("Бюджет неопределенности: в таблице есть значение, которое не является "
                           "неотрицательным числом."));
        return;
    }
    if (!results::RegimeUncertaintyOf(s.calcInputs(), l, s.currentObjectFolder, s.currentRegimeFile, u, &why))
        why = QStringLiteral(" (") + why + u')';
    const QLocale loc;
    BudgetCaption->setText(
        QStringLiteral("Бюджет неопределенности КПД брутто, %1: %2 ± %3 % (k = 2)%4")
            .arg(s.currentRegimeFile, loc.toString(u.value[4], 'f', 2), loc.toString(u.u95[4], 'f', 2), why));
    const auto lines = u.Budget(4);
    Budget->setRowCount(static_cast<int>(lines.size()));
    for (int i = 0; i < Budget->rowCount(); ++i) {
        const engine::BudgetLine& b = lines[static_cast<std::size_t>(i)];
        auto* name = Cell(results::ComponentName(*b.component), false);
        name->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        Budget->setItem(i, 0, name);
        Budget->setItem(i, 1, Cell(loc.toString(b.component->standard, 'g', 3), false));
        Budget->setItem(i, 2, Cell(loc.toString(b.c, 'g', 3), false));
        Budget->setItem(i, 3, Cell(loc.toString(100.0 * b.share, 'f', 1), false));
    }
    Budget->resizeColumnsToContents();
}

bool fPogr::save() {
    engine::InstrumentLimits limits;
    int row = 0, column = 0;
    if (!readTable(limits, &row, &column)) {
        wb_.dialogs().message(
            QStringLiteral("«%1»: погрешность должна быть неотрицательным числом.").arg(Table->item(row, 0)->text()),
            QStringLiteral("Ошибка !"), app::Icon::Warning);
        Table->setCurrentCell(row, column);
        return false;
    }
    QString error;
    if (!results::WriteInstrumentLimits(wb_.state().templateFolder, limits, &error)) {
        wb_.dialogs().message(error, QStringLiteral("Ошибка !"), app::Icon::Error);
        return false;
    }
    limits_ = limits;
    return true;
}

}  // namespace tuning
