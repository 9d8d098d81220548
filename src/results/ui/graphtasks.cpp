#include "results/ui/graphtasks.h"

#include <QAction>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/state.h"
#include "app/ui/pictures.h"
#include "core/names.h"
#include "results/ui/graf.h"
#include "results/ui/wrapdelegate.h"
#include "results/xlsxexport.h"

namespace results {

namespace {

const QString kError = QStringLiteral("Ошибка !  ");

}  // namespace

GraphTasks::GraphTasks(app::Workbench& wb) : wb_(wb) {
    setObjectName(QStringLiteral("GraphTasks"));
    buildCatalogueView();
    buildCommandFrame();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Frame2);
    layout->addWidget(LWg, 1);
    layout->addWidget(Command1);
    Navig_Command1_Click();
    buildCatalogue();
}

void GraphTasks::buildCatalogueView() {
    LWg = new QTableWidget(0, 2);
    LWg->setObjectName(QStringLiteral("LWg"));
    LWg->setHorizontalHeaderLabels({QStringLiteral("Ось Y"), QStringLiteral("Ось X")});
    LWg->verticalHeader()->hide();
    LWg->setSelectionBehavior(QAbstractItemView::SelectRows);
    LWg->setSelectionMode(QAbstractItemView::SingleSelection);
    LWg->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LWg->setShowGrid(false);
    LWg->setAlternatingRowColors(true);
    // long captions wrap instead of being cut, a word too long for the line included
    LWg->setWordWrap(true);
    LWg->setTextElideMode(Qt::ElideNone);
    LWg->setItemDelegate(new WrappingDelegate(LWg));
    LWg->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    LWg->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // row heights follow the column widths once the view has settled: a resize of the pane,
    // and the scroll bar that the new heights may bring, both narrow the stretched columns
    auto* rowHeights = new QTimer(this);
    rowHeights->setSingleShot(true);
    rowHeights->setInterval(0);
    connect(rowHeights, &QTimer::timeout, LWg, [this] { LWg->resizeRowsToContents(); });
    connect(LWg->horizontalHeader(), &QHeaderView::sectionResized, rowHeights, qOverload<>(&QTimer::start));
    connect(LWg, &QTableWidget::cellClicked, this, [this](int row) { Navig_LWg_ItemClick(row); });
    Command1 = new QPushButton(QStringLiteral("к меню"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QStringLiteral("Вернуться к меню"));
    connect(Command1, &QPushButton::clicked, this, &GraphTasks::Navig_Command1_Click);
}

void GraphTasks::buildCommandFrame() {
    Frame2 = new QFrame;
    Frame2->setObjectName(QStringLiteral("Frame2"));
    // the toolbar keeps the commands; its buttons are drawn in the frame below
    T2 = new QToolBar(Frame2);
    T2->setObjectName(QStringLiteral("T2"));
    T2->hide();
    auto* buttonsLayout = new QVBoxLayout;
    buttonsLayout->setSpacing(2);
    const struct {
        const char *caption, *key, *tip, *icon;
        bool checkable;
    } buttons[] = {
        {"Выбрать График    ", "Y", "Определить График   ", "graph", false},
        {"Обновить текущий   ", "обновить", "Обновить текущий график", "refresh", false},
        {"МиниГрафик", "МиниГрафик", "Окно быстрого просмотра", "mini", true},
        {"Режим наложения", "Наложения", "Наложение графиков друг на друга", "overlay", true},
        {"Цвет графика", "Цвет", "Цвет графика", "color", false},
        {"Таблица Данных   ", "таблица", "Показать таблицу данных  ", "table", true},
        {"Построить в MS Excel", "Построить", "Построить графики  в MS Excel", "excel", false},
    };
    for (const auto& b : buttons) {
        const QString key = QString::fromUtf8(b.key);
        QAction* a = T2->addAction(app::ProgramIcon(QString::fromUtf8(b.icon)), QString::fromUtf8(b.caption));
        a->setIconVisibleInMenu(true);
        a->setData(key);
        a->setToolTip(QString::fromUtf8(b.tip));
        a->setCheckable(b.checkable);
        connect(a, &QAction::triggered, this, [this, key] { Navig_T2_ButtonClick(key); });
        // shown as full-width buttons with icons and captions lined up at the left; each
        // button mirrors its action's enabled and pressed state
        auto* pb = new QPushButton(a->icon(), a->text());
        pb->setToolTip(a->toolTip());
        pb->setCheckable(a->isCheckable());
        pb->setFlat(true);
        pb->setStyleSheet(QStringLiteral("QPushButton { text-align: left; padding: 4px 8px; }"));
        pb->setFocusPolicy(Qt::NoFocus);
        connect(pb, &QPushButton::clicked, a, [a, pb] {
            a->trigger();
            pb->setChecked(a->isChecked());
        });
        connect(a, &QAction::changed, pb, [a, pb] {
            pb->setEnabled(a->isEnabled());
            pb->setChecked(a->isChecked());
        });
        buttonsLayout->addWidget(pb);
    }
    // refresh, mini graph and the workbook wait for the first choice of a graph
    for (const char* key : {"обновить", "МиниГрафик", "Построить"}) button(QString::fromUtf8(key))->setEnabled(false);
    auto* frameLayout = new QVBoxLayout(Frame2);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->addLayout(buttonsLayout);
    frameLayout->addStretch();
}

QAction* GraphTasks::button(const QString& key) const {
    for (QAction* a : T2->actions())
        if (a->data().toString().compare(key, Qt::CaseInsensitive) == 0) return a;
    return nullptr;
}

void GraphTasks::buildCatalogue() {
    QStringList labels = wb_.state().units;
    if (auto* editor = wb_.window<app::RegimeEditorView>(app::WindowKind::Regim)) labels = editor->unitLabels();
    entries_ = BuildGraphList(wb_.state().general, labels);
    LWg->clearContents();
    LWg->setRowCount(static_cast<int>(entries_.size()));
    for (int r = 0; r < entries_.size(); ++r) {
        const GraphEntry& e = entries_[r];
        auto* y = new QTableWidgetItem(app::ProgramIcon(QStringLiteral("graph")), e.yCaption);
        y->setData(Qt::UserRole, e.key);
        y->setToolTip(e.yCaption);
        auto* x = new QTableWidgetItem(e.xCaption);
        x->setToolTip(e.xCaption);
        LWg->setItem(r, 0, y);
        LWg->setItem(r, 1, x);
    }
    LWg->resizeRowsToContents();
}

void GraphTasks::Navig_Command1_Click() {
    Frame2->setVisible(true);
    LWg->setVisible(false);
    Command1->setVisible(false);
}

bool GraphTasks::overlay() const { return button(QStringLiteral("Наложения"))->isChecked(); }
bool GraphTasks::miniGraphShown() const { return button(QStringLiteral("МиниГрафик"))->isChecked(); }

void GraphTasks::Navig_LWg_ItemClick(int row) {
    if (row < 0 || row >= entries_.size()) return;
    const GraphEntry& e = entries_[row];
    if (!ChooseGraph(e.key, wb_.state().graph)) return;
    for (const char* key : {"обновить", "МиниГрафик", "Построить"}) button(QString::fromUtf8(key))->setEnabled(true);
    auto* graf = dynamic_cast<Graf*>(wb_.loadWindow(app::WindowKind::Graf));
    if (graf) graf->setCaptions(e.yCaption, e.xCaption);
    redraw(true);
}

void GraphTasks::redraw(bool reportErrors) {
    auto* graf = wb_.window<Graf>(app::WindowKind::Graf);
    if (!graf) return;
    const bool ok = graf->fullRedraw();
    if (!ok && reportErrors) wb_.dialogs().message(kError, app::kProgramTitle, app::Icon::Warning);
    if (miniGraphShown())
        if (auto* mini = wb_.window<Grafmin>(app::WindowKind::Grafmin)) mini->DrawMiniGraph();
}

void GraphTasks::RefreshMiniGraphIfShown() {
    if (!miniGraphShown()) return;
    auto* graf = wb_.window<Graf>(app::WindowKind::Graf);
    auto* mini = wb_.window<Grafmin>(app::WindowKind::Grafmin);
    if (!graf || !mini) return;
    mini->RefreshMiniGraph();
}

void GraphTasks::setMiniGraph(bool shown) {
    settingMini_ = true;
    if (shown) {
        if (auto* mini = dynamic_cast<Grafmin*>(wb_.loadWindow(app::WindowKind::Grafmin))) {
            RefreshMiniGraphIfShown();
            mini->show();
        }
    } else {
        wb_.unloadWindow(app::WindowKind::Grafmin);
    }
    settingMini_ = false;
}

void GraphTasks::miniGraphClosed() {
    if (settingMini_) return;
    button(QStringLiteral("МиниГрафик"))->setChecked(false);
}

void GraphTasks::exportWorkbook() {
    auto* graf = wb_.window<Graf>(app::WindowKind::Graf);
    if (!graf || !wb_.state().graph.chosen) return;
    app::AppState& s = wb_.state();
    GraphExport g{s.currentObjectName, graf->Label1->text(), graf->Label2->text(), {}};
    QString error;
    if (!CollectGraphData(s, g.data, &error)) {
        wb_.dialogs().message(kError, app::kProgramTitle, app::Icon::Warning);
        return;
    }
    const QString suggested = core::JoinPath(s.currentObjectFolder, GraphFileName(g.yCaption, QStringLiteral("xlsx")));
    const QString path = wb_.dialogs().saveFileName(QStringLiteral("Построить графики  в MS Excel"), suggested,
                                                    QStringLiteral("Книга Excel (*.xlsx)"));
    if (path.isEmpty()) return;
    if (!ExportGraphXlsx(path, g, &error)) {
        wb_.dialogs().message(kError + path, app::kProgramTitle, app::Icon::Warning);
        return;
    }
    app::OfferToOpenSaved(wb_.dialogs(), QStringLiteral("Книга сохранена"), path, QStringLiteral("Открыть ее?"));
}

void GraphTasks::Navig_T2_ButtonClick(const QString& key) {
    auto is = [&](const char* k) { return key.compare(QString::fromUtf8(k), Qt::CaseInsensitive) == 0; };
    if (is("Y")) {
        buildCatalogue();
        Frame2->setVisible(false);
        LWg->setVisible(true);
        Command1->setVisible(true);
    } else if (is("обновить")) {
        redraw(true);
    } else if (is("таблица")) {
        if (auto* graf = dynamic_cast<Graf*>(wb_.loadWindow(app::WindowKind::Graf)))
            graf->showTable(button(QStringLiteral("таблица"))->isChecked());
    } else if (is("Построить")) {
        exportWorkbook();
    } else if (is("Цвет")) {
        auto* graf = dynamic_cast<Graf*>(wb_.loadWindow(app::WindowKind::Graf));
        if (!graf) return;
        if (const auto c = wb_.dialogs().chooseColor(graf->curveColor())) graf->setCurveColor(*c);
    } else if (is("МиниГрафик")) {
        setMiniGraph(miniGraphShown());
    }
}

}  // namespace results
