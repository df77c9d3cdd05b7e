#include "platform/gui/fileviewwidget.h"

#include "platform/gui/bytetext.h"

#include <QPalette>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace parlavo {

namespace {

// 50 twips of start indent for every paragraph, in pixels of the screen.
constexpr double kIndentTwips = 50.0;

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

std::vector<std::string_view> splitLines(std::string_view bytes, std::string_view lineEnd) {
    std::vector<std::string_view> lines;
    if (lineEnd.empty()) {
        lines.push_back(bytes);
        return lines;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = bytes.find(lineEnd, start);
        if (end == std::string_view::npos) {
            lines.push_back(bytes.substr(start));
            return lines;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + lineEnd.size();
    }
}

} // namespace

FileViewWidget::FileViewWidget(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setAcceptRichText(false);
    setUndoRedoEnabled(false);
    setLineWrapMode(QTextEdit::NoWrap);
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
    lines_.emplace_back();
    lineStart_.push_back(0);
}

void FileViewWidget::setContent(std::string_view bytes, std::string_view lineEnd) {
    const std::vector<std::string_view> pieces = splitLines(bytes, lineEnd);
    lines_.assign(pieces.begin(), pieces.end());
    lineStart_.clear();
    lineStart_.reserve(lines_.size());
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const std::string& line : lines_) {
        if (!lineStart_.empty()) {
            text.append(QChar::ParagraphSeparator);
        }
        lineStart_.push_back(static_cast<int>(text.size()));
        text.append(lineForDocument(line));
    }
    // A new text replaces the document outright: no edit block may span that.
    if (batchOpen_) {
        batch_.endEditBlock();
        batchOpen_ = false;
    }
    pendingSelection_.reset();
    setPlainText(text);
    QTextCursor all(document());
    all.beginEditBlock();
    all.select(QTextCursor::Document);
    all.setCharFormat(baseFormat_);
    indentParagraphs();
    all.endEditBlock();
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

void FileViewWidget::replaceToLineEnd(int line, int column, std::string_view text) {
    if (line < 0 || line >= lineCount() || column < 0) {
        return;
    }
    std::string& bytes = lines_[static_cast<std::size_t>(line)];
    const auto start = std::min(static_cast<std::size_t>(column), bytes.size());
    const int oldLength = displayOffset(bytes, bytes.size());
    QTextCursor range(document());
    range.setPosition(positionOf(line, start));
    range.setPosition(lineStart_[static_cast<std::size_t>(line)] + oldLength, QTextCursor::KeepAnchor);
    // The new value is shown plain, in the view's own face, size and colour: not in the format of
    // the text it replaces.
    range.insertText(lineForDocument(text), baseFormat_);
    bytes.resize(start);
    bytes.append(text);
    const int delta = displayOffset(bytes, bytes.size()) - oldLength;
    for (std::size_t next = static_cast<std::size_t>(line) + 1; next < lineStart_.size(); ++next) {
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

void FileViewWidget::indentParagraphs() {
    QTextBlockFormat indent;
    indent.setLeftMargin(kIndentTwips / 1440.0 * logicalDpiX());
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    all.mergeBlockFormat(indent);
}

} // namespace parlavo
