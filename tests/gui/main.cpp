// The widget tests' main: Qt on the offscreen platform unless told otherwise, with configuration and
// runtime folders inside the build tree so that no test touches the user's own.

#include <QApplication>
#include <QByteArray>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string makeFolder(const std::filesystem::path& path, std::filesystem::perms perms) {
    std::filesystem::create_directories(path);
    std::filesystem::permissions(path, perms);
    return path.string();
}

} // namespace

int main(int argc, char** argv) {
    using std::filesystem::perms;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const std::filesystem::path home(PARLAVO_TEST_HOME);
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(makeFolder(home / "config", perms::owner_all)));
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(makeFolder(home / "runtime", perms::owner_all)));
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
