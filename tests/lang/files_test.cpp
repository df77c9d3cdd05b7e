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
    EXPECT_EQ(readWholeFile(folder.file("big.bin")).valueOr("<unreadable>"), bytes);
    const Result<std::string> missing = readWholeFile(folder.file("missing.lng"));
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.status.error.find("missing.lng"), std::string::npos) << missing.status.error;
}

} // namespace
} // namespace parlavo
