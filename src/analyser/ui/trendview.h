#pragma once
// The trend strip of the serial link window.

#include <QDateTime>
#include <QList>
#include <QWidget>

namespace analyser {

// O2, CO and the flue-gas temperature of the accepted readings of the last minutes, one
// strip each, every strip scaled to its own values.
class TrendView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMinutes = 10;
    explicit TrendView(QWidget* parent = nullptr);
    void add(const QDateTime& time, double o2, double co, double temperature);
    void clear();
    // The steadiness window ending at the newest reading is shaded, its verdict written in it.
    void setWindow(int seconds, const QString& verdict, bool steady);
    int windowSeconds() const { return windowSeconds_; }
    QString verdict() const { return verdict_; }
    int points() const { return static_cast<int>(points_.size()); }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    struct Point {
        QDateTime time;
        double v[3];
    };
    QList<Point> points_;
    int windowSeconds_ = 60;
    QString verdict_;
    bool steady_ = false;
};

}  // namespace analyser
