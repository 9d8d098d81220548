#pragma once
// Item text that always reads whole in a narrow column: wrapped at word boundaries, and a
// word longer than the line (a long caption word such as "Теплопроизводительность,")
// broken where the line ends instead of being clipped.

#include <QStringList>
#include <QStyledItemDelegate>

class QFont;

namespace results {

// The lines of `text` laid out for `width` pixels in `font`.
QStringList WrappedLines(const QString& text, const QFont& font, int width);

class WrappingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // Width in pixels left for the text of an item drawn in a cell `cellWidth` wide.
    int textWidth(const QStyleOptionViewItem& option, const QModelIndex& index, int cellWidth) const;
};

}  // namespace results
