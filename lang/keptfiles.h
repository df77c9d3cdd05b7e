#pragma once

#include "lang/keyindex.h"
#include "lang/languagefile.h"
#include "lang/profile.h"
#include "platform/files.h"
#include "platform/status.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

// A file kept parsed in memory between the operations of a pass. It is read again only when its
// stamp on disk differs from the one it was read or written with, so that an edit made beside the
// program (in a text editor) is always seen before the next write, and never overwritten.
// After a failed write the kept text is forgotten: what is on disk is read again next time.

// The file's bytes as pieces to write one after the other: each line with its own line end, runs of
// lines as read taken whole from the file's bytes. joinedLines puts them into one string.
std::vector<std::string_view> linePieces(const LanguageFile& file);
std::string joinedLines(const LanguageFile& file);

// The Translated file, with the index of its key lines built on first need.
class KeptLanguageFile {
  public:
    KeptLanguageFile();
    ~KeptLanguageFile();
    KeptLanguageFile(KeptLanguageFile&&) noexcept;
    KeptLanguageFile& operator=(KeptLanguageFile&&) noexcept;

    // Makes the kept file the one at path on disk. A missing file is an empty one; an existing
    // file that cannot be read is an error (and nothing is kept).
    Status refresh(const std::string& path);
    // The file as just written to path with that stamp.
    void keep(const std::string& path, LanguageFile file, const FileStamp& stamp);
    // The kept lines were changed and written to disk, which gave the file this stamp.
    void written(const FileStamp& stamp);
    void forget();

    // Valid after a successful refresh or keep.
    LanguageFile& file();
    std::optional<KeyLineIndex>& index();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The settings file as one document.
class KeptSettingsFile {
  public:
    // Makes the kept document the file at path on disk. A missing file is an empty document; an
    // existing file that cannot be read is an error (and nothing is kept).
    Status refresh(const std::string& path);
    // The document read freshly from disk; an unreadable file reads as empty (nothing is kept then).
    const IniDocument& current(const std::string& path);
    // The file as just opened or saved by someone else.
    void keep(ProfileFile file);
    // Writes the document when it changed.
    Status save();
    void forget();

    // Valid after a successful refresh or keep.
    IniDocument& document() { return file_->document(); }

  private:
    std::optional<ProfileFile> file_;
};

} // namespace parlavo
