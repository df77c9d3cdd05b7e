#include "lang/profile.h"

#include "platform/files.h"

namespace parlavo {

std::optional<ProfileFile> ProfileFile::open(const std::string& path, std::string* error) {
    ProfileFile file;
    file.path_ = path;
    std::string readError;
    std::optional<std::string> bytes = readWholeFile(path, &readError);
    if (bytes) {
        file.document_ = IniDocument::parseOwned(std::move(*bytes));
    } else if (fileExists(path)) {
        if (error != nullptr) {
            *error = readError;
        }
        return std::nullopt;
    }
    return file;
}

Status ProfileFile::save() {
    if (!document_.changed()) {
        return Status::success();
    }
    Status status = writeFileAtomically(path_, document_.serialize());
    if (status.ok()) {
        document_.markSaved();
    }
    return status;
}

std::string readProfileString(const std::string& path, std::string_view section, std::string_view key) {
    const std::optional<ProfileFile> file = ProfileFile::open(path);
    return file ? file->document().get(section, key) : std::string();
}

Status writeProfileString(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view value) {
    std::string error;
    std::optional<ProfileFile> file = ProfileFile::open(path, &error);
    if (!file) {
        return Status::failure(error);
    }
    file->document().set(section, key, valueReadingBackAs(value));
    return file->save();
}

} // namespace parlavo
