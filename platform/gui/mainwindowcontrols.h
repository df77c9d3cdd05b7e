#pragma once

// Internal to the main window's implementation files.

#include "platform/gui/mainwindow.h"

#include <QFont>
#include <QString>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace parlavo {

struct MainWindow::Controls {
    // The bytes a control was given, returned while its text is still the one they were shown as.
    struct ExactText {
        std::string bytes;
        QString shown;
        bool userChanged = false;
    };

    std::vector<std::pair<int, QWidget*>> inOrder; // creation order
    std::unordered_map<int, QWidget*> byId;
    std::unordered_map<const QWidget*, int> idOf;
    std::map<int, ExactText> texts;
    QFont dialogFont;
    int baseX = 1; // dialog base units of the dialog font, pixels
    int baseY = 1;
    bool sizeSent = false;
    Message lastSize;
};

// The 14 controls of the translation panel, in the order they are shown and hidden.
inline constexpr int kTranslationPanel[] = {ctl::Heading,
                                            ctl::OriginalLabel,
                                            ctl::Source,
                                            ctl::TranslationLabel,
                                            ctl::Translation,
                                            ctl::Back,
                                            ctl::Ok,
                                            ctl::Hint,
                                            ctl::Tip,
                                            ctl::FontList,
                                            ctl::SizeBox,
                                            ctl::BackgroundSwatch,
                                            ctl::HighlightSwatch,
                                            ctl::TextColorSwatch};

// Rounds a * b / c to the nearest integer, halves away from zero (as the dialog manager does).
int mulDiv(int a, int b, int c);

} // namespace parlavo
