#include "platform/files.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace parlavo {
namespace {

using test::TempDir;

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
