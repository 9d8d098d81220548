#include "tools/ui/fq5.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/state.h"
#include "app/ui/numberfield.h"
#include "app/writerefusal.h"
#include "core/names.h"
#include "core/numbers.h"
#include "regime/regimestore.h"
#include "tools/q5.h"
#include "tools/toolnumbers.h"
#include "tools/ui/toolwindows.h"

namespace tools {

namespace {

const char* kCellProperty = "q5Cell";

const QStringList& CellTips() {
    static const QStringList tips = {QStringLiteral("Площадь поверхности, м2"),
                                     QStringLiteral("Средняя температура поверхности, оС"),
                                     QStringLiteral("Температура окр. воздуха вблизи поверхности, оС"),
                                     QStringLiteral("Ориентация поверхности"),
                                     QStringLiteral("Материал поверхности"),
                                     QStringLiteral("Коэффициент теплоотдачи конвекцией, Вт/(м2 оК)"),
                                     QStringLiteral("Коэффициент теплоотдачи излучением, Вт/(м2 оК)"),
                                     QStringLiteral("Потери тепла поверхностью, кВт")};
    return tips;
}

}  // namespace

fQ5::fQ5(app::Workbench& wb) : wb_(wb) {
    setObjectName(QStringLiteral("fQ5"));
    setWindowTitle(QStringLiteral("Расчет потерь тепла в окружающую среду"));
    build();

    // opening: both combos on the regime selected in the list, the cells of its q5 file
    app::AppState& s = wb.state();
    const int n = static_cast<int>(s.regimeList.rows.size());
    for (int k = 1; k <= n; ++k) {
        Combo2->addItem(Q5ComboEntry(k));
        Combo1->addItem(Q5ComboEntry(k));
    }
    int selected = s.regimeList.find(s.currentRegimeFile);
    if (selected < 0) selected = s.regimeList.selectedRow();
    if (selected >= 0) {
        Combo2->setCurrentIndex(selected);
        Combo1->setCurrentIndex(selected);
        setLabel4(selected + 1);
        fileName_ = Q5FileName(regimeAt(selected));
        loadCells(selected);
        savedInputs_ = inputCells();
    } else {
        setLabel4(0);
    }
    computeHeatOutput();
    for (QPushButton* b : {Command1, Command3, Command4}) b->setEnabled(selected >= 0);
}

void fQ5::build() {
    QGridLayout* top = buildRegimeRows();
    QGroupBox* surfaces = buildSurfaces();
    QHBoxLayout* buttons = buildButtons();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(surfaces);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

// The regime calculated, the regime whose surfaces are taken, and the heat output's field.
QGridLayout* fQ5::buildRegimeRows() {
    auto* top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("Расчет потерь тепла в окружающую среду на режиме -")), 0, 0);
    Combo2 = new QComboBox;
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->setEditable(false);  // a regime is chosen, never typed
    top->addWidget(Combo2, 0, 1);
    top->addWidget(new QLabel(QStringLiteral("Данные о поверхностях и температурах  внести  из режима")), 1, 0);
    Combo1 = new QComboBox;
    Combo1->setObjectName(QStringLiteral("Combo1"));
    top->addWidget(Combo1, 1, 1);
    Label4 = new QLabel;
    Label4->setObjectName(QStringLiteral("Label4"));
    top->addWidget(Label4, 2, 0);
    Text1 = new app::NumberField;
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAlignment(Qt::AlignRight);
    Text1->installEventFilter(this);
    top->addWidget(Text1, 2, 1);
    top->setColumnStretch(2, 1);
    connect(Combo2, &QComboBox::activated, this, &fQ5::fQ5_Combo2_Click);
    connect(Combo1, &QComboBox::activated, this, &fQ5::fQ5_Combo1_Click);
    return top;
}

// The surfaces' table: eight cells a surface, the sum and q5 under it.
QGroupBox* fQ5::buildSurfaces() {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    const QStringList headings = {QStringLiteral("F,м2"),         QStringLiteral("t пов,оС"),
                                  QStringLiteral("t воз.,оС"),    QStringLiteral("(ориентация)"),
                                  QStringLiteral("(материал)"),   QStringLiteral("k,Вт/оКм2"),
                                  QStringLiteral("k,Вт/оКм2"),    QStringLiteral("Q5i,кВт")};
    for (int c = 0; c < headings.size(); ++c) {
        auto* h = new QLabel(headings[c]);
        h->setAlignment(Qt::AlignCenter);
        grid->addWidget(h, 0, c + 1);
    }
    for (int i = 0; i < 64; ++i) {
        const int column = i % 8;
        QWidget* w = nullptr;
        if (column == Orientation || column == Material) {
            auto* box = new QComboBox;
            box->addItem(QString());
            box->addItems(column == Orientation ? Q5Orientations() : Q5Materials());
            box->setMinimumWidth(118);
            w = box;
        } else {
            auto* e = new app::NumberField;
            e->setAlignment(Qt::AlignRight);
            e->setFixedWidth(column >= Convective ? 84 : 74);
            e->installEventFilter(this);
            if (column >= Convective) e->setStyleSheet(QStringLiteral("QLineEdit { background: #f3f6fa; }"));
            w = e;
        }
        w->setObjectName(QStringLiteral("C%1").arg(i));
        w->setProperty(kCellProperty, i);
        w->setToolTip(CellTips()[column]);
        C[i] = w;
        grid->addWidget(w, i / 8 + 1, column + 1);
    }
    for (int s = 1; s <= kQ5SurfaceCount; ++s)
        grid->addWidget(new QLabel(QStringLiteral("Поверхность ") + QString::number(s)), s, 0);
    for (int i : {kQ5TotalCell, kQ5PercentCell}) {
        auto* e = new app::NumberField;
        e->setObjectName(QStringLiteral("C%1").arg(i));
        e->setProperty(kCellProperty, i);
        e->setAlignment(Qt::AlignRight);
        e->setFixedWidth(84);
        e->installEventFilter(this);
        QFont f = e->font();
        f.setBold(true);
        e->setFont(f);
        C[i] = e;
    }
    edit(kQ5TotalCell)->setToolTip(QStringLiteral("Суммарные потери тепла, кВт"));
    edit(kQ5PercentCell)->setToolTip(QStringLiteral("Относительные потери тепла на текущей нагрузке, %"));
    auto* sumCaption = new QLabel(QStringLiteral("Сумма Q5, кВт"));
    sumCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(sumCaption, 9, 5, 1, 3);
    grid->addWidget(C[kQ5TotalCell], 9, 8);
    auto* q5Caption = new QLabel(QStringLiteral("q5, %"));
    q5Caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(q5Caption, 10, 5, 1, 3);
    grid->addWidget(C[kQ5PercentCell], 10, 8);

    auto* surfaces = new QGroupBox;
    surfaces->setLayout(grid);
    return surfaces;
}

// "Рассчитать", "Принять q5", "В таблицу >" and "Закрыть".
QHBoxLayout* fQ5::buildButtons() {
    Command3 = new QPushButton(QStringLiteral("Рассчитать"));
    Command3->setToolTip(QStringLiteral("Рассчитать q5"));
    Command1 = new QPushButton(QStringLiteral("Принять q5"));
    Command1->setToolTip(QStringLiteral("Рассчитать режим с полученным q5"));
    Command4 = new QPushButton(QStringLiteral("В таблицу >"));
    Command4->setToolTip(QStringLiteral("Создать таблицу в MS Excel"));
    Command2 = new QPushButton(QStringLiteral("Закрыть"));
    Command3->setObjectName(QStringLiteral("Command3"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command4->setObjectName(QStringLiteral("Command4"));
    Command2->setObjectName(QStringLiteral("Command2"));
    for (QPushButton* b : {Command3, Command1, Command4, Command2}) b->setAutoDefault(false);
    connect(Command3, &QPushButton::clicked, this, &fQ5::fQ5_Command3_Click);
    connect(Command1, &QPushButton::clicked, this, &fQ5::fQ5_Command1_Click);
    connect(Command4, &QPushButton::clicked, this, &fQ5::fQ5_Command4_Click);
    connect(Command2, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command3);
    buttons->addWidget(Command1);
    buttons->addStretch();
    buttons->addWidget(Command4);
    buttons->addWidget(Command2);
    return buttons;
}

QLineEdit* fQ5::edit(int cell) const { return qobject_cast<QLineEdit*>(C.at(cell)); }
QComboBox* fQ5::choice(int cell) const { return qobject_cast<QComboBox*>(C.at(cell)); }

QString fQ5::cellText(int cell) const {
    if (QLineEdit* e = edit(cell)) return e->text();
    if (QComboBox* b = choice(cell)) return b->currentText();
    return {};
}

void fQ5::setCellText(int cell, const QString& text) {
    if (QLineEdit* e = edit(cell)) {
        e->setText(text);
    } else if (QComboBox* b = choice(cell)) {
        int i = b->findText(text, Qt::MatchFixedString);
        if (i < 0) {
            // a choice this version does not list stays visible as read
            b->addItem(text);
            i = b->count() - 1;
        }
        b->setCurrentIndex(i);
    }
}

QStringList fQ5::cellTexts() const {
    QStringList l;
    for (int i = 0; i < kQ5CellCount; ++i) l.append(cellText(i));
    return l;
}

void fQ5::setCellTexts(const QStringList& texts) {
    for (int i = 0; i < kQ5CellCount; ++i) setCellText(i, texts.value(i));
}

QString fQ5::regimeAt(int index) const {
    const auto& rows = wb_.state().regimeList.rows;
    return index >= 0 && index < rows.size() ? rows[index].key : QString();
}

void fQ5::setLabel4(int position) {
    Label4->setText(QStringLiteral("Теплопроизводительность (Вт х Qн) на режиме ") + QString::number(position) +
                    QStringLiteral(",   кВт"));
}

void fQ5::loadCells(int index) {
    const QString regimeFile = regimeAt(index);
    if (regimeFile.isEmpty()) return;
    QStringList cells;
    QString error;
    const QString name = Q5FileName(regimeFile);
    if (!ReadQ5File(wb_.state().currentObjectFolder, name, cells, nullptr, &error)) {
        wb_.dialogs().message(QStringLiteral("Ошибка чтения файла ") + name, app::kProgramTitle, app::Icon::Warning);
        return;
    }
    setCellTexts(cells);
}

void fQ5::computeHeatOutput() {
    if (const auto q = Q5HeatOutput(wb_.state())) Text1->setText(RoundedText(*q, 3));
    Text1->setText(Text1->text().replace(u',', u'.'));
}

QStringList fQ5::inputCells() const {
    QStringList l;
    for (int surface = 1; surface <= kQ5SurfaceCount; ++surface)
        for (Q5Column c : {Area, SurfaceTemp, AirTemp, Orientation, Material}) l.append(cellText(Q5Cell(surface, c)));
    return l;
}

void fQ5::commitPendingCells() {
    // surfaces typed or brought in without "Рассчитать" are calculated and kept, not dropped
    if (!fileName_.isEmpty() && inputCells() != savedInputs_) fQ5_Command3_Click();
}

void fQ5::fQ5_Combo2_Click(int index) {
    commitPendingCells();
    app::AppState& s = wb_.state();
    const QString regimeFile = regimeAt(index);
    if (regimeFile.isEmpty()) return;
    // the chosen regime becomes the current one everywhere, as a click in the list does
    regime::SelectRegimeRow(s, index);
    s.regimeList.header = regime::SelectionHeader(s, index);
    wb_.setStatus(2, s.regimeList.header);
    if (!regime::LoadRegimeInputs(s) || !regime::LoadRegimeResults(s)) {
        wb_.dialogs().message(QStringLiteral("Ошибка пути или чтения файла") + s.currentResultsFile +
                                  s.currentRegimeFile,
                              app::kProgramTitle, app::Icon::Warning);
        return;
    }
    regime::ShowRegimeResults(s);
    computeHeatOutput();
    setLabel4(index + 1);
    fileName_ = Q5FileName(regimeFile);
    Combo1->setCurrentIndex(index);
    loadCells(index);
    savedInputs_ = inputCells();
    for (QPushButton* b : {Command1, Command3, Command4}) b->setEnabled(true);
}

void fQ5::fQ5_Combo1_Click(int index) { loadCells(index); }

bool fQ5::fQ5_Command3_Click() {
    if (fileName_.isEmpty()) return false;
    QStringList cells = cellTexts();
    ComputeQ5(cells, FieldValue(Text1->text()));
    setCellTexts(cells);
    QString error;
    if (WriteQ5File(wb_.state().currentObjectFolder, fileName_, cells, &error)) {
        savedInputs_ = inputCells();
        return true;
    }
    wb_.dialogs().message(QStringLiteral("Ошибка записи файла ") + fileName_, QStringLiteral("Ошибка !"),
                          app::Icon::Error);
    return false;
}

void fQ5::fQ5_Command1_Click() {
    app::AppState& s = wb_.state();
    if (s.regimeList.find(s.currentRegimeFile) < 0) return;
    // q5 as the surfaces give it now, never a cell left from before (or empty, which is 0);
    // surfaces that cannot be stored are not taken either
    if (!fQ5_Command3_Click()) return;
    auto* editor = wb_.window<app::RegimeEditorView>(app::WindowKind::Regim);
    QStringList fields;
    if (editor) fields = editor->fieldTexts();
    else if (!regime::LoadRegimeInputs(s, &fields)) return;
    const TakeQ5Outcome r =
        TakeQ5(s, fields, cellText(kQ5PercentCell), [this](const QString& m) { wb_.dialogs().notice(this, m); });
    if (editor) editor->setFieldTexts(fields);
    if (!r.saved) {
        wb_.dialogs().message(
            app::WriteFailureText(s, QStringLiteral("Режим не сохранен"),
                                  QStringLiteral("Ошибка записи файла. Режим не сохранен: ") + s.currentRegimeFile),
            app::kProgramTitle, app::Icon::Warning);
        return;
    }
    if (r.calc.outcome == regime::CalcOutcome::FileError)
        wb_.dialogs().message(app::WriteFailureText(s, QStringLiteral("Результаты не сохранены"),
                                                    QStringLiteral("Ошибка записи файла. Результаты не сохранены: ") +
                                                        s.currentResultsFile),
                              app::kProgramTitle, app::Icon::Warning);
    if (!r.sortWarning.isEmpty()) wb_.dialogs().message(r.sortWarning, app::kProgramTitle, app::Icon::Warning);
    // the list shows the new order and the pane the new results
    if (s.showRegimeResults) s.showRegimeResults();
}

void fQ5::fQ5_Command4_Click() {
    app::AppState& s = wb_.state();
    const QString regimeFile = regimeAt(Combo2->currentIndex());
    if (regimeFile.isEmpty()) return;
    const QString path = core::JoinPath(s.currentObjectFolder, Q5WorkbookName(regimeFile));
    const Q5Export e{s.currentObjectName, regimeFile, Combo2->currentText(), Text1->text(), cellTexts()};
    if (!ExportQ5Xlsx(path, e)) {
        ReportWorkbookFailure(wb_.dialogs(), path);
        return;
    }
    OfferWorkbook(wb_.dialogs(), path);
}

void fQ5::fQ5_Form_Activate() {
    QStringList cells = cellTexts();
    if (UpdateQ5Percent(cells, FieldValue(Text1->text()))) setCellText(kQ5PercentCell, cells[kQ5PercentCell]);
}

void fQ5::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) fQ5_Form_Activate();
    QDialog::changeEvent(event);
}

bool fQ5::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* e = qobject_cast<QLineEdit*>(watched);
        // Escape in a changed cell puts back what its file holds; in an unchanged one it
        // closes the window as usual
        if (e && key->key() == Qt::Key_Escape) {
            for (int i = 0; i < kQ5CellCount; ++i)
                if (edit(i) == e) {
                    const int surface = i / 8 + 1;
                    const int column = i % 8;
                    const int at = (surface - 1) * 5 + column;
                    if (surface <= kQ5SurfaceCount && column <= Material && e->text() != savedInputs_.value(at)) {
                        e->setText(savedInputs_.value(at));
                        return true;
                    }
                }
            return false;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void fQ5::closeEvent(QCloseEvent* event) {
    commitPendingCells();
    // not QDialog::closeEvent: it would reject(), which closes again, and refuse the close
    event->accept();
}

}  // namespace tools
