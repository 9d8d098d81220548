#include "object/ui/generaldataform.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ui/keys.h"
#include "app/ui/numberfield.h"
#include "object/generaldata.h"

namespace object {

namespace {

const char* kEntryProperty = "generalEntry";

QLabel* Caption(const QString& text) {
    auto* l = new QLabel(text);
    l->setWordWrap(false);
    return l;
}

// A scroll area that asks for all its content needs, so the window opens at its full size
// and shows scroll bars only where the frame is smaller.
class WholeContentScroll : public QScrollArea {
public:
    WholeContentScroll() {
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
        // no stop of its own: Tab goes from entry to entry
        setFocusPolicy(Qt::NoFocus);
    }
    QSize sizeHint() const override {
        if (!widget()) return QScrollArea::sizeHint();
        const int frame = 2 * frameWidth();
        return widget()->sizeHint() + QSize(frame, frame);
    }
};

}  // namespace

GeneralDataForm::GeneralDataForm(bool newObject, QWidget* parent) : QWidget(parent) {
    buildEntries(newObject);
    QGridLayout* top = buildTopRows(newObject);
    QGroupBox* frame1 = buildInstallationFrame(newObject);
    QGroupBox* frame2 = buildBurnerFrame();
    QGroupBox* frame3 = buildFuelFrame();

    auto* page1 = new QWidget;
    auto* p1 = new QVBoxLayout(page1);
    p1->setContentsMargins(0, 0, 0, 0);
    p1->addWidget(frame1);
    auto* page2 = new QWidget;
    auto* p2 = new QVBoxLayout(page2);
    p2->setContentsMargins(0, 0, 0, 0);
    p2->addWidget(frame2);
    p2->addWidget(frame3);
    p2->addStretch(1);
    pages = new QStackedWidget;
    pages->addWidget(page1);
    pages->addWidget(page2);

    Command1 = new QPushButton(QStringLiteral("Горелка / топливо >>"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("<< Установка"));
    Command2->setObjectName(QStringLiteral("Command2"));
    connect(Command1, &QPushButton::clicked, this, [this] { showPage(2); });
    connect(Command2, &QPushButton::clicked, this, [this] { showPage(1); });

    buttonRow = new QHBoxLayout;
    buttonRow->addWidget(Command2);
    buttonRow->addWidget(Command1);
    buttonRow->addStretch(1);

    // the entries scroll where the frame is too small for them; the buttons stay in view
    auto* content = new QWidget;
    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addWidget(pages, 1);
    sideColumn = new QVBoxLayout;
    auto* columns = new QHBoxLayout(content);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->addLayout(left, 1);
    columns->addLayout(sideColumn);
    scroll_ = new WholeContentScroll;
    scroll_->setWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll_, 1);
    layout->addLayout(buttonRow);
}

void GeneralDataForm::contentBuilt() {
    // what the window asks for is measured again, with what the window added to the form
    // (a hidden form's layouts keep what they measured before)
    scroll_->widget()->layout()->invalidate();
    scroll_->updateGeometry();
}

void GeneralDataForm::useNumberFields() {
    for (int i = 0; i < kGeneralCount; ++i) {
        if (keyRule(i) != KeyRule::Numeric) continue;
        auto* field = new app::NumberField;
        COD[i]->setLineEdit(field);
        field->setProperty(kEntryProperty, i);
        field->installEventFilter(this);
    }
}

// The entry fields with their lists, widths and tips, and the unit labels of the fuel's values.
void GeneralDataForm::buildEntries(bool newObject) {
    for (int i = 0; i < kGeneralCount; ++i) {
        auto* c = new QComboBox;
        c->setObjectName(QStringLiteral("COD%1").arg(i));
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setProperty(kEntryProperty, i);
        c->setMinimumContentsLength(12);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->installEventFilter(this);
        c->lineEdit()->setProperty(kEntryProperty, i);
        c->lineEdit()->installEventFilter(this);
        connect(c, &QComboBox::activated, this, [this, i](int) { entryPicked(i); });
        COD[i] = c;
    }
    if (newObject) COD[BoilerType]->addItems(BoilerTypes());
    COD[SteamOutputUnit]->addItems(SteamOutputUnits());
    COD[Q5Mode]->addItems(Q5Modes());
    COD[LoadControl]->addItems(LoadControls());
    COD[FuelType]->addItems(FuelTypes());
    COD[HeatOutputUnit]->addItems(HeatOutputUnits());
    COD[Economiser]->addItems(EconomiserChoices());
    for (int i = 0; i < kGeneralCount; ++i) COD[i]->setCurrentIndex(-1);
    for (int i : {SteamOutputUnit, HeatOutputUnit, Q5Mode}) {
        COD[i]->setMinimumContentsLength(8);
    }
    COD[SteamOutputUnit]->setToolTip(QStringLiteral("Ед. измерения мощности"));
    COD[HeatOutputUnit]->setToolTip(QStringLiteral("Ед. измерения мощности"));
    COD[BoilerType]->setMinimumContentsLength(18);
    COD[Economiser]->setMinimumContentsLength(16);
    COD[FuelType]->setMinimumContentsLength(18);
    COD[ObjectName]->setMinimumContentsLength(30);
    COD[Performer]->setMinimumContentsLength(30);
    COD[LoadControl]->setMinimumContentsLength(26);
    COD[BurnerType]->setMinimumContentsLength(26);
    for (int i : {10, 11, 12}) {
        TOD[i] = new QLabel;
        TOD[i]->setObjectName(QStringLiteral("TOD%1").arg(i));
        TOD[i]->setMinimumWidth(80);
    }
}

// Above the pages: the name and the performer.
QGridLayout* GeneralDataForm::buildTopRows(bool newObject) {
    auto* top = new QGridLayout;
    Caption7 = Caption(newObject ? QStringLiteral("Наименование  объекта") : QStringLiteral("Объект"));
    top->addWidget(Caption7, 0, 0);
    top->addWidget(COD[ObjectName], 0, 1);
    top->addWidget(Caption(QStringLiteral("Исполнитель работ")), 1, 0);
    top->addWidget(COD[Performer], 1, 1);
    top->setColumnStretch(1, 1);
    return top;
}

// Page 1: the installation.
QGroupBox* GeneralDataForm::buildInstallationFrame(bool newObject) {
    auto* frame1 = new QGroupBox(QStringLiteral("I. Теплогнерирующая установка"));
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* g1 = new QGridLayout(frame1);
    g1->addWidget(Caption(QStringLiteral("Статус установки")), 0, 0);
    g1->addWidget(COD[BoilerType], 0, 1);
    g1->addWidget(Caption(QStringLiteral("Тип  установки")), 1, 0);
    g1->addWidget(COD[InstallationType], 1, 1);
    g1->addWidget(COD[Economiser], 1, 2);
    g1->addWidget(Caption(QStringLiteral("Заводской  №")), 2, 0);
    g1->addWidget(COD[FactoryNumber], 2, 1);
    Caption13 = Caption(newObject ? QStringLiteral("Станционный №") : QStringLiteral("Ст. №"));
    g1->addWidget(Caption13, 3, 0);
    g1->addWidget(COD[StationNumber], 3, 1);
    g1->addWidget(Caption(QStringLiteral("Номинальная  тепловая мощность ")), 4, 0);
    g1->addWidget(COD[NominalOutput], 4, 1);
    auto* unitPlace = new QHBoxLayout;  // entries 2 and 6 share one place
    unitPlace->setContentsMargins(0, 0, 0, 0);
    unitPlace->addWidget(COD[SteamOutputUnit]);
    unitPlace->addWidget(COD[HeatOutputUnit]);
    g1->addLayout(unitPlace, 4, 2);
    g1->addWidget(Caption(QStringLiteral("Потери  тепла в окружающую среду  , %")), 5, 0);
    g1->addWidget(COD[Q5Nominal], 5, 1);
    g1->addWidget(COD[Q5Mode], 5, 2);
    g1->addWidget(Caption(QStringLiteral("Потери на собственные нужды, %")), 6, 0);
    g1->addWidget(COD[OwnNeedsLoss], 6, 1);
    g1->setColumnStretch(1, 1);
    g1->setColumnStretch(2, 1);
    g1->setRowStretch(7, 1);
    return frame1;
}

// Page 2, upper frame: the burner and its load control.
QGroupBox* GeneralDataForm::buildBurnerFrame() {
    auto* frame2 = new QGroupBox(QStringLiteral("II.  Горелочное устройство"));
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* g2 = new QGridLayout(frame2);
    g2->addWidget(Caption(QStringLiteral("Тип горелочного устройства")), 0, 0);
    g2->addWidget(COD[BurnerType], 0, 1, 1, 2);
    g2->addWidget(Caption(QStringLiteral("Способ регулирования нагрузки")), 1, 0);
    g2->addWidget(COD[LoadControl], 1, 1, 1, 2);
    g2->setColumnStretch(1, 1);
    return frame2;
}

// Page 2, lower frame: the fuel and its values.
QGroupBox* GeneralDataForm::buildFuelFrame() {
    auto* frame3 = new QGroupBox(QStringLiteral("III. Топливо"));
    frame3->setObjectName(QStringLiteral("Frame3"));
    auto* g3 = new QGridLayout(frame3);
    g3->addWidget(Caption(QStringLiteral("Вид топлива")), 0, 0);
    g3->addWidget(COD[FuelType], 0, 1);
    g3->addWidget(Caption(QStringLiteral("Теплота сгорания топлива")), 1, 0);
    g3->addWidget(COD[CalorificValue], 1, 1);
    g3->addWidget(TOD[10], 1, 2);
    g3->addWidget(Caption(QStringLiteral("Плотность топлива")), 2, 0);
    g3->addWidget(COD[FuelDensity], 2, 1);
    g3->addWidget(TOD[11], 2, 2);
    g3->addWidget(Caption(QStringLiteral("СО2max в продуктах  сгорания")), 3, 0);
    g3->addWidget(COD[Co2Max], 3, 1);
    g3->addWidget(TOD[12], 3, 2);
    g3->setColumnStretch(1, 1);
    return frame3;
}

int GeneralDataForm::entryOf(QObject* o) const {
    const QVariant v = o->property(kEntryProperty);
    return v.isValid() ? v.toInt() : -1;
}

QStringList GeneralDataForm::fields() const {
    QStringList out;
    for (QComboBox* c : COD) out.append(c->currentText());
    return out;
}

void GeneralDataForm::setFields(const QStringList& values) {
    for (int i = 0; i < kGeneralCount; ++i) COD[i]->setEditText(values.value(i));
    applyBoilerType();
    applyFuelUnits();
    applyQ5Mode();
}

void GeneralDataForm::offerPerformers(const QStringList& names) {
    QComboBox* c = COD[Performer];
    const QString shown = c->currentText();
    const QSignalBlocker quiet(c);
    c->clear();
    c->addItems(names);
    c->setCurrentIndex(-1);
    c->setEditText(shown);
}

int GeneralDataForm::page() const { return pages->currentIndex() + 1; }

void GeneralDataForm::showPage(int page) {
    pages->setCurrentIndex(page == 2 ? 1 : 0);
    if (page == 2) Command2->setEnabled(true);
    else Command1->setEnabled(true);
}

void GeneralDataForm::applyBoilerType() {
    const QString type = COD[BoilerType]->currentText();
    if (type.compare(kHotWaterBoiler, Qt::CaseInsensitive) == 0) {
        COD[SteamOutputUnit]->setVisible(false);
        COD[HeatOutputUnit]->setVisible(true);
    } else if (type.compare(kSteamBoiler, Qt::CaseInsensitive) == 0) {
        COD[HeatOutputUnit]->setVisible(false);
        COD[SteamOutputUnit]->setVisible(true);
    }
}

void GeneralDataForm::applyFuelUnits() {
    QStringList units;
    if (!UnitTextsForFuel(COD[FuelType]->currentText(), units)) return;
    for (int i = 0; i < 3; ++i) TOD[10 + i]->setText(units[i]);
}

void GeneralDataForm::applyQ5Mode() {
    COD[Q5Nominal]->setVisible(COD[Q5Mode]->currentText().compare(kQ5EachRegime, Qt::CaseInsensitive) != 0);
}

bool GeneralDataForm::eventFilter(QObject* watched, QEvent* event) {
    const int entry = entryOf(watched);
    if (entry < 0) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride && app::IsFrameShortcut(static_cast<QKeyEvent*>(event))) {
        // the frame's menu shortcut wins over the field's own editing key
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        // keys that type nothing (arrows, Delete, Home) and the dialog keys pass
        switch (key->key()) {
        case Qt::Key_Escape: return restoreEntry(entry);
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete: return false;
        default: break;
        }
        if (text.isEmpty()) return false;
        switch (keyRule(entry)) {
        case KeyRule::Free: return false;
        case KeyRule::NoTyping: return true;
        // typed and pasted digits are the number field's own business
        case KeyRule::Numeric: return false;
        case KeyRule::QuoteToBlank: {
            if (text != u"\"") return false;
            QKeyEvent blank(QEvent::KeyPress, Qt::Key_Space, key->modifiers(), QStringLiteral(" "));
            QApplication::sendEvent(watched, &blank);
            return true;
        }
        }
    } else if (event->type() == QEvent::FocusOut && watched == COD[entry]) {
        entryLeft(entry);
    } else if (event->type() == QEvent::FocusIn && scroll_) {
        // in a frame too small for the form, the entry with the focus is scrolled into view:
        // its beginning (the area's own routine would show only the text cursor), so the
        // captions on the left stay in view where they can
        const QRect box(COD[entry]->mapTo(scroll_->widget(), QPoint(0, 0)), COD[entry]->size());
        const int part = std::min(box.width(), 80);
        scroll_->ensureVisible(box.left() + part / 2, box.center().y(), part / 2 + 8, box.height() / 2 + 8);
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace object
