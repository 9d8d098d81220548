#pragma once
// The notice shown when a regime cannot be calculated: a small window that grows open,
// names what is missing and closes by itself, on a click or when it loses the focus.

#include <QDialog>
#include <QTimer>

class QLabel;
class QFrame;

namespace app {

class fProverca : public QDialog {
    Q_OBJECT
public:
    explicit fProverca(const QString& message, QWidget* parent = nullptr);

    int ticks() const { return ticks_; }
    QLabel* messageLabel() const { return message_; }

    static constexpr int kLastTick = 80;  // the window is full size after this tick
    // How long the full-size notice stays before it closes by itself. The animation's
    // ticks take far less than a millisecond each here, so the time is counted apart.
    static constexpr int kHoldMs = 3000;
    void setHoldMs(int ms) { holdMs_ = ms; }
    bool holding() const { return hold_.isActive(); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void tick();

    QFrame* frame_;
    QLabel *title_, *message_, *ok_;
    QTimer timer_;
    QTimer hold_;
    int holdMs_ = kHoldMs;
    int ticks_ = 0;
    bool wasActive_ = false;
    QRect target_;
};

}  // namespace app
