#pragma once
// The serial link window: port settings kept in "ComPort.ini", the regime to fill, the
// sampling point and the polling period; "Старт" reads the gas analyser into the regime
// every period until "Стоп". Below, what became of the last period (stored values, the
// mean and its spread, a refused reading, silence) and a trend of O2, CO and the flue-gas
// temperature. The port and the reading cycle live in analyser/; this window only shows
// them and puts the values into the regime editor.

#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QTimer>
#include <array>
#include <functional>

#include "analyser/analyserlink.h"
#include "analyser/portsettings.h"
#include "app/ui/workbench.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolBar;

namespace analyser {

// An editable list that refills itself each time its list is opened.
class PortCombo : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;
    void showPopup() override;
};

// The entries of the port list: "COM1" to "COM4", then the serial devices the system
// reports (the first four built-in ports are already there as COM1 to COM4).
struct PortEntry {
    QString text;     // what goes into the field and into "ComPort.ini"
    QString display;  // the list entry: the path with description and maker beside it
    QString tip;
};
QList<PortEntry> PortEntries();

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

class comport : public QDialog {
    Q_OBJECT
public:
    explicit comport(app::Workbench& wb);
    ~comport() override;

    QGroupBox* Frame1;
    std::array<QLabel*, 5> L1{};
    PortCombo* C1;
    QComboBox *C2, *C3, *C4, *C5;
    QComboBox* Combo1;
    QGroupBox* Frame2;
    QRadioButton *Option1, *Option2;
    QGroupBox* Frame3;
    QLineEdit* Text1;
    QLabel* Label1;
    std::array<QCheckBox*, 1> Check1{};
    QCheckBox* Check2;  // "Усреднять"
    QLineEdit* Text2;   // the steadiness window, seconds
    QComboBox* Combo2;  // what becomes of the NO2 the analyser does not send
    QLabel* Label5;     // the state of the link in full: stopped, running with its countdown, lost
    QToolBar* Toolbar1;
    QTimer* Timer1;
    QLabel* Label2;  // the reason of a failed start, in the space the window grows by
    QLabel* Label3;  // what became of the last period
    QLabel* Label4;  // readings averaged, their spread, steady or not
    TrendView* Trend;

    // Toolbar1 button by key ("Настройка", "Старт", "Выход").
    QAction* button(const QString& key) const;
    AnalyserLink& link() { return link_; }
    QString settingsFile() const { return iniFile_; }
    // Height of the window in the folded, unfolded and failed states.
    int foldedHeight() const;
    int unfoldedHeight() const;
    int failedHeight() const;

    void comport_Form_Load();
    void comport_C_Click(int index);  // C1..C5 as 0..4
    void comport_Combo1_Click();
    void comport_Toolbar1_ButtonClick(const QString& key);
    void comport_Timer1_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void build();
    void fillPortList();
    QString captionStart() const;
    void setHeightTwips(int twips);
    void fold(bool folded);
    void startReading();
    void stopReading();
    void showStopped(bool trailingBlank);
    void showLost();
    void ReadAnalyser();
    void followCurrentRow();
    void fillCombo1();
    void showPeriod(const PeriodValues& v, const QString& outcome);
    void showState(const QString& state);
    void showWindow();
    void logNotes();
    int steadyWindow() const;
    void showQuiet();

    app::Workbench& wb_;
    AnalyserLink link_;
    QString iniFile_;
    QAction *settingsButton_, *startButton_, *exitButton_;
};

}  // namespace analyser
