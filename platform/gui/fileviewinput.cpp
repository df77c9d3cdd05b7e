// The file view's selection: the mouse, the keys, the caret, scrolling to a place and copying.

#include "platform/gui/fileviewwidget.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace parlavo {

ViewPoint FileViewWidget::endPoint() const {
    const int last = rowCount() - 1;
    return {last, static_cast<int>(layoutOf(last).text().size())};
}

ViewPoint FileViewWidget::clamped(ViewPoint point) const {
    if (point.row >= rowCount()) {
        return endPoint();
    }
    point.row = std::max(point.row, 0);
    point.unit = std::clamp(point.unit, 0, static_cast<int>(layoutOf(point.row).text().size()));
    return point;
}

void FileViewWidget::setSelection(ViewPoint anchor, ViewPoint position) {
    anchor_ = clamped(anchor);
    position_ = clamped(position);
    viewport()->update();
}

ViewPoint FileViewWidget::selectionStart() const {
    return std::min(anchor_, position_);
}

QString FileViewWidget::selectedText() const {
    const ViewPoint from = std::min(anchor_, position_);
    const ViewPoint to = std::max(anchor_, position_);
    QString text; // the rows' texts, not laid out: a selection may span a whole long file
    for (int row = from.row; row <= to.row; ++row) {
        const QString shown = rowText(row);
        const int start = row == from.row ? from.unit : 0;
        const int end = row == to.row ? to.unit : static_cast<int>(shown.size());
        text += (row == from.row ? QString() : QStringLiteral("\n")) + shown.mid(start, end - start);
    }
    return text.replace(QChar::LineSeparator, u'\n');
}

// The selected part of a row, in the selection's colours.
QList<QTextLayout::FormatRange> FileViewWidget::selectionIn(int row) const {
    const ViewPoint from = std::min(anchor_, position_);
    const ViewPoint to = std::max(anchor_, position_);
    if (from == to || row < from.row || row > to.row) {
        return {};
    }
    const int size = static_cast<int>(layoutOf(row).text().size());
    const int start = row == from.row ? from.unit : 0;
    const int end = row == to.row ? to.unit : size;
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));
    return {QTextLayout::FormatRange{start, end - start, selected}};
}

void FileViewWidget::copySelection() const {
    if (anchor_ != position_) {
        QGuiApplication::clipboard()->setText(selectedText());
    }
}

// Scrolls the view so that the point is on screen.
void FileViewWidget::ensureVisible(ViewPoint point) {
    point = clamped(point);
    QScrollBar* vertical = verticalScrollBar();
    if (point.row < firstVisibleRow()) {
        vertical->setValue(point.row);
    } else {
        const double room = viewport()->height() - 2 * kEdgePixels;
        double used = 0;
        int top = point.row;
        for (; top >= 0 && (used += rowHeight(top)) <= room; --top) {
        }
        vertical->setValue(std::max(firstVisibleRow(), std::min(point.row, top + 1)));
    }
    const QTextLayout& layout = layoutOf(point.row);
    const QTextLine line = layout.lineForTextPosition(point.unit);
    const double x = margin() + (line.isValid() ? line.cursorToX(point.unit) : 0);
    QScrollBar* horizontal = horizontalScrollBar();
    updateScrollBars(); // the row may be wider than any laid out before
    const int width = viewport()->width();
    if (x < horizontal->value() + margin()) {
        horizontal->setValue(static_cast<int>(x - margin()));
    } else if (x > horizontal->value() + width - margin()) {
        horizontal->setValue(static_cast<int>(x - width + margin()));
    }
}

// The text point under a place of the viewport.
ViewPoint FileViewWidget::pointAt(const QPoint& position) const {
    double y = kEdgePixels;
    const double x = position.x() - margin() + horizontalScrollBar()->value();
    for (int row = firstVisibleRow(); row < rowCount(); ++row) {
        const QTextLayout& layout = layoutOf(row);
        const double height = layout.boundingRect().height();
        if (position.y() < y + height || row == rowCount() - 1) {
            for (int i = 0; i < layout.lineCount(); ++i) {
                const QTextLine line = layout.lineAt(i);
                if (position.y() < y + line.y() + line.height() || i == layout.lineCount() - 1) {
                    return {row, line.xToCursor(x)};
                }
            }
        }
        y += height;
    }
    return endPoint();
}

QPoint FileViewWidget::placeOf(ViewPoint point) const {
    point = clamped(point);
    double y = kEdgePixels;
    for (int row = firstVisibleRow(); row < point.row; ++row) {
        y += rowHeight(row);
    }
    const QTextLine line = layoutOf(point.row).lineForTextPosition(point.unit);
    const double x =
        margin() - horizontalScrollBar()->value() + (line.isValid() ? line.cursorToX(point.unit) : 0);
    return QPointF(x, y + (line.isValid() ? line.y() : 0)).toPoint();
}

ViewPoint FileViewWidget::nextPoint(ViewPoint point, QTextLayout::CursorMode mode) const {
    const QTextLayout& layout = layoutOf(point.row);
    if (point.unit < layout.text().size()) {
        return {point.row, layout.nextCursorPosition(point.unit, mode)};
    }
    return point.row + 1 < rowCount() ? ViewPoint{point.row + 1, 0} : point;
}

ViewPoint FileViewWidget::previousPoint(ViewPoint point, QTextLayout::CursorMode mode) const {
    if (point.unit > 0) {
        return {point.row, layoutOf(point.row).previousCursorPosition(point.unit, mode)};
    }
    return point.row > 0 ? ViewPoint{point.row - 1, static_cast<int>(layoutOf(point.row - 1).text().size())}
                         : point;
}

// The point rows above or below, as near as it can be to the same place across.
ViewPoint FileViewWidget::pointBelow(ViewPoint point, int rows) const {
    const QTextLayout& from = layoutOf(point.row);
    const QTextLine line = from.lineForTextPosition(point.unit);
    const double x = line.isValid() ? line.cursorToX(point.unit) : 0;
    const int row = std::clamp(point.row + rows, 0, rowCount() - 1);
    const QTextLine target = layoutOf(row).lineAt(0);
    return {row, target.isValid() ? target.xToCursor(x) : 0};
}

namespace {

// The navigation keys: each moves the caret, and with its Select key the selection's end.
struct CaretKeys {
    QKeySequence::StandardKey move;
    QKeySequence::StandardKey select;
    FileViewWidget::CaretMove to;
};
using Key = QKeySequence::StandardKey;
using To = FileViewWidget::CaretMove;
constexpr CaretKeys kCaretKeys[] = {
    {Key::MoveToNextChar, Key::SelectNextChar, To::NextChar},
    {Key::MoveToPreviousChar, Key::SelectPreviousChar, To::PreviousChar},
    {Key::MoveToNextWord, Key::SelectNextWord, To::NextWord},
    {Key::MoveToPreviousWord, Key::SelectPreviousWord, To::PreviousWord},
    {Key::MoveToStartOfLine, Key::SelectStartOfLine, To::LineStart},
    {Key::MoveToEndOfLine, Key::SelectEndOfLine, To::LineEnd},
    {Key::MoveToNextLine, Key::SelectNextLine, To::NextLine},
    {Key::MoveToPreviousLine, Key::SelectPreviousLine, To::PreviousLine},
    {Key::MoveToNextPage, Key::SelectNextPage, To::NextPage},
    {Key::MoveToPreviousPage, Key::SelectPreviousPage, To::PreviousPage},
    {Key::MoveToStartOfDocument, Key::SelectStartOfDocument, To::Start},
    {Key::MoveToEndOfDocument, Key::SelectEndOfDocument, To::End},
};

} // namespace

// Where a caret move takes the caret from where it is.
ViewPoint FileViewWidget::caretAfter(CaretMove move) const {
    const int page = std::max(1, verticalScrollBar()->pageStep());
    switch (move) {
    case CaretMove::NextChar:
        return nextPoint(position_, QTextLayout::SkipCharacters);
    case CaretMove::PreviousChar:
        return previousPoint(position_, QTextLayout::SkipCharacters);
    case CaretMove::NextWord:
        return nextPoint(position_, QTextLayout::SkipWords);
    case CaretMove::PreviousWord:
        return previousPoint(position_, QTextLayout::SkipWords);
    case CaretMove::LineStart:
        return {position_.row, 0};
    case CaretMove::LineEnd:
        return {position_.row, static_cast<int>(layoutOf(position_.row).text().size())};
    case CaretMove::NextLine:
        return pointBelow(position_, 1);
    case CaretMove::PreviousLine:
        return pointBelow(position_, -1);
    case CaretMove::NextPage:
        return pointBelow(position_, page);
    case CaretMove::PreviousPage:
        return pointBelow(position_, -page);
    case CaretMove::Start:
        return {};
    case CaretMove::End:
        return endPoint();
    }
    return position_;
}

// Moves the caret (and with Shift the selection's end) for a navigation key; false for other keys.
bool FileViewWidget::moveByKey(QKeyEvent* event) {
    for (const CaretKeys& keys : kCaretKeys) {
        const bool select = event->matches(keys.select);
        if (select || event->matches(keys.move)) {
            const ViewPoint to = caretAfter(keys.to);
            ensureVisible(to);
            setSelection(select ? anchor_ : to, to);
            return true;
        }
    }
    return false;
}

void FileViewWidget::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
    } else if (event->matches(QKeySequence::SelectAll)) {
        setSelection({}, endPoint());
    } else if (!moveByKey(event)) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void FileViewWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const ViewPoint point = pointAt(event->position().toPoint());
    setSelection(event->modifiers() & Qt::ShiftModifier ? anchor_ : point, point);
    selecting_ = true;
}

void FileViewWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!selecting_ || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    // Dragging past the top or the bottom scrolls a line at a time.
    const QPoint place = event->position().toPoint();
    if (place.y() < 0) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    } else if (place.y() > viewport()->height()) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
    setSelection(anchor_, pointAt(place));
}

void FileViewWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && selecting_) {
        selecting_ = false;
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (anchor_ != position_ && clipboard->supportsSelection()) {
            clipboard->setText(selectedText(), QClipboard::Selection);
        }
    }
}

// A double click selects the word under the pointer.
void FileViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const ViewPoint point = pointAt(event->position().toPoint());
    const QString text = layoutOf(point.row).text();
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, text);
    words.setPosition(point.unit);
    const bool atStart = words.isAtBoundary() && (words.boundaryReasons() & QTextBoundaryFinder::StartOfItem);
    const int start = atStart ? point.unit : static_cast<int>(words.toPreviousBoundary());
    words.setPosition(point.unit);
    const int end = static_cast<int>(words.toNextBoundary());
    if (start >= 0 && end > start) {
        setSelection({point.row, start}, {point.row, end});
    }
}

void FileViewWidget::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("&Copy"), this, [this] { copySelection(); });
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(anchor_ != position_);
    QAction* all = menu.addAction(tr("Select All"), this, [this] { setSelection({}, endPoint()); });
    all->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}

void FileViewWidget::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void FileViewWidget::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

} // namespace parlavo
