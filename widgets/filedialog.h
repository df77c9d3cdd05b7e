#pragma once

#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace parlavo {

// What the open-file dialog is asked to show.
struct FileDialogRequest {
    QWidget* owner = nullptr;
    std::string title;      // empty: the platform's caption
    std::string fileName;   // the path shown when the dialog opens
    std::string initialDir; // empty: the current directory
    QStringList nameFilters;
    std::string defaultExt;    // added to a typed name without an extension; empty: none
    bool allowNewFile = false; // a name that does not exist yet is accepted after asking
};

// The dialog: the chosen path, or nothing when the user cancelled.
using FileDialog = std::function<std::optional<std::string>(const FileDialogRequest& request)>;
// Tests answer the dialog with their own function; an empty function restores the real dialog.
void setFileDialogHook(FileDialog hook);

// The filter text "description|pattern|description|pattern|" as name filters that show each
// description as written and match its patterns ("*.*" matches every file, ";" separates patterns).
QStringList nameFiltersFromText(std::string_view filter);

// Lets the user pick a file. On confirmation fileName becomes the chosen path, the chosen file's
// folder becomes the current directory (and with it the settings file's folder) and the result is
// true; on cancel fileName is left as it was and the result is false.
bool openFileDialog(QWidget* owner, std::string_view title, std::string& fileName,
                    std::string_view initialDir, std::string_view filter, std::string_view defaultExt,
                    bool allowNewFile);

} // namespace parlavo
