#pragma once

#include "platform/status.h"

#include <optional>
#include <string>
#include <string_view>

namespace parlavo {

// Reads the whole file as bytes. Empty optional when it cannot be read (error says why).
std::optional<std::string> readWholeFile(const std::string& path, std::string* error = nullptr);

// Writes bytes to a temporary file in the target's folder, flushes it to disk and renames it over
// the target, keeping the target's permissions. A crash at any moment leaves the old or the new
// content, never a partial file. A missing folder is a failure.
Status writeFileAtomically(const std::string& path, std::string_view bytes);

// Copies a file atomically (same guarantees as writeFileAtomically for the copy). A symbolic link at
// to is written through (Follow: the file it points to is replaced) or replaced by the copy.
enum class LinkHandling { Follow, Replace };
Status copyFileAtomically(const std::string& from, const std::string& to,
                          LinkHandling links = LinkHandling::Follow);

bool fileExists(const std::string& path);

// An existing regular file (not a folder, not hidden: its name does not start with a dot).
bool isUsableFile(const std::string& path);

// True when both paths name the same existing file (same device and inode).
bool isSameFile(const std::string& a, const std::string& b);

// True when the file exists and can be opened for reading.
bool canReadFile(const std::string& path);

// True when an atomic write to path can succeed: the folder is writable, an existing file is
// writable by us, and a sticky folder (such as /tmp) lets us replace it (we own the file or the
// folder, or are root).
bool canReplaceFile(const std::string& path);

std::string currentDirectory();

// The platform's directory separator ('/' here).
char pathSeparator();

} // namespace parlavo
