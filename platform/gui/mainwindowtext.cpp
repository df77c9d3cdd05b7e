// Byte-exact control texts: a control returns the bytes it was given for as long as its text is still
// the one they were shown as and the user has not edited it.

#include "platform/gui/mainwindow.h"

#include "platform/gui/bytetext.h"
#include "platform/gui/mainwindowcontrols.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace parlavo {

namespace {

QString shownText(const QWidget* widget) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->text();
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        return combo->currentText();
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text();
    }
    return widget->windowTitle();
}

// Puts the text into the control; returns whether the control reported the change itself.
bool showText(QWidget* widget, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        const bool changes = edit->text() != text;
        edit->setText(text);
        edit->setCursorPosition(0);
        return changes;
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const bool changes = combo->currentText() != text;
        if (combo->isEditable()) {
            combo->setEditText(text);
            return changes;
        }
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
        return true; // a list without a text field has no edit notification
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
        button->update();
    } else {
        widget->setWindowTitle(text);
    }
    return true;
}

} // namespace

std::string MainWindow::controlText(int id) const {
    const QWidget* widget = id == 0 ? this : control(id);
    if (!widget) {
        return {};
    }
    const QString current = shownText(widget);
    const auto exact = controls_->texts.find(id);
    if (exact != controls_->texts.end() && !exact->second.userChanged && exact->second.shown == current) {
        return exact->second.bytes;
    }
    return displayToBytes(current);
}

// Id 0 is the window itself: its title.
void MainWindow::setControlText(int id, std::string_view bytes) {
    QWidget* widget = id == 0 ? this : control(id);
    if (!widget) {
        return;
    }
    Controls::ExactText& exact = controls_->texts[id];
    exact.bytes.assign(bytes);
    exact.shown = bytesToDisplay(bytes);
    exact.userChanged = false;
    if (!showText(widget, exact.shown)) {
        // The same text shown again: a program's text change still notifies, as typing would.
        const bool isEdit = qobject_cast<QLineEdit*>(widget) != nullptr;
        notify(id, isEdit ? notify::EditChange : notify::ComboEditChange);
    }
}

} // namespace parlavo
