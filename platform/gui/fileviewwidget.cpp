#include "platform/gui/fileviewwidget.h"

#include "platform/bytecount.h"
#include "platform/gui/bytetext.h"
#include "platform/gui/colorref.h"

#include <QPalette>
#include <QScrollBar>
#include <algorithm>

namespace parlavo {

namespace {

// What the view shows of a file at most; the files on disk are never shortened. A longer line shows
// its start (kShownTextBytes), and a longer file its first lines, each with a notice of what is not
// shown. Real language files stay far below both; the view keeps the bytes it is given (no copy)
// when it can show them whole, and 16 bytes for each line.
constexpr std::size_t kShownFileBytes = 32'000'000;
constexpr std::size_t kShownLines = 1'000'000;

QString fileNotice(std::size_t shownLines, std::size_t allLines) {
    return QStringLiteral("\u2026 (file shortened: the view shows the first %1 of %2 lines)")
        .arg(static_cast<qulonglong>(shownLines))
        .arg(static_cast<qulonglong>(allLines));
}

// The display text of one file line: its bytes decoded, every CR and LF inside it a line break.
QString lineForDisplay(std::string_view bytes) {
    QString text = bytesToDisplay(bytes);
    for (QChar& ch : text) {
        if (ch == u'\r' || ch == u'\n') {
            ch = QChar::LineSeparator;
        }
    }
    return text;
}

// The fields format sets, set on into.
void mergeFormat(ViewFormat& into, const ViewFormat& format) {
    into.points = format.points ? format.points : into.points;
    into.bold = format.bold ? format.bold : into.bold;
    into.background = format.background ? format.background : into.background;
}

} // namespace

FileViewWidget::FileViewWidget(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    // The selection stays visible when the view does not have the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
    textColour_ = colours.color(QPalette::Text);
    setContent(std::string_view(), "\n");
}

FileViewWidget::~FileViewWidget() = default;

void FileViewWidget::setContent(std::shared_ptr<const std::string> content, std::string_view lineEnd) {
    decorator_ = nullptr;
    decorated_.clear();
    std::vector<Line>().swap(lines_); // sized anew below
    spans_.clear();
    std::string().swap(shown_);
    // Content of a size the view may show whole is kept as it is; of a larger one only what is shown.
    const std::string_view bytes = content ? std::string_view(*content) : std::string_view();
    content_ = content && bytes.size() <= kShownFileBytes ? std::move(content) : nullptr;
    contentSize_ = content_ ? bytes.size() : 0;
    shown_.reserve(content_ ? 0 : std::min(bytes.size(), kShownFileBytes + kShownTextBytes));
    fileNotice_.clear();
    lines_.reserve(std::min(kShownLines, lineEnd.empty() ? 1 : countText(bytes, lineEnd) + 1));
    std::size_t hiddenLines = 0;
    for (std::size_t start = 0;;) {
        const std::size_t end = lineEnd.empty() ? std::string_view::npos : bytes.find(lineEnd, start);
        const bool last = end == std::string_view::npos;
        if (lines_.size() == kShownLines || shown_.size() >= kShownFileBytes) {
            hiddenLines = last ? 1 : 2 + countText(bytes.substr(end + lineEnd.size()), lineEnd);
            break;
        }
        appendLine(bytes.substr(start, last ? std::string_view::npos : end - start), start);
        if (last) {
            break;
        }
        start = end + lineEnd.size();
    }
    if (hiddenLines > 0) {
        fileNotice_ = fileNotice(lines_.size(), lines_.size() + hiddenLines);
    }
    liveBytes_ = shown_.size();
    anchor_ = position_ = ViewPoint{};
    forgetLayouts();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

FileViewWidget::Line FileViewWidget::lineAt(std::size_t start, std::size_t shown, std::size_t fileBytes) {
    constexpr std::size_t kMostTold = 0xFFFFFFFFu;
    return Line{start, static_cast<std::uint32_t>(shown),
                static_cast<std::uint32_t>(std::min(fileBytes, kMostTold))};
}

void FileViewWidget::appendLine(std::string_view line, std::size_t at) {
    const std::string_view shown = shownStart(line);
    if (content_) {
        lines_.push_back(lineAt(at, shown.size(), line.size()));
        return;
    }
    lines_.push_back(lineAt(shown_.size(), shown.size(), line.size()));
    shown_.append(shown);
}

std::string_view FileViewWidget::shownBytes(int line) const {
    const Line& shown = lines_[static_cast<std::size_t>(line)];
    return shown.start < contentSize_
               ? std::string_view(*content_).substr(shown.start, shown.size)
               : std::string_view(shown_).substr(shown.start - contentSize_, shown.size);
}

int FileViewWidget::lineCount() const {
    return static_cast<int>(lines_.size());
}

int FileViewWidget::rowCount() const {
    return lineCount() + (fileNotice_.isEmpty() ? 0 : 1);
}

std::string FileViewWidget::lineText(int line) const {
    if (line < 0 || line >= lineCount()) {
        return {};
    }
    return std::string(shownBytes(line));
}

QString FileViewWidget::rowText(int row) const {
    if (row >= lineCount()) {
        return fileNotice_;
    }
    const std::string_view shown = shownBytes(row);
    return lineForDisplay(shown) +
           shortenedNotice(shown.size(), lines_[static_cast<std::size_t>(row)].fileBytes);
}

// The units of a row that decorations may format: not a notice.
int FileViewWidget::formattableUnits(int row) const {
    if (row >= lineCount()) {
        return 0;
    }
    const std::string_view shown = shownBytes(row);
    return displayOffset(shown, shown.size());
}

ViewPoint FileViewWidget::pointOf(int line, std::size_t column) const {
    if (line < 0 || line >= lineCount()) {
        return {};
    }
    const std::string_view shown = shownBytes(line);
    return {line, displayOffset(shown, std::min(column, shown.size()))};
}

void FileViewWidget::setDecorator(std::function<void(int first, int last)> decorate) {
    decorator_ = std::move(decorate);
    decorated_.assign(lines_.size(), false);
    decorateVisible();
}

// The lines on screen, and a margin of lines around them, get their decorations.
void FileViewWidget::decorateVisible() {
    if (!decorator_ || decorating_ || decorated_.empty()) {
        return;
    }
    constexpr int kMargin = 200; // lines decorated beyond the screen, so scrolling shows them done
    const int rows = verticalScrollBar()->pageStep() + 1; // the rows on screen, about
    const int lastLine = static_cast<int>(decorated_.size()) - 1;
    const int from = std::max(0, firstVisibleRow() - kMargin);
    const int to = std::min(lastLine, firstVisibleRow() + rows + kMargin);
    decorating_ = true;
    for (int line = from; line <= to;) {
        if (decorated_[static_cast<std::size_t>(line)]) {
            ++line;
            continue;
        }
        int end = line;
        while (end <= to && !decorated_[static_cast<std::size_t>(end)]) {
            decorated_[static_cast<std::size_t>(end++)] = true;
        }
        decorator_(line, end - 1);
        line = end;
    }
    decorating_ = false;
}

void FileViewWidget::formatRange(int line, int column, int length, const ViewFormat& format) {
    if (line < 0 || line >= lineCount() || column < 0 || length <= 0) {
        return;
    }
    const ViewPoint from = pointOf(line, static_cast<std::size_t>(column));
    const ViewPoint to = pointOf(line, static_cast<std::size_t>(column) + static_cast<std::size_t>(length));
    if (to.unit > from.unit) {
        mergeSpan(spans_[line], Span{from.unit, to.unit - from.unit, format});
        forgetLayout(line);
    }
}

// A range formatted again keeps one span, with the newer fields over the older.
void FileViewWidget::mergeSpan(std::vector<Span>& spans, Span span) {
    for (Span& known : spans) {
        if (known.from == span.from && known.length == span.length) {
            mergeFormat(known.format, span.format);
            return;
        }
    }
    spans.push_back(std::move(span));
}

const std::vector<FileViewWidget::Span>& FileViewWidget::spansOf(int line) const {
    static const std::vector<Span> kNone;
    const auto found = spans_.find(line);
    return found != spans_.end() ? found->second : kNone;
}

void FileViewWidget::selectRange(int line, int column, int length) {
    if (line < 0 || line >= lineCount() || column < 0 || length < 0) {
        return;
    }
    const auto start = static_cast<std::size_t>(column);
    const ViewPoint anchor = pointOf(line, start);
    const ViewPoint position = pointOf(line, start + static_cast<std::size_t>(length));
    ensureVisible(anchor);
    ensureVisible(position);
    setSelection(anchor, position);
}

void FileViewWidget::replaceToLineEnd(int line, int column, std::string_view text) {
    if (line < 0 || line >= lineCount() || column < 0) {
        return;
    }
    Line& shown = lines_[static_cast<std::size_t>(line)];
    const std::size_t start = std::min<std::size_t>(static_cast<std::size_t>(column), shown.fileBytes);
    // Past the shown start of a shortened line only the notice changes: the bytes before the
    // column are not all in the view.
    const std::size_t kept = std::min<std::size_t>(start, shown.size);
    std::string newShown(shownBytes(line).substr(0, kept));
    if (start == kept) {
        newShown.append(text.substr(0, kShownTextBytes + 1));
        newShown.resize(shownStart(newShown).size());
    }
    clipSpans(line, pointOf(line, kept).unit);
    const bool inContent = shown.start < contentSize_; // the content given stays as it was
    liveBytes_ += newShown.size() - (inContent ? 0 : shown.size);
    if (inContent || newShown.size() > shown.size) {
        shown.start = contentSize_ + shown_.size();
        shown_.append(newShown);
    } else {
        shown_.replace(shown.start - contentSize_, newShown.size(), newShown);
    }
    const std::uint64_t at = shown.start;
    shown = lineAt(at, newShown.size(), start + text.size());
    compactShownBytes();
    anchor_ = clamped(anchor_);
    position_ = clamped(position_);
    forgetLayout(line);
}

// The new text of a line is shown plain, in the view's own face, size and colour: the decorations
// of the text it replaces end where it starts.
void FileViewWidget::clipSpans(int line, int unit) {
    const auto found = spans_.find(line);
    if (found == spans_.end()) {
        return;
    }
    std::vector<Span>& spans = found->second;
    std::erase_if(spans, [unit](const Span& span) { return span.from >= unit; });
    for (Span& span : spans) {
        span.length = std::min(span.length, unit - span.from);
    }
}

// Lines that grew were moved to the end of shown_; once most of it is such leftovers, its lines are
// gathered again.
void FileViewWidget::compactShownBytes() {
    constexpr std::size_t kLeftoverAllowance = 1 << 20;
    if (shown_.size() <= 2 * liveBytes_ + kLeftoverAllowance) {
        return;
    }
    std::string gathered;
    gathered.reserve(liveBytes_);
    for (Line& line : lines_) {
        if (line.start < contentSize_) {
            continue;
        }
        const std::size_t start = contentSize_ + gathered.size();
        gathered.append(shown_, line.start - contentSize_, line.size);
        line.start = start;
    }
    shown_ = std::move(gathered);
}

void FileViewWidget::setRedraw(bool on) {
    setUpdatesEnabled(on);
}

QString FileViewWidget::toPlainText() const {
    QString text;
    for (int row = 0; row < rowCount(); ++row) {
        text += (row == 0 ? QString() : QStringLiteral("\n")) + rowText(row);
    }
    return text.replace(QChar::LineSeparator, u'\n');
}

void FileViewWidget::setFace(std::string_view face) {
    face_ = bytesToDisplay(face);
    forgetLayouts();
}

void FileViewWidget::setPointSize(int points) {
    if (points <= 0) {
        return; // no such size: the view keeps the one it has
    }
    points_ = points;
    forgetLayouts();
}

void FileViewWidget::setTextColour(std::uint32_t colour) {
    textColour_ = colourFromColorRef(colour);
    viewport()->update();
}

void FileViewWidget::setBackgroundColour(std::uint32_t colour) {
    QPalette colours = palette();
    colours.setColor(QPalette::Base, colourFromColorRef(colour));
    setPalette(colours);
}

} // namespace parlavo
