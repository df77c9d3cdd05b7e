#include "platform/files.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace parlavo {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::withCurrentDirectory;

TEST(Files, UsableFilesAreVisibleRegularFiles) {
    TempDir folder;
    const std::string plain = folder.write("English.lng", "[A]\n");
    const std::string hidden = folder.write(".English.lng", "[A]\n");
    fs::create_directory(folder.file("lang.lng"));
    EXPECT_TRUE(isUsableFile(plain));
    EXPECT_FALSE(isUsableFile(hidden));
    EXPECT_FALSE(isUsableFile(folder.file("lang.lng")));
    EXPECT_FALSE(isUsableFile(folder.file("missing.lng")));
    EXPECT_TRUE(fileExists(folder.file("lang.lng")));
    EXPECT_FALSE(fileExists(folder.file("missing.lng")));
    EXPECT_TRUE(canReadFile(plain));
    EXPECT_FALSE(canReadFile(folder.file("lang.lng")));
    EXPECT_FALSE(canReadFile(folder.file("missing.lng")));
}

TEST(Files, SameFileUnderDifferentNames) {
    TempDir folder;
    const std::string english = folder.write("English.lng", "x");
    const std::string other = folder.write("Translated.lng", "x");
    fs::create_directory(folder.file("sub"));
    fs::create_hard_link(english, folder.file("hard.lng"));
    withCurrentDirectory inFolder(folder.path() / "sub");
    EXPECT_TRUE(isSameFile(english, "../English.lng"));
    EXPECT_TRUE(isSameFile(english, folder.file("sub/../English.lng")));
    EXPECT_TRUE(isSameFile(english, folder.file("hard.lng")));
    EXPECT_FALSE(isSameFile(english, other));
    EXPECT_FALSE(isSameFile(english, folder.file("missing.lng")));
    EXPECT_FALSE(isSameFile(folder.file("missing.lng"), folder.file("missing.lng")));
}

TEST(Files, ReplaceableWhenTheFolderExists) {
    TempDir folder;
    EXPECT_TRUE(canReplaceFile(folder.file("new.lng")));
    EXPECT_TRUE(canReplaceFile(folder.write("old.lng", "x")));
    EXPECT_FALSE(canReplaceFile(folder.file("absent/new.lng")));
    fs::create_directory(folder.file("folder.lng"));
    EXPECT_FALSE(canReplaceFile(folder.file("folder.lng")));
    withCurrentDirectory inFolder(folder.path());
    EXPECT_TRUE(canReplaceFile("relative.lng"));
    EXPECT_EQ(fs::path(currentDirectory()), fs::current_path());
    EXPECT_EQ(pathSeparator(), '/');
}

TEST(Files, ReadWholeFileGivesEveryByteOrSaysWhy) {
    TempDir folder;
    std::string bytes(200000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7);
    }
    folder.write("big.bin", bytes);
    EXPECT_EQ(readWholeFile(folder.file("big.bin")), bytes);
    std::string error;
    EXPECT_EQ(readWholeFile(folder.file("missing.lng"), &error), std::nullopt);
    EXPECT_NE(error.find("missing.lng"), std::string::npos) << error;
}

} // namespace
} // namespace parlavo
