// The file view's layout and painting: each line laid out when it comes into sight, the scroll bars,
// and the formats the decorations give.

#include "platform/gui/fileviewwidget.h"

#include "platform/gui/colorref.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace parlavo {

namespace {

// 50 twips more room on the left than on the other edges.
constexpr double kIndentTwips = 50.0;
constexpr double kTwipsPerInch = 1440.0;

// Lines kept laid out at most; the ones on screen are laid out again when more were.
constexpr std::size_t kKeptLayouts = 2'000;

QTextCharFormat charFormatOf(const ViewFormat& format) {
    QTextCharFormat change;
    if (format.points && *format.points > 0) {
        change.setFontPointSize(*format.points);
    }
    if (format.bold) {
        change.setFontWeight(*format.bold ? QFont::Bold : QFont::Normal);
    }
    if (format.background) {
        change.setBackground(colourFromColorRef(*format.background));
    }
    return change;
}

} // namespace

QTextCharFormat FileViewWidget::formatAt(ViewPoint point) const {
    QTextCharFormat format;
    format.setFont(baseFont());
    format.setForeground(textColour_);
    if (point.row >= 0 && point.row < lineCount()) {
        for (const Span& span : spansOf(point.row)) {
            if (point.unit >= span.from && point.unit < span.from + span.length) {
                format.merge(charFormatOf(span.format));
            }
        }
    }
    return format;
}

QFont FileViewWidget::baseFont() const {
    QFont base = font();
    if (!face_.isEmpty()) {
        base.setFamilies(QStringList{face_});
    }
    if (points_ > 0) {
        base.setPointSize(points_);
    }
    return base;
}

// A row laid out, with its decorations; a row that a lone CR or LF breaks has a line for each part.
const QTextLayout& FileViewWidget::layoutOf(int row) const {
    std::unique_ptr<QTextLayout>& kept = layouts_[row];
    if (kept) {
        return *kept;
    }
    auto layout = std::make_unique<QTextLayout>(rowText(row), baseFont(), viewport());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout->setTextOption(option);
    QList<QTextLayout::FormatRange> formats;
    if (row < lineCount()) {
        const int formattable = formattableUnits(row);
        for (const Span& span : spansOf(row)) {
            const int length = std::min(span.length, formattable - span.from);
            if (length > 0) {
                formats.append({span.from, length, charFormatOf(span.format)});
            }
        }
    }
    layout->setFormats(formats);
    layout->beginLayout();
    double y = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
    widest_ = std::max(widest_, layout->maximumWidth());
    kept = std::move(layout);
    return *kept;
}

double FileViewWidget::rowHeight(int row) const {
    return layoutOf(row).boundingRect().height();
}

void FileViewWidget::forgetLayout(int row) {
    layouts_.erase(row);
    viewport()->update();
}

void FileViewWidget::forgetLayouts() {
    layouts_.clear();
    widest_ = 0;
    updateScrollBars();
    viewport()->update();
}

double FileViewWidget::margin() const {
    return kEdgePixels + kIndentTwips / kTwipsPerInch * logicalDpiX();
}

// The top row at which the last row is at the bottom of the view.
int FileViewWidget::lastTopRow() const {
    double room = viewport()->height() - 2 * kEdgePixels;
    int top = rowCount() - 1;
    while (top > 0 && (room -= rowHeight(top)) >= rowHeight(top - 1)) {
        --top;
    }
    return top;
}

void FileViewWidget::updateScrollBars() {
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, std::max(0, lastTopRow()));
    vertical->setPageStep(
        std::max(1, viewport()->height() / std::max(1, QFontMetrics(baseFont()).lineSpacing())));
    QScrollBar* horizontal = horizontalScrollBar();
    const double width = widest_ + margin() + kEdgePixels;
    horizontal->setRange(0, std::max(0, static_cast<int>(std::ceil(width)) - viewport()->width()));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(QFontMetrics(baseFont()).averageCharWidth() * 2);
}

int FileViewWidget::firstVisibleRow() const {
    return std::clamp(verticalScrollBar()->value(), 0, std::max(0, rowCount() - 1));
}

void FileViewWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    decorateVisible();
}

void FileViewWidget::scrollContentsBy(int, int) {
    decorateVisible(); // the lines scrolled into sight
    viewport()->update();
}

void FileViewWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setPen(textColour_);
    const double left = margin() - horizontalScrollBar()->value();
    const double bottom = event->rect().bottom() + 1;
    const double widest = widest_;
    double y = kEdgePixels;
    for (int row = firstVisibleRow(); row < rowCount() && y < bottom; ++row) {
        const QTextLayout& layout = layoutOf(row);
        const double height = layout.boundingRect().height();
        if (y + height > event->rect().top()) {
            layout.draw(&painter, QPointF(left, y), selectionIn(row));
            if (hasFocus() && position_.row == row) {
                layout.drawCursor(&painter, QPointF(left, y), position_.unit);
            }
        }
        y += height;
    }
    if (layouts_.size() > kKeptLayouts) {
        layouts_.clear(); // after the paint: what it laid out is in use until then
    }
    if (widest_ > widest) {
        updateScrollBars();
    }
}

} // namespace parlavo
