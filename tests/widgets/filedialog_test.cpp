// The open-file dialog: its filters, and what a pick or a cancel leaves behind.
#include "widgets/filedialog.h"

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

namespace parlavo {
namespace {

constexpr char kFilter[] = "LNG files (*.lng)|*.lng|All files (*.*)|*.*|";

class FileDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        previous = std::filesystem::current_path();
        std::filesystem::current_path(temp.path().toStdString());
    }
    void TearDown() override {
        setFileDialogHook({});
        std::filesystem::current_path(previous);
    }
    QTemporaryDir temp;
    std::filesystem::path previous;
};

TEST_F(FileDialogTest, FilterPairsShowTheirDescriptionAndMatchTheirPatterns) {
    EXPECT_EQ(nameFiltersFromText(kFilter), (QStringList{QStringLiteral("LNG files (*.lng) (*.lng)"),
                                                         QStringLiteral("All files (*.*) (*)")}));
    EXPECT_EQ(nameFiltersFromText("Text|*.txt;*.lng"), QStringList{QStringLiteral("Text (*.txt *.lng)")});
    EXPECT_TRUE(nameFiltersFromText("").isEmpty());
}

TEST_F(FileDialogTest, CancelKeepsTheNameAndTheFolder) {
    FileDialogRequest asked;
    setFileDialogHook([&](const FileDialogRequest& request) {
        asked = request;
        return std::nullopt;
    });
    std::string name = "/somewhere/Translated.lng";
    EXPECT_FALSE(openFileDialog(nullptr, "", name, "", kFilter, "lng", true));
    EXPECT_EQ(name, "/somewhere/Translated.lng");
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(temp.path().toStdString()));
    // The dialog was asked with the name, the current folder, both filter pairs and the extension.
    EXPECT_EQ(asked.fileName, "/somewhere/Translated.lng");
    EXPECT_EQ(asked.initialDir, std::filesystem::current_path().string());
    EXPECT_EQ(asked.nameFilters.size(), 2);
    EXPECT_EQ(asked.defaultExt, "lng");
    EXPECT_TRUE(asked.allowNewFile);
}

TEST_F(FileDialogTest, PickMakesTheFilesFolderTheCurrentOne) {
    ASSERT_TRUE(QDir(temp.path()).mkpath(QStringLiteral("other/lang")));
    const std::string chosen = temp.path().toStdString() + "/other/lang/Short.lng";
    setFileDialogHook([&](const FileDialogRequest&) { return std::optional<std::string>(chosen); });
    std::string name = temp.path().toStdString() + "/a much longer name than the chosen one.lng";
    EXPECT_TRUE(openFileDialog(nullptr, "Pick", name, "/", kFilter, "lng", false));
    EXPECT_EQ(name, chosen); // nothing of the longer name is left behind
    EXPECT_EQ(std::filesystem::current_path(),
              std::filesystem::path(temp.path().toStdString() + "/other/lang"));
}

} // namespace
} // namespace parlavo
