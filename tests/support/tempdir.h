#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

namespace parlavo::test {

// A folder of its own under the system's temporary folder, removed with everything in it at the end.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "parlavo-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder from " + pattern);
        }
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The full path of a file in the folder (the file need not exist).
    std::string file(std::string_view name) const { return (path_ / name).string(); }
    // Writes bytes to a file in the folder (replacing it) and returns its full path.
    std::string write(std::string_view name, std::string_view bytes) const {
        const std::string target = file(name);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            throw std::runtime_error("cannot write " + target);
        }
        return target;
    }
    // The file's bytes; "" when it cannot be read.
    std::string read(std::string_view name) const {
        std::ifstream in(file(name), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

  private:
    std::filesystem::path path_;
};

// Every file of the folder (recursively) with its bytes ("<folder>" for folders), to show that
// nothing was created or changed.
inline std::map<std::string, std::string> snapshot(const TempDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
        const std::string name = std::filesystem::relative(entry.path(), dir.path()).string();
        files[name] = entry.is_regular_file() ? dir.read(name) : "<folder>";
    }
    return files;
}

// Runs work as an ordinary user and returns its result. Permission bits do not stop root, so as root
// the work runs in a child process that has given up its privileges (the folder is opened to all).
inline std::string asOrdinaryUser(const TempDir& dir, const std::function<std::string()>& work) {
    if (geteuid() != 0) {
        return work();
    }
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    int channel[2];
    if (pipe(channel) != 0) {
        return "<no pipe>";
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0) {
            _exit(3);
        }
        const std::string result = work();
        const bool written = write(channel[1], result.data(), result.size()) == ssize_t(result.size());
        _exit(written ? 0 : 4);
    }
    close(channel[1]);
    std::string result;
    char buffer[256];
    for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;) {
        result.append(buffer, std::size_t(got));
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : "<child failed>";
}

// Makes a folder the current directory for its lifetime, then goes back to the previous one.
class withCurrentDirectory {
  public:
    explicit withCurrentDirectory(const std::filesystem::path& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~withCurrentDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    withCurrentDirectory(const withCurrentDirectory&) = delete;
    withCurrentDirectory& operator=(const withCurrentDirectory&) = delete;

  private:
    std::filesystem::path previous_;
};

} // namespace parlavo::test
