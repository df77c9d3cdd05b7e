#include "support/fakewindow.h"

#include <gtest/gtest.h>

namespace parlavo::test {

namespace {

std::vector<std::string> describe(const std::vector<FakeFileView::Decoration>& decorations,
                                  const std::function<bool(const ViewFormat&)>& wanted) {
    std::vector<std::string> found;
    for (const FakeFileView::Decoration& decoration : decorations) {
        if (wanted(decoration.format)) {
            found.push_back(std::to_string(decoration.line) + ":" + std::to_string(decoration.column) + ":" +
                            decoration.text);
        }
    }
    return found;
}

} // namespace

void FakeFileView::setContent(std::string_view bytes, std::string_view lineEnd) {
    lines_.clear();
    decorations.clear();
    selection = Selection{};
    lineEnd_ = lineEnd;
    if (lineEnd.empty()) {
        ADD_FAILURE() << "setContent without a line end";
        lineEnd = "\r\n";
    }
    std::size_t start = 0;
    for (std::size_t end = bytes.find(lineEnd); end != std::string_view::npos;
         end = bytes.find(lineEnd, start)) {
        lines_.emplace_back(bytes.substr(start, end - start));
        start = end + lineEnd.size();
    }
    lines_.emplace_back(bytes.substr(start));
}

std::string FakeFileView::lineText(int line) const {
    if (line < 0 || line >= lineCount()) {
        ADD_FAILURE() << "lineText asked for line " << line << " of " << lineCount();
        return {};
    }
    return lines_[static_cast<std::size_t>(line)];
}

bool FakeFileView::inRange(int line, int column, int length, const char* operation) const {
    const bool ok =
        line >= 0 && line < lineCount() && column >= 0 && length >= 0 &&
        static_cast<std::size_t>(column + length) <= lines_[static_cast<std::size_t>(line)].size();
    if (!ok) {
        ADD_FAILURE() << operation << " outside the text: line " << line << ", column " << column
                      << ", length " << length;
    }
    return ok;
}

void FakeFileView::formatRange(int line, int column, int length, const ViewFormat& format) {
    if (inRange(line, column, length, "formatRange")) {
        const std::string& text = lines_[static_cast<std::size_t>(line)];
        decorations.push_back(
            {line, column, length, format,
             text.substr(static_cast<std::size_t>(column), static_cast<std::size_t>(length))});
    }
}

void FakeFileView::selectRange(int line, int column, int length) {
    if (inRange(line, column, length, "selectRange")) {
        const std::string& text = lines_[static_cast<std::size_t>(line)];
        selection = {line, column, length,
                     text.substr(static_cast<std::size_t>(column), static_cast<std::size_t>(length))};
    }
}

void FakeFileView::replaceToLineEnd(int line, int column, std::string_view text) {
    if (inRange(line, column, 0, "replaceToLineEnd")) {
        std::string& target = lines_[static_cast<std::size_t>(line)];
        target.resize(static_cast<std::size_t>(column));
        target += text;
        ++replacements;
    }
}

std::string FakeFileView::content() const {
    std::string bytes;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0) {
            bytes += lineEnd_;
        }
        bytes += lines_[i];
    }
    return bytes;
}

std::vector<std::string> FakeFileView::boldRanges() const {
    return describe(decorations, [](const ViewFormat& format) { return format.bold.value_or(false); });
}

std::vector<std::string> FakeFileView::enlargedRanges(int points) const {
    return describe(decorations, [points](const ViewFormat& format) { return format.points == points; });
}

std::vector<std::string> FakeFileView::highlightedRanges(std::uint32_t colour) const {
    return describe(decorations, [colour](const ViewFormat& format) { return format.background == colour; });
}

void FakePassWindow::setTranslationText(std::string_view text) {
    translation = text;
    translationHistory.emplace_back(text);
    if (onTranslationChange) {
        onTranslationChange();
    }
}

void FakePassWindow::showInformation(std::string_view caption, std::string_view text) {
    informations.push_back({std::string(caption), std::string(text)});
}

void FakePassWindow::showError(std::string_view caption, std::string_view text) {
    errors.push_back({std::string(caption), std::string(text)});
}

} // namespace parlavo::test
