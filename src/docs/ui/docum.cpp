#include "docs/ui/docum.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app/objectlock.h"
#include "app/state.h"
#include "app/ui/recalcflow.h"
#include "core/filekinds.h"
#include "core/names.h"
#include "docs/safetymap.h"
#include "docs/ui/bez.h"
#include "regime/regimestore.h"
#include "report/reportmodel.h"
#include "report/reportpdf.h"
#include "report/reportxlsx.h"
#include "report/techreport.h"

namespace docs {

namespace {

// A page with a folded corner, a coloured band and the letter of its kind.
QIcon KindIcon(int icon) {
    static const struct {
        QColor color;
        const char* letter;
    } kinds[] = {{Qt::gray, ""},
                 {QColor(43, 87, 154), "W"},
                 {QColor(33, 115, 70), "X"},
                 {QColor(200, 120, 30), "P"},
                 {QColor(164, 55, 58), "A"},
                 {QColor(120, 70, 160), "▣"}};
    const auto& k = kinds[std::clamp(icon, 0, 5)];
    QIcon result;
    for (int size : {16, 32, 48}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const double w = size * 0.72, h = size * 0.92, x = (size - w) / 2, y = (size - h) / 2, fold = size * 0.22;
        QPolygonF page({QPointF(x, y), QPointF(x + w - fold, y), QPointF(x + w, y + fold), QPointF(x + w, y + h),
                        QPointF(x, y + h)});
        p.setPen(QPen(QColor(110, 110, 110), std::max(1.0, size / 24.0)));
        p.setBrush(Qt::white);
        p.drawPolygon(page);
        const QRectF band(x - size * 0.06, y + h * 0.42, w * 0.78, h * 0.42);
        p.setPen(Qt::NoPen);
        p.setBrush(k.color);
        p.drawRoundedRect(band, size / 16.0, size / 16.0);
        QFont f;
        f.setBold(true);
        f.setPixelSize(std::max(8, static_cast<int>(band.height() * 0.8)));
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(band, Qt::AlignCenter, QString::fromUtf8(k.letter));
        p.end();
        result.addPixmap(pm);
    }
    return result;
}

}  // namespace

bool OpenWithApplication(app::Dialogs& dialogs, const QString& path) {
    if (dialogs.openWithPlatform(QUrl::fromLocalFile(path))) return true;
    dialogs.message(QStringLiteral("Не удалось открыть файл ") + path +
                        QStringLiteral(": в системе нет программы для файлов этого вида."),
                    QStringLiteral("Kalvaro"), app::Icon::Warning);
    return false;
}

Docum::Docum(app::Workbench& wb) : wb_(wb) {
    setObjectName(QStringLiteral("Docum"));
    setWindowTitle(QStringLiteral(" Работа с Отчетом    "));
    buildDocumentList();

    Text1 = new QPlainTextEdit;
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(QStringLiteral("Комментарий и Заметки"));
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(ListView2);
    split->addWidget(Text1);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(split);
    resize(620, 460);
    wb_.placeWindow(this, app::Slot::Work);

    setView(View::LargeIcons);
    FillDocumentList();
    watchObjectFolder();
    loadComment();
}

// The documents' list, shown as icons or as a table over one model and one selection.
void Docum::buildDocumentList() {
    model_ = new QStandardItemModel(0, 2, this);
    model_->setHorizontalHeaderLabels({QStringLiteral("Документ"), QStringLiteral("Программа")});

    icons_ = new QListView;
    icons_->setObjectName(QStringLiteral("ListView2Icons"));
    icons_->setModel(model_);
    icons_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setWordWrap(true);
    details_ = new QTreeView;
    details_->setObjectName(QStringLiteral("ListView2Details"));
    details_->setModel(model_);
    details_->setRootIsDecorated(false);
    details_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    details_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    details_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    details_->header()->setStretchLastSection(false);
    details_->setSelectionModel(icons_->selectionModel());
    ListView2 = new QStackedWidget;
    ListView2->setObjectName(QStringLiteral("ListView2"));
    ListView2->setToolTip(QStringLiteral("Созданные документы"));
    ListView2->addWidget(icons_);
    ListView2->addWidget(details_);
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(icons_), static_cast<QAbstractItemView*>(details_)}) {
        v->setToolTip(QStringLiteral("Созданные документы"));
        connect(v, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
            Docum_ListView2_Click(model_->item(index.row(), 0)->text());
        });
        connect(v, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            Docum_ListView2_Click(model_->item(index.row(), 0)->text());
            Docum_ListView2_DblClick();
        });
    }
}

// Refills the list when files of the object's folder change.
void Docum::watchObjectFolder() {
    // documents exported by other windows (graphs, calculators, protocol) appear at once
    watcher_ = new QFileSystemWatcher(this);
    if (!wb_.state().currentObjectFolder.isEmpty()) watcher_->addPath(wb_.state().currentObjectFolder);
    // a recalculation writes every results file in turn: the list is read once things settle,
    // not once per file
    auto* settle = new QTimer(this);
    settle->setSingleShot(true);
    settle->setInterval(300);
    connect(settle, &QTimer::timeout, this, [this] { FillDocumentList(); });
    connect(watcher_, &QFileSystemWatcher::directoryChanged, settle, qOverload<>(&QTimer::start));
}

// Shows the object's comment; one that cannot be written back safely is shown read-only.
void Docum::loadComment() {
    QString comment, error;
    bool cut = false;
    // an object another program holds is only read: its comment is shown, not written back
    const auto& lock = wb_.state().objectLock;
    if (lock && lock->readOnly()) {
        commentKept_ = true;
        Text1->setReadOnly(true);
    }
    if (!ReadComment(wb_.state().currentObjectFolder, comment, &error, &cut)) {
        commentKept_ = true;
        Text1->setReadOnly(true);
        wb_.dialogs().message(QStringLiteral("Комментарий не прочитан: ") + error +
                                  QStringLiteral(". Файл Koment.txt оставлен без изменений."),
                              QStringLiteral("Kalvaro"), app::Icon::Warning);
    } else {
        Text1->setPlainText(comment);
        if (cut) {
            commentKept_ = true;
            Text1->setReadOnly(true);
            wb_.dialogs().message(QStringLiteral("Комментарий слишком длинный: показаны первые %1 знаков, "
                                                 "файл Koment.txt оставлен без изменений.")
                                      .arg(kMaxCommentLength),
                                  QStringLiteral("Kalvaro"), app::Icon::Warning);
        }
    }
}

Docum::~Docum() = default;

void Docum::FillDocumentList() {
    model_->removeRows(0, model_->rowCount());
    ListDocuments(wb_.state().currentObjectFolder, entries_);
    for (const DocumentEntry& e : entries_) {
        auto* name = new QStandardItem(KindIcon(e.icon), e.name);
        name->setData(e.name, Qt::UserRole);
        model_->appendRow({name, new QStandardItem(e.kind)});
    }
    // the selected document stays selected in the list that was filled anew
    const QString selected = wb_.state().selectedDocument;
    for (int row = 0; row < entries_.size(); ++row)
        if (!selected.isEmpty() && entries_[row].name == selected)
            icons_->selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::ClearAndSelect |
                                                                                  QItemSelectionModel::Rows);
}

QStringList Docum::documentNames() const {
    QStringList l;
    for (const auto& e : entries_) l.append(e.name);
    return l;
}

QString Docum::kindOf(const QString& name) const {
    for (const auto& e : entries_)
        if (e.name == name) return e.kind;
    return {};
}

void Docum::setView(View v) {
    view_ = v;
    switch (v) {
    case View::LargeIcons:
        icons_->setViewMode(QListView::IconMode);
        icons_->setIconSize(QSize(48, 48));
        icons_->setGridSize(QSize(150, 96));
        icons_->setFlow(QListView::LeftToRight);
        icons_->setWrapping(true);
        ListView2->setCurrentWidget(icons_);
        break;
    case View::SmallIcons:
        icons_->setViewMode(QListView::IconMode);
        icons_->setIconSize(QSize(16, 16));
        icons_->setGridSize(QSize(210, 24));
        icons_->setFlow(QListView::LeftToRight);
        icons_->setWrapping(true);
        ListView2->setCurrentWidget(icons_);
        break;
    case View::Details: ListView2->setCurrentWidget(details_); break;
    case View::List:
        icons_->setViewMode(QListView::ListMode);
        icons_->setIconSize(QSize(16, 16));
        icons_->setGridSize(QSize());
        icons_->setFlow(QListView::TopToBottom);
        icons_->setWrapping(true);
        ListView2->setCurrentWidget(icons_);
        break;
    }
}

void Docum::Docum_ListView2_Click(const QString& name) {
    wb_.state().selectedDocument = name;
    // a document is selected now, not a regime: the regime list's delete button rests
    if (QWidget* list = wb_.window(app::WindowKind::SReg))
        if (auto* bar = list->findChild<QToolBar*>(QStringLiteral("Toolbar5")))
            for (QAction* a : bar->actions())
                if (a->data().toString() == u"Удалить") a->setEnabled(false);
}

bool Docum::openDocument(const QString& path) { return OpenWithApplication(wb_.dialogs(), path); }

void Docum::Docum_ListView2_DblClick() {
    const QString name = wb_.state().selectedDocument;
    if (name.isEmpty()) return;
    openDocument(core::JoinPath(wb_.state().currentObjectFolder, name));
}

void Docum::fileCommand(const QString& key) {
    auto is = [&](const char* k) { return key.compare(QString::fromUtf8(k), Qt::CaseInsensitive) == 0; };
    app::AppState& s = wb_.state();
    if (is("Создать")) {
        createReport();
    } else if (is("Отчет")) {
        createTechReport();
    } else if (is("Протокол")) {
        openProtocolMap();
    } else if (is("Загрузить")) {
        AddDocument(s, wb_.dialogs());
        FillDocumentList();
    } else if (is("Копировать")) {
        // a copy into the object folder itself is listed before the message says where it went
        SaveDocumentCopy(s, wb_.dialogs(), [this] { FillDocumentList(); });
    } else if (is("Удалить")) {
        if (s.selectedDocument.isEmpty()) return;
        DeleteDocument(s, wb_.dialogs());
        FillDocumentList();
    } else if (is("Переименовать")) {
        if (s.selectedDocument.isEmpty()) return;
        RenameDocument(s, wb_.dialogs());
        FillDocumentList();
    } else if (is("Вид")) {
        setView(static_cast<View>((static_cast<int>(view_) + 1) % 4));
    }
}

void Docum::offerToOpen(const QString& path, const QString& text) {
    if (wb_.dialogs().question(text, QStringLiteral("Информация"), app::Icon::Information) == app::Answer::Yes)
        openDocument(path);
}

// Refuses an object without a ticked regime (and says why); recalculates and stores stale
// regimes with the progress of "Всех" and builds the card's model. False when there is no
// card to build, or it was cancelled; `run` says which.
bool Docum::prepareCard(report::ReportModel& model, report::CardRun& run) {
    app::AppState& s = wb_.state();
    if (s.regimeList.rows.isEmpty() || std::none_of(s.regimeList.rows.begin(), s.regimeList.rows.end(),
                                                    [](const app::RegimeRow& r) { return r.ticked; })) {
        wb_.dialogs().message(s.regimeList.rows.isEmpty() ? report::kNoRegimes : report::kNoTickedRegimes,
                              QStringLiteral("Информация"), app::Icon::Information);
        return false;
    }
    // stale regimes are recalculated and stored first, as "Всех" does, with its progress
    app::WithRecalcProgress(this, s, [&](const app::ProgressStep& step) {
        run = report::PrepareReport(s, model, QDate::currentDate(), step);
    });
    if (!model.recalculated.isEmpty()) {
        // the list, the pane and the editor show the regime that was current, as stored now
        const int row = s.regimeList.find(s.currentRegimeFile);
        regime::SelectRegimeRow(s, row);
        if (row >= 0) regime::LoadRegimeInputs(s);
        regime::ShowRegimeResults(s);
    }
    return run.status != report::CardStatus::Cancelled;
}

void Docum::createReport() {
    app::AppState& s = wb_.state();
    const QString folder = s.currentObjectFolder;
    const QString xlsx = core::ResolvePath(folder, report::kReportXlsx),
                  pdf = core::ResolvePath(folder, report::kReportPdf);
    if (s.regimeList.rows.isEmpty()) {
        report::ReportModel none;
        report::CardRun run;
        prepareCard(none, run);  // says why there is no card
        return;
    }
    if ((core::ExistsNoCase(folder, report::kReportXlsx) || core::ExistsNoCase(folder, report::kReportPdf)) &&
        wb_.dialogs().question(QStringLiteral("Режимная и сводная ведомости уже есть в папке объекта (\"") +
                                   report::kReportXlsx + QStringLiteral("\", \"") + report::kReportPdf +
                                   QStringLiteral("\"). Заменить их?"),
                               QStringLiteral("Подтвердите замену"), app::Icon::Question) != app::Answer::Yes)
        return;
    report::ReportModel model;
    report::CardRun run;
    if (!prepareCard(model, run)) return;
    QString error = run.message;
    if (run.status != report::CardStatus::Built || !report::WriteReportXlsx(xlsx, model, &error) ||
        !report::WriteReportPdf(pdf, model, &error)) {
        FillDocumentList();
        wb_.dialogs().message(QStringLiteral("Ошибка работы с файлом ! ") + error, QStringLiteral("Kalvaro"),
                              app::Icon::Warning);
        return;
    }
    FillDocumentList();
    QString text = QStringLiteral("Режимная и сводная ведомости записаны в папку объекта: \"") + report::kReportXlsx +
                   QStringLiteral("\" и \"") + report::kReportPdf + QStringLiteral("\".");
    if (!model.recalculated.isEmpty()) {
        QStringList titles;
        for (const QString& f : model.recalculated) titles.append(f.chopped(4).simplified());
        text += QStringLiteral("\nРезультаты устарели и пересчитаны: ") + titles.join(QStringLiteral(", ")) + u'.';
    }
    const int failed = static_cast<int>(model.regimes.size()) - model.calculatedCount();
    if (failed > 0)
        text += QStringLiteral("\nНе рассчитано режимов: %1 (причина указана в ведомостях).").arg(failed);
    offerToOpen(pdf, text + QStringLiteral("\nОткрыть PDF?"));
}

void Docum::createTechReport() {
    app::AppState& s = wb_.state();
    // asked where: the object's folder is offered; the PDF goes beside the ODT
    const QString odt = wb_.dialogs().saveFileName(QStringLiteral("Сохранить технический отчет"),
                                                   core::ResolvePath(s.currentObjectFolder, report::kTechReportOdt),
                                                   QStringLiteral("Документ ODF (*.odt)"));
    if (odt.isEmpty()) return;
    const QString pdf = QFileInfo(odt).path() + u'/' + QFileInfo(odt).completeBaseName() + QStringLiteral(".pdf");
    QString error;
    for (const QString& path : {odt, pdf})
        if (core::KeptFileAt(path)) {
            wb_.dialogs().message(
                QStringLiteral("Файл ") + path + QStringLiteral(" — файл данных программы; выберите другое имя."),
                QStringLiteral("Kalvaro"), app::Icon::Warning);
            return;
        }
    report::ReportModel model;
    report::CardRun run;
    if (!prepareCard(model, run)) return;
    error = run.message;
    report::TextDoc doc;
    if (run.status != report::CardStatus::Built || !report::BuildTechReport(s, model, doc, &error) ||
        !report::WriteTechReport(doc, odt, pdf, &error)) {
        FillDocumentList();
        wb_.dialogs().message(QStringLiteral("Технический отчет не записан: ") + error, QStringLiteral("Kalvaro"),
                              app::Icon::Warning);
        return;
    }
    FillDocumentList();
    offerToOpen(odt, QStringLiteral("Технический отчет записан: \"") + odt + QStringLiteral("\" и \"") + pdf +
                         QStringLiteral("\".\nОткрыть его для правки?"));
}

void Docum::openProtocolMap() {
    auto* map = new Bez(wb_.state(), wb_.dialogs(), this);
    map->protocolWritten = [this](const QString&) { FillDocumentList(); };
    map->openDocument = [this](const QString& path) { openDocument(path); };
    map->setAttribute(Qt::WA_DeleteOnClose);
    map->setWindowModality(Qt::ApplicationModal);
    map->show();
}

void Docum::activated() {
    // files written meanwhile by other windows (the analyser's reading log) show up; an
    // unchanged folder keeps the list and its selection as they are
    QList<DocumentEntry> now;
    ListDocuments(wb_.state().currentObjectFolder, now);
    QStringList names, shown = documentNames();
    for (const DocumentEntry& e : now) names.append(e.name);
    names.sort();
    shown.sort();
    if (names != shown) FillDocumentList();
    wb_.showTaskPage(3, QStringLiteral("Задачи для файлов"));
    wb_.setStatus(1, windowTitle());
    wb_.setStatus(3, QString());
}

bool Docum::saveComment() {
    if (commentKept_) return true;
    QString error;
    if (WriteComment(wb_.state().currentObjectFolder, Text1->toPlainText(), &error)) return true;
    wb_.dialogs().message(kCommentNotSaved, QStringLiteral("Kalvaro"), app::Icon::Warning);
    return false;
}

void Docum::closeEvent(QCloseEvent* event) {
    // a comment that could not be stored keeps the window open with its text; when the
    // object closes, the window goes regardless
    if (!saveComment()) event->ignore();
    else event->accept();
}

}  // namespace docs
