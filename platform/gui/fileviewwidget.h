#pragma once

#include "platform/fileview.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QString>
#include <QTextCharFormat>
#include <QTextLayout>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace parlavo {

// A place in the view's text: a row (a file line, or the notice after a shortened file) and a
// UTF-16 offset in that row's display text.
struct ViewPoint {
    int row = 0;
    int unit = 0;
    friend bool operator==(const ViewPoint&, const ViewPoint&) = default;
    friend auto operator<=>(const ViewPoint&, const ViewPoint&) = default;
};

// The read-only view of the Translated file. It keeps the file's bytes line by line and lays out only
// the lines on screen, so a file of any length is shown at once and costs little memory: a line is
// decoded, formatted and laid out when it is painted, and kept laid out while it stays in sight.
// Decorations are ranges of a line. A lone CR or LF inside a line breaks it on screen.
// An absurd file is shown shortened, so the view stays quick and small: a very long line shows its
// start and a notice of its length, a very long file its first lines and a notice of how many there
// are. lineCount() and lineText() then give what is shown, and formatting, selecting and replacing
// keep to it; the notices are never touched by them.
// The text can be selected with the mouse and the keyboard and copied.
class FileViewWidget : public QAbstractScrollArea, public FileView {
    Q_OBJECT
  public:
    explicit FileViewWidget(QWidget* parent = nullptr);
    ~FileViewWidget() override;

    using FileView::setContent;
    void setContent(std::shared_ptr<const std::string> bytes, std::string_view lineEnd) override;
    int lineCount() const override;
    std::string lineText(int line) const override;
    void formatRange(int line, int column, int length, const ViewFormat& format) override;
    void selectRange(int line, int column, int length) override;
    void replaceToLineEnd(int line, int column, std::string_view text) override;
    void setRedraw(bool on) override;
    void setDecorator(std::function<void(int first, int last)> decorate) override;

    // Display settings, applied to the whole text and to text loaded later.
    void setFace(std::string_view face);
    void setPointSize(int points);
    void setTextColour(std::uint32_t colour);
    void setBackgroundColour(std::uint32_t colour);

    // What is shown: every row's display text, rows joined by "\n" (a break inside a line too).
    QString toPlainText() const;
    QString selectedText() const;
    ViewPoint selectionStart() const;
    // The view's own point of a file line's byte column.
    ViewPoint pointOf(int line, std::size_t column) const;
    // The format of the character at a point, the view's face, size and colour included.
    QTextCharFormat formatAt(ViewPoint point) const;
    int firstVisibleRow() const;
    // Where a point is on screen: the caret's place at the top of its line, in the viewport.
    QPoint placeOf(ViewPoint point) const;

    enum class CaretMove {
        NextChar,
        PreviousChar,
        NextWord,
        PreviousWord,
        LineStart,
        LineEnd,
        NextLine,
        PreviousLine,
        NextPage,
        PreviousPage,
        Start,
        End
    };

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    static constexpr double kEdgePixels = 4.0; // the text's distance from the view's edges

    // Sixteen bytes, as a file may have many lines.
    struct Line {
        std::uint64_t start = 0;     // of its shown bytes: in content_, or shown_ after content_'s size
        std::uint32_t size = 0;      // shown bytes (a line shows at most its start)
        std::uint32_t fileBytes = 0; // the whole line's length in the file (at most 2^32 - 1 told)
    };
    static Line lineAt(std::size_t start, std::size_t shown, std::size_t fileBytes);
    struct Span {
        int from = 0;
        int length = 0;
        ViewFormat format;
    };

    // Content and decorations.
    void appendLine(std::string_view line, std::size_t at); // at: where line starts in the content
    std::string_view shownBytes(int line) const;
    int rowCount() const;
    QString rowText(int row) const;
    int formattableUnits(int row) const;
    void mergeSpan(std::vector<Span>& spans, Span span);
    const std::vector<Span>& spansOf(int line) const;
    void clipSpans(int line, int unit);
    void compactShownBytes();
    void decorateVisible();

    // Layout and scrolling.
    const QTextLayout& layoutOf(int row) const;
    void forgetLayout(int row);
    void forgetLayouts();
    QFont baseFont() const;
    double rowHeight(int row) const;
    double margin() const;
    int lastTopRow() const;
    void updateScrollBars();
    void ensureVisible(ViewPoint point);

    // Selection and caret.
    ViewPoint pointAt(const QPoint& position) const;
    ViewPoint clamped(ViewPoint point) const;
    ViewPoint endPoint() const;
    void setSelection(ViewPoint anchor, ViewPoint position);
    bool moveByKey(QKeyEvent* event);
    ViewPoint caretAfter(CaretMove move) const;
    ViewPoint nextPoint(ViewPoint point, QTextLayout::CursorMode mode) const;
    ViewPoint previousPoint(ViewPoint point, QTextLayout::CursorMode mode) const;
    ViewPoint pointBelow(ViewPoint point, int rows) const;
    void copySelection() const;
    QList<QTextLayout::FormatRange> selectionIn(int row) const;

    // The lines' shown bytes: those of the content as it was given (kept whole when it is not too
    // large), then those of the lines replaced since (or all, when the content is not kept).
    std::shared_ptr<const std::string> content_;
    std::size_t contentSize_ = 0; // where shown_ starts, in the places of Line::start
    std::string shown_;
    std::size_t liveBytes_ = 0; // of shown_, those still used
    std::vector<Line> lines_;
    QString fileNotice_; // the row after a shortened file's lines; "" when the file is whole
    std::unordered_map<int, std::vector<Span>> spans_; // by line, for the lines decorated
    std::function<void(int, int)> decorator_;
    std::vector<bool> decorated_; // by line
    bool decorating_ = false;

    QString face_;
    int points_ = 0; // 0: the widget's own size
    QColor textColour_;
    mutable std::unordered_map<int, std::unique_ptr<QTextLayout>> layouts_; // by row
    mutable double widest_ = 0;

    ViewPoint anchor_;
    ViewPoint position_;
    bool selecting_ = false;
};

} // namespace parlavo
