#include "pass/firstread.h"

#include "lang/selection.h"
#include "platform/aside.h"

#include <atomic>

namespace parlavo {

namespace {

// The work on the parsed language files, in pieces that either thread takes when it is free, the
// smallest last. The table of the translations is left out when the settings, read by then, say it
// is not wanted.
class ParsedFilesWork {
  public:
    ParsedFilesWork(const WorkList& work, const LoadOptions& options, FirstStep& first)
        : work_(work), options_(options), first_(first) {}

    void settingsRead(bool usesWanted) { usesUnwanted_.store(!usesWanted, std::memory_order_release); }

    // Does the pieces no thread has taken yet.
    void doWhatIsLeft() {
        for (int piece = next_++; piece < kPieces; piece = next_++) {
            doPiece(piece);
        }
    }

  private:
    enum Piece { kIndex, kKinds, kUses, kTranslations, kPieces };

    void doPiece(int piece) {
        switch (piece) {
        case kIndex:
            first_.translatedIndex.emplace(work_.translated);
            break;
        case kKinds:
            first_.kinds = loadsteps::kindsToDecide(work_, options_);
            break;
        case kUses:
            if (!usesUnwanted_.load(std::memory_order_acquire)) {
                first_.uses.emplace(work_.english, work_.translated);
            }
            break;
        default:
            first_.translations = translationLines(work_.translated);
        }
    }

    const WorkList& work_;
    const LoadOptions& options_;
    FirstStep& first_;
    std::atomic<bool> usesUnwanted_ = false;
    std::atomic<int> next_ = 0;
};

// Where the language files' thread is.
enum Stage : int { kParsing, kParsed, kFailed };

} // namespace

// The language files are read and parsed on a second thread while the settings file (the largest,
// and the slowest to parse) is read on this one: a new thread may start milliseconds late, and the
// shorter work waits best. The work on the parsed files is then shared: this thread takes what is
// left of it once the settings are parsed (and waits for the parse only when the other thread runs:
// one that could not be made runs its work when it is joined). (The settings are written while the
// Translated file is, see saveSettings.)
Status readFirst(const LoadPaths& paths, const std::string& settingsFile, const LoadOptions& options,
                 WorkList& work, FirstStep& first) {
    ParsedFilesWork pieces(work, options, first);
    std::atomic<int> stage = kParsing;
    Aside<Status> languageFiles([&] {
        loadsteps::LanguageBytes english, translated;
        Status status = loadsteps::readBothFiles(paths, english, translated);
        if (status.ok()) {
            status = loadsteps::parseBothFiles(std::move(english), std::move(translated), work);
        }
        stage.store(status.ok() ? kParsed : kFailed, std::memory_order_release);
        stage.notify_all();
        if (status.ok()) {
            pieces.doWhatIsLeft();
        }
        return status;
    });
    first.settings = ProfileFile::open(settingsFile);
    pieces.settingsRead(first.settings.ok() && changedEnglishWanted(first.settings.value.document()));
    if (languageFiles.runsAside()) {
        stage.wait(kParsing, std::memory_order_acquire);
    }
    if (stage.load(std::memory_order_acquire) == kParsed) {
        pieces.doWhatIsLeft();
    }
    return languageFiles.get();
}

} // namespace parlavo
