#include "ui/platform/tab_stop_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include "ui/platform/tabbed_text.h"

namespace veltrix::platform {

TabStopDelegate::TabStopDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void TabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();

    const QWidget* widget = opt.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    // Background, selection and focus without the text, then the columns.
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);

    const QFontMetrics metrics(opt.font);
    const auto segments = LayoutTabbedText(text, stops_, [&metrics](const QString& piece) {
        return metrics.horizontalAdvance(piece);
    });

    painter->save();
    painter->setFont(opt.font);
    const bool selected = (opt.state & QStyle::State_Selected) != 0;
    const QPalette::ColorGroup group =
        (opt.state & QStyle::State_Enabled) != 0 ? QPalette::Normal : QPalette::Disabled;
    painter->setPen(
        opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipRect(option.rect);
    for (const TabbedSegment& segment : segments) {
        const QRect rect(textRect.left() + segment.x, textRect.top(),
                         textRect.right() - (textRect.left() + segment.x) + 1, textRect.height());
        DrawSegment(painter, rect, segment.text, opt);
    }
    painter->restore();
}

void TabStopDelegate::DrawSegment(QPainter* painter, const QRect& rect, const QString& text,
                                  const QStyleOptionViewItem& /*option*/) const {
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

}  // namespace veltrix::platform
