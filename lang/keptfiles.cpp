#include "lang/keptfiles.h"

namespace parlavo {

namespace {

// Whether what is kept for keptPath with keptStamp is still the file at path: the stamp is taken
// before any read, so a change during the read shows as a changed stamp next time.
bool unchanged(const std::string& keptPath, const std::optional<FileStamp>& keptStamp,
               const std::string& path, const std::optional<FileStamp>& now) {
    return keptStamp && now && keptPath == path && *keptStamp == *now;
}

// The bytes of the file at path: nothing for a missing one, an error for one that cannot be read.
Result<std::string> readUnlessMissing(const std::string& path, const std::optional<FileStamp>& now) {
    if (now && !now->exists) {
        return {};
    }
    Result<std::string> bytes = readWholeFile(path);
    if (!bytes.ok() && !fileExists(path)) {
        return {}; // gone since it was looked at
    }
    return bytes;
}

} // namespace

std::vector<std::string_view> linePieces(const LanguageFile& file) {
    const std::string_view bytes = file.bytes ? std::string_view(*file.bytes) : std::string_view();
    std::vector<std::string_view> pieces;
    auto add = [&pieces](std::string_view piece) {
        if (!pieces.empty() && pieces.back().data() + pieces.back().size() == piece.data()) {
            pieces.back() = std::string_view(pieces.back().data(), pieces.back().size() + piece.size());
        } else if (!piece.empty()) {
            pieces.push_back(piece);
        }
    };
    for (const LanguageLine& line : file.lines) {
        const std::string_view end = ini::kLineEnds[line.end()];
        add(line.text());
        // A line as read is followed by its own end in the file's bytes: both go out as one run.
        const char* const after = line.text().data() + line.text().size();
        const bool asRead =
            !bytes.empty() && after >= bytes.data() && after + end.size() <= bytes.data() + bytes.size();
        add(asRead ? std::string_view(after, end.size()) : end);
    }
    return pieces;
}

std::string joinedLines(const LanguageFile& file) {
    std::string joined;
    for (const std::string_view piece : linePieces(file)) {
        joined += piece;
    }
    return joined;
}

struct KeptLanguageFile::State {
    std::string path;
    std::optional<FileStamp> stamp; // nothing: the kept file is not the file on disk
    LanguageFile file;
    std::optional<KeyLineIndex> index; // refers to file, so State never moves
};

KeptLanguageFile::KeptLanguageFile() : state_(std::make_unique<State>()) {}
KeptLanguageFile::~KeptLanguageFile() = default;
KeptLanguageFile::KeptLanguageFile(KeptLanguageFile&&) noexcept = default;
KeptLanguageFile& KeptLanguageFile::operator=(KeptLanguageFile&&) noexcept = default;

Status KeptLanguageFile::refresh(const std::string& path) {
    const std::optional<FileStamp> now = fileStamp(path);
    if (unchanged(state_->path, state_->stamp, path, now)) {
        return Status::success();
    }
    forget();
    Result<std::string> bytes = readUnlessMissing(path, now);
    if (!bytes.ok()) {
        return bytes.status;
    }
    state_->path = path;
    state_->file = parseLanguageFile(std::move(bytes.value));
    state_->stamp = now;
    return Status::success();
}

void KeptLanguageFile::keep(const std::string& path, LanguageFile file, const FileStamp& stamp) {
    state_->index.reset();
    state_->path = path;
    state_->file = std::move(file);
    state_->stamp = stamp;
}

void KeptLanguageFile::written(const FileStamp& stamp) {
    state_->stamp = stamp;
}

void KeptLanguageFile::forget() {
    state_->index.reset();
    state_->stamp.reset();
    state_->file = LanguageFile();
}

LanguageFile& KeptLanguageFile::file() {
    return state_->file;
}

std::optional<KeyLineIndex>& KeptLanguageFile::index() {
    return state_->index;
}

Status KeptSettingsFile::refresh(const std::string& path) {
    const std::optional<FileStamp> now = fileStamp(path);
    if (file_ && unchanged(file_->path(), file_->stamp(), path, now)) {
        return Status::success();
    }
    Result<ProfileFile> opened = ProfileFile::open(path);
    if (!opened.ok()) {
        forget();
        return opened.status;
    }
    file_ = std::move(opened.value);
    return Status::success();
}

const IniDocument& KeptSettingsFile::current(const std::string& path) {
    static const IniDocument empty;
    return refresh(path).ok() ? document() : empty;
}

void KeptSettingsFile::keep(ProfileFile file) {
    file_ = std::move(file);
}

Status KeptSettingsFile::save() {
    Status saved = file_ ? file_->save() : Status::success();
    if (!saved.ok()) {
        forget(); // what is on disk is read again next time
    }
    return saved;
}

void KeptSettingsFile::forget() {
    file_.reset();
}

} // namespace parlavo
