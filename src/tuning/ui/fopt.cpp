#include "tuning/ui/fopt.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QUrl>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "core/names.h"
#include "regime/editorlayout.h"
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
    layout->addLayout(top);
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
    connect(Limits, &QPushButton::clicked, this, &fOpt::fOpt_Limits_Click);
    connect(Close, &QPushButton::clicked, this, &QDialog::accept);
    resize(1040, 760);
    recalculate();
}

void fOpt::recalculate() {
    const app::AppState& s = wb_.state();
    engine::InstrumentLimits limits;
    QString error;
    if (!results::ReadInstrumentLimits(s.templateFolder, limits, &error))
        wb_.dialogs().message(error + QStringLiteral("\nПриняты погрешности по умолчанию."), QStringLiteral("Ошибка !"),
                              app::Icon::Warning);
    QList<TunePoint> points;
    QStringList skipped;
    if (!CollectPoints(s, limits, points, &skipped, &error))
        wb_.dialogs().message(error, QStringLiteral("Ошибка !"), app::Icon::Error);
    steps_ = FindSteps(points);

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
            item->setTextAlignment(c == 1 || c == 9 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            Table->setItem(i, c, item);
        }
        Steps->addItem(QStringLiteral("%1 %: режимы %2").arg(row[0], row[1]));
        if (first < 0 && steps_[i].enough) first = i;
    }
    Table->resizeColumnsToContents();
    Table->horizontalHeader()->setStretchLastSection(true);
    if (first < 0) first = steps_.isEmpty() ? -1 : 0;
    Steps->setCurrentIndex(first);
    fOpt_Steps_Click(first);
    Export->setEnabled(!steps_.isEmpty());
}

void fOpt::fOpt_Steps_Click(int index) {
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
    if (!s.enough) {
        Summary->setText(QStringLiteral("Ступень %1 %: %2 (нужны хотя бы три режима с разным избытком воздуха).")
                             .arg(l.toString(s.load, 'f', 0), kTooFew));
        return;
    }
    const TunePoint& rec = s.points[s.recommended];
    Summary->setText(
        QStringLiteral("α опт = %1, O2 = %2 %; q2+q3 = %3 %, КПД = %4 %, CO ≈ %5 мг/м3; выигрыш против худшего "
                       "режима ступени %6 % КПД, %7 кг у.т./Гкал. Рекомендуется режим № %8 (α = %9, КПД %10 ± %11 %).%12")
            .arg(l.toString(s.alphaOpt, 'f', 2), l.toString(s.o2Opt, 'f', 1), l.toString(s.q23Opt, 'f', 2),
                 l.toString(s.etaOpt, 'f', 2), l.toString(s.coOpt, 'f', 0), l.toString(s.gainEta, 'f', 2),
                 l.toString(s.gainFuel, 'f', 2), QString::number(rec.number), l.toString(rec.alpha, 'f', 2))
            .arg(l.toString(rec.eta, 'f', 2), l.toString(rec.u95Eta, 'f', 2),
                 s.parabola ? QString()
                            : QStringLiteral(" Парабола не имеет минимума: взят режим с наименьшими q2+q3.")));
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
    // opened with the platform's spreadsheet application when the user wants it
    if (wb_.dialogs().question(QStringLiteral("Книга сохранена: ") + path + QStringLiteral("\nОткрыть ее?"),
                               QStringLiteral("Информация"), app::Icon::Question) == app::Answer::Yes &&
        !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        wb_.dialogs().message(QStringLiteral("Нет программы для открытия файла ") + path, app::kProgramTitle,
                              app::Icon::Warning);
}

void fOpt::fOpt_Limits_Click() {
    fPogr editor(wb_, this);
    if (editor.exec() == QDialog::Accepted) recalculate();
}

fPogr::fPogr(app::Workbench& wb, QWidget* parent) : QDialog(parent), wb_(wb) {
    setObjectName(QStringLiteral("fPogr"));
    setWindowTitle(QStringLiteral("Погрешности приборов"));
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(QStringLiteral("Предел погрешности: большее из абсолютного значения (в единицах поля) и "
                                           "доли показания. Для всей программы."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    Table = new QTableWidget(engine::kInputCount, 3, this);
    Table->setHorizontalHeaderLabels(
        {QStringLiteral("Параметр"), QStringLiteral("±, в ед. поля"), QStringLiteral("±, % показания")});
    Table->verticalHeader()->hide();
    engine::InstrumentLimits limits;
    QString error;
    if (!results::ReadInstrumentLimits(wb_.state().templateFolder, limits, &error))
        wb_.dialogs().message(error, QStringLiteral("Ошибка !"), app::Icon::Warning);
    for (int k = 0; k < engine::kInputCount; ++k) {
        auto* caption = new QTableWidgetItem(QStringLiteral("%1  %2").arg(k).arg(regime::FieldHint(k, true)));
        caption->setFlags(caption->flags() & ~Qt::ItemIsEditable);
        Table->setItem(k, 0, caption);
        Table->setItem(k, 1, new QTableWidgetItem(QLocale::c().toString(limits[k].absolute)));
        Table->setItem(k, 2, new QTableWidgetItem(QLocale::c().toString(limits[k].percent)));
    }
    Table->resizeColumnsToContents();
    layout->addWidget(Table);
    auto* buttons = new QHBoxLayout;
    auto* defaults = new QPushButton(QStringLiteral("По умолчанию"), this);
    auto* save = new QPushButton(QStringLiteral("Сохранить"), this);
    auto* cancel = new QPushButton(QStringLiteral("Отмена"), this);
    buttons->addWidget(defaults);
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(defaults, &QPushButton::clicked, this, [this] {
        const auto d = engine::DefaultInstrumentLimits();
        for (int k = 0; k < engine::kInputCount; ++k) {
            Table->item(k, 1)->setText(QLocale::c().toString(d[k].absolute));
            Table->item(k, 2)->setText(QLocale::c().toString(d[k].percent));
        }
    });
    connect(save, &QPushButton::clicked, this, [this] {
        if (this->save()) accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(620, 640);
}

bool fPogr::save() {
    engine::InstrumentLimits limits{};
    for (int k = 0; k < engine::kInputCount; ++k) {
        double v[2];
        for (int c = 0; c < 2; ++c) {
            bool ok = false;
            const QString text = Table->item(k, c + 1)->text().trimmed().replace(u',', u'.');
            v[c] = text.isEmpty() ? 0.0 : QLocale::c().toDouble(text, &ok);
            if ((!ok && !text.isEmpty()) || v[c] < 0 || !std::isfinite(v[c])) {
                wb_.dialogs().message(QStringLiteral("Строка %1: погрешность должна быть неотрицательным числом.").arg(k),
                                      QStringLiteral("Ошибка !"), app::Icon::Warning);
                Table->setCurrentCell(k, c + 1);
                return false;
            }
        }
        limits[k] = {v[0], v[1]};
    }
    QString error;
    if (!results::WriteInstrumentLimits(wb_.state().templateFolder, limits, &error)) {
        wb_.dialogs().message(error, QStringLiteral("Ошибка !"), app::Icon::Error);
        return false;
    }
    return true;
}

}  // namespace tuning
