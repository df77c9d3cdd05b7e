#pragma once

#include "app/appstate.h"
#include "platform/clock.h"
#include "platform/gui/fileviewwidget.h"
#include "platform/gui/mainwindow.h"
#include "platform/gui/messagebox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>
#include <QTextCharFormat>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parlavo::test {

// The format of the view's character at a document position.
QTextCharFormat formatAt(const FileViewWidget& view, int position);
// Drops URLs on a control as the desktop does (enter, then drop); true when the drop was taken.
bool dropUrls(QWidget* target, const QList<QUrl>& urls);

// The real main window with its handler, in a fresh working folder ".../lang" (so the default-path
// rule names English.lng and Translated.lng there). Message boxes are answered with OK and recorded.
class AppWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The working folder (settings file, language files).
    std::string folder() const;
    std::string file(std::string_view name) const;
    void writeFile(std::string_view name, std::string_view bytes) const;
    std::string readFile(std::string_view name) const;
    void copyData(std::string_view dataPath, std::string_view name) const; // from tests/data
    std::string setting(std::string_view key) const;                       // [Settings] of Parlavo.ini
    std::string translatedValue(std::string_view section, std::string_view key) const;
    // The value on a line (1-based) of the Translated file, as the language-file reader sees it.
    std::string translatedLineValue(int line) const;

    void openWindow();
    void openAndLoad(); // opens the window and presses "Load Files", which must start a pass
    void closeWindowIfOpen();
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
    std::string heading() const;
    std::string source() const;
    std::string title() const;
    bool panelShown() const;

    // Keyboard and mouse, as a user would use them.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void type(const QString& text);
    bool tabTo(QWidget* target); // Tab until target has the focus (bounded)
    void click(QWidget* button);
    void setPaths(const std::string& english, const std::string& translated);
    // Types an answer into the translation box (replacing the selected pre-fill) and presses Enter.
    void answer(const QString& text);

    std::vector<ShownMessage> messages() const { return shownMessages(); }
    std::string lastMessageText() const;

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
