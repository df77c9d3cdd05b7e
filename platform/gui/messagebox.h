#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace parlavo {

enum class MessageIcon { None, Information, Warning, Error };

// Every message box of the program goes through here: a modal box with one OK button (Enter accepts).
// Returns the box's answer (1 for OK).
int showMessageBox(QWidget* parent, std::string_view caption, std::string_view text, MessageIcon icon);

// A question with Yes and No buttons, No the default (Enter and Escape answer No). True for Yes;
// a hook answers it like any box, kAnswerYes meaning Yes.
inline constexpr int kAnswerYes = 6;
bool askQuestion(QWidget* parent, std::string_view caption, std::string_view text);

// Tests answer message boxes instead of showing them: while a hook is set, it is called in place of
// the box and its result is returned. An empty function removes the hook.
using MessageBoxHook = std::function<int(std::string_view caption, std::string_view text, MessageIcon icon)>;
void setMessageBoxHook(MessageBoxHook hook);

// While one lives, the mouse pointer shows that the program is busy (a load of large files takes a
// moment). A message box shown meanwhile has the usual pointer until it closes.
class BusyPointer {
  public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// What the message boxes showed (or would have shown), oldest first; kept for tests.
struct ShownMessage {
    std::string caption;
    std::string text;
    MessageIcon icon = MessageIcon::None;
};
const std::vector<ShownMessage>& shownMessages();
void clearShownMessages();

} // namespace parlavo
