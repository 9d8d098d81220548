#include "app/ui/notice.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

#include "app/ui/twips.h"

namespace app {

fProverca::fProverca(const QString& message, QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog) {
    setObjectName(QStringLiteral("fProverca"));
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose, false);
    frame_ = new QFrame(this);
    frame_->setFrameShape(QFrame::Box);
    frame_->setLineWidth(2);
    frame_->setStyleSheet(QStringLiteral("QFrame { background: #fff8dc; }"));
    title_ = new QLabel(QStringLiteral("Расчет режима невыполнен"), frame_);
    message_ = new QLabel(message + QStringLiteral(" !"), frame_);
    QFont f = message_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    message_->setFont(f);
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignCenter);
    ok_ = new QLabel(QStringLiteral("Оk"), frame_);
    ok_->setAlignment(Qt::AlignRight);
    auto* inner = new QVBoxLayout(frame_);
    inner->addWidget(title_);
    inner->addWidget(message_, 1);
    inner->addWidget(ok_);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame_);
    for (QWidget* w : {static_cast<QWidget*>(frame_), static_cast<QWidget*>(title_), static_cast<QWidget*>(message_),
                       static_cast<QWidget*>(ok_)})
        w->installEventFilter(this);

    // start small at 2950, 1600 twips of the screen and grow towards the full size
    setGeometry(TwipsX(this, 2950), TwipsY(this, 1600), TwipsX(this, 90), TwipsY(this, 90));
    setMinimumSize(1, 1);
    timer_.setInterval(1);
    connect(&timer_, &QTimer::timeout, this, &fProverca::tick);
    hold_.setSingleShot(true);
    connect(&hold_, &QTimer::timeout, this, [this] { accept(); });
}

void fProverca::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ticks_ = 0;
    wasActive_ = false;
    timer_.start();
}

void fProverca::tick() {
    ++ticks_;
    QRect g = geometry();
    const int h = TwipsY(this, 1685), w = TwipsX(this, 3560);
    const int left = TwipsX(this, 5850), top = TwipsY(this, 3800);
    if (g.height() < h) g.setHeight(std::min(h, g.height() + TwipsY(this, 51)));
    if (g.width() < w) g.setWidth(std::min(w, g.width() + TwipsX(this, 110)));
    if (g.left() < left) g.moveLeft(std::min(left, g.left() + TwipsX(this, 125)));
    if (g.top() < top) g.moveTop(std::min(top, g.top() + TwipsY(this, 95)));
    setGeometry(g);
    if (ticks_ > kLastTick) {
        // grown: the notice stays long enough to be read, then closes
        timer_.stop();
        hold_.start(holdMs_);
    }
}

void fProverca::mousePressEvent(QMouseEvent* event) {
    QDialog::mousePressEvent(event);
    timer_.stop();
    hold_.stop();
    accept();
}

bool fProverca::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        timer_.stop();
        hold_.stop();
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void fProverca::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isVisible()) return;
    if (isActiveWindow()) {
        wasActive_ = true;
    } else if (wasActive_ && (timer_.isActive() || hold_.isActive())) {
        // the focus went elsewhere: the notice is done
        ticks_ = 0;
        timer_.stop();
        hold_.stop();
        accept();
    }
}

}  // namespace app
