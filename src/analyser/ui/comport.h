#pragma once
// The serial link window: port settings kept in "ComPort.ini", the regime to fill, the
// sampling point and the polling period; "Старт" reads the gas analyser into the regime
// every period until "Стоп". Below, what became of the last period (stored values, the
// mean and its spread, a refused reading, silence) and a trend of O2, CO and the flue-gas
// temperature. The port and the reading cycle live in analyser/; this window only shows
// them and puts the values into the regime editor.

#include <QDialog>
#include <QTimer>
#include <array>

#include "analyser/analyserlink.h"
#include "analyser/portsettings.h"
#include "analyser/ui/portcombo.h"
#include "analyser/ui/trendview.h"
#include "app/ui/workbench.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolBar;

namespace analyser {

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
    void buildToolbar();
    void buildPortFrame();
    void buildSamplingFrame();
    void buildExtraFrame();
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
