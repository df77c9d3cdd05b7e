#pragma once

#include "app/appstate.h"
#include "app/mainwindowproc.h"
#include "lang/languagefile.h"
#include "lang/profile.h"
#include "platform/clock.h"
#include "platform/gui/fileviewwidget.h"
#include "platform/gui/mainwindow.h"
#include "platform/gui/messagebox.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace parlavo::test {

// The real main window with its handler, in a fresh working folder ".../lang" (so the default-path
// rule names English.lng and Translated.lng there). Message boxes are answered with OK and recorded.
class AppWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.isValid());
        ASSERT_TRUE(QDir(temp_.path()).mkdir("lang"));
        previousDirectory_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(temp_.path() + "/lang"));
        clearShownMessages();
        setMessageBoxHook([](std::string_view, std::string_view, MessageIcon) { return 1; });
        state.clock = &clock;
        clock.set(1000);
    }
    void TearDown() override {
        window_.reset();
        setMessageBoxHook({});
        clearShownMessages();
        QDir::setCurrent(previousDirectory_);
    }

    // The working folder (settings file, language files) and its files.
    std::string folder() const { return (temp_.path() + "/lang").toStdString(); }
    std::string file(std::string_view name) const { return folder() + "/" + std::string(name); }
    void writeFile(std::string_view name, std::string_view bytes) const {
        std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(out.good()) << "cannot write " << name;
    }
    std::string readFile(std::string_view name) const {
        std::ifstream in(file(name), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    void copyData(std::string_view dataPath, std::string_view name) const { // from tests/data
        std::filesystem::copy_file(std::filesystem::path(PARLAVO_TEST_DATA_DIR) / dataPath, file(name),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    std::string setting(std::string_view key) const { // [Settings] of Parlavo.ini
        return readProfileString(file("Parlavo.ini"), "Settings", key);
    }
    std::string translatedValue(std::string_view section, std::string_view key) const {
        return readProfileString(file("Translated.lng"), section, key);
    }
    // The value on a line (1-based) of the Translated file, as the language-file reader sees it.
    std::string translatedLineValue(int line) const {
        const LanguageFile translated = parseLanguageFile(readFile("Translated.lng"));
        const bool exists = line >= 1 && line <= static_cast<int>(translated.lines.size());
        return exists ? std::string(translated.lines[static_cast<std::size_t>(line - 1)].value())
                      : "<no line>";
    }

    void openWindow() {
        window_ = std::make_unique<MainWindow>(
            [this](MainWindow& target, Message& message) { return mainWindowProc(target, state, message); });
        window_->start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get(), 5000));
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get(), 5000));
    }
    void openAndLoad() { // opens the window and presses "Load Files", which must start a pass
        openWindow();
        click(loadButton());
        ASSERT_TRUE(panelShown()) << lastMessageText();
    }
    void closeWindowIfOpen() { window_.reset(); }
    MainWindow& window() { return *window_; }

    template <class T> T* find(const char* name) const {
        T* widget = window_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << "no control named " << name;
        return widget;
    }
    QLineEdit* englishPath() const { return find<QLineEdit>("englishPath"); }
    QLineEdit* translatedPath() const { return find<QLineEdit>("translatedPath"); }
    QLineEdit* translation() const { return find<QLineEdit>("translation"); }
    QPushButton* loadButton() const { return find<QPushButton>("loadFiles"); }
    QPushButton* okButton() const { return find<QPushButton>("ok"); }
    QPushButton* backButton() const { return find<QPushButton>("back"); }
    FileViewWidget* view() const { return find<FileViewWidget>("fileView"); }
    std::string heading() const { return window_->controlText(ctl::Heading); }
    std::string source() const { return window_->controlText(ctl::Source); }
    std::string title() const { return window_->windowTitle().toStdString(); }
    bool panelShown() const {
        return !translation()->isHidden() && !okButton()->isHidden() && !backButton()->isHidden() &&
               !find<QLabel>("heading")->isHidden();
    }

    // Keyboard and mouse, as a user would use them.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : window_.get(), key, modifiers);
    }
    // Letters beyond ASCII arrive as key events that carry only their text, as from an input method.
    void type(const QString& text) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window_.get();
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(target, c.toLatin1());
            } else {
                QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        }
    }
    bool tabTo(QWidget* target) { // Tab until target has the focus (bounded)
        for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i) {
            press(Qt::Key_Tab);
        }
        return QApplication::focusWidget() == target;
    }
    void click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void setPaths(const std::string& english, const std::string& translated) {
        englishPath()->setText(QString::fromStdString(english));
        translatedPath()->setText(QString::fromStdString(translated));
    }
    // Types an answer into the translation box (replacing the selected pre-fill) and presses Enter.
    void answer(const QString& text) {
        ASSERT_EQ(QApplication::focusWidget(), translation());
        text.isEmpty() ? press(Qt::Key_Delete) : type(text);
        press(Qt::Key_Return);
    }

    std::vector<ShownMessage> messages() const { return shownMessages(); }
    std::string lastMessageText() const {
        const std::vector<ShownMessage>& shown = shownMessages();
        return shown.empty() ? std::string() : shown.back().caption + ": " + shown.back().text;
    }

    ManualClock clock;
    AppState state;

  private:
    QTemporaryDir temp_;
    QString previousDirectory_;
    std::unique_ptr<MainWindow> window_;
};

inline constexpr std::string_view kAllDoneCaption = "All Done! :)";
inline constexpr std::string_view kAllDoneText = "There is nothing new to translate.";

} // namespace parlavo::test
