#include "results/ui/wrapdelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QTextOption>

namespace results {

namespace {

// The margin the style keeps on each side of an item's text.
int TextMargin(const QWidget* widget) {
    const QStyle* style = widget ? widget->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
}

QRect TextRect(const QStyleOptionViewItem& opt) {
    const QWidget* widget = opt.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const int m = TextMargin(widget);
    return style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(m, 0, -m, 0);
}

}  // namespace

QStringList WrappedLines(const QString& text, const QFont& font, int width) {
    QStringList lines;
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(1, width));
        lines.append(text.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    return lines;
}

int WrappingDelegate::textWidth(const QStyleOptionViewItem& option, const QModelIndex& index, int cellWidth) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.rect = QRect(0, 0, cellWidth, std::max(1, option.rect.height()));
    return TextRect(opt).width();
}

void WrappingDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    const QRect textRect = TextRect(opt);
    // background, selection, icon and focus as the style draws them, the text here
    opt.text.clear();
    const QWidget* widget = opt.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const QStringList lines = WrappedLines(text, opt.font, textRect.width());
    const QFontMetrics fm(opt.font);
    const int height = static_cast<int>(lines.size()) * fm.lineSpacing();
    int y = textRect.top() + std::max(0, (textRect.height() - height) / 2);
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (opt.state & QStyle::State_Active) ? QPalette::Normal
                                                                            : QPalette::Inactive;
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(group, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                                  : QPalette::Text));
    painter->setClipRect(opt.rect);
    for (const QString& line : lines) {
        painter->drawText(QRect(textRect.left(), y, textRect.width(), fm.lineSpacing()),
                          Qt::AlignLeft | Qt::AlignVCenter, line.trimmed());
        y += fm.lineSpacing();
    }
    painter->restore();
}

QSize WrappingDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize hint = QStyledItemDelegate::sizeHint(option, index);
    if (option.rect.width() <= 0) return hint;
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const int width = textWidth(option, index, option.rect.width());
    const QFontMetrics fm(opt.font);
    const int lines = static_cast<int>(WrappedLines(opt.text, opt.font, width).size());
    hint.setHeight(std::max(hint.height(), lines * fm.lineSpacing() + 4));
    return hint;
}

}  // namespace results
