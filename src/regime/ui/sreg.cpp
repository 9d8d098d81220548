#include "regime/ui/sreg.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QHeaderView>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/state.h"
#include "app/ui/marks.h"
#include "app/ui/pictures.h"
#include "app/ui/recalcflow.h"
#include "app/writerefusal.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "object/generaldata.h"
#include "object/units.h"
#include "regime/calculation.h"
#include "regime/cardchoice.h"
#include "regime/regimestore.h"
#include "regime/ui/recalcflow.h"
#include "regime/ui/regim.h"

namespace regime {

namespace {

void Warn(app::Workbench& wb, const QString& text) { wb.dialogs().message(text, app::kProgramTitle, app::Icon::Warning); }

// The number in a regime file name ("Режим №  12.Dat" gives "12"); the file name itself
// when it holds no digits.
QString RegimeNumberText(const QString& file) {
    static const QRegularExpression digits(QStringLiteral("(\\d+)"));
    const QRegularExpressionMatch m = digits.match(file);
    return m.hasMatch() ? m.captured(1) : file;
}

}  // namespace

SReg::SReg(app::Workbench& wb) : wb_(wb), regimeIcon_(app::ProgramIcon(QStringLiteral("regime"))) {
    setObjectName(QStringLiteral("SReg"));
    setWindowTitle(QStringLiteral("Список режимов"));
    app::AppState& s = wb.state();

    Toolbar5 = new QToolBar(this);
    Toolbar5->setObjectName(QStringLiteral("Toolbar5"));
    Toolbar5->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const struct {
        const char *key, *tip, *icon;
    } buttons[] = {{"Всех", "Расчитать все режимы", "calcall"},
                   {"Удалить", "Удалить режим (Delete)", "delete"},
                   {"Добавить", "Добавить режим (Insert)", "add"},
                   {"Расчитать", "Расчитать режим", "calc"}};
    for (const auto& b : buttons) {
        const QString key = QString::fromUtf8(b.key);
        QAction* a = Toolbar5->addAction(app::ProgramIcon(QString::fromUtf8(b.icon)), key);
        a->setData(key);
        a->setObjectName(key);
        a->setToolTip(QString::fromUtf8(b.tip));
        connect(a, &QAction::triggered, this, [this, key] { SReg_Toolbar5_ButtonClick(key); });
    }
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* trial = Toolbar1->addAction(QStringLiteral(" Опыты"));
    trial->setData(QStringLiteral("Прикидочные"));
    trial->setObjectName(QStringLiteral("Прикидочные"));
    trial->setToolTip(QStringLiteral("Создать прикидочные опыты"));
    connect(trial, &QAction::triggered, this, [this] { wb_.loadWindow(app::WindowKind::Pricid); });

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setColumnCount(2);
    ListView1->setHeaderLabels({s.regimeList.header, QStringLiteral("Нагрузка, %")});
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    ListView1->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    connect(ListView1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { itemClicked(item); });
    connect(ListView1, &QTreeWidget::itemChanged, this, &SReg::itemChanged);
    ListView1->installEventFilter(this);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(Toolbar5);
    top->addStretch();
    top->addWidget(Toolbar1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(top);
    layout->addWidget(ListView1);
    resize(270, 300);
    wb_.placeWindow(this, app::Slot::List);

    // opening: the object's units and counters, the list, and a first regime when none
    object::LoadObjectUnits(s.currentObjectFolder, s.templateFolder, s.units);
    QString error;
    if (!ReadRegimeCounters(s, &error)) Warn(wb, kFillWarning);
    // the regimes the user left off the card stay off (the sort reads the choice); a
    // choice that cannot be read is told, and every regime is on the card
    QStringList offCard;
    if (!ReadCardChoice(s.currentObjectFolder, offCard, &error))
        Warn(wb, QStringLiteral("Выбор режимов для карты не прочитан, в карту включены все режимы: ") + error);
    s.showRegimeResults = [this] {
        refresh();
        if (auto* pane = wb_.window<app::TaskPaneView>(app::WindowKind::Navig)) pane->showResults();
    };
    const QString warning = FillRegimeList(s);
    if (!warning.isEmpty()) Warn(wb, warning);
    if (s.regimeCount == 0) {
        QString newWarning;
        if (!NewRegime(s, &error, &newWarning)) Warn(wb, error);
        else if (!newWarning.isEmpty()) Warn(wb, newWarning);
    }
    if (!s.regimeList.rows.isEmpty()) s.setCurrentRegime(s.regimeList.rows.first().key);
    refresh();
}

SReg::~SReg() {
    // the hook points at this window; nothing shows results once the list is gone
    wb_.state().showRegimeResults = nullptr;
}

QAction* SReg::button(const QString& key) const {
    for (QAction* a : Toolbar5->actions())
        if (a->data().toString().compare(key, Qt::CaseInsensitive) == 0) return a;
    return nullptr;
}

void SReg::refresh() {
    const app::AppState& s = wb_.state();
    filling_ = true;
    // the rows are written into the items the list already has (a thousand regimes are
    // refreshed after every Enter); only a changed count adds or removes items
    const int count = static_cast<int>(s.regimeList.rows.size());
    while (ListView1->topLevelItemCount() > count) delete ListView1->takeTopLevelItem(ListView1->topLevelItemCount() - 1);
    QList<QTreeWidgetItem*> added;
    for (int i = ListView1->topLevelItemCount(); i < count; ++i) {
        auto* item = new QTreeWidgetItem;
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setIcon(0, regimeIcon_);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        added.append(item);
    }
    ListView1->addTopLevelItems(added);
    QTreeWidgetItem* current = nullptr;
    for (int i = 0; i < count; ++i) {
        const app::RegimeRow& row = s.regimeList.rows[i];
        QTreeWidgetItem* item = ListView1->topLevelItem(i);
        item->setText(0, row.key);
        item->setText(1, row.load);
        item->setCheckState(0, row.ticked ? Qt::Checked : Qt::Unchecked);
        // a regime whose results cannot be right carries the pane's mark and its reason; a
        // regime not calculated with its present inputs says why it has no load
        const bool doubtful = !row.warning.isEmpty();
        item->setData(1, Qt::BackgroundRole, doubtful ? QVariant(QBrush(app::kImplausibleBackground)) : QVariant());
        item->setData(1, Qt::ForegroundRole, doubtful ? QVariant(QBrush(app::kImplausibleText)) : QVariant());
        const QString notCalculated =
            row.checkMessage.isEmpty() ? QString() : QStringLiteral("Режим не рассчитан: ") + row.checkMessage;
        item->setToolTip(0, notCalculated);
        item->setToolTip(1, doubtful ? row.warning : notCalculated);
        if (row.selected) current = item;
    }
    if (current) ListView1->setCurrentItem(current);
    else ListView1->setCurrentItem(nullptr);
    // a re-sort moves the selected regime: the header follows its new position
    const int selected = s.regimeList.selectedRow();
    if (selected >= 0 && s.regimeList.header.startsWith(QStringLiteral("Режим №"))) {
        const QString header = SelectionHeader(s, selected);
        if (header != s.regimeList.header) {
            wb_.state().regimeList.header = header;
            if (wb_.status(2).startsWith(QStringLiteral("Режим №"))) wb_.setStatus(2, header);
        }
    }
    ListView1->headerItem()->setText(0, s.regimeList.header);
    filling_ = false;
    updateEmptyState();
}

void SReg::updateEmptyState() {
    if (wb_.state().regimeList.rows.isEmpty()) {
        button(QStringLiteral("Удалить"))->setEnabled(false);
        button(QStringLiteral("Расчитать"))->setEnabled(false);
        button(QStringLiteral("Всех"))->setEnabled(false);
    }
}

void SReg::setButtons(bool all, bool del, bool add, bool calc) {
    button(QStringLiteral("Всех"))->setEnabled(all);
    button(QStringLiteral("Удалить"))->setEnabled(del);
    button(QStringLiteral("Добавить"))->setEnabled(add);
    button(QStringLiteral("Расчитать"))->setEnabled(calc);
}

void SReg::itemChanged(QTreeWidgetItem* item, int column) {
    if (filling_ || column != 0) return;
    const int row = ListView1->indexOfTopLevelItem(item);
    app::AppState& s = wb_.state();
    if (row < 0 || row >= s.regimeList.rows.size()) return;
    // the choice is kept with the object, so the next card holds what the user ticked
    QString error;
    if (!SetOnCard(s, s.regimeList.rows[row].key, item->checkState(0) == Qt::Checked, &error))
        Warn(wb_, QStringLiteral("Выбор режимов для карты не сохранен: ") + error);
}

void SReg::itemClicked(QTreeWidgetItem* item) { selectRow(ListView1->indexOfTopLevelItem(item)); }

bool SReg::selectRow(int row) {
    app::AppState& s = wb_.state();
    if (row < 0 || row >= s.regimeList.rows.size()) return false;
    // a value typed into the editor without Enter belongs to the regime being left: it is
    // saved as Enter would save it (which may re-sort the list), or the user stays
    if (auto* editor = wb_.window<Regim>(app::WindowKind::Regim);
        editor && s.regimeList.rows[row].key.compare(s.currentRegimeFile, Qt::CaseInsensitive) != 0) {
        const QString key = s.regimeList.rows[row].key;
        if (!editor->commitPendingEdit()) {
            refresh();
            return false;
        }
        row = s.regimeList.find(key);
        if (row < 0) return false;
    }
    SelectRegimeRow(s, row);
    s.regimeList.header = SelectionHeader(s, row);
    ListView1->headerItem()->setText(0, s.regimeList.header);
    wb_.setStatus(2, s.regimeList.header);
    wb_.setAnalyserCommandEnabled(true);
    setButtons(true, true, button(QStringLiteral("Добавить"))->isEnabled(), true);
    if (!LoadRegimeInputs(s)) {
        Warn(wb_, QStringLiteral("Ошибка пути или чтения файла") + s.currentResultsFile + s.currentRegimeFile);
        return false;
    }
    auto* editor = wb_.window<Regim>(app::WindowKind::Regim);
    if (!LoadRegimeResults(s)) {
        // the regime's inputs are in the editor; its results start from nothing, not from
        // the regime shown before, so "Расчитать" writes a results file of its own
        s.results.fill(0.0f);
        if (editor) editor->setFramesEnabled(true);
        Warn(wb_, QStringLiteral("Ошибка пути или чтения файла") + s.currentResultsFile + s.currentRegimeFile);
        return false;
    }
    ShowRegimeResults(s);
    if (editor) editor->setFramesEnabled(true);
    return true;
}

bool SReg::eventFilter(QObject* watched, QEvent* event) {
    // Insert and Delete in the list add and delete a regime as the buttons do (the delete
    // asks first), when the button is available
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString command = key->modifiers() != Qt::NoModifier ? QString()
                                : key->key() == Qt::Key_Insert     ? QStringLiteral("Добавить")
                                : key->key() == Qt::Key_Delete     ? QStringLiteral("Удалить")
                                                                   : QString();
        if (!command.isEmpty()) {
            if (button(command)->isEnabled()) SReg_Toolbar5_ButtonClick(command);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SReg::activated() {
    wb_.setStatus(1, windowTitle());
    wb_.setStatus(3, QString());
}

void SReg::SReg_Toolbar5_ButtonClick(const QString& key) {
    if (key.compare(QStringLiteral("Всех"), Qt::CaseInsensitive) == 0) RecalculateAll();
    else if (key.compare(QStringLiteral("Удалить"), Qt::CaseInsensitive) == 0) DeleteRegime();
    else if (key.compare(QStringLiteral("Добавить"), Qt::CaseInsensitive) == 0) AddRegime();
    else if (key.compare(QStringLiteral("Расчитать"), Qt::CaseInsensitive) == 0) CalculateRegime();
}

void SReg::RecalculateAll() {
    app::AppState& s = wb_.state();
    RecalcReport report;
    app::WithRecalcProgress(this, s, [&](const app::ProgressStep& step) { report = RecalculateAllRegimes(s, step); });
    showRecalculated(report);
}

void SReg::recalculateStale() {
    app::AppState& s = wb_.state();
    // with the object's own units unread (the opening said so) the stand-in units would
    // turn right results into wrong ones: nothing is judged then
    QStringList ownUnits;
    if (!object::ReadUnits(s.currentObjectFolder, ownUnits)) return;
    QStringList files;
    for (const app::RegimeRow& row : s.regimeList.rows) files.append(row.key);
    const QStringList stale = StaleRegimes(s, files);
    if (stale.isEmpty()) return;
    const int shown = 10;
    const QString names = QStringList(stale.mid(0, shown)).join(QStringLiteral(", ")) +
                          (stale.size() > shown ? QStringLiteral(" и еще ") + QString::number(stale.size() - shown)
                                                : QString());
    const QString refusal = core::FolderWriteRefusal(s.currentObjectFolder);
    if (!refusal.isEmpty()) {
        Warn(wb_, QStringLiteral("Результаты режимов не соответствуют их данным: ") + names +
                      QStringLiteral(".\nОни не пересчитаны: ") + refusal + u'.');
        return;
    }
    RecalcReport report;
    app::WithRecalcProgress(this, s,
                            [&](const app::ProgressStep& step) { report = RecalculateRegimes(s, stale, step); });
    showRecalculated(report);
    wb_.dialogs().message(QStringLiteral("Сохраненные результаты режимов не соответствовали их данным и пересчитаны: ") +
                              names + u'.',
                          app::kProgramTitle, app::Icon::Information);
}

void SReg::showRecalculated(const RecalcReport& report) {
    app::AppState& s = wb_.state();
    // the regime that was current is current again: show it everywhere
    const int row = s.regimeList.find(s.currentRegimeFile);
    SelectRegimeRow(s, row);
    if (row >= 0) LoadRegimeInputs(s);
    refresh();
    if (!report.listWarning.isEmpty()) Warn(wb_, report.listWarning);
    if (report.failed > 0)
        Warn(wb_, QStringLiteral("Ошибка пути или чтения файла при расчете режимов: ") + QString::number(report.failed));
    app::AfterCalculation(wb_);
}

void SReg::DeleteRegime() {
    app::AppState& s = wb_.state();
    const int row = s.regimeList.find(s.currentRegimeFile);
    if (row < 0) return;
    const QString text = QStringLiteral("Внимание ! После удаления режима восстановить его  будет невозможно ! "
                                        "Вы хотите удалить  режим № ") +
                         RegimeNumberText(s.regimeList.rows[row].key) + QStringLiteral(" ?");
    // named by the number of its file, the one the list shows; "Нет" is the default button
    if (wb_.dialogs().question(text, app::kDeleteQuestionTitle, app::Icon::Warning) != app::Answer::Yes)
        return;
    QString error;
    if (!DeleteRegimeFiles(s, &error)) {
        Warn(wb_, app::WriteFailureText(
                      s, QStringLiteral("Режим не удален"),
                      QStringLiteral("Ошибка пути или чтения файла") + s.currentResultsFile + s.currentRegimeFile));
        return;
    }
    // the regime's q5 surfaces go with it (a failure leaves only an unused file); its place
    // in the card's choice too, so a later regime of its name starts ticked
    regime::DeleteQ5File(s.currentObjectFolder, s.currentRegimeFile);
    if (OffCardSet(s).contains(s.currentRegimeFile.toLower())) SetOnCard(s, s.currentRegimeFile, true);
    const QString warning = FillRegimeList(s);
    if (!warning.isEmpty()) Warn(wb_, warning);
    refresh();
    setButtons(true, false, true, false);
    updateEmptyState();
    wb_.setStatus(2, QStringLiteral("   Всего: ") + core::CounterForm(s.regimeCount, true));
    wb_.setAnalyserCommandEnabled(false);
    if (auto* editor = wb_.window<Regim>(app::WindowKind::Regim)) {
        editor->clearFields();
        editor->setFramesEnabled(false);
    }
}

void SReg::AddRegime() {
    app::AppState& s = wb_.state();
    QString error, warning;
    if (!NewRegime(s, &error, &warning)) {
        Warn(wb_, error == kLimitRefusal
                      ? error
                      : app::WriteFailureText(s, QStringLiteral("Режим не создан"),
                                              QStringLiteral("Ошибка записи файла. Режим не создан: ") + error));
        return;
    }
    if (!warning.isEmpty()) Warn(wb_, warning);
    // a new regime starts without q5 surfaces, whatever an old folder left under its number
    regime::DeleteQ5File(s.currentObjectFolder, s.currentRegimeFile);
    refresh();
    // the new regime is selected and shown as a click on its row would, so the next Enter
    // writes into the new regime what the editor shows of it
    const int row = s.regimeList.find(s.currentRegimeFile);
    if (row < 0 || !selectRow(row)) {
        setButtons(true, false, true, false);
        wb_.setStatus(2, QStringLiteral("Всего: ") + core::CounterForm(s.regimeCount, true));
        return;
    }
    refresh();
    if (core::SameName(s.general.value(object::Q5Mode), object::kQ5EachRegime))
        wb_.setStatus(
            3, QStringLiteral("q5 нового режима не задан: рассчитайте его по поверхностям этого режима (q5...)"));
}

void SReg::CalculateRegime() {
    if (auto* editor = wb_.window<Regim>(app::WindowKind::Regim)) {
        editor->saveAndCalculate(true);
        return;
    }
    // the editor is closed: the current regime is calculated from its file as it stands
    app::AppState& s = wb_.state();
    if (s.currentRegimeFile.isEmpty() || s.regimeList.find(s.currentRegimeFile) < 0) return;
    if (!LoadRegimeInputs(s)) {
        Warn(wb_, QStringLiteral("Ошибка пути или чтения файла") + s.currentResultsFile + s.currentRegimeFile);
        return;
    }
    if (!LoadRegimeResults(s)) s.results.fill(0.0f);
    CalculateAndShow(wb_, this);
}

}  // namespace regime
