// The real colour and file dialogs, answered the way a user would answer them.
#include "../gui/app_fixture.h"
#include "store_folder.h"

#include "widgets/colourchooser.h"
#include "widgets/filedialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

namespace parlavo::test {
namespace {

// Answers the modal dialogs that open, one step per dialog, in order. Each step names the kind of
// dialog it expects; anything still open after the steps (or after about five seconds) is rejected,
// so a test can never hang on a dialog.
class ModalScript {
  public:
    using Step = std::function<void(QWidget*)>;
    template <class Dialog> ModalScript& then(std::function<void(Dialog*)> step) {
        steps_.push_back([step](QWidget* widget) {
            auto* dialog = qobject_cast<Dialog*>(widget);
            if (dialog == nullptr) {
                return false;
            }
            step(dialog);
            return true;
        });
        return *this;
    }
    void start() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start();
    }
    bool finished() const { return next_ == steps_.size(); }

  private:
    void tick() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        if (next_ < steps_.size() && steps_[next_](modal)) {
            ++next_;
        } else if (++ticks_ > 250 || next_ == steps_.size()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        }
    }
    std::vector<std::function<bool(QWidget*)>> steps_;
    std::size_t next_ = 0;
    int ticks_ = 0;
    QTimer timer_;
};

// Types the name into the dialog's file name box and presses Enter, as a user does. (Typing in the
// focused box is what unselects the file the dialog opened with.)
void typeFileName(QFileDialog* dialog, const QString& name) {
    auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(box, nullptr);
    // Typed before the folder is read, the name could still lose to the file selected at the start.
    auto* files = dialog->findChild<QFileSystemModel*>();
    ASSERT_NE(files, nullptr);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return files->rowCount(files->index(dialog->directory().absolutePath())) > 0; }, 5000));
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog, 5000));
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, name);
    QTest::keyClick(box, Qt::Key_Return);
}

class RealDialogs : public AppWindowTest {
  protected:
    StoreFolder store;
};

TEST_F(RealDialogs, ColourDialogStartsFromTheSwatchAndStoredColoursKeepsTheUsersChangesAndCancelKeepsAll) {
    CustomColours stored{};
    stored[0] = 0x00FF00u;
    writeCustomColoursText(encodeCustomColours(stored));
    openWindow();
    window().setControlText(1016, "255");

    QColor shownAtStart;
    QColor slot1AtStart;
    ModalScript script;
    script
        .then<QColorDialog>([&](QColorDialog* dialog) {
            shownAtStart = dialog->currentColor();
            slot1AtStart = QColorDialog::customColor(0);
            QColorDialog::setCustomColor(2, QColor(0x12, 0x34, 0x56));
            dialog->setCurrentColor(QColor(0, 0, 255));
            dialog->accept();
        })
        .start();
    const std::optional<std::uint32_t> chosen = chooseColour(&window(), 0xFF);
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(shownAtStart, QColor(255, 0, 0));
    EXPECT_EQ(slot1AtStart, QColor(0, 255, 0));
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, 0xFF0000u);
    const CustomColours kept = decodeCustomColours(readCustomColoursText());
    EXPECT_EQ(kept[0], 0x00FF00u);
    EXPECT_EQ(kept[2], 0x563412u);

    // Cancelled: neither the swatch nor the stored colours change.
    const std::string storedText = readCustomColoursText();
    script.then<QColorDialog>([](QColorDialog* dialog) {
        QColorDialog::setCustomColor(0, QColor(1, 2, 3));
        dialog->setCurrentColor(QColor(0, 255, 0));
        dialog->reject();
    });
    EXPECT_FALSE(chooseColour(&window(), 0xFF).has_value());
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(readCustomColoursText(), storedText);
}

TEST_F(RealDialogs, FileDialogOffersBothFiltersAsksBeforeTakingANewNameAndCancelKeepsTheName) {
    openWindow();
    writeFile("Existing.lng", "[Main]\r\n");
    const std::string start = folder();
    QStringList filters;
    QString shownFolder;
    ModalScript script;
    script
        .then<QFileDialog>([&](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            shownFolder = dialog->directory().absolutePath();
            typeFileName(dialog, QStringLiteral("NewFile"));
        })
        .then<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::No)->click(); })
        .then<QFileDialog>([](QFileDialog* dialog) { typeFileName(dialog, QStringLiteral("NewFile")); })
        .then<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); })
        .start();
    std::string name; // nothing selected at the start, so the typed name is the only one
    EXPECT_TRUE(openFileDialog(&window(), "Select", name, start,
                               "LNG files (*.lng)|*.lng|All files (*.*)|*.*|", "lng", true));
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(filters.size(), 2);
    EXPECT_EQ(shownFolder.toStdString(), start);
    EXPECT_EQ(name, file("NewFile.lng"));                       // the default extension added
    EXPECT_FALSE(std::filesystem::exists(file("NewFile.lng"))); // asked for, not made

    // The given name is shown at the start; cancel keeps it and the current folder.
    QString shownName;
    script.then<QFileDialog>([&](QFileDialog* dialog) {
        shownName = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        dialog->reject();
    });
    name = file("Existing.lng");
    EXPECT_FALSE(openFileDialog(&window(), "", name, "/", "LNG files (*.lng)|*.lng|", "lng", false));
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(shownName, QStringLiteral("Existing.lng"));
    EXPECT_EQ(name, file("Existing.lng"));
    EXPECT_EQ(std::filesystem::current_path().string(), folder());
}

} // namespace
} // namespace parlavo::test
