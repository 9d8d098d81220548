#include "shell/placement.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <algorithm>

namespace shell {

using namespace app;

namespace {
constexpr int kLeftColumn = 340;
}

QRect SlotRect(const QSize& area, Slot slot) {
    // the list and the pane share the height, the working windows take the width: on a
    // large screen all three grow with the frame
    const int listHeight = std::max(180, area.height() * 2 / 5);
    switch (slot) {
    case Slot::List: return QRect(0, 0, kLeftColumn, listHeight);
    case Slot::Pane: return QRect(0, listHeight, kLeftColumn, std::max(200, area.height() - listHeight));
    case Slot::Work:
    case Slot::Dialog: break;
    }
    // within the frame even when it is small: the editors scroll rather than stand outside
    return QRect(kLeftColumn, 0, std::max(300, area.width() - kLeftColumn), std::max(200, area.height()));
}

QRect FitOnScreen(const QSize& wanted, const QRect& available, const QSize& decoration) {
    // the decorations: a border of half their width on every side, the rest of their height
    // as the title bar on top
    const int border = decoration.width() / 2;
    const int title = decoration.height() - border;
    const QSize size = wanted.boundedTo((available.size() - decoration).expandedTo(QSize(1, 1)));
    QRect outer(QPoint(0, 0), size + decoration);
    outer.moveCenter(available.center());
    return outer.adjusted(border, title, -border, -border);
}

std::optional<QPoint> ClearSpot(const QRect& area, const QSize& size, const QList<QRect>& avoid, int step) {
    const QPoint corner(area.right() + 1 - size.width(), area.bottom() + 1 - size.height());
    if (step < 1) step = 1;
    for (int y = corner.y(); y >= area.top(); y -= step)
        for (int x = corner.x(); x >= area.left(); x -= step) {
            const QRect spot(QPoint(x, y), size);
            if (std::none_of(avoid.begin(), avoid.end(), [&](const QRect& r) { return r.intersects(spot); }))
                return spot.topLeft();
        }
    return std::nullopt;
}

namespace {

const char* const kSlotProperty = "kalvaroSlot";

void PutInSlot(QMdiSubWindow* sub, Slot slot) {
    const QRect r = SlotRect(sub->mdiArea()->viewport()->size(), slot);
    if (slot == Slot::Dialog) {
        sub->adjustSize();
        sub->move(r.topLeft());
    } else {
        sub->setGeometry(r);
    }
}

// Follows the frame's size: a window that stands in its place (the user did not move or size
// it) is put in the place of the new size.
class SlotFollower : public QObject {
public:
    SlotFollower(QMdiArea* area) : QObject(area), area_(area), viewport_(area->viewport()), size_(viewport_->size()) {
        setObjectName(kName);
        viewport_->installEventFilter(this);
    }
    // compares with the viewport kept at the start: while the area is being destroyed its
    // viewport still sends events, and the area is no longer one to ask
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != viewport_ || event->type() != QEvent::Resize) return false;
        const QSize now = viewport_->size();
        for (QMdiSubWindow* w : area_->subWindowList()) {
            const QVariant slot = w->property(kSlotProperty);
            if (!slot.isValid() || w->isMaximized() || w->isMinimized()) continue;
            const Slot s = static_cast<Slot>(slot.toInt());
            if (s != Slot::Dialog && w->geometry() == SlotRect(size_, s)) w->setGeometry(SlotRect(now, s));
        }
        size_ = now;
        return false;
    }
    static constexpr const char* kName = "kalvaroSlotFollower";

private:
    QMdiArea* area_;
    QWidget* viewport_;
    QSize size_;
};

void FollowFrameSize(QMdiArea* area) {
    // the class has no meta-object of its own, so it is found by its name, not its type
    if (area->findChild<QObject*>(SlotFollower::kName, Qt::FindDirectChildrenOnly)) return;
    new SlotFollower(area);
}

}  // namespace

void FitSubWindow(QMdiSubWindow* sub) {
    QMdiArea* area = sub->mdiArea();
    if (!area || sub->isHidden() || sub->isMaximized() || sub->isMinimized()) return;
    // a window in one of the frame's places stands within the frame already
    const QVariant slot = sub->property(kSlotProperty);
    if (slot.isValid() && static_cast<Slot>(slot.toInt()) != Slot::Dialog) return;
    const QRect room(QPoint(0, 0), area->viewport()->size());
    QRect g = sub->geometry();
    // shrunk from where it stands (right of the list and the pane) as far as its content
    // allows, and moved only by what is still over the edge
    const QSize least = sub->minimumSizeHint().boundedTo(room.size());
    g.moveTopLeft(QPoint(std::max(0, g.left()), std::max(0, g.top())));
    g.setWidth(std::max(least.width(), std::min(g.width(), room.right() - g.left() + 1)));
    g.setHeight(std::max(least.height(), std::min(g.height(), room.bottom() - g.top() + 1)));
    const QRect fit = FitWindowOnScreen(g, least, room);
    if (fit != sub->geometry()) sub->setGeometry(fit);
}

QRect FitWindowOnScreen(const QRect& frame, const QSize& minimum, const QRect& available) {
    QRect g = frame;
    g.setSize(g.size().boundedTo(available.size()).expandedTo(minimum.boundedTo(available.size())));
    if (g.right() > available.right()) g.moveRight(available.right());
    if (g.bottom() > available.bottom()) g.moveBottom(available.bottom());
    if (g.left() < available.left()) g.moveLeft(available.left());
    if (g.top() < available.top()) g.moveTop(available.top());
    return g;
}

void PlaceSubWindow(QWidget* content, Slot slot) {
    QTimer::singleShot(0, content, [content, slot] {
        auto* sub = qobject_cast<QMdiSubWindow*>(content->parentWidget());
        if (!sub || !sub->mdiArea()) return;
        FollowFrameSize(sub->mdiArea());
        // a window opened while the others are maximised is maximised with them; its own
        // place is set when they are restored
        if (!sub->isMaximized()) PutInSlot(sub, slot);
        if (sub->property(kSlotProperty).isValid()) {
            sub->setProperty(kSlotProperty, static_cast<int>(slot));
            return;
        }
        sub->setProperty(kSlotProperty, static_cast<int>(slot));
        // restoring a maximised window brings back the frame's layout for every placed window
        QObject::connect(sub, &QMdiSubWindow::windowStateChanged, sub,
                         [sub](Qt::WindowStates before, Qt::WindowStates now) {
                             if (!(before & Qt::WindowMaximized) || (now & (Qt::WindowMaximized | Qt::WindowMinimized)))
                                 return;
                             QTimer::singleShot(0, sub, [sub] {
                                 QMdiArea* area = sub->mdiArea();
                                 if (!area) return;
                                 for (QMdiSubWindow* w : area->subWindowList()) {
                                     const QVariant slot = w->property(kSlotProperty);
                                     if (slot.isValid() && !w->isMaximized() && !w->isMinimized())
                                         PutInSlot(w, static_cast<Slot>(slot.toInt()));
                                 }
                             });
                         });
    });
}

}  // namespace shell
