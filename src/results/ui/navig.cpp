#include "results/ui/navig.h"

#include <QBrush>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/state.h"
#include "app/ui/marks.h"
#include "app/ui/pictures.h"
#include "app/ui/workbench.h"
#include "engine/uncertainty.h"
#include "object/emissionnorms.h"
#include "object/generaldata.h"
#include "regime/regimestore.h"
#include "results/emissionverdicts.h"
#include "results/instrumentlimits.h"
#include "results/ui/graphtasks.h"

namespace results {

namespace {

// Text and background of a verdict row; none for the other rows.
std::pair<QVariant, QVariant> VerdictColours(object::Verdict v) {
    switch (v) {
    case object::Verdict::Complies: return {QBrush(app::kVerdictMetText), QVariant()};
    case object::Verdict::WithinUncertainty:
        return {QBrush(app::kVerdictUndecidedText), QBrush(app::kVerdictUndecidedBackground)};
    case object::Verdict::Exceeds: return {QBrush(app::kVerdictExceededText), QBrush(app::kVerdictExceededBackground)};
    case object::Verdict::None: break;
    }
    return {QVariant(), QVariant()};
}

}  // namespace

Navig::Navig(app::Workbench& wb) : wb_(wb) {
    setObjectName(QStringLiteral("Navig"));
    setWindowTitle(QStringLiteral("..."));
    SSTab1_ = new QStackedWidget(this);
    SSTab1_->setObjectName(QStringLiteral("SSTab1"));

    Image1_ = new QLabel;
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setAlignment(Qt::AlignCenter);
    const QPixmap burner = app::TemplatePicture(wb.state(), QStringLiteral("Brenner.gif"));
    if (!burner.isNull()) Image1_->setPixmap(burner.scaled(260, 260, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    SSTab1_->addWidget(Image1_);

    lvAll_ = new QTreeWidget;
    lvAll_->setObjectName(QStringLiteral("lvAll"));
    lvAll_->setRootIsDecorated(false);
    lvAll_->setColumnCount(3);
    lvAll_->setHeaderLabels({QStringLiteral("Параметр "), QStringLiteral("Ед. изм."), QStringLiteral("Величина")});
    lvAll_->setAlternatingRowColors(true);
    lvAll_->setSelectionMode(QAbstractItemView::NoSelection);
    lvAll_->header()->setStretchLastSection(false);
    lvAll_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    lvAll_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    lvAll_->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    // the data check's message stands above the table when the stored results are not
    // what the regime's inputs give
    auto* resultsPage = new QWidget;
    auto* resultsLayout = new QVBoxLayout(resultsPage);
    resultsLayout->setContentsMargins(0, 0, 0, 0);
    resultsLayout->setSpacing(2);
    checkNote_ = new QLabel;
    checkNote_->setObjectName(QStringLiteral("checkNote"));
    checkNote_->setWordWrap(true);
    checkNote_->setMargin(4);
    checkNote_->setStyleSheet(QStringLiteral("QLabel { background: rgb(255, 214, 204); color: rgb(160, 0, 0); }"));
    checkNote_->hide();
    resultsLayout->addWidget(checkNote_);
    resultsLayout->addWidget(lvAll_);
    SSTab1_->addWidget(resultsPage);

    graphs_ = new GraphTasks(wb);
    SSTab1_->addWidget(graphs_);
    SSTab1_->addWidget(BuildFileTasks());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(SSTab1_);

    BuildResultRows();
    caption_ = QStringLiteral("...");
    resize(300, 520);
    wb_.placeWindow(this, app::Slot::Pane);
}

Navig::~Navig() = default;

void Navig::BuildResultRows() {
    rows_ = results::BuildResultRows(wb_.state().general);
    // the verdicts against the limits and the emissions at 3 % O2, in the pane only
    AddEmissionRows(rows_);
    lvAll_->clear();
    for (const auto& r : rows_) {
        auto* item = new QTreeWidgetItem({r.caption, r.unit, r.value});
        item->setData(0, Qt::UserRole, r.key);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        lvAll_->addTopLevelItem(item);
    }
}

// Page 3: the file tasks; the attached files window carries them out.
QWidget* Navig::BuildFileTasks() {
    Frame1_ = new QGroupBox;
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Toolbar3 = new QToolBar(Frame1_);
    Toolbar3->setObjectName(QStringLiteral("Toolbar3"));
    Toolbar3->setOrientation(Qt::Vertical);
    Toolbar3->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    Toolbar3->setIconSize(QSize(24, 24));
    const struct {
        const char *caption, *key, *tip, *icon;
    } buttons[] = {
        {"Режимная  и  Сводная", "Создать", "Создать режимную и сводную ведомость", "table"},
        {"Протокол автоматики", "Протокол", "Создать карту уставок и протокол автоматики безопасности", "excel"},
        {"Загрузить файл из ... ", "Загрузить", "Загрузить файл из ...", "import"},
        {"Копировать файл в... ", "Копировать", "Сохранить файл в ...", "send"},
        {"Удалить  файл          ", "Удалить", "Удалить файл", "delete"},
        {"Переименовать файл...", "Переименовать", "Переименовать файл", "rename"},
        {"Вид      окна            ", "Вид", "Вид", "view"},
    };
    for (const auto& b : buttons) {
        const QString key = QString::fromUtf8(b.key);
        QAction* a = Toolbar3->addAction(app::ProgramIcon(QString::fromUtf8(b.icon)), QString::fromUtf8(b.caption));
        // a tool button would drop the caption's "..." (it says a window follows)
        a->setIconText(a->text());
        a->setData(key);
        a->setObjectName(key);
        a->setToolTip(QString::fromUtf8(b.tip));
        connect(a, &QAction::triggered, this, [this, key] { Navig_Toolbar3_ButtonClick(key); });
    }
    // the card's own entries (approval, organisations, dates, signatories) are edited before
    // the card is made, so their window opens from above "Режимная  и  Сводная"
    // a command of its own beside the documents' tool bar, its caption with "..." whole
    auto button = [this](const char* name, const QString& text, const QString& tip, const char* icon) {
        auto* b = new QToolButton(Frame1_);
        b->setObjectName(QString::fromUtf8(name));
        b->setText(text);
        b->setToolTip(tip);
        b->setIcon(app::ProgramIcon(QString::fromUtf8(icon)));
        b->setIconSize(QSize(24, 24));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        return b;
    };
    CardEntries = button("CardEntries", QStringLiteral("Реквизиты карты..."),
                         QStringLiteral("Утверждение, организации, сроки и подписи режимной карты"), "rename");
    connect(CardEntries, &QToolButton::clicked, this, [this] { wb_.raiseWindow(app::WindowKind::Karta); });
    // the technical report of the tests, made from the card: below the documents' commands
    TechReport = button("TechReport", QStringLiteral("Технический отчёт..."),
                        QStringLiteral("Технический отчёт об испытаниях: ODT для правки и PDF"), "table");
    connect(TechReport, &QToolButton::clicked, this, [this] { Navig_Toolbar3_ButtonClick(QStringLiteral("Отчет")); });
    auto* layout = new QVBoxLayout(Frame1_);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(CardEntries);
    layout->addWidget(Toolbar3);
    layout->addWidget(TechReport);
    layout->addStretch();
    return Frame1_;
}

void Navig::Navig_Toolbar3_ButtonClick(const QString& key) {
    if (auto* files = dynamic_cast<app::FileTasks*>(wb_.window(app::WindowKind::Docum))) files->fileCommand(key);
    // making the card may have recalculated stale regimes: the mini graph shows them anew
    if (key.compare(QStringLiteral("Создать"), Qt::CaseInsensitive) == 0) graphs_->RefreshMiniGraphIfShown();
}

void Navig::refreshMiniGraphIfShown() { graphs_->RefreshMiniGraphIfShown(); }

void Navig::showResults() {
    const QString& check = wb_.state().resultsCheckMessage;
    FillResultValues(rows_, wb_.state().results, wb_.state().general);
    // "± U" from the instruments' limits beside the results the test is about; a damaged
    // limits or spread file gives no "± U" and the pane says why
    QString uncertaintyError;
    if (check.isEmpty() && regime::Calculated(wb_.state().results)) {
        engine::InstrumentLimits limits;
        engine::RegimeUncertainty u;
        if (ReadInstrumentLimits(wb_.state().templateFolder, limits, &uncertaintyError) &&
            RegimeUncertaintyOf(wb_.state().calcInputs(), limits, wb_.state().currentObjectFolder,
                                wb_.state().currentRegimeFile, u, &uncertaintyError))
            AddUncertainty(rows_, u, wb_.state().general);
        else u = {};
        // the verdicts against the object's limits; a damaged list or choice file leaves the
        // defaults, and the tooltip says so
        const app::AppState& s = wb_.state();
        QString error;
        const object::AppliedLimit co =
            object::LimitForObject(s.templateFolder, s.currentObjectFolder, s.general, object::Pollutant::CO, &error);
        const object::AppliedLimit nox =
            object::LimitForObject(s.templateFolder, s.currentObjectFolder, s.general, object::Pollutant::NOx, &error);
        FillEmissionRows(rows_, s.results, &u, co, nox);
        if (!error.isEmpty())
            for (auto& row : rows_)
                if (row.key == kCoVerdictKey || row.key == kNoxVerdictKey) row.tooltip += u'\n' + error;
    }
    const QString note = !check.isEmpty() ? QStringLiteral("Режим не рассчитан: ") + check
                         : !uncertaintyError.isEmpty()
                             ? QStringLiteral("Неопределенность не рассчитана: ") + uncertaintyError
                             : QString();
    checkNote_->setText(note);
    checkNote_->setVisible(!note.isEmpty());
    for (int i = 0; i < rows_.size() && i < lvAll_->topLevelItemCount(); ++i) {
        lvAll_->topLevelItem(i)->setText(1, rows_[i].unit);
        QTreeWidgetItem* item = lvAll_->topLevelItem(i);
        // results the inputs no longer give are not shown as if they were current
        if (!check.isEmpty()) {
            rows_[i].value.clear();
            rows_[i].warning.clear();
            rows_[i].tooltip.clear();
            rows_[i].verdict = object::Verdict::None;
        }
        item->setText(2, rows_[i].value);
        // a value physics does not allow keeps its number but says why it cannot be right
        const bool doubtful = !rows_[i].warning.isEmpty();
        const auto [verdictText, verdictBack] = VerdictColours(rows_[i].verdict);
        const QString tip = doubtful ? rows_[i].warning : rows_[i].tooltip;
        for (int c = 0; c < 3; ++c) {
            item->setToolTip(c, tip);
            item->setData(c, Qt::BackgroundRole,
                          doubtful ? QVariant(QBrush(app::kImplausibleBackground)) : verdictBack);
            item->setData(c, Qt::ForegroundRole, doubtful ? QVariant(QBrush(app::kImplausibleText)) : verdictText);
        }
    }
}

void Navig::setResultUnit(const QString& rowKey, const QString& unit) {
    // a steam boiler's "Q" is always in Gcal/h, whatever the hot-water unit says
    if (rowKey == u"Q" && object::IsSteamBoiler(wb_.state().general)) return;
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_[i].key == rowKey) {
            rows_[i].unit = unit;
            if (i < lvAll_->topLevelItemCount()) lvAll_->topLevelItem(i)->setText(1, unit);
        }
}

void Navig::showTaskPage(int page, const QString& caption) {
    SSTab1_->setCurrentIndex(page);
    caption_ = caption;
    setWindowTitle(caption);
    if (auto* sub = wb_.subWindow(app::WindowKind::Navig)) sub->setWindowTitle(caption);
}

int Navig::page() const { return SSTab1_->currentIndex(); }

void Navig::referenceListChanged(const QString& file) {
    if (file.compare(object::kNormsFile, Qt::CaseInsensitive) == 0 ||
        file.compare(object::kObjectNormsFile, Qt::CaseInsensitive) == 0)
        showResults();
}

void Navig::activated() {
    wb_.setStatus(1, caption_);
    wb_.setStatus(3, QString());
}

}  // namespace results
