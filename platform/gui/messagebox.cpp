#include "platform/gui/messagebox.h"

#include "platform/gui/bytetext.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace parlavo {

namespace {

struct MessageBoxLog {
    MessageBoxHook hook;
    std::vector<ShownMessage> shown;
};

MessageBoxLog& log() {
    static MessageBoxLog instance;
    return instance;
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The usual pointer over a box shown while the program is busy, until the box closes.
class PointerForBox {
  public:
    PointerForBox() : busy_(QGuiApplication::overrideCursor() != nullptr) {
        if (busy_) {
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
        }
    }
    ~PointerForBox() {
        if (busy_) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
    PointerForBox(const PointerForBox&) = delete;
    PointerForBox& operator=(const PointerForBox&) = delete;

  private:
    bool busy_;
};

} // namespace

BusyPointer::BusyPointer() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyPointer::~BusyPointer() {
    QGuiApplication::restoreOverrideCursor();
}

int showMessageBox(QWidget* parent, std::string_view caption, std::string_view text, MessageIcon icon) {
    const PointerForBox pointer;
    log().shown.push_back({std::string(caption), std::string(text), icon});
    if (log().hook) {
        return log().hook(caption, text, icon);
    }
    QMessageBox box(qtIcon(icon), bytesToDisplay(caption), bytesToDisplay(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    return 1;
}

bool askQuestion(QWidget* parent, std::string_view caption, std::string_view text) {
    const PointerForBox pointer;
    log().shown.push_back({std::string(caption), std::string(text), MessageIcon::Warning});
    if (log().hook) {
        return log().hook(caption, text, MessageIcon::Warning) == kAnswerYes;
    }
    QMessageBox box(QMessageBox::Warning, bytesToDisplay(caption), bytesToDisplay(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void setMessageBoxHook(MessageBoxHook hook) {
    log().hook = std::move(hook);
}

const std::vector<ShownMessage>& shownMessages() {
    return log().shown;
}

void clearShownMessages() {
    log().shown.clear();
}

} // namespace parlavo
