// The main window's Qt events and signals, turned into messages for the handler.

#include "platform/gui/mainwindow.h"

#include "platform/gui/mainwindowcontrols.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QWindowStateChangeEvent>

namespace parlavo {

namespace {

// The buttons that report focus changes (the others only report clicks).
bool notifiesFocus(int id) {
    return id == ctl::LoadFiles || id == ctl::Ok;
}

SizeKind sizeKindOf(Qt::WindowStates states) {
    if (states & Qt::WindowMinimized) {
        return SizeKind::Minimized;
    }
    if (states & Qt::WindowMaximized) {
        return SizeKind::Maximized;
    }
    return SizeKind::Restored;
}

} // namespace

int MainWindow::sendMessage(Message& message) {
    if (!handler_) {
        return 0;
    }
    return handler_(*this, message);
}

void MainWindow::notify(int id, int code) {
    Message message;
    message.kind = MessageKind::Command;
    message.controlId = id;
    message.code = code;
    sendMessage(message);
}

void MainWindow::connectNotifications() {
    const auto shortcut = [this](const QKeySequence& keys, int id, int code) {
        auto* action = new QShortcut(keys, this);
        action->setContext(Qt::WindowShortcut);
        connect(action, &QShortcut::activated, this, [this, id, code] { notify(id, code); });
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_F), ctl::Search, notify::SearchOpen);
    shortcut(QKeySequence(Qt::Key_F3), ctl::Search, notify::SearchNext);
    for (int n = 0; n < 3; ++n) {
        shortcut(QKeySequence(Qt::ALT | (Qt::Key_1 + n)), ctl::Suggestions, notify::PickSuggestion1 + n);
    }
    for (const auto& [id, widget] : controls_->inOrder) {
        const int controlId = id;
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            connect(edit, &QLineEdit::textChanged, this,
                    [this, controlId] { notify(controlId, notify::EditChange); });
            connect(edit, &QLineEdit::textEdited, this,
                    [this, controlId] { controls_->texts[controlId].userChanged = true; });
            edit->installEventFilter(this);
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            connect(combo, &QComboBox::currentIndexChanged, this,
                    [this, controlId] { notify(controlId, notify::ComboSelChange); });
            if (QLineEdit* field = combo->lineEdit()) {
                connect(combo, &QComboBox::editTextChanged, this,
                        [this, controlId] { notify(controlId, notify::ComboEditChange); });
                connect(field, &QLineEdit::textEdited, this,
                        [this, controlId] { controls_->texts[controlId].userChanged = true; });
            }
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            connect(button, &QPushButton::clicked, this,
                    [this, controlId] { notify(controlId, notify::Clicked); });
            button->installEventFilter(this);
        }
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    const int id = controlId(widget);
    if (id == 0) {
        return QDialog::eventFilter(watched, event);
    }
    const bool isEdit = qobject_cast<QLineEdit*>(widget) != nullptr;
    switch (event->type()) {
    case QEvent::FocusIn:
        if (isEdit || notifiesFocus(id)) {
            notify(id, isEdit ? notify::EditSetFocus : notify::ButtonSetFocus);
        }
        break;
    case QEvent::FocusOut:
        if (isEdit || notifiesFocus(id)) {
            notify(id, isEdit ? notify::EditKillFocus : notify::ButtonKillFocus);
        }
        break;
    case QEvent::KeyPress: {
        // Enter on a focused push button presses that button, as in a dialog; an owner-drawn button
        // passes Enter on to the default button.
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* button = qobject_cast<QPushButton*>(widget);
        const bool plainButton = button && button->metaObject() == &QPushButton::staticMetaObject;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (id == ctl::Search && (enter || key->key() == Qt::Key_Escape)) {
            notify(id,
                   enter ? notify::SearchEnter : notify::SearchCancel); // not the dialog's Enter or Escape
            return true;
        }
        if (enter && plainButton && !button->isDefault() &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            button->click();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

// What the dialog engine does before the window is first shown: the initialisation, a first size
// message (the layout), the size limit, and the focus on the first control.
void MainWindow::prepareToShow() {
    ending_ = false;
    Message init;
    init.kind = MessageKind::InitDialog;
    sendMessage(init);
    sendSize();
    applyMinimumSize();
    if (!focusWidget()) {
        focusControl(ctl::EnglishPath);
    }
}

// A handler that ends the dialog while it is being prepared leaves it unshown.
void MainWindow::start() {
    prepareToShow();
    if (!ending_) {
        show();
    }
}

int MainWindow::run() {
    prepareToShow();
    return ending_ ? result() : exec();
}

void MainWindow::applyMinimumSize() {
    Message query;
    query.kind = MessageKind::GetMinMaxInfo;
    sendMessage(query);
    if (query.minTrackWidth <= 0 || query.minTrackHeight <= 0) {
        return;
    }
    // The answer is an outer size; the minimum that Qt takes is the client's.
    const QSize frame = frameGeometry().size() - size();
    setMinimumSize(std::max(0, query.minTrackWidth - frame.width()),
                   std::max(0, query.minTrackHeight - frame.height()));
}

void MainWindow::sendSize() {
    Message message;
    message.kind = MessageKind::Size;
    message.sizeKind = sizeKindOf(windowState());
    if (message.sizeKind != SizeKind::Minimized) {
        message.width = width();
        message.height = height();
    }
    if (controls_->sizeSent && controls_->lastSize.sizeKind == message.sizeKind &&
        controls_->lastSize.width == message.width && controls_->lastSize.height == message.height) {
        return; // no change since the last size message
    }
    controls_->sizeSent = true;
    controls_->lastSize = message;
    sendMessage(message);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    sendSize();
}

void MainWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        sendSize();
    } else if (event->type() == QEvent::ActivationChange) {
        Message message;
        message.kind = MessageKind::NcActivate;
        message.active = isActiveWindow();
        sendMessage(message);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ending_) {
        event->accept();
        return;
    }
    // The close box, Alt+F4 or a close from outside: the handler decides (it ends the dialog).
    event->ignore();
    Message message;
    message.kind = MessageKind::SysCommand;
    message.sysCommand = kSysCommandClose;
    const int result = sendMessage(message);
    if (result == 0 && !ending_) {
        endDialog(0); // the default handling of a close command
    }
    if (ending_) {
        event->accept();
    }
}

void MainWindow::reject() {
    notify(ctl::Cancel, notify::Clicked);
}

void MainWindow::endDialog(int result) {
    if (ending_) {
        return;
    }
    ending_ = true;
    Message message;
    message.kind = MessageKind::Close;
    sendMessage(message);
    done(result);
}

} // namespace parlavo
