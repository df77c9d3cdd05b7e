#pragma once

#include "platform/fileview.h"
#include "platform/gui/colorref.h"

#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <QTextCursor>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace parlavo {

// The read-only view of the Translated file. Each file line is remembered with its bytes and the
// document position of its first character, so decorations address a line directly. A lone CR or LF
// inside a line starts a new paragraph in the document; the map counts them.
// An absurd file is shown shortened, so the view stays quick and small: a very long line shows its
// start and a notice of its length, a very long file its first lines and a notice of how many there
// are. lineCount() and lineText() then give what is shown, and formatting, selecting and replacing
// keep to it; the notices are never touched by them.
class FileViewWidget : public QPlainTextEdit, public FileView {
    Q_OBJECT
  public:
    explicit FileViewWidget(QWidget* parent = nullptr);

    void setContent(std::string_view bytes, std::string_view lineEnd) override;
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

    // Document position of the first character of a file line (for tests and callers that need it).
    int linePosition(int line) const;

    // While the main window's redraw is off, changes are collected and the document is laid out
    // once when it comes back on (laying out after every change of a large file is slow).
    void holdForWindow(bool hold);

  private:
    void updateBatch();
    void applySelection(int anchor, int position);

    void appendLine(QString& text, std::string_view line);
    void showText(const QString& text);
    int documentLength(int line) const;
    int positionOf(int line, std::size_t column) const;
    void mergeWholeText(const QTextCharFormat& format);
    void decorateVisible();
    int lineAtPosition(int position) const;

    std::vector<std::string> lines_;     // the shown bytes of each shown line
    std::vector<std::size_t> lineBytes_; // the length of each shown line in the file
    std::vector<int> lineStart_;
    QTextCharFormat baseFormat_; // face, size and colour of the whole text
    bool windowHold_ = false;
    bool viewHold_ = false;
    QTextCursor batch_; // holds the document's edit block while a hold is on
    bool batchOpen_ = false;
    std::optional<std::pair<int, int>> pendingSelection_; // anchor, position
    std::function<void(int, int)> decorator_;
    std::vector<bool> decorated_; // by line
    bool decorating_ = false;
};

} // namespace parlavo
