#include "platform/gui/fileviewwidget.h"

#include "platform/bytecount.h"
#include "platform/gui/bytetext.h"

#include <QPalette>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace parlavo {

namespace {

// 50 twips of start indent for every line, in pixels of the screen, beyond the document's margin.
constexpr double kIndentTwips = 50.0;

// What the view shows of a file at most; the files on disk are never shortened. A longer line shows
// its start (kShownTextBytes), and a longer file its first lines, each with a notice of what is not
// shown. Real language files stay far below both.
constexpr std::size_t kShownFileBytes = 2'000'000;
constexpr std::size_t kShownLines = 40'000;

QString fileNotice(std::size_t shownLines, std::size_t allLines) {
    return QStringLiteral("\u2026 (file shortened: the view shows the first %1 of %2 lines)")
        .arg(static_cast<qulonglong>(shownLines))
        .arg(static_cast<qulonglong>(allLines));
}

// The display text of one file line: its bytes decoded, every CR and LF inside it a paragraph break.
QString lineForDocument(std::string_view bytes) {
    QString text = bytesToDisplay(bytes);
    for (QChar& ch : text) {
        if (ch == u'\r' || ch == u'\n') {
            ch = QChar::ParagraphSeparator;
        }
    }
    return text;
}

} // namespace

FileViewWidget::FileViewWidget(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The selection stays visible when the view does not have the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
    // A plain text view lays out each line by itself (an edit costs the same anywhere in a large file)
    // and takes no paragraph indents: the indent is a wider margin.
    document()->setDocumentMargin(document()->documentMargin() + kIndentTwips / 1440.0 * logicalDpiX());
    lines_.emplace_back();
    lineBytes_.push_back(0);
    lineStart_.push_back(0);
    connect(this, &QPlainTextEdit::updateRequest, this, [this] { decorateVisible(); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { decorateVisible(); });
}

void FileViewWidget::setContent(std::string_view bytes, std::string_view lineEnd) {
    decorator_ = nullptr;
    decorated_.clear();
    lines_.clear();
    lineBytes_.clear();
    lineStart_.clear();
    QString text;
    text.reserve(static_cast<qsizetype>(std::min(bytes.size(), kShownFileBytes + kShownTextBytes)));
    std::size_t shownBytes = 0;
    std::size_t hiddenLines = 0;
    for (std::size_t start = 0;;) {
        const std::size_t end = lineEnd.empty() ? std::string_view::npos : bytes.find(lineEnd, start);
        const bool last = end == std::string_view::npos;
        if (lines_.size() == kShownLines || shownBytes >= kShownFileBytes) {
            hiddenLines = last ? 1 : 2 + countText(bytes.substr(end + lineEnd.size()), lineEnd);
            break;
        }
        const std::string_view line = bytes.substr(start, last ? std::string_view::npos : end - start);
        appendLine(text, line);
        shownBytes += lines_.back().size();
        if (last) {
            break;
        }
        start = end + lineEnd.size();
    }
    if (hiddenLines > 0) {
        text.append(QChar::ParagraphSeparator);
        text.append(fileNotice(lines_.size(), lines_.size() + hiddenLines));
    }
    showText(text);
}

// Adds a file line to the map and its display text, shortened when it is long, to text.
void FileViewWidget::appendLine(QString& text, std::string_view line) {
    if (!lineStart_.empty()) {
        text.append(QChar::ParagraphSeparator);
    }
    lineStart_.push_back(static_cast<int>(text.size()));
    const std::string_view shown = shownStart(line);
    lines_.emplace_back(shown);
    lineBytes_.push_back(line.size());
    text.append(lineForDocument(shown));
    text.append(shortenedNotice(shown.size(), line.size()));
}

void FileViewWidget::showText(const QString& text) {
    // A new text replaces the document outright: no edit block may span that.
    if (batchOpen_) {
        batch_.endEditBlock();
        batchOpen_ = false;
    }
    pendingSelection_.reset();
    // The view gives the whole new text the format of its cursor: the view's own.
    setCurrentCharFormat(baseFormat_);
    setPlainText(text);
    moveCursor(QTextCursor::Start);
    updateBatch();
}

int FileViewWidget::lineCount() const {
    return static_cast<int>(lines_.size());
}

std::string FileViewWidget::lineText(int line) const {
    if (line < 0 || line >= lineCount()) {
        return {};
    }
    return lines_[static_cast<std::size_t>(line)];
}

void FileViewWidget::setDecorator(std::function<void(int first, int last)> decorate) {
    decorator_ = std::move(decorate);
    decorated_.assign(lines_.size(), false);
    decorateVisible();
}

// The file line a document position is in.
int FileViewWidget::lineAtPosition(int position) const {
    const auto after = std::upper_bound(lineStart_.begin(), lineStart_.end(), position);
    return std::max(0, static_cast<int>(after - lineStart_.begin()) - 1);
}

// The lines on screen, and a margin of lines around them, get their decorations.
void FileViewWidget::decorateVisible() {
    if (!decorator_ || decorating_ || decorated_.empty()) {
        return;
    }
    constexpr int kMargin = 200; // lines decorated beyond the screen, so scrolling shows them done
    // A plain text view scrolls by blocks: the scroll bar's value is the first block on screen.
    const int top = verticalScrollBar()->value();
    const int rows = viewport()->height() / std::max(1, fontMetrics().lineSpacing()) + 1;
    const QTextBlock first = document()->findBlockByNumber(top);
    const QTextBlock last = document()->findBlockByNumber(top + rows);
    const int lastLine = static_cast<int>(decorated_.size()) - 1;
    const int from = std::max(0, (first.isValid() ? lineAtPosition(first.position()) : 0) - kMargin);
    const int to =
        std::min(lastLine, (last.isValid() ? lineAtPosition(last.position()) : lastLine) + kMargin);
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

int FileViewWidget::linePosition(int line) const {
    if (line < 0 || line >= lineCount()) {
        return -1;
    }
    return lineStart_[static_cast<std::size_t>(line)];
}

int FileViewWidget::positionOf(int line, std::size_t column) const {
    const std::string& bytes = lines_[static_cast<std::size_t>(line)];
    return lineStart_[static_cast<std::size_t>(line)] + displayOffset(bytes, std::min(column, bytes.size()));
}

void FileViewWidget::formatRange(int line, int column, int length, const ViewFormat& format) {
    if (line < 0 || line >= lineCount() || column < 0 || length <= 0) {
        return;
    }
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
    QTextCursor range(document());
    range.setPosition(positionOf(line, static_cast<std::size_t>(column)));
    range.setPosition(positionOf(line, static_cast<std::size_t>(column) + static_cast<std::size_t>(length)),
                      QTextCursor::KeepAnchor);
    range.mergeCharFormat(change);
}

void FileViewWidget::selectRange(int line, int column, int length) {
    if (line < 0 || line >= lineCount() || column < 0 || length < 0) {
        return;
    }
    const auto start = static_cast<std::size_t>(column);
    const int anchor = positionOf(line, start);
    const int position = positionOf(line, start + static_cast<std::size_t>(length));
    if (batchOpen_) {
        pendingSelection_ = std::make_pair(anchor, position); // made when the layout is current again
        return;
    }
    applySelection(anchor, position);
}

// Selects the range and scrolls its start and then its end into view.
void FileViewWidget::applySelection(int anchor, int position) {
    QTextCursor range(document());
    range.setPosition(anchor);
    setTextCursor(range);
    ensureCursorVisible();
    range.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(range);
    ensureCursorVisible();
}

// The document length of a line: its shown text and the notice after it.
int FileViewWidget::documentLength(int line) const {
    const auto index = static_cast<std::size_t>(line);
    const std::string& shown = lines_[index];
    return displayOffset(shown, shown.size()) +
           static_cast<int>(shortenedNotice(shown.size(), lineBytes_[index]).size());
}

void FileViewWidget::replaceToLineEnd(int line, int column, std::string_view text) {
    if (line < 0 || line >= lineCount() || column < 0) {
        return;
    }
    const auto index = static_cast<std::size_t>(line);
    std::string& shown = lines_[index];
    const std::size_t start = std::min(static_cast<std::size_t>(column), lineBytes_[index]);
    // Past the shown start of a shortened line only the notice changes: the bytes before the
    // column are not all in the view.
    const std::size_t kept = std::min(start, shown.size());
    std::string newShown = shown.substr(0, kept);
    if (start == kept) {
        newShown.append(text.substr(0, kShownTextBytes + 1));
        newShown.resize(shownStart(newShown).size());
    }
    const int oldLength = documentLength(line);
    QTextCursor range(document());
    range.setPosition(positionOf(line, kept));
    range.setPosition(lineStart_[index] + oldLength, QTextCursor::KeepAnchor);
    lineBytes_[index] = start + text.size();
    shown = std::move(newShown);
    // The new value is shown plain, in the view's own face, size and colour: not in the format of
    // the text it replaces.
    range.insertText(lineForDocument(std::string_view(shown).substr(kept)) +
                         shortenedNotice(shown.size(), lineBytes_[index]),
                     baseFormat_);
    const int delta = documentLength(line) - oldLength;
    for (std::size_t next = index + 1; next < lineStart_.size(); ++next) {
        lineStart_[next] += delta;
    }
}

void FileViewWidget::setRedraw(bool on) {
    viewHold_ = !on;
    setUpdatesEnabled(on);
    updateBatch();
}

void FileViewWidget::holdForWindow(bool hold) {
    windowHold_ = hold;
    updateBatch();
}

void FileViewWidget::updateBatch() {
    const bool hold = windowHold_ || viewHold_;
    if (hold && !batchOpen_) {
        batch_ = QTextCursor(document());
        batch_.beginEditBlock();
        batchOpen_ = true;
    } else if (!hold && batchOpen_) {
        batch_.endEditBlock();
        batchOpen_ = false;
        if (pendingSelection_) {
            const auto [anchor, position] = *pendingSelection_;
            pendingSelection_.reset();
            applySelection(anchor, position);
        }
    }
}

void FileViewWidget::mergeWholeText(const QTextCharFormat& format) {
    baseFormat_.merge(format);
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    all.mergeCharFormat(format);
    mergeCurrentCharFormat(format);
}

void FileViewWidget::setFace(std::string_view face) {
    QTextCharFormat format;
    format.setFontFamilies(QStringList{bytesToDisplay(face)});
    mergeWholeText(format);
}

void FileViewWidget::setPointSize(int points) {
    if (points <= 0) {
        return; // no such size: the view keeps the one it has
    }
    QTextCharFormat format;
    format.setFontPointSize(points);
    mergeWholeText(format);
}

void FileViewWidget::setTextColour(std::uint32_t colour) {
    QTextCharFormat format;
    format.setForeground(colourFromColorRef(colour));
    mergeWholeText(format);
}

void FileViewWidget::setBackgroundColour(std::uint32_t colour) {
    QPalette colours = palette();
    colours.setColor(QPalette::Base, colourFromColorRef(colour));
    setPalette(colours);
}

} // namespace parlavo
