#pragma once

#include "platform/gui/mainwindow.h"

#include <functional>
#include <string>
#include <vector>

namespace parlavo::test {

// A main window whose handler records every message (with the text the control held at that
// moment) and can be given a reaction per message.
struct RecordedMessage {
    Message message;
    std::string text; // controlText of the message's control, read inside the handler
};

class WindowRecorder {
  public:
    WindowRecorder()
        : window([this](MainWindow& w, Message& m) {
              RecordedMessage recorded{m, {}};
              if (m.kind == MessageKind::Command && m.controlId != 0) {
                  recorded.text = w.controlText(m.controlId);
              }
              messages.push_back(recorded);
              return react ? react(w, m) : 0;
          }) {}

    std::vector<RecordedMessage> commands(int id, int code) const {
        std::vector<RecordedMessage> found;
        for (const RecordedMessage& recorded : messages) {
            if (recorded.message.kind == MessageKind::Command && recorded.message.controlId == id &&
                recorded.message.code == code) {
                found.push_back(recorded);
            }
        }
        return found;
    }
    std::vector<MessageKind> kinds() const {
        std::vector<MessageKind> found;
        for (const RecordedMessage& recorded : messages) {
            found.push_back(recorded.message.kind);
        }
        return found;
    }

    std::vector<RecordedMessage> messages;
    std::function<int(MainWindow&, Message&)> react;
    MainWindow window; // last: its handler uses the members above
};

} // namespace parlavo::test
