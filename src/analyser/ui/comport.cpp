#include "analyser/ui/comport.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "analyser/portlist.h"
#include "analyser/reading.h"
#include "app/dialogs.h"
#include "app/state.h"
#include "app/ui/numberfield.h"
#include "app/ui/pictures.h"
#include "app/ui/recalcflow.h"
#include "app/ui/twips.h"
#include "core/numbers.h"
#include "core/numparse.h"
#include "regime/regimestore.h"

namespace analyser {

namespace {

// The trend and the period's lines below the settings make the window taller by this much.
// The state line, the steadiness window and the NO2 choice add this much more.
constexpr int kTrendTwips = 3300 + 1300;
constexpr int kUnfoldedTwips = 3720 + kTrendTwips;
constexpr int kFoldedTwips = 735;
constexpr int kFailedTwips = 4530 + kTrendTwips;
constexpr int kWidthTwips = 8200;

const QString kSettingsKey = QStringLiteral("Настройка");
const QString kStartKey = QStringLiteral("Старт");
const QString kExitKey = QStringLiteral("Выход");
const QString kSettingsCaption = QStringLiteral("Настройка ");
const QString kFoldCaption = QStringLiteral("Свернуть  ");
const QString kStartCaption = QStringLiteral("Старт        ");
const QString kStopCaption = QStringLiteral("Стоп        ");
const QString kStartTip = QStringLiteral("Начать  считывание ");
const QString kStopTip = QStringLiteral("Остановить  считывание ");
const QString kPortError = QStringLiteral("Ошибка при работе с портом ");
const QString kStopped = QStringLiteral(" :    Остановлено");
const QString kRunning = QStringLiteral(" :    Выполняется: ");
const QString kReading = QStringLiteral(" Считывание >>>");
const QString kLost = QStringLiteral(" :    Связь потеряна, повтор через: ");

// The toolbar's pictures 1 to 4: folded, start, stop, unfolded.
QIcon Image(int n) {
    static const char* names[] = {"portsettings", "portstart", "portstop", "portfold"};
    return app::ProgramIcon(QString::fromLatin1(names[n - 1]));
}

void Warn(app::Workbench& wb, const QString& text) { wb.dialogs().message(text, app::kProgramTitle, app::Icon::Warning); }

QString Sd(double v, int decimals) { return core::StoredForm(static_cast<float>(core::RoundHalfEven(v, decimals))); }

}  // namespace

comport::comport(app::Workbench& wb) : wb_(wb) {
    setObjectName(QStringLiteral("comport"));
    build();
    connect(&link_, &AnalyserLink::linkLost, this, [this] { showLost(); });
    comport_Form_Load();
}

comport::~comport() {
    Timer1->stop();
    link_.stop();
    // hiding on the way out moves the focus, and an editable list would report a pick
    for (QComboBox* c : {static_cast<QComboBox*>(C1), C2, C3, C4, C5, Combo1}) c->disconnect(this);
    hide();
}

void comport::build() {
    buildToolbar();
    buildPortFrame();
    buildSamplingFrame();
    buildExtraFrame();

    auto* right = new QVBoxLayout;
    right->addWidget(Combo1);
    right->addWidget(Frame2);
    right->addWidget(Frame3);
    right->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(Frame1, 3);
    body->addLayout(right, 2);

    Label2 = new QLabel;
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setStyleSheet(QStringLiteral("color: #a00000;"));
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label3 = new QLabel;
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setWordWrap(true);
    Label4 = new QLabel;
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setWordWrap(true);
    Label5 = new QLabel;
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setStyleSheet(QStringLiteral("font-weight: bold;"));
    Label5->setWordWrap(true);
    Trend = new TrendView;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(Toolbar1);
    layout->addWidget(Label5);
    layout->addLayout(body);
    layout->addWidget(Label2);
    layout->addWidget(Label3);
    layout->addWidget(Label4);
    layout->addWidget(Trend, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &comport::comport_Timer1_Timer);
    setFixedWidth(app::TwipsX(this, kWidthTwips));
}

// The toolbar: settings, fold, start and stop, exit.
void comport::buildToolbar() {
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    Toolbar1->setIconSize(QSize(24, 24));
    auto add = [this](const QString& key, const QString& caption, const QIcon& icon, const QString& tip) {
        QAction* a = Toolbar1->addAction(icon, caption);
        a->setData(key);
        a->setObjectName(key);
        a->setToolTip(tip);
        connect(a, &QAction::triggered, this, [this, key] { comport_Toolbar1_ButtonClick(key); });
        return a;
    };
    settingsButton_ = add(kSettingsKey, kFoldCaption, Image(4), QStringLiteral("Свернуть или развернуть параметры"));
    Toolbar1->addSeparator();
    startButton_ = add(kStartKey, kStartCaption, Image(2), kStartTip);
    Toolbar1->addSeparator();
    exitButton_ = add(kExitKey, QStringLiteral("Выход        "), app::ProgramIcon(QStringLiteral("exit")),
                      QStringLiteral("Закрыть окно"));
}

// "Параметры порта": the port and its line settings, and the regime to fill below them.
void comport::buildPortFrame() {
    Frame1 = new QGroupBox(QStringLiteral("Параметры порта"));
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* g1 = new QGridLayout(Frame1);
    g1->setVerticalSpacing(3);
    const QString labels[5] = {QStringLiteral("Порт"), QStringLiteral("Скорость (бит/сек)"), QStringLiteral("Четность"),
                               QStringLiteral("Биты  данных"), QStringLiteral("Стоповые биты")};
    C1 = new PortCombo;
    C2 = new QComboBox;
    C3 = new QComboBox;
    C4 = new QComboBox;
    C5 = new QComboBox;
    QComboBox* lists[5] = {C1, C2, C3, C4, C5};
    for (int i = 0; i < 5; ++i) {
        L1[i] = new QLabel(labels[i]);
        L1[i]->setObjectName(QStringLiteral("L1_%1").arg(i));
        lists[i]->setObjectName(QStringLiteral("C%1").arg(i + 1));
        lists[i]->setEditable(true);
        lists[i]->setInsertPolicy(QComboBox::NoInsert);
        g1->addWidget(L1[i], i, 0);
        g1->addWidget(lists[i], i, 1);
        connect(lists[i], &QComboBox::activated, this, [this, i] { comport_C_Click(i); });
    }
    g1->setColumnStretch(1, 1);
    C1->setToolTip(QStringLiteral("COM1 ... COM4 - встроенные порты /dev/ttyS0 ... /dev/ttyS3 (COMn = /dev/ttyS(n-1)); "
                                  "можно ввести полный путь: /dev/ttyUSB0, /dev/rfcomm0, /dev/pts/4, "
                                  "/dev/serial/by-id/..."));
    C1->setMinimumContentsLength(12);
    C1->beforePopup = [this] { fillPortList(); };
    fillPortList();
    C2->addItems({QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("19200")});
    C3->addItems({QStringLiteral("Yes"), QStringLiteral("No")});
    C3->setItemData(0, QStringLiteral("Yes - проверка на четность (even)"), Qt::ToolTipRole);
    C3->setItemData(1, QStringLiteral("No - без проверки четности"), Qt::ToolTipRole);
    C4->addItems({QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")});
    C5->addItems({QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")});
    // the caption names the port as it is typed
    connect(C1, &QComboBox::editTextChanged, this, [this] {
        if (!Timer1->isActive()) showStopped(true);
    });

    Combo1 = new QComboBox;
    Combo1->setObjectName(QStringLiteral("Combo1"));
    connect(Combo1, &QComboBox::activated, this, [this] { comport_Combo1_Click(); });
}

// "Точка отбора": before or after the economiser.
void comport::buildSamplingFrame() {
    Frame2 = new QGroupBox(QStringLiteral("Точка отбора"));
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* g2 = new QVBoxLayout(Frame2);
    g2->setSpacing(2);
    Option1 = new QRadioButton(QStringLiteral("до     экономайзера"));
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(QStringLiteral("после экономайзера"));
    Option2->setObjectName(QStringLiteral("Option2"));
    Option2->setChecked(true);
    g2->addWidget(Option1);
    g2->addWidget(Option2);
}

// "Дополнительно": the polling period, the averaging, the steadiness window, the NO2 policy,
// each kept in "ComPort.ini" once valid.
void comport::buildExtraFrame() {
    Frame3 = new QGroupBox(QStringLiteral("Дополнительно"));
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto* g3 = new QGridLayout(Frame3);
    g3->setVerticalSpacing(3);
    Text1 = new app::NumberField(QStringLiteral("4"));
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(QStringLiteral("Период опроса "));
    Text1->setMaximumWidth(60);
    Label1 = new QLabel(QStringLiteral("Период опроса , сек"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Check1[0] = new QCheckBox(QStringLiteral("Считывать Туходящих. г"));
    Check1[0]->setObjectName(QStringLiteral("Check1_0"));
    Check1[0]->setToolTip(QStringLiteral("Считывать температуру уходящих газов"));
    g3->addWidget(Text1, 0, 0);
    g3->addWidget(Label1, 0, 1);
    g3->addWidget(Check1[0], 1, 0, 1, 2);
    Check2 = new QCheckBox(QStringLiteral("Усреднять"));
    Check2->setObjectName(QStringLiteral("Check2"));
    Check2->setToolTip(QStringLiteral("Записывать среднее всех полных показаний периода"));
    g3->addWidget(Check2, 2, 0, 1, 2);
    Text2 = new app::NumberField(QString::number(kDefaultSteadyWindow));
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setToolTip(QStringLiteral("Стабильность оценивается по показаниям за это время: разброс и тренд O2, CO и Тух.г"));
    Text2->setMaximumWidth(60);
    auto* label2 = new QLabel(QStringLiteral("Окно стабильности, с"));
    g3->addWidget(Text2, 3, 0);
    g3->addWidget(label2, 3, 1);
    Combo2 = new QComboBox;
    Combo2->setObjectName(QStringLiteral("Combo2"));
    for (No2Policy p : {No2Policy::Zero, No2Policy::Keep, No2Policy::FivePercent})
        Combo2->addItem(No2PolicyText(p), static_cast<int>(p));
    Combo2->setToolTip(QStringLiteral("Анализатор не передает NO2: что записать в поле NO2 режима"));
    g3->addWidget(Combo2, 4, 0, 1, 2);
    auto keep = [this](const QString& key, const QString& value) {
        QString error;
        if (!WriteLinkOption(iniFile_, key, value, &error)) Warn(wb_, error);
    };
    connect(Check2, &QCheckBox::clicked, this, [this](bool on) {
        QString error;
        if (!WriteAverageSetting(iniFile_, on, &error)) Warn(wb_, error);
    });
    connect(Check1[0], &QCheckBox::toggled, this, [this](bool on) { link_.setReadTemperature(on); });
    connect(Check1[0], &QCheckBox::clicked, this,
            [keep](bool on) { keep(kTemperatureKey, on ? QStringLiteral("1") : QStringLiteral("0")); });
    g3->setColumnStretch(1, 1);
    connect(Text1, &QLineEdit::textChanged, this, [this](const QString& t) { link_.setPeriodText(t); });
    // a period or window is kept once it is a valid one and the user has finished typing it
    connect(Text1, &QLineEdit::editingFinished, this, [this, keep] {
        int period = 0;
        if (ParsePeriod(Text1->text(), period)) keep(kPeriodKey, Text1->text().trimmed());
    });
    connect(Text2, &QLineEdit::editingFinished, this, [this, keep] {
        int seconds = 0;
        if (ParseSteadyWindow(Text2->text(), seconds)) {
            keep(kSteadyWindowKey, QString::number(seconds));
            showWindow();
        }
    });
    connect(Combo2, &QComboBox::activated, this,
            [this, keep] { keep(kNo2Key, No2PolicyKey(static_cast<No2Policy>(Combo2->currentData().toInt()))); });
}

void comport::fillPortList() {
    const QString text = C1->currentText();
    C1->blockSignals(true);
    C1->clear();
    for (const PortEntry& e : PortEntries()) {
        C1->addItem(e.display, e.text);
        C1->setItemData(C1->count() - 1, e.tip, Qt::ToolTipRole);
    }
    C1->setCurrentIndex(-1);
    C1->setEditText(text);
    C1->blockSignals(false);
}

QAction* comport::button(const QString& key) const {
    for (QAction* a : Toolbar1->actions())
        if (a->data().toString().compare(key, Qt::CaseInsensitive) == 0) return a;
    return nullptr;
}

int comport::foldedHeight() const { return app::TwipsY(this, kFoldedTwips); }
int comport::unfoldedHeight() const { return app::TwipsY(this, kUnfoldedTwips); }
int comport::failedHeight() const { return app::TwipsY(this, kFailedTwips); }

void comport::setHeightTwips(int twips) { setFixedHeight(app::TwipsY(this, twips)); }

QString comport::captionStart() const { return C1->currentText() + QStringLiteral(" -> ") + Combo1->currentText(); }

// The caption may be cut by the window manager: the state is also written in full inside.
void comport::showState(const QString& state) {
    setWindowTitle(captionStart() + state);
    QString inside = state.trimmed();
    if (inside.startsWith(u':')) inside = inside.mid(1).trimmed();
    Label5->setText(inside + QStringLiteral("    (") + captionStart() + u')');
}

void comport::showStopped(bool trailingBlank) { showState(kStopped + (trailingBlank ? QStringLiteral(" ") : QString())); }

void comport::showLost() {
    showState(kLost + core::CounterForm(link_.countdown(), true));
    Label2->setText(link_.reason());
}

// ---------------------------------------------------------------- opening

void comport::comport_Form_Load() {
    app::AppState& s = wb_.state();
    // one entry per row of the regime list
    fillCombo1();
    // an object without economiser has one sampling point, right after the boiler
    if (!BeforeEconomiserAllowed(s.general)) {
        Option1->setEnabled(false);
        Option2->setChecked(true);
        Option2->setText(QStringLiteral(" После котла"));
    }
    // the regime of the list's selected row (the current regime when none is marked)
    int row = s.regimeList.selectedRow();
    if (row < 0) row = s.regimeList.find(s.currentRegimeFile);
    if (row < 0 && !s.regimeList.rows.isEmpty()) row = 0;
    // the settings come before the caption that names the port
    iniFile_ = SettingsFilePath(s.programFolder);
    // a key not yet stored offers the common settings rather than "?"
    const PortSettings ps = DefaultedSettings(ReadPortSettings(iniFile_));
    QComboBox* lists[5] = {C1, C2, C3, C4, C5};
    for (int i = 0; i < 5; ++i) lists[i]->setEditText(ps.value(i));
    Check2->setChecked(ReadAverageSetting(iniFile_));
    const LinkOptions options = ReadLinkOptions(iniFile_);
    Check1[0]->setChecked(options.temperature);
    Text1->setText(options.period);
    Text2->setText(QString::number(options.steadyWindow));
    Combo2->setCurrentIndex(Combo2->findData(static_cast<int>(options.no2)));
    if (row >= 0) {
        Combo1->setCurrentIndex(row);
        comport_Combo1_Click();
    }
    // unfolded
    fold(false);
    // shown stopped until "Старт"
    showStopped(false);
}

// One entry per row of the regime list, in list order, each naming its regime by the number
// of its file: the list is sorted by load, so a position is not a regime.
void comport::fillCombo1() {
    const app::AppState& s = wb_.state();
    const int keep = Combo1->currentIndex();
    Combo1->blockSignals(true);
    Combo1->clear();
    for (const app::RegimeRow& row : s.regimeList.rows) {
        const int n = RegimeNumberOf(row.key);
        Combo1->addItem(QStringLiteral("Режим номер ") + (n >= 0 ? QString::number(n) : row.key));
    }
    if (keep >= 0 && keep < Combo1->count()) Combo1->setCurrentIndex(keep);
    Combo1->blockSignals(false);
}

void comport::comport_C_Click(int index) {
    QComboBox* lists[5] = {C1, C2, C3, C4, C5};
    QComboBox* box = lists[index];
    // a port entry shows its description beside the path; the field takes the path alone
    if (index == 0 && box->currentIndex() >= 0) box->setEditText(box->currentData().toString());
    QString error;
    if (!WritePortSetting(iniFile_, index, box->currentText(), &error)) Warn(wb_, error);
    if (index == 0) showStopped(true);
}

void comport::comport_Combo1_Click() {
    showStopped(true);
    app::AppState& s = wb_.state();
    const int row = Combo1->currentIndex();
    if (row < 0 || row >= s.regimeList.rows.size()) return;
    if (auto* list = wb_.window<app::RegimeListView>(app::WindowKind::SReg)) {
        list->selectRow(row);  // tells the user itself when the regime cannot be read
        return;
    }
    regime::SelectRegimeRow(s, row);
    if (!regime::LoadRegimeInputs(s) || !regime::LoadRegimeResults(s)) {
        Warn(wb_, QStringLiteral("Ошибка пути или чтения файла") + s.currentResultsFile + s.currentRegimeFile);
        return;
    }
    regime::ShowRegimeResults(s);
}

// ---------------------------------------------------------------- toolbar

void comport::fold(bool folded) {
    Frame1->setVisible(!folded);
    Combo1->setVisible(!folded);
    Frame2->setVisible(!folded);
    Frame3->setVisible(!folded);
    Label2->setVisible(!folded);
    Label3->setVisible(!folded);
    Label4->setVisible(!folded);
    Trend->setVisible(!folded);
    if (folded) {
        settingsButton_->setText(kSettingsCaption);
        settingsButton_->setIcon(Image(1));
        setHeightTwips(kFoldedTwips);
    } else {
        settingsButton_->setText(kFoldCaption);
        settingsButton_->setIcon(Image(4));
        setHeightTwips(kUnfoldedTwips);
    }
}

void comport::comport_Toolbar1_ButtonClick(const QString& key) {
    if (key.compare(kSettingsKey, Qt::CaseInsensitive) == 0) {
        fold(settingsButton_->text() != kSettingsCaption);
    } else if (key.compare(kStartKey, Qt::CaseInsensitive) == 0) {
        if (Timer1->isActive()) stopReading();
        else startReading();
    } else if (key.compare(kExitKey, Qt::CaseInsensitive) == 0) {
        close();
    }
}

void comport::startReading() {
    int period = 0;
    if (!ParsePeriod(Text1->text(), period)) {
        Warn(wb_, kPeriodRefusal);
        Text1->setFocus();
        return;
    }
    PortSettings ps;
    QComboBox* lists[5] = {C1, C2, C3, C4, C5};
    for (int i = 0; i < 5; ++i) ps.setValue(i, lists[i]->currentText().trimmed());
    link_.setReadTemperature(Check1[0]->isChecked());
    if (!link_.start(ps.port, SettingsText(ps), Text1->text())) {
        // the window opens out to show why, and stays stopped
        fold(false);
        Label2->setText(link_.reason());
        setHeightTwips(kFailedTwips);
        Warn(wb_, kPortError + C1->currentText() +
                      (link_.reason().isEmpty() ? QString() : QStringLiteral("\n\n") + link_.reason()));
        return;
    }
    // settings that opened the port are kept, typed ones included
    QString error;
    for (int i = 0; i < 5; ++i)
        if (ReadPortSettings(iniFile_).value(i) != ps.value(i) && !WritePortSetting(iniFile_, i, ps.value(i), &error)) {
            Warn(wb_, error);
            break;
        }
    // the period that started the reading is kept with the port settings
    if (ReadLinkOptions(iniFile_).period != Text1->text().trimmed() &&
        !WriteLinkOption(iniFile_, kPeriodKey, Text1->text().trimmed(), &error))
        Warn(wb_, error);
    Label2->clear();
    Label3->setText(QStringLiteral("Ожидание показаний ..."));
    Label4->clear();
    Trend->setWindow(steadyWindow(), {}, false);
    startButton_->setIcon(Image(3));
    startButton_->setText(kStopCaption);
    startButton_->setToolTip(kStopTip);
    settingsButton_->setEnabled(false);
    Combo1->setEnabled(false);
    Frame2->setEnabled(false);
    Timer1->start();
}

void comport::stopReading() {
    Timer1->stop();
    link_.stop();
    startButton_->setIcon(Image(2));
    startButton_->setText(kStartCaption);
    startButton_->setToolTip(kStartTip);
    settingsButton_->setEnabled(true);
    showStopped(false);
    Combo1->setEnabled(true);
    Frame2->setEnabled(true);
}

// ---------------------------------------------------------------- reading

void comport::comport_Timer1_Timer() {
    // a notice or a message shown on the way must not let the next tick in
    Timer1->stop();
    const TickOutcome t = link_.tick();
    for (const Reading& r : link_.fresh())
        if (r.accepted) Trend->add(r.time, r.numbers[2], r.numbers[0], r.numbers[6]);
    switch (t) {
    case TickOutcome::Counting:
        if (link_.state() == LinkState::Lost) showLost();
        else showState(kRunning + core::CounterForm(link_.countdown(), true));
        break;
    case TickOutcome::Read:
        ReadAnalyser();
        if (link_.state() == LinkState::Stopped) return;  // stopped on a file failure
        [[fallthrough]];
    case TickOutcome::Skipped:
        showState(kRunning + kReading);
        if (t == TickOutcome::Skipped) {
            logNotes();
            Label3->setText(QStringLiteral("Нет полного показания за период"));
            showWindow();
        }
        showQuiet();
        break;
    case TickOutcome::Reopened:
        logNotes();
        Label2->clear();
        Label3->setText(QStringLiteral("Порт открыт снова, ожидание показаний ..."));
        showState(kRunning + core::CounterForm(link_.countdown(), true));
        break;
    case TickOutcome::LinkLost:
    case TickOutcome::StillLost:
        logNotes();
        showLost();
        break;
    case TickOutcome::Idle: return;
    }
    Timer1->start();
}

void comport::ReadAnalyser() {
    app::AppState& s = wb_.state();
    auto* editor = wb_.window<app::RegimeEditorView>(app::WindowKind::Regim);
    const QList<Reading>& readings = link_.readings();
    const Steadiness window = JudgeSteadiness(link_.history(), link_.now(), steadyWindow(), Check1[0]->isChecked());
    Trend->setWindow(window.seconds, window.verdict, window.steady);
    const PeriodValues values = CombineWithWindow(readings, window, Check2->isChecked());
    const No2Policy no2 = static_cast<No2Policy>(Combo2->currentData().toInt());
    const QString folder = s.currentObjectFolder, regimeFile = s.currentRegimeFile;
    QString logError;
    if (values.used == 0) {
        // refused readings only: nothing is stored, the previous values stay
        AppendReadingLog(folder, regimeFile, LogRowsOf(readings, values, false, {}, {}, link_.notes()), &logError);
        QString why;
        for (const Reading& r : readings) why = r.refusal;
        showPeriod(values, why);
        showQuiet();
        if (!logError.isEmpty()) Label2->setText(logError);
        return;
    }
    QStringList fields;
    if (editor) fields = editor->fieldTexts();
    const SamplingPoint point = Option1->isChecked() ? SamplingPoint::BeforeEconomiser : SamplingPoint::AfterEconomiser;
    const StoreOutcome o = StoreAnalyserValues(
        s, fields, values, point, Check1[0]->isChecked(), [this](const QString& m) { wb_.dialogs().notice(this, m); },
        no2);
    AppendReadingLog(folder, regimeFile,
                     LogRowsOf(readings, values, o.saved, o.error, No2PolicyText(no2), link_.notes()), &logError);
    if (!o.saved) {
        stopReading();
        Label3->setText(o.error);
        Warn(wb_, o.regimeGone ? o.error : QStringLiteral("Ошибка записи файла. Режим не сохранен: ") + regimeFile);
        return;
    }
    if (editor) editor->setFieldTexts(fields);
    Label2->setText(logError);
    const FieldMap f = FieldsOf(point);
    QString shown = QStringLiteral("Записано ") + QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) +
                    QStringLiteral(":  CO ") + fields.value(f.co).trimmed() + QStringLiteral("  NO ") +
                    fields.value(f.no).trimmed() + QStringLiteral("  O2 ") + fields.value(f.o2).trimmed() +
                    QStringLiteral("  CO2 ") + fields.value(f.co2).trimmed();
    if (Check1[0]->isChecked()) shown += QStringLiteral("  Тух.г ") + fields.value(f.temperature).trimmed();
    shown += QStringLiteral("  NO2 ") + fields.value(No2FieldOf(point)).trimmed();
    int refused = 0;
    for (const Reading& r : readings) refused += r.accepted ? 0 : 1;
    if (refused > 0) shown += QStringLiteral(";  отклонено показаний: %1").arg(refused);
    shown += u'\n' + UnmeasuredNote(no2, Check1[0]->isChecked());
    showPeriod(values, shown);
    if (o.calc.outcome == regime::CalcOutcome::FileError) {
        stopReading();
        Warn(wb_, QStringLiteral("Ошибка записи файла. Результаты не сохранены: ") + s.currentResultsFile);
    }
    app::AfterCalculation(wb_);
    followCurrentRow();
    if (!o.sortWarning.isEmpty()) Warn(wb_, o.sortWarning);
}

void comport::showPeriod(const PeriodValues& v, const QString& outcome) {
    Label3->setText(outcome);
    const Steadiness w = JudgeSteadiness(link_.history(), link_.now(), steadyWindow(), Check1[0]->isChecked());
    QString t;
    if (v.averaged) {
        t = QStringLiteral("Усреднено показаний: %1").arg(v.used);
        if (v.fromWindow)
            t += QStringLiteral(" за %1 с").arg(core::StoredForm(static_cast<float>(core::RoundHalfEven(v.windowSpan, 0))));
        t += QStringLiteral(";  σ O2 %1,  σ CO %2").arg(Sd(v.sdO2, 2), Sd(v.sdCO, 1));
        if (Check1[0]->isChecked()) t += QStringLiteral(",  σ Тух.г ") + Sd(v.sdTemperature, 1);
        t += QStringLiteral("   ");
    }
    t += (w.steady ? QStringLiteral("✔ ") : QString()) + QStringLiteral("Окно %1 с: ").arg(w.seconds) + w.verdict;
    Label4->setText(t);
}

// The verdict of the window as it stands now, in the line below the period and on the trend.
void comport::showWindow() {
    const Steadiness w = JudgeSteadiness(link_.history(), link_.now(), steadyWindow(), Check1[0]->isChecked());
    Trend->setWindow(w.seconds, w.verdict, w.steady);
    if (Timer1->isActive())
        Label4->setText((w.steady ? QStringLiteral("✔ ") : QString()) + QStringLiteral("Окно %1 с: ").arg(w.seconds) + w.verdict);
}

int comport::steadyWindow() const {
    int seconds = kDefaultSteadyWindow;
    if (!ParseSteadyWindow(Text2->text(), seconds)) seconds = ReadLinkOptions(iniFile_).steadyWindow;
    return seconds;
}

// What the period left for the log besides readings (the link lost and back, noise).
void comport::logNotes() {
    if (link_.notes().isEmpty()) return;
    QString logError;
    const app::AppState& s = wb_.state();
    if (!AppendReadingLog(s.currentObjectFolder, s.currentRegimeFile, LogRowsOf({}, {}, false, {}, {}, link_.notes()),
                          &logError))
        Label2->setText(logError);
}

// After two periods without an accepted reading the window says what to check.
void comport::showQuiet() {
    if (link_.quietPeriods() < 2) return;
    Label2->setText(link_.bytesOfPeriod() > 0
                        ? QStringLiteral("От газоанализатора приходят данные, но нет полных показаний: проверьте "
                                         "скорость, четность, биты данных и стоповые биты порта и формат вывода анализатора.")
                        : QStringLiteral("От газоанализатора ничего не поступает: проверьте, что анализатор включен и "
                                         "передает показания, кабель подключен к выбранному порту и выбран верный порт."));
}

// The list is sorted by load after each reading; the regime entry follows its row.
void comport::followCurrentRow() {
    fillCombo1();
    const int row = wb_.state().regimeList.find(wb_.state().currentRegimeFile);
    if (row >= 0 && row < Combo1->count() && row != Combo1->currentIndex()) Combo1->setCurrentIndex(row);
}

// ---------------------------------------------------------------- closing

void comport::closeEvent(QCloseEvent* event) {
    Timer1->stop();
    link_.stop();
    // QDialog's own handler would reject() and ignore the close; closing always closes here
    event->accept();
}

// Esc closes the window as the close box does.
void comport::reject() { close(); }

}  // namespace analyser
