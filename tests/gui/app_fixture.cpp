#include "app_fixture.h"

#include "app/mainwindowproc.h"
#include "lang/settings.h"
#include "lang/languagefile.h"
#include "lang/profile.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <QTextCursor>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace parlavo::test {

QTextCharFormat formatAt(const FileViewWidget& view, int position) {
    QTextCursor cursor(view.document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

bool dropUrls(QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    return dropped.isAccepted();
}

void AppWindowTest::SetUp() {
    ASSERT_TRUE(temp_.isValid());
    ASSERT_TRUE(QDir(temp_.path()).mkdir("lang"));
    previousDirectory_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(temp_.path() + "/lang"));
    clearShownMessages();
    setMessageBoxHook([](std::string_view, std::string_view, MessageIcon) { return 1; });
    state.clock = &clock;
    clock.set(1000);
}

void AppWindowTest::TearDown() {
    window_.reset();
    setMessageBoxHook({});
    clearShownMessages();
    QDir::setCurrent(previousDirectory_);
}

std::string AppWindowTest::folder() const {
    return (temp_.path() + "/lang").toStdString();
}

std::string AppWindowTest::file(std::string_view name) const {
    return folder() + "/" + std::string(name);
}

void AppWindowTest::writeFile(std::string_view name, std::string_view bytes) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << name;
}

std::string AppWindowTest::readFile(std::string_view name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void AppWindowTest::copyData(std::string_view dataPath, std::string_view name) const {
    const std::filesystem::path from = std::filesystem::path(PARLAVO_TEST_DATA_DIR) / dataPath;
    std::filesystem::copy_file(from, file(name), std::filesystem::copy_options::overwrite_existing);
}

std::string AppWindowTest::setting(std::string_view key) const {
    return readProfileString(file("Parlavo.ini"), "Settings", key);
}

std::string AppWindowTest::translatedValue(std::string_view section, std::string_view key) const {
    return readProfileString(file("Translated.lng"), section, key);
}

std::string AppWindowTest::translatedLineValue(int line) const {
    const LanguageFile translated = parseLanguageFile(readFile("Translated.lng"));
    if (line < 1 || line > static_cast<int>(translated.lines.size())) {
        return "<no line " + std::to_string(line) + ">";
    }
    return translated.lines[static_cast<std::size_t>(line - 1)].value;
}

void AppWindowTest::openWindow() {
    window_ = std::make_unique<MainWindow>(
        [this](MainWindow& target, Message& message) { return mainWindowProc(target, state, message); });
    window_->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get(), 5000));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get(), 5000));
}

void AppWindowTest::openAndLoad() {
    openWindow();
    click(loadButton());
    ASSERT_TRUE(panelShown()) << lastMessageText();
}

void AppWindowTest::closeWindowIfOpen() {
    window_.reset();
}

std::string AppWindowTest::heading() const {
    return window_->controlText(1014);
}

std::string AppWindowTest::source() const {
    return window_->controlText(1012);
}

std::string AppWindowTest::title() const {
    return window_->windowTitle().toStdString();
}

bool AppWindowTest::panelShown() const {
    return !translation()->isHidden() && !okButton()->isHidden() && !backButton()->isHidden() &&
           !find<QLabel>("heading")->isHidden();
}

void AppWindowTest::press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : window_.get(), key, modifiers);
}

// Letters beyond ASCII arrive as key events that carry only their text, as from an input method.
void AppWindowTest::type(const QString& text) {
    QWidget* target = QApplication::focusWidget();
    target = target ? target : window_.get();
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(target, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

bool AppWindowTest::tabTo(QWidget* target) {
    for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i) {
        press(Qt::Key_Tab);
    }
    return QApplication::focusWidget() == target;
}

void AppWindowTest::click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

void AppWindowTest::setPaths(const std::string& english, const std::string& translated) {
    englishPath()->setText(QString::fromStdString(english));
    translatedPath()->setText(QString::fromStdString(translated));
}

void AppWindowTest::answer(const QString& text) {
    ASSERT_EQ(QApplication::focusWidget(), translation());
    if (text.isEmpty()) {
        press(Qt::Key_Delete);
    } else {
        type(text);
    }
    press(Qt::Key_Return);
}

std::string AppWindowTest::lastMessageText() const {
    const std::vector<ShownMessage>& shown = shownMessages();
    return shown.empty() ? std::string() : shown.back().caption + ": " + shown.back().text;
}

} // namespace parlavo::test
