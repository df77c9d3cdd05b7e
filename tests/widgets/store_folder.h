#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace parlavo::test {

// The custom colour store of one test: a folder of its own, so that tests running side by side
// (ctest -j) never see each other's colours, and none sees the user's.
class StoreFolder {
  public:
    StoreFolder() {
        EXPECT_TRUE(folder_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder_.path());
    }
    ~StoreFolder() {
        const QString shared = QString::fromUtf8(PARLAVO_TEST_HOME) + QStringLiteral("/config");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, shared);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, shared);
    }
    QString path() const { return folder_.path(); }

  private:
    QTemporaryDir folder_;
};

} // namespace parlavo::test
