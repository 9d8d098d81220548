#include "regime/ui/regim.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>

#include "app/dialogs.h"
#include "app/state.h"
#include "app/ui/keys.h"
#include "app/ui/numberfield.h"
#include "app/writerefusal.h"
#include "core/numparse.h"
#include "object/generaldata.h"
#include "object/units.h"
#include "regime/calculation.h"
#include "regime/inputranges.h"
#include "regime/regimestore.h"
#include "regime/ui/recalcflow.h"
#include "regime/ui/sreg.h"

namespace regime {

namespace {

const char* kFieldProperty = "regimeField";
const char* kUnitProperty = "unitLabel";
const QString kEnterHint = QStringLiteral("Для сохранения изменений нажмите Enter");
// fields and unit labels as narrow as their texts allow, so that a steam boiler with an
// economiser (two columns of fields in two groups side by side) fits the window at 1200 px
constexpr int kFieldWidth = 68;
constexpr int kUnitWidth = 56;

}  // namespace

Regim::Regim(app::Workbench& wb) : wb_(wb) {
    setObjectName(QStringLiteral("Regim"));
    setWindowTitle(QStringLiteral("Редактор Режимов "));
    setMouseTracking(true);
    vis_ = VisibilityFor(wb.state().general);
    build();
    applyVisibility();
    setTabOrderOfFields();

    // opening: frame commands, unit labels, counters, then the first regime of the list
    wb.regimeEditorOpened();
    wb.state().setEditorFields = [this](const QStringList& texts) { setFieldTexts(texts); };
    // the units the calculation uses, the object's own or the template's defaults
    object::LoadObjectUnits(wb.state().currentObjectFolder, wb.state().templateFolder, wb.state().units);
    setUnitLabels(wb.state().units);
    loadFirstRegime();
}

Regim::~Regim() { wb_.state().setEditorFields = nullptr; }

void Regim::build() {
    buildFrames();
    buildFields();
    QGridLayout* windowRows = placeRows();
    auto* content = new QWidget;
    content->setMouseTracking(true);
    layoutColumns(content, windowRows);

    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // the scroll area is no stop of its own: a value typed there would be lost
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll_ = scroll;
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    resize(860, 640);
    wb_.placeWindow(this, app::Slot::Work);
}

// The groups of fields, each a frame with a grid (caption, one or two fields, unit); with
// an economiser the column headings of the two measuring points.
void Regim::buildFrames() {
    auto makeFrame = [&](const QString& name, const QString& caption) {
        // a row: caption, one or two fields, unit
        auto* box = new QGroupBox(caption);
        box->setObjectName(name);
        box->setMouseTracking(true);
        box->installEventFilter(this);
        auto* grid = new QGridLayout(box);
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(3);
        grid->setColumnStretch(0, 1);
        frames_.append(box);
        return box;
    };
    Frame1 = makeFrame(QStringLiteral("Frame1"), QStringLiteral("Топливо"));
    Frame8 = makeFrame(QStringLiteral("Frame8"), QStringLiteral("Топливо"));
    Frame2 = makeFrame(QStringLiteral("Frame2"), QStringLiteral("Воздух"));
    Frame3 = makeFrame(QStringLiteral("Frame3"), QStringLiteral("Вода"));
    Frame4 = makeFrame(QStringLiteral("Frame4"), QStringLiteral("Продукты сгорания"));
    Frame5 = makeFrame(QStringLiteral("Frame5"), QString());
    Frame7 = makeFrame(QStringLiteral("Frame7"), QStringLiteral("Пар / питательная вода"));
    auto* Label5 = new QLabel(QStringLiteral("Газоход"));
    Label5->setObjectName(QStringLiteral("Label5"));
    static_cast<QGridLayout*>(Frame5->layout())->addWidget(Label5, 0, 0, 1, 4);
    // With an economiser the groups hold two columns of fields, one for each measuring
    // point; each column gets its heading so the two are not mistaken for one another. The
    // flue pressures are left without: their right column also holds the furnace pressure.
    const QString before = QStringLiteral("до экономайзера");
    for (auto [frame, right] : {std::pair{Frame4, QStringLiteral("за экономайзером")},
                                std::pair{Frame3, QStringLiteral("на входе в котел")},
                                std::pair{Frame7, QStringLiteral("на входе в котел")}}) {
        auto* grid = static_cast<QGridLayout*>(frame->layout());
        const int row = grid->rowCount() == 1 && grid->itemAtPosition(0, 0) ? 1 : 0;
        for (int column : {1, 2}) {
            auto* heading = new QLabel(column == 1 ? before : right);
            heading->setObjectName(QStringLiteral("ColumnHeading"));
            heading->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
            heading->setWordWrap(true);
            QFont f = heading->font();
            f.setPointSizeF(f.pointSizeF() * 0.8);
            heading->setFont(f);
            heading->setMinimumWidth(kFieldWidth);
            grid->addWidget(heading, row, column);
            headings_.append(heading);
        }
    }
}

// The 43 fields and the 31 unit labels, with the captions of the units a short file does
// not set.
void Regim::buildFields() {
    for (int k = 0; k < app::kInputCount; ++k) {
        auto* t = new app::NumberField(app::NumberRule{.minus = AcceptsMinus(k)});
        t->setObjectName(QStringLiteral("T%1").arg(k));
        t->setProperty(kFieldProperty, k);
        t->setToolTip(FieldHint(k, vis_.economiser));
        t->setAlignment(Qt::AlignRight);
        t->setFixedWidth(kFieldWidth);
        t->setMouseTracking(true);
        t->installEventFilter(this);
        T[k] = t;
    }
    for (int i = 0; i < app::kUnitCount; ++i) {
        auto* l = new QLabel;
        l->setObjectName(QStringLiteral("L%1").arg(i));
        l->setProperty(kUnitProperty, i);
        l->setMinimumWidth(kUnitWidth);
        l->setCursor(Qt::PointingHandCursor);
        l->setMouseTracking(true);
        l->installEventFilter(this);
        L[i] = l;
    }
    // designed captions of the units the file does not set when it is short
    const QStringList defaults = object::DefaultUnits();
    for (int i = 0; i < app::kUnitCount; ++i) L[i]->setText(defaults.value(i));
}

// Puts every editor row into its group's grid; the rows of the window group (q5 and its
// button) go into a grid of their own, returned.
QGridLayout* Regim::placeRows() {
    auto* windowRows = new QGridLayout;
    Command1 = new QPushButton(QStringLiteral("q5..."));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QStringLiteral("Расчет потерь тепла в окр.среду."));
    connect(Command1, &QPushButton::clicked, this, [this] { wb_.loadWindow(app::WindowKind::FQ5); });
    Label29 = nullptr;
    int windowRow = 0;
    for (const EditorRow& row : EditorRows()) {
        QGridLayout* grid = nullptr;
        int r = 0;
        switch (row.group) {
        case Group::GasFuel: grid = static_cast<QGridLayout*>(Frame1->layout()); break;
        case Group::LiquidFuel: grid = static_cast<QGridLayout*>(Frame8->layout()); break;
        case Group::Air: grid = static_cast<QGridLayout*>(Frame2->layout()); break;
        case Group::Water: grid = static_cast<QGridLayout*>(Frame3->layout()); break;
        case Group::FlueGas: grid = static_cast<QGridLayout*>(Frame4->layout()); break;
        case Group::Flue: grid = static_cast<QGridLayout*>(Frame5->layout()); break;
        case Group::Steam: grid = static_cast<QGridLayout*>(Frame7->layout()); break;
        case Group::Window: grid = windowRows; break;
        }
        r = grid == windowRows ? windowRow++ : grid->rowCount();
        auto* caption = new QLabel(row.caption);
        caption->setObjectName(QStringLiteral("Label1"));
        caption->setMouseTracking(true);
        grid->addWidget(caption, r, 0);
        if (row.left >= 0) {
            // without economiser the inlet fields stand where the right-hand field stood
            grid->addWidget(T[row.left], r, vis_.movedRight(row.left) ? 2 : 1);
        }
        if (row.right >= 0) grid->addWidget(T[row.right], r, 2);
        if (row.unit >= 0) grid->addWidget(L[row.unit], r, 3);
        if (row.right == app::kQ5Input) {
            Label29 = caption;
            grid->addWidget(Command1, r, 3);
        }
    }
    Frame4->setTitle(QStringLiteral("Продукты сгорания"));
    return windowRows;
}

// The fuel and flue-gas groups on the left, air, water, steam and the window rows on the
// right.
void Regim::layoutColumns(QWidget* content, QGridLayout* windowRows) {
    auto* left = new QVBoxLayout;
    left->addWidget(Frame1);
    left->addWidget(Frame8);
    left->addWidget(Frame4);
    left->addWidget(Frame5);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(Frame2);
    right->addWidget(Frame3);
    right->addWidget(Frame7);
    right->addLayout(windowRows);
    right->addStretch();
    auto* columns = new QHBoxLayout(content);
    columns->addLayout(left);
    columns->addLayout(right);
    // a wider window leaves the groups as they are: the room goes to the right
    columns->addStretch(1);
}

void Regim::applyVisibility() {
    Frame1->setVisible(vis_.gasFuel);
    Frame8->setVisible(vis_.liquidFuel);
    Frame3->setVisible(vis_.water);
    Frame7->setVisible(vis_.steam);
    if (!vis_.fuelCaption.isEmpty()) {
        Frame1->setTitle(vis_.fuelCaption);
        Frame8->setTitle(vis_.fuelCaption);
    }
    for (int k = 0; k < app::kInputCount; ++k) T[k]->setVisible(vis_.fieldVisible(k));
    showQ5Row(vis_.q5Row);
    for (QLabel* h : headings_) h->setVisible(vis_.economiser);
    // the unit label of the pressure after the economiser stays with the after-boiler field
}

void Regim::showQ5Row(bool visible) {
    vis_.q5Row = visible;
    T[app::kQ5Input]->setVisible(visible);
    if (Label29) Label29->setVisible(visible);
    Command1->setVisible(visible);
}

void Regim::loadFirstRegime() {
    app::AppState& s = wb_.state();
    if (s.regimeList.rows.isEmpty()) {
        wb_.dialogs().message(QStringLiteral("Ошибка чтения данных  "), app::kProgramTitle, app::Icon::Warning);
        clearFields();
        setFramesEnabled(false);
        return;
    }
    SelectRegimeRow(s, 0);
    if (!LoadRegimeInputs(s) || !LoadRegimeResults(s)) {
        wb_.dialogs().message(QStringLiteral("Ошибка чтения данных  "), app::kProgramTitle, app::Icon::Warning);
        return;
    }
    ShowRegimeResults(s);
    wb_.setAnalyserCommandEnabled(true);  // a regime is selected: the analyser may fill it
}

QStringList Regim::fieldTexts() const {
    QStringList l;
    for (const QLineEdit* t : T) l.append(t->text());
    return l;
}

void Regim::setFieldTexts(const QStringList& texts) {
    for (int k = 0; k < app::kInputCount; ++k) T[k]->setText(texts.value(k));
    stored_ = fieldTexts();
    calculated_ = stored_;
}

bool Regim::hasPendingEdit() const { return fieldTexts() != stored_; }

bool Regim::needsCalculation() const {
    const QStringList texts = fieldTexts();
    for (int k = 0; k < app::kInputCount; ++k)
        if (texts[k] != calculated_.value(k) && RecalculatesOnEnter(k)) return true;
    return false;
}

bool Regim::commitPendingEdit() {
    if (!hasPendingEdit()) return true;
    // saved, and calculated when an input the results depend on changed
    return saveAndCalculate(false);
}

void Regim::clearFields() {
    for (QLineEdit* t : T) t->clear();
    stored_ = fieldTexts();
    calculated_ = stored_;
}

void Regim::setFramesEnabled(bool enabled) {
    for (QGroupBox* f : frames_) f->setEnabled(enabled);
    // the two fields outside the frames follow them, so nothing is saved under a deleted name
    T[41]->setEnabled(enabled);
    T[app::kQ5Input]->setEnabled(enabled);
}

QStringList Regim::unitLabels() const {
    QStringList l;
    for (const QLabel* u : L) l.append(u->text());
    return l;
}

void Regim::setUnitLabels(const QStringList& units) {
    for (int i = 0; i < 31 && i < units.size(); ++i) L[i]->setText(units[i]);
}

void Regim::plainUnitLabels() {
    for (QLabel* l : L) {
        QFont f = l->font();
        f.setBold(false);
        f.setUnderline(false);
        l->setFont(f);
    }
}

void Regim::openUnits(int unit) {
    QWidget* w = wb_.loadWindow(app::WindowKind::Edinic);
    wb_.raiseWindow(app::WindowKind::Edinic);
    if (auto* units = dynamic_cast<app::UnitsView*>(w)) units->focusUnit(unit);
}

bool Regim::saveAndCalculate(bool calculate) {
    app::AppState& s = wb_.state();
    if (s.currentRegimeFile.isEmpty() || s.regimeList.find(s.currentRegimeFile) < 0) return false;
    const QStringList texts = fieldTexts();
    // a value that cannot have been measured is refused before anything is written
    const EditorVisibility vis = VisibilityFor(s.general);
    for (int k = 0; k < app::kInputCount; ++k) {
        if (texts[k] == stored_.value(k) || !vis.fieldVisible(k)) continue;
        float value = 0.0f;
        if (!core::ParseEditorFloat(texts[k].toStdString(), value)) continue;  // the store says why
        const QString range = InputRangeError(k, value, s.units, vis.economiser);
        if (!range.isEmpty()) {
            wb_.dialogs().message(range + QStringLiteral(". Режим не сохранен."), app::kProgramTitle,
                                  app::Icon::Warning);
            T[k]->setFocus();
            T[k]->selectAll();
            return false;
        }
    }
    // an input the results depend on that changed since the last calculation calls for
    // one, whichever field the Enter came from
    calculate = calculate || needsCalculation();
    QString error;
    if (!SaveRegimeInputs(s, texts, &error)) {
        wb_.dialogs().message(
            app::WriteFailureText(s, QStringLiteral("Режим не сохранен"),
                                  QStringLiteral("Ошибка записи файла. Режим не сохранен: ") + s.currentRegimeFile),
            app::kProgramTitle, app::Icon::Warning);
        return false;
    }
    stored_ = texts;
    if (!calculate) return true;
    calculated_ = texts;
    return CalculateAndShow(wb_, this);
}

void Regim::Regim_T_Enter(int k) { saveAndCalculate(RecalculatesOnEnter(k)); }

void Regim::setTabOrderOfFields() {
    const QList<int> order = TabOrder(vis_);
    for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(T[order[i - 1]], T[order[i]]);
    if (!order.isEmpty()) QWidget::setTabOrder(T[order.last()], Command1);
}

void Regim::focusNeighbour(int k, bool forward) {
    QList<int> order;
    for (int f : TabOrder(vis_))
        if (T[f]->isVisibleTo(this) && T[f]->isEnabled()) order.append(f);
    if (order.isEmpty()) return;
    const qsizetype at = order.indexOf(k);
    const qsizetype n = order.size();
    const qsizetype next = at < 0 ? 0 : (at + (forward ? 1 : n - 1)) % n;
    QLineEdit* t = T[order[next]];
    t->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    if (scroll_) scroll_->ensureWidgetVisible(t);
}

void Regim::focusFirstField() {
    for (int k : TabOrder(vis_))
        if (T[k]->isVisibleTo(this) && T[k]->isEnabled()) {
            T[k]->setFocus(Qt::OtherFocusReason);
            T[k]->selectAll();
            return;
        }
}

void Regim::activated() {
    wb_.showTaskPage(1, QStringLiteral("Результат"));
    wb_.setStatus(1, windowTitle());
    wb_.setStatus(3, QString());
    wb_.setStatus(2, wb_.state().regimeList.header);
}

void Regim::closeEvent(QCloseEvent* event) {
    // a value typed without Enter is saved as Enter would save it, not dropped
    commitPendingEdit();
    // the frame's first toolbar button was disabled while the editor is open
    wb_.regimeEditorClosed();
    QWidget::closeEvent(event);
}

void Regim::mouseMoveEvent(QMouseEvent* event) {
    wb_.setStatus(3, kEnterHint);
    QWidget::mouseMoveEvent(event);
}

// A key pressed in field k: Tab and Shift+Tab move, Enter takes the value, Escape drops what
// was typed; true when handled here. Typed and pasted text is the number field's own business.
bool Regim::fieldKeyPress(QLineEdit* t, int k, QKeyEvent* key) {
    if (app::IsFrameShortcut(key)) return false;
    const bool noOtherModifier = !(key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier));
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && noOtherModifier) {
        focusNeighbour(k, key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        Regim_T_Enter(k);
        return true;
    }
    // Escape drops what was typed: the field shows its stored value again
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
        t->setText(stored_.value(k));
        t->selectAll();
        return true;
    }
    return false;
}

bool Regim::eventFilter(QObject* watched, QEvent* event) {
    const QVariant field = watched->property(kFieldProperty);
    const QVariant unit = watched->property(kUnitProperty);
    if (field.isValid()) {
        auto* t = static_cast<QLineEdit*>(watched);
        const int k = field.toInt();
        switch (event->type()) {
        case QEvent::KeyPress: return fieldKeyPress(t, k, static_cast<QKeyEvent*>(event));
        case QEvent::FocusIn:
            // select the first 10 characters once the click that gave the focus is done
            QTimer::singleShot(0, t, [t] {
                if (t->hasFocus()) t->setSelection(0, 10);
            });
            return false;
        case QEvent::Enter:
        case QEvent::MouseMove: wb_.setStatus(3, t->toolTip()); return false;
        default: return false;
        }
    }
    if (unit.isValid()) {
        auto* l = static_cast<QLabel*>(watched);
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
            plainUnitLabels();
            QFont f = l->font();
            f.setBold(true);
            f.setUnderline(true);
            l->setFont(f);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            openUnits(unit.toInt());
            return true;
        }
        return false;
    }
    if (frames_.contains(qobject_cast<QGroupBox*>(watched)) &&
        (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)) {
        plainUnitLabels();
        wb_.setStatus(3, kEnterHint);
    }
    return false;
}

}  // namespace regime
