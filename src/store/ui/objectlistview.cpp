#include "store/ui/objectlistview.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QStackedLayout>
#include <QStandardItemModel>
#include <QTreeView>

#include "app/ui/keys.h"
#include "app/ui/pictures.h"

namespace store {

using namespace app;

ObjectListView::ObjectListView(QWidget* parent)
    : QWidget(parent), model_(new QStandardItemModel(this)), list_(new QListView), details_(new QTreeView) {
    setObjectName(QStringLiteral("lvAll"));
    model_->setColumnCount(1);
    list_->setObjectName(QStringLiteral("lvAll_list"));
    details_->setObjectName(QStringLiteral("lvAll_details"));
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(list_), static_cast<QAbstractItemView*>(details_)}) {
        v->setModel(model_);
        v->setEditTriggers(QAbstractItemView::NoEditTriggers);
        v->setSelectionMode(QAbstractItemView::SingleSelection);
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
        connect(v, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) {
            if (i.isValid()) Q_EMIT openRequested(i.row());
        });
        // a mouse press selects, also on the entry that is already current
        connect(v, &QAbstractItemView::pressed, this, [this](const QModelIndex& i) {
            if (i.isValid()) Q_EMIT selected(i.row());
        });
    }
    // both views share one selection, so switching the view keeps the current entry
    details_->setSelectionModel(list_->selectionModel());
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& c, const QModelIndex&) { onCurrentChanged(c); });
    details_->setRootIsDecorated(false);
    details_->setUniformRowHeights(true);
    details_->setIconSize(QSize(16, 16));
    details_->header()->setStretchLastSection(true);
    list_->setMovement(QListView::Static);
    list_->setResizeMode(QListView::Adjust);
    list_->setUniformItemSizes(false);

    stack_ = new QStackedLayout(this);
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->addWidget(list_);
    stack_->addWidget(details_);
    setView(LargeIcons);
}

void ObjectListView::setEntries(const QStringList& names, const QString& header) {
    quiet_ = true;
    model_->removeRows(0, model_->rowCount());
    const QIcon icon = ProgramIcon(QStringLiteral("object"));
    for (const QString& name : names) {
        auto* item = new QStandardItem(icon, name);
        item->setToolTip(name);
        model_->appendRow(item);
    }
    model_->setHorizontalHeaderLabels({header});
    list_->selectionModel()->clear();
    quiet_ = false;
}

int ObjectListView::count() const { return model_->rowCount(); }
QString ObjectListView::entry(int row) const { return model_->index(row, 0).data().toString(); }
QString ObjectListView::header() const { return model_->headerData(0, Qt::Horizontal).toString(); }

int ObjectListView::currentRow() const {
    const QModelIndex i = list_->selectionModel()->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void ObjectListView::setCurrentRowQuietly(int row) {
    quiet_ = true;
    if (row < 0 || row >= count()) list_->selectionModel()->clear();
    else list_->selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::ClearAndSelect);
    quiet_ = false;
}

void ObjectListView::setView(View v) {
    view_ = v;
    switch (v) {
    case LargeIcons:
        list_->setViewMode(QListView::IconMode);
        list_->setIconSize(QSize(32, 32));
        list_->setGridSize(QSize(150, 80));
        list_->setWordWrap(true);
        list_->setFlow(QListView::LeftToRight);
        list_->setWrapping(true);
        stack_->setCurrentWidget(list_);
        break;
    case SmallIcons:
        list_->setViewMode(QListView::ListMode);
        list_->setIconSize(QSize(16, 16));
        list_->setGridSize(QSize(220, 22));
        list_->setWordWrap(false);
        list_->setFlow(QListView::LeftToRight);
        list_->setWrapping(true);
        stack_->setCurrentWidget(list_);
        break;
    case Details: stack_->setCurrentWidget(details_); break;
    case List:
        list_->setViewMode(QListView::ListMode);
        list_->setIconSize(QSize(16, 16));
        list_->setGridSize(QSize());
        list_->setWordWrap(false);
        list_->setFlow(QListView::TopToBottom);
        list_->setWrapping(true);
        stack_->setCurrentWidget(list_);
        break;
    }
    // the movement setting is reset by the view mode
    list_->setMovement(QListView::Static);
}

void ObjectListView::nextView() { setView(static_cast<View>((view_ + 1) % 4)); }

QWidget* ObjectListView::currentView() const { return stack_->currentWidget(); }

void ObjectListView::onCurrentChanged(const QModelIndex& current) {
    // only the arrow keys select by moving the current entry; the view also moves it by
    // itself (on focus, after a refill), which must not select anything
    if (quiet_ || !keyboard_ || !current.isValid()) return;
    Q_EMIT selected(current.row());
}

bool ObjectListView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && !keyboard_ && (watched == list_ || watched == details_)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Q_EMIT openRequested(currentRow());
            return true;
        }
        // let the view handle the key while moves of the current entry count as selections
        keyboard_ = true;
        QCoreApplication::sendEvent(watched, event);
        keyboard_ = false;
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace store
