#include "results/ui/graf.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QUrl>

#include "app/dialogs.h"
#include "app/state.h"
#include "app/ui/marks.h"
#include "app/ui/twips.h"
#include "core/names.h"
#include "core/numbers.h"
#include "results/graphpainter.h"
#include "results/ui/graphtasks.h"
#include "results/ui/navig.h"
#include "results/xlsxexport.h"

namespace results {

namespace {

const QColor kAreaBackground(224, 224, 224);
constexpr int kScaleLeft = 64, kScaleBottom = 26, kTop = 8, kRight = 34;

}  // namespace

GraphCanvas::GraphCanvas(bool withScales, QWidget* parent) : QWidget(parent), withScales_(withScales) {
    setMinimumSize(withScales ? 420 : 200, withScales ? 260 : 110);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QRectF GraphCanvas::area() const {
    if (!withScales_) return QRectF(0, 0, width(), height());
    return QRectF(kScaleLeft, kTop, width() - kScaleLeft - kRight, height() - kTop - kScaleBottom);
}

void GraphCanvas::ensurePicture() {
    const QSize size = area().size().toSize();
    if (picture_.size() != size) {
        picture_ = QPixmap(size.expandedTo(QSize(1, 1)));
        picture_.fill(withScales_ ? kAreaBackground : palette().color(QPalette::Window));
    }
}

void GraphCanvas::clearPicture() {
    ensurePicture();
    picture_.fill(withScales_ ? kAreaBackground : palette().color(QPalette::Window));
    scalesShown_ = false;
    curves_.clear();
    update();
}

void GraphCanvas::paintCurve(const GraphData& data, const QColor& curve, bool overlay) {
    ensurePicture();
    QPainter p(&picture_);
    CurveStyle style;
    style.curve = curve;
    style.clear = !overlay;
    style.grid5 = withScales_;
    style.background = withScales_ ? kAreaBackground : palette().color(QPalette::Window);
    style.grid = palette().color(QPalette::Button).darker(110);
    DrawCurve(p, QRectF(QPointF(0, 0), QSizeF(picture_.size())), data, style);
    ranges_ = GraphRanges(data, picture_.width(), picture_.height());
    scalesShown_ = withScales_;
}

void GraphCanvas::draw(const GraphData& data, const QColor& curve, bool overlay) {
    paintCurve(data, curve, overlay);
    if (!overlay) curves_.clear();
    curves_.append({data, curve});
    update();
}

void GraphCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // a new size redraws, in the new scale, every curve drawn since the last plain draw
    const bool had = scalesShown_ || !curves_.isEmpty();
    picture_ = QPixmap();
    ensurePicture();
    if (!had) return;
    if (curves_.isEmpty()) {
        paintCurve(GraphData(), Qt::black, false);
    } else {
        for (int i = 0; i < curves_.size(); ++i) paintCurve(curves_[i].first, curves_[i].second, i > 0);
    }
    update();
}

void GraphCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    ensurePicture();
    const QRectF a = area();
    p.drawPixmap(a.topLeft(), picture_);
    if (withScales_) {
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(a.adjusted(-0.5, -0.5, 0.5, 0.5));
        if (scalesShown_) DrawAxisLabels(p, a, ranges_);
    }
}

QImage GraphCanvas::image() const { return const_cast<GraphCanvas*>(this)->grab().toImage(); }

Graf::Graf(app::Workbench& wb) : wb_(wb) {
    setObjectName(QStringLiteral("Graf"));
    setWindowTitle(QStringLiteral("Редактор Графиков"));
    wb.state().graph.chosen = false;

    Label1 = new QLabel(QStringLiteral("Выберете  график "));
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label2 = new QLabel;
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignHCenter);
    Picture1 = new GraphCanvas(true);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Picture1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QMenu menu;
        menu.addAction(QStringLiteral("Сохранить рисунок (PNG)..."), this, &Graf::savePicture);
        menu.exec(Picture1->mapToGlobal(pos));
    });

    Frame1 = new QFrame;
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    auto* Label4 = new QLabel(QStringLiteral("Таблица данных  ( X      и      Y)"));
    Label4->setWordWrap(true);
    Table1 = new QTableWidget(0, 2);
    Table1->setObjectName(QStringLiteral("Table1"));
    Table1->setHorizontalHeaderLabels({QStringLiteral("X"), QStringLiteral("Y")});
    Table1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table1->setSelectionMode(QAbstractItemView::NoSelection);
    Table1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Table1->verticalHeader()->setDefaultSectionSize(Table1->fontMetrics().height() + 4);
    Table1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Table1->setFixedWidth(Table1->fontMetrics().horizontalAdvance(QStringLiteral("Сред. 00000,00 00000,00")) + 40);
    auto* table = new QVBoxLayout(Frame1);
    table->setContentsMargins(4, 4, 4, 4);
    table->addWidget(Label4);
    table->addWidget(Table1, 1);
    Frame1->setVisible(false);

    SavePicture = new QPushButton(QStringLiteral("Сохранить рисунок..."));
    SavePicture->setToolTip(QStringLiteral("Сохранить график как рисунок PNG для отчета"));
    SavePicture->setEnabled(false);
    connect(SavePicture, &QPushButton::clicked, this, &Graf::savePicture);

    auto* top = new QHBoxLayout;
    top->addWidget(Label1, 1);
    top->addWidget(SavePicture);
    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addWidget(Picture1, 1);
    left->addWidget(Label2);
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(left, 1);
    outer->addWidget(Frame1);
    resize(app::TwipsX(this, 9180) + 40, app::TwipsY(this, 6600) + 40);
    wb_.placeWindow(this, app::Slot::Work);
}

void Graf::setCaptions(const QString& y, const QString& x) {
    Label1->setText(y);
    Label2->setText(x);
}

void Graf::fillTable() {
    const int n = static_cast<int>(data_.x.size());
    Table1->clearContents();
    Table1->setRowCount(n + 1);
    QStringList rowLabels;
    auto cell = [](const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return item;
    };
    for (int k = 0; k < n; ++k) {
        Table1->setItem(k, 0, cell(core::LocaleForm(data_.x[k])));
        Table1->setItem(k, 1, cell(core::LocaleForm(data_.y[k])));
        // the row is named by the regime's number, its file name in the tooltip
        const QString file = data_.regimes.value(k);
        QString number = file;
        number.remove(QRegularExpression(QStringLiteral("[^0-9]")));
        rowLabels.append(number.isEmpty() ? QString::number(k + 1) : number);
        for (int c = 0; c < 2; ++c) Table1->item(k, c)->setToolTip(file);
        const QString doubt = data_.doubtful.value(k);
        if (!doubt.isEmpty())
            for (int c = 0; c < 2; ++c) {
                Table1->item(k, c)->setBackground(app::kImplausibleBackground);
                Table1->item(k, c)->setForeground(app::kImplausibleText);
                Table1->item(k, c)->setToolTip(file + u'\n' + doubt);
            }
    }
    rowLabels.append(QStringLiteral("Сред."));
    Table1->setVerticalHeaderLabels(rowLabels);
    QFont bold = Table1->font();
    bold.setBold(true);
    for (int c = 0; c < 2; ++c) {
        QTableWidgetItem* mean = cell(n == 0 ? QString() : MeanText(c == 0 ? data_.x : data_.y));
        mean->setFont(bold);
        Table1->setItem(n, c, mean);
    }
}

int Graf::pointRows() const { return std::max(0, Table1->rowCount() - 1); }

QString Graf::meanX() const {
    const QTableWidgetItem* i = Table1->item(Table1->rowCount() - 1, 0);
    return i ? i->text() : QString();
}

QString Graf::meanY() const {
    const QTableWidgetItem* i = Table1->item(Table1->rowCount() - 1, 1);
    return i ? i->text() : QString();
}

bool Graf::collect() {
    app::AppState& s = wb_.state();
    if (!s.graph.chosen) return true;
    QString error;
    const bool ok = CollectGraphData(s, data_, &error);
    if (!ok) data_ = GraphData();
    fillTable();
    return ok;
}

bool Graf::fullRedraw() {
    app::AppState& s = wb_.state();
    if (!s.graph.chosen) return true;
    const bool ok = collect();
    auto* pane = wb_.window<Navig>(app::WindowKind::Navig);
    const bool overlay = pane && pane->graphTasks()->overlay();
    if (data_.empty()) {
        // nothing ticked: the picture is cleared and the user is told why
        Picture1->clearPicture();
        if (ok) wb_.setStatus(1, QStringLiteral("Нет отмеченных режимов: отметьте режимы в списке режимов"));
    } else {
        Picture1->draw(data_, color_, overlay);
    }
    SavePicture->setEnabled(!data_.empty());
    return ok;
}

void Graf::showTable(bool shown) {
    Frame1->setVisible(shown);
    // the window widens by the table's width where the frame has room at its right; it never
    // moves left over the regime list and the task pane, so without room the table takes its
    // width from the drawing (the scales are drawn anew at the smaller size); hiding the
    // table puts the window back as it was
    QMdiSubWindow* sub = wb_.subWindow(app::WindowKind::Graf);
    if (!sub) return;
    if (!shown) {
        if (beforeTable_.isValid()) sub->setGeometry(beforeTable_);
        beforeTable_ = QRect();
        return;
    }
    beforeTable_ = sub->geometry();
    const QRect room = sub->mdiArea() ? sub->mdiArea()->viewport()->rect() : QRect();
    int width = sub->width() + Frame1->sizeHint().width() + 6;
    if (room.isValid()) width = std::max(sub->width(), std::min(width, room.right() + 1 - sub->x()));
    sub->resize(width, sub->height());
}

bool Graf::tableShown() const { return Frame1->isVisible(); }

void Graf::savePicture() {
    app::AppState& s = wb_.state();
    const QString suggested = core::JoinPath(s.currentObjectFolder, GraphFileName(Label1->text(), QStringLiteral("png")));
    const QString path =
        wb_.dialogs().saveFileName(QStringLiteral("Сохранить рисунок графика"), suggested, QStringLiteral("PNG (*.png)"));
    if (path.isEmpty()) return;
    const QImage image = RenderGraphImage(data_, Label1->text(), Label2->text(), s.currentObjectName, color_);
    QString why;
    if (!SaveGraphPng(path, image, &why)) {
        wb_.dialogs().message(QStringLiteral("Ошибка !  ") + why, app::kProgramTitle, app::Icon::Warning);
        return;
    }
    app::OfferToOpenSaved(wb_.dialogs(), QStringLiteral("Рисунок сохранен"), path, QStringLiteral("Открыть его?"));
}

void Graf::activated() {
    wb_.showTaskPage(2, QStringLiteral("Задачи для графиков"));
    wb_.setStatus(1, windowTitle());
    wb_.setStatus(3, QString());
    if (wb_.state().graph.chosen) fullRedraw();
}

Grafmin::Grafmin(app::Workbench& wb) : wb_(wb) {
    setObjectName(QStringLiteral("Grafmin"));
    setWindowFlags(Qt::Tool);
    setAttribute(Qt::WA_ShowWithoutActivating);
    Picture1 = new GraphCanvas(false, this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 2);
    layout->addWidget(Picture1);
    resize(app::TwipsX(this, 4440) + 4, app::TwipsY(this, 2535) + 2);
    if (auto* g = wb.window<Graf>(app::WindowKind::Graf)) setWindowTitle(g->Label1->text());
}

Grafmin::~Grafmin() {
    // closing the window by its own close box releases the toolbar button
    if (auto* pane = wb_.window<Navig>(app::WindowKind::Navig)) pane->graphTasks()->miniGraphClosed();
}

void Grafmin::DrawMiniGraph() {
    auto* g = wb_.window<Graf>(app::WindowKind::Graf);
    if (!g) return;
    if (g->data().empty()) Picture1->clearPicture();
    else Picture1->draw(g->data(), g->curveColor(), false);
    setWindowTitle(g->Label1->text());
}

void Grafmin::RefreshMiniGraph() {
    auto* g = wb_.window<Graf>(app::WindowKind::Graf);
    if (!g) return;
    g->collect();
    DrawMiniGraph();
}

}  // namespace results
