// Drives the real window on Qt's offscreen platform as a translator would, and times it:
//   parlavo_benchwindow FOLDER ENTERS
// The window starts in FOLDER (its settings file is read from there), gets the paths of FOLDER's
// English.lng and Translated.lng, and "Load Files" is pressed: the time until the first entry is
// shown. Then ENTERS times an answer is given and Enter pressed: the time of each typed key and of
// each Enter, from the key press until the window has handled it and its pending events. Prints one
// figure a line:
//   baseline_rss_kb N   (resident memory once the window is shown, nothing loaded)
//   load_s N
//   key_ms N            (one line per typed key of an answer)
//   enter_ms N          (one line per Enter)
//   peak_rss_kb N
// Message boxes are answered with OK (and echoed on stderr), so nothing blocks.

#include "app/appstate.h"
#include "app/mainwindowproc.h"
#include "bench/pairs.h"
#include "platform/clock.h"
#include "platform/gui/mainwindow.h"
#include "platform/gui/messagebox.h"
#include "platform/process.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kUsageStatus = 2;
constexpr int kShowTimeoutMs = 5000;
constexpr int kLateWorkTimeoutMs = 60'000;
constexpr int kMaxEnters = 10'000;
constexpr const char* kAnswerPrefix = "Ru ";

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The resident memory now (the peak cannot tell it once something was freed).
long currentRssKb() {
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int fail(const char* what) {
    std::fprintf(stderr, "parlavo_benchwindow: %s\n", what);
    return 1;
}

// The window's events handled, so that what the key or click caused is done and drawn.
void settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// settle(), then, should the window finish the work later (in the background), waits for it
// (bounded); false when done() still does not hold.
bool settleUntil(const std::function<bool()>& done) {
    settle();
    return done() || QTest::qWaitFor(done, kLateWorkTimeoutMs);
}

bool entryShown(const parlavo::MainWindow& window) {
    return !window.control(parlavo::ctl::Translation)->isHidden();
}

// The controls driven here, of the kinds they are driven as.
bool controlsFound(const parlavo::MainWindow& window) {
    using namespace parlavo::ctl;
    return window.controlAs<QLineEdit>(EnglishPath) && window.controlAs<QLineEdit>(TranslatedPath) &&
           window.controlAs<QLineEdit>(Translation) && window.control(LoadFiles) && window.control(Heading) &&
           window.control(Source);
}

// Presses "Load Files" on the two paths; the seconds until the first entry is shown, or below 0.
double timeLoad(parlavo::MainWindow& window, const std::string& folder) {
    using parlavo::ctl::EnglishPath;
    using parlavo::ctl::TranslatedPath;
    window.controlAs<QLineEdit>(EnglishPath)
        ->setText(QString::fromStdString(folder + parlavo::bench::kEnglishName));
    window.controlAs<QLineEdit>(TranslatedPath)
        ->setText(QString::fromStdString(folder + parlavo::bench::kTranslatedName));
    const Clock::time_point start = Clock::now();
    QTest::mouseClick(window.control(parlavo::ctl::LoadFiles), Qt::LeftButton);
    const bool shown = settleUntil([&window] { return entryShown(window); });
    const double seconds = secondsSince(start);
    return shown ? seconds : -1;
}

// Answers the current entry with its English text after a short typed prefix (so that every check
// of an answer passes: the text is put in whole, as by a paste, and the prefix typed key by key) and
// presses Enter. Prints the milliseconds of each typed key and of the Enter; false when the window
// did not move on to another entry.
bool answerAndEnter(parlavo::MainWindow& window) {
    auto* box = window.controlAs<QLineEdit>(parlavo::ctl::Translation);
    const std::string heading = window.controlText(parlavo::ctl::Heading);
    box->setFocus();
    box->setText(QString::fromStdString(window.controlText(parlavo::ctl::Source)));
    box->home(false);
    settle();
    for (const char key : std::string_view(kAnswerPrefix)) {
        const Clock::time_point start = Clock::now();
        QTest::keyClick(box, key);
        settle();
        std::printf("key_ms %.3f\n", secondsSince(start) * 1000);
    }
    const Clock::time_point start = Clock::now();
    QTest::keyClick(box, Qt::Key_Return);
    const bool movedOn = settleUntil([&window, &heading] {
        return !entryShown(window) || window.controlText(parlavo::ctl::Heading) != heading;
    });
    std::printf("enter_ms %.3f\n", secondsSince(start) * 1000);
    return movedOn;
}

// Shows the window and makes it active as a user's click would; false when that cannot be done.
bool showWindow(parlavo::MainWindow& window) {
    window.start();
    window.activateWindow();
    if (!QTest::qWaitForWindowExposed(&window, kShowTimeoutMs) ||
        !QTest::qWaitForWindowActive(&window, kShowTimeoutMs)) {
        return false;
    }
    settle();
    return true;
}

// The load and the Enters, with the figures printed; the exit status.
int measure(parlavo::MainWindow& window, parlavo::AppState& state, const std::string& folder, long enters) {
    std::printf("baseline_rss_kb %ld\n", currentRssKb());
    const double loadSeconds = timeLoad(window, folder);
    if (loadSeconds < 0) {
        return fail("\"Load Files\" showed no entry");
    }
    std::printf("load_s %.4f\n", loadSeconds);
    if (state.pass.suggestions) {
        state.pass.suggestions->wait(); // built in the background while the translator reads
    }
    for (long i = 0; i < enters && entryShown(window); ++i) {
        if (!answerAndEnter(window)) {
            return fail("an Enter did not move on to the next entry");
        }
    }
    std::printf("peak_rss_kb %ld\n", peakRssKb());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    char* end = nullptr;
    const long enters = argc == 3 ? std::strtol(argv[2], &end, 10) : -1;
    if (argc != 3 || end == argv[2] || *end != '\0' || enters < 0 || enters > kMaxEnters) {
        std::fprintf(stderr, "usage: parlavo_benchwindow FOLDER ENTERS\n");
        return kUsageStatus;
    }
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(argv[1], error);
    std::filesystem::current_path(folder, error);
    if (error) {
        return fail("cannot enter the folder");
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    parlavo::returnLargeBlocksWhenFreed(); // as the program does when it starts
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    parlavo::setMessageBoxHook([](std::string_view caption, std::string_view text, parlavo::MessageIcon) {
        std::fprintf(stderr, "message box: %.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        return 1;
    });
    parlavo::SteadyClock clock;
    parlavo::AppState state;
    state.clock = &clock;
    parlavo::MainWindow window([&state](parlavo::MainWindow& target, parlavo::Message& message) {
        return parlavo::mainWindowProc(target, state, message);
    });
    if (!showWindow(window)) {
        return fail("the window was not shown");
    }
    if (!controlsFound(window)) {
        return fail("a control driven here is missing or of another kind");
    }
    const int status = measure(window, state, folder.string() + "/", enters);
    window.endDialog(0);
    return status;
}
