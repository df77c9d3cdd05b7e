#include "lang/profile.h"

#include "platform/files.h"

namespace parlavo {

Result<ProfileFile> ProfileFile::open(const std::string& path) {
    Result<ProfileFile> opened;
    opened.value.path_ = path;
    opened.value.stamp_ = fileStamp(path);
    std::size_t lineFeeds = 0;
    Result<std::string> bytes = readWholeFile(path, '\n', lineFeeds);
    if (bytes.ok()) {
        opened.value.document_ = IniDocument::parseOwned(std::move(bytes.value), lineFeeds);
    } else if (fileExists(path)) {
        opened.status = std::move(bytes.status);
    }
    return opened;
}

Status ProfileFile::save() {
    AtomicWrite write;
    Status status = prepareSave(write);
    if (!status.ok()) {
        stamp_.reset();
        return status;
    }
    return commitSave(write);
}

Status ProfileFile::prepareSave(AtomicWrite& write) const {
    if (!document_.changed()) {
        return Status::success();
    }
    return write.prepare(path_, document_.pieces());
}

Status ProfileFile::commitSave(AtomicWrite& write) {
    if (!write.prepared()) {
        return Status::success(); // nothing changed
    }
    FileStamp written;
    Status status = write.commit(&written);
    if (status.ok()) {
        document_.markSaved();
        stamp_ = written;
    } else {
        stamp_.reset();
    }
    return status;
}

std::string readProfileString(const std::string& path, std::string_view section, std::string_view key) {
    const Result<ProfileFile> file = ProfileFile::open(path);
    return file.ok() ? file.value.document().get(section, key) : std::string();
}

Status writeProfileString(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view value) {
    Result<ProfileFile> file = ProfileFile::open(path);
    if (!file.ok()) {
        return file.status;
    }
    file.value.document().set(section, key, valueReadingBackAs(value));
    return file.value.save();
}

} // namespace parlavo
