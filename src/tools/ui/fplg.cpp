#include "tools/ui/fplg.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/state.h"
#include "app/ui/numberfield.h"
#include "app/ui/pictures.h"

namespace tools {

namespace {

// The picture is drawn at its pixel size on a 96 dpi screen: 15 twips to a pixel.
constexpr double kTwipsPerPicturePixel = 15.0;
// Strips above and below the picture for the end captions and the output labels: the two
// rated outputs on the first line under their markers, the output at the setting on the
// second, so it never covers a rated output when the indicator stands on its marker.
constexpr int kTopStrip = 18, kBottomStrip = 40, kOutputLine = 18;

const QString kPlateTip = QStringLiteral("Паспортные данные горелки");

}  // namespace

// ---------------------------------------------------------------- diagram

FlameHeadDiagram::FlameHeadDiagram(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Image1"));
    auto make = [this](const QString& name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    Lmin = make(QStringLiteral("Lmin"), QString());
    Lmax = make(QStringLiteral("Lmax"), QString());
    Lt = make(QStringLiteral("Lt"), QString());
    Closed = make(QStringLiteral("Label5"), QStringLiteral("Закрыта"));
    Open = make(QStringLiteral("Label6"), QStringLiteral("Открыта"));
    QFont bold = Lt->font();
    bold.setBold(true);
    Lt->setFont(bold);
    Lt->setStyleSheet(QStringLiteral("color: #b00000;"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void FlameHeadDiagram::setPicture(const QPixmap& picture) {
    picture_ = picture;
    updateGeometry();
    refresh();
}

QSize FlameHeadDiagram::sizeHint() const {
    const QSize p = picture_.isNull() ? QSize(640, 262) : picture_.size();
    return {p.width(), p.height() + kTopStrip + kBottomStrip};
}

QRect FlameHeadDiagram::pictureRect() const {
    const QSize p = picture_.isNull() ? QSize(640, 262) : picture_.size();
    const QSize room(width(), std::max(1, height() - kTopStrip - kBottomStrip));
    const QSize drawn = p.scaled(room, Qt::KeepAspectRatio);
    return {QPoint((width() - drawn.width()) / 2, kTopStrip), drawn};
}

double FlameHeadDiagram::scale() const {
    const QSize p = picture_.isNull() ? QSize(640, 262) : picture_.size();
    return pictureRect().width() / (p.width() * kTwipsPerPicturePixel);
}

QPointF FlameHeadDiagram::toPixels(const QPointF& twips) const {
    const QRect r = pictureRect();
    return QPointF(r.left() + twips.x() * scale(), r.top() + twips.y() * scale());
}

void FlameHeadDiagram::refresh() {
    placeLabels();
    update();
}

void FlameHeadDiagram::resizeEvent(QResizeEvent*) { placeLabels(); }

void FlameHeadDiagram::placeLabels() {
    if (!model_) return;
    const QRect r = pictureRect();
    auto under = [&](QLabel* l, double xTwips, const QString& text, int line) {
        l->setText(text);
        l->adjustSize();
        const double x = toPixels(QPointF(xTwips, 0)).x();
        l->move(static_cast<int>(x - l->width() / 2.0), r.bottom() + 3 + line * kOutputLine);
    };
    under(Lmin, MarkerL0().vertical.from.x(), model_->Lmin, 0);
    under(Lmax, MarkerL2().vertical.from.x(), model_->Lmax, 0);
    under(Lt, model_->L1.vertical.from.x(), model_->Lt, 1);
    Lt->setVisible(model_->L1Visible);
    Lt->raise();
    auto over = [&](QLabel* l, double xTwips) {
        l->adjustSize();
        l->move(static_cast<int>(toPixels(QPointF(xTwips, 0)).x() - l->width() / 2.0), 1);
    };
    over(Closed, MarkerL0().slanted.to.x());
    over(Open, MarkerL2().slanted.from.x());
}

void FlameHeadDiagram::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect r = pictureRect();
    if (picture_.isNull()) p.fillRect(r, Qt::white);
    else p.drawPixmap(r, picture_);
    if (!model_) return;
    auto draw = [&](const LinePair& pair, const QColor& colour, double width) {
        p.setPen(QPen(colour, width));
        p.drawLine(toPixels(pair.vertical.from), toPixels(pair.vertical.to));
        p.drawLine(toPixels(pair.slanted.from), toPixels(pair.slanted.to));
    };
    draw(MarkerL0(), QColor(40, 70, 160), 1.5);
    draw(MarkerL2(), QColor(40, 70, 160), 1.5);
    if (model_->L1Visible) draw(model_->L1, QColor(190, 0, 0), 2.5);
}

// ---------------------------------------------------------------- window

fPlG::fPlG(app::Workbench& wb) : wb_(wb) {
    setObjectName(QStringLiteral("fPlG"));
    setWindowTitle(QStringLiteral("Установка пламенной головы горелки Weishaupt"));

    auto field = [this](const QString& name, const QString& text, const QString& tip) {
        auto* e = new app::NumberField(text);
        e->setObjectName(name);
        e->setToolTip(tip);
        e->setFixedWidth(90);
        e->setAlignment(Qt::AlignRight);
        return e;
    };
    e1 = field(QStringLiteral("e1"), model_.e1, kPlateTip);
    e2 = field(QStringLiteral("e2"), model_.e2, kPlateTip);
    TQ1 = field(QStringLiteral("TQ1"), model_.TQ1, kPlateTip);
    TQ2 = field(QStringLiteral("TQ2"), model_.TQ2, kPlateTip);
    Text1 = field(QStringLiteral("Text1"), model_.Text1, QString());
    Text1->setFixedWidth(60);

    QLayout* plate = buildPlate();
    QLayout* sliderRow = buildSlider();

    Image1 = new FlameHeadDiagram;
    Image1->setModel(&model_);
    Image1->setPicture(app::TemplatePicture(wb.state(), QStringLiteral("BrennerInstal.JPG")));
    Lmin = Image1->Lmin;
    Lmax = Image1->Lmax;
    Lt = Image1->Lt;
    QLayout* result = buildResult();

    // why there is nothing to show: no rating plate yet, or its minimum above its maximum
    Problem = new QLabel;
    Problem->setObjectName(QStringLiteral("Problem"));
    Problem->setWordWrap(true);
    Problem->setStyleSheet(QStringLiteral("color: #a00000;"));
    Problem->setVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(plate);
    layout->addWidget(Problem);
    layout->addLayout(sliderRow);
    layout->addWidget(Image1, 1);
    layout->addLayout(result);

    connectFields();
    loadPlate();
    show_();
    opened_ = model_.stored();
}

QLayout* fPlG::buildPlate() {
    auto* plate = new QGridLayout;
    auto* maxCaption = new QLabel(QStringLiteral("max"));
    maxCaption->setAlignment(Qt::AlignCenter);
    plate->addWidget(maxCaption, 0, 2);
    plate->addWidget(new QLabel(QStringLiteral("Параметр  -е-  пламенной головы, min")), 1, 0);
    plate->addWidget(e1, 1, 1);
    plate->addWidget(e2, 1, 2);
    plate->addWidget(new QLabel(QStringLiteral("Производительность горелки")), 2, 0);
    plate->addWidget(TQ1, 2, 1);
    plate->addWidget(TQ2, 2, 2);
    plate->setColumnStretch(3, 1);
    return plate;
}

QLayout* fPlG::buildSlider() {
    Slider1 = new QSlider(Qt::Horizontal);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    Slider1->setToolTip(QStringLiteral("Изменеие параметра -е-  и  номин.производительности горелки"));
    Slider1->setTickPosition(QSlider::TicksBelow);
    Slider1->setPageStep(1);
    Slider1->setEnabled(false);
    Label4[0] = new QLabel;
    Label4[0]->setObjectName(QStringLiteral("Label4_0"));
    // the labels that fill in as the slider moves have room for their values from the start,
    // so the window keeps its size
    const int valueWidth = Label4[0]->fontMetrics().horizontalAdvance(QStringLiteral("e=0000")) + 6;
    Label4[0]->setMinimumWidth(valueWidth);
    auto* sliderRow = new QHBoxLayout;
    sliderRow->addWidget(Slider1, 1);
    sliderRow->addWidget(Label4[0]);
    return sliderRow;
}

QLayout* fPlG::buildResult() {
    // room for the values from the start, as beside the slider
    const int valueWidth = Label4[0]->minimumWidth();
    Label4[1] = new QLabel;
    Label4[1]->setObjectName(QStringLiteral("Label4_1"));
    Lg = new QLabel;
    Lg->setObjectName(QStringLiteral("Lg"));
    Lk = new QLabel;
    Lk->setObjectName(QStringLiteral("Lk"));
    QFont bold = Lg->font();
    bold.setBold(true);
    Lg->setFont(bold);
    Lk->setFont(bold);
    Label4[1]->setMinimumWidth(valueWidth);
    const int outputWidth = QFontMetrics(bold).horizontalAdvance(QStringLiteral("00000.0000")) + 6;
    Lg->setMinimumWidth(outputWidth);
    Lk->setMinimumWidth(outputWidth);
    auto* result = new QHBoxLayout;
    result->addWidget(new QLabel(QStringLiteral("При")));
    result->addWidget(Label4[1]);
    result->addSpacing(8);
    result->addWidget(new QLabel(QStringLiteral("Производительность горелки =")));
    result->addWidget(Lg);
    result->addWidget(new QLabel(QStringLiteral("и  КПД котла,% =")));
    result->addWidget(Text1);
    result->addSpacing(8);
    result->addWidget(new QLabel(QStringLiteral("Котла =")));
    result->addWidget(Lk);
    result->addStretch();
    return result;
}

void fPlG::connectFields() {
    connect(e1, &QLineEdit::textChanged, this, [this](const QString& t) {
        model_.e1Changed(t);
        show_();
    });
    connect(e2, &QLineEdit::textChanged, this, [this](const QString& t) {
        model_.e2Changed(t);
        show_();
    });
    connect(TQ1, &QLineEdit::textChanged, this, [this](const QString& t) {
        model_.TQ1Changed(t);
        show_();
    });
    connect(TQ2, &QLineEdit::textChanged, this, [this](const QString& t) {
        model_.TQ2Changed(t);
        show_();
    });
    // the boiler's output follows its efficiency as well
    connect(Text1, &QLineEdit::textChanged, this, [this](const QString& t) {
        model_.Text1 = t;
        show_();
    });
    // every move of the slider by the user, dragged, clicked or keyed (the window's own
    // range changes are made with its signals blocked)
    connect(Slider1, &QSlider::valueChanged, this, &fPlG::fPlG_Slider1_Scroll);
}

void fPlG::loadPlate() {
    // the four rating-plate values of the object, put in as if typed
    app::Workbench& wb = wb_;
    PlgContents plg;
    QString error;
    const QString folder = wb.state().currentObjectFolder;
    if (!ReadPlg(folder, plg, &error)) {
        damaged_ = true;
        damage_ = error;
        wb.dialogs().message(QStringLiteral("Ошибка чтения файла PLG.txt"), app::kProgramTitle, app::Icon::Warning);
    } else if (plg.exists) {
        QLineEdit* fields[4] = {e1, e2, TQ1, TQ2};
        for (int i = 0; i < 4; ++i)
            if (plg.present[i]) fields[i]->setText(plg.values[i]);
        if (!plg.complete)
            wb.dialogs().message(QStringLiteral("Файл PLG.txt неполный: недостающие значения "
                                                "оставлены без изменения и будут записаны при закрытии окна."),
                                 app::kProgramTitle, app::Icon::Warning);
    }
}

void fPlG::show_() {
    // the outputs are never left from earlier values: they follow every change at once
    model_.recompute();
    Problem->setText(model_.problem);
    Problem->setVisible(!model_.problem.isEmpty());
    const QSignalBlocker block(Slider1);
    Slider1->setEnabled(model_.sliderEnabled);
    if (model_.sliderEnabled) {
        Slider1->setMinimum(model_.sliderMin);
        Slider1->setMaximum(model_.sliderMax);
        Slider1->setValue(model_.sliderValue);
    }
    Label4[0]->setText(model_.Label4_0);
    Label4[1]->setText(model_.Label4_1);
    Lg->setText(model_.Lg);
    Lk->setText(model_.Lk);
    Image1->refresh();
}

void fPlG::fPlG_Slider1_Scroll(int value) {
    model_.sliderMoved(value);
    show_();
}

void fPlG::closeEvent(QCloseEvent* event) {
    if (!written_) {
        written_ = true;
        QString error;
        // a damaged file stays as it was unless the user typed new values and agrees
        bool write = !damaged_;
        if (damaged_ && model_.stored() != opened_)
            write = wb_.dialogs().question(QStringLiteral("Файл PLG.txt был поврежден (") + damage_ +
                                               QStringLiteral(").\nЗаписать вместо него введенные значения?"),
                                           app::kProgramTitle, app::Icon::Question) == app::Answer::Yes;
        if (write && !WritePlg(wb_.state().currentObjectFolder, model_.stored(), &error))
            wb_.dialogs().message(QStringLiteral("Ошибка записи файла PLG.txt"), QStringLiteral("Ошибка !"),
                                  app::Icon::Error);
    }
    // not QDialog::closeEvent: it would reject(), which closes again, and refuse the close
    event->accept();
}

}  // namespace tools
