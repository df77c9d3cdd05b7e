#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace parlavo::test {

// A folder of its own under the system's temporary folder, removed with everything in it at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The full path of a file in the folder (the file need not exist).
    std::string file(std::string_view name) const;
    // Writes bytes to a file in the folder (replacing it) and returns its full path.
    std::string write(std::string_view name, std::string_view bytes) const;
    // The file's bytes; "" when it cannot be read.
    std::string read(std::string_view name) const;

  private:
    std::filesystem::path path_;
};

// Every file of the folder (recursively) with its bytes ("<folder>" for folders), to show that
// nothing was created or changed.
std::map<std::string, std::string> snapshot(const TempDir& dir);

// Runs work as an ordinary user and returns its result. Permission bits do not stop root, so as root
// the work runs in a child process that has given up its privileges (the folder is opened to all).
std::string asOrdinaryUser(const TempDir& dir, const std::function<std::string()>& work);

// Makes a folder the current directory for its lifetime, then goes back to the previous one.
class withCurrentDirectory {
  public:
    explicit withCurrentDirectory(const std::filesystem::path& folder);
    ~withCurrentDirectory();
    withCurrentDirectory(const withCurrentDirectory&) = delete;
    withCurrentDirectory& operator=(const withCurrentDirectory&) = delete;

  private:
    std::filesystem::path previous_;
};

} // namespace parlavo::test
