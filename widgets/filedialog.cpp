#include "widgets/filedialog.h"

#include "platform/gui/bytetext.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <filesystem>
#include <system_error>
#include <vector>

namespace parlavo {

namespace {

FileDialog& dialogHook() {
    static FileDialog hook;
    return hook;
}

std::vector<std::string_view> splitAtBars(std::string_view text) {
    std::vector<std::string_view> items;
    while (!text.empty()) {
        const std::size_t bar = text.find('|');
        items.push_back(text.substr(0, bar));
        if (bar == std::string_view::npos) {
            break;
        }
        text.remove_prefix(bar + 1);
    }
    return items;
}

QString qtPatterns(std::string_view pattern) {
    QStringList patterns;
    for (const QString& one : bytesToDisplay(pattern).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = one.trimmed();
        patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    return patterns.join(QLatin1Char(' '));
}

// The create prompt: a name that does not exist yet is taken only when the user agrees.
bool agreesToNewFile(QWidget* owner, const QString& path, const QString& title) {
    const QString text = path + QStringLiteral("\nThis file does not exist.\nDo you want to create it?");
    return QMessageBox::question(owner, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<std::string> runFileDialog(const FileDialogRequest& request) {
    QFileDialog dialog(request.owner, bytesToDisplay(request.title), bytesToDisplay(request.initialDir));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.allowNewFile ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(request.nameFilters);
    dialog.setDefaultSuffix(bytesToDisplay(request.defaultExt));
    if (!request.fileName.empty()) {
        dialog.selectFile(bytesToDisplay(request.fileName));
    }
    while (dialog.exec() == QDialog::Accepted) {
        const QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty()) {
            break;
        }
        if (QFileInfo::exists(chosen.front()) ||
            agreesToNewFile(&dialog, chosen.front(), dialog.windowTitle())) {
            return displayToBytes(chosen.front());
        }
    }
    return std::nullopt;
}

} // namespace

void setFileDialogHook(FileDialog hook) {
    dialogHook() = std::move(hook);
}

QStringList nameFiltersFromText(std::string_view filter) {
    const std::vector<std::string_view> items = splitAtBars(filter);
    QStringList filters;
    for (std::size_t at = 0; at + 1 < items.size(); at += 2) {
        filters << bytesToDisplay(items[at]) + QStringLiteral(" (") + qtPatterns(items[at + 1]) +
                       QLatin1Char(')');
    }
    return filters;
}

bool openFileDialog(QWidget* owner, std::string_view title, std::string& fileName,
                    std::string_view initialDir, std::string_view filter, std::string_view defaultExt,
                    bool allowNewFile) {
    FileDialogRequest request;
    request.owner = owner;
    request.title = title;
    request.fileName = fileName;
    std::error_code error;
    request.initialDir =
        initialDir.empty() ? std::filesystem::current_path(error).string() : std::string(initialDir);
    request.nameFilters = nameFiltersFromText(filter);
    request.defaultExt = defaultExt;
    request.allowNewFile = allowNewFile;

    const FileDialog& hook = dialogHook();
    const std::optional<std::string> chosen = hook ? hook(request) : runFileDialog(request);
    if (!chosen || chosen->empty()) {
        return false;
    }
    fileName = *chosen;
    const std::filesystem::path folder =
        std::filesystem::absolute(std::filesystem::path(fileName), error).parent_path();
    if (!folder.empty()) {
        std::filesystem::current_path(folder, error);
    }
    return true;
}

} // namespace parlavo
