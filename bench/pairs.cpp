#include "bench/pairs.h"

#include "platform/encoding.h"
#include "platform/files.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

namespace parlavo::bench {
namespace {

constexpr std::string_view kEol = "\r\n";
constexpr std::string_view kUpdateNeeded = " UPDATE NEEDED";
constexpr std::string_view kWestern = "windows-1252";
constexpr std::string_view kCyrillic = "windows-1251";

// A key's kind is a pick below 100: below kKnownBelow it lacks a translation that the memory knows,
// below kUntranslatedBelow it lacks one, below kMarkedBelow its translation is marked "UPDATE NEEDED".
constexpr int kKnownBelow = 5;
constexpr int kUntranslatedBelow = 10;
constexpr int kMarkedBelow = 12;
constexpr int kMemoryEntriesPerTwoKeys = 5; // 2.5 per key
// One in so many: a whole common text, an accented last word, a duplicate key, an obsolete key, an
// empty value (instead of a missing key) for an untranslated key, a comment before a group.
constexpr int kCommonTextOneIn = 20;
constexpr int kAccentOneIn = 4;
constexpr int kDuplicateOneIn = 300;
constexpr int kObsoleteOneIn = 200;
constexpr int kEmptyValueOneIn = 3;
constexpr int kCommentOneIn = 4;
constexpr int kMinSectionKeys = 40;
constexpr int kSectionKeySpread = 120;
constexpr int kMinGroupKeys = 3;
constexpr int kGroupKeySpread = 10;

// The most common words first: a pick favours the start of the list.
const std::vector<std::string_view> kWords = {
    "the",    "file",       "to",       "of",      "a",      "is",       "not",     "be",       "can",
    "select", "open",       "save",     "folder",  "name",   "song",     "player",  "error",    "settings",
    "new",    "delete",     "options",  "window",  "please", "enter",    "value",   "cannot",   "found",
    "copy",   "paste",      "language", "score",   "level",  "screen",   "display", "mode",     "audio",
    "video",  "network",    "server",   "client",  "user",   "password", "account", "download", "upload",
    "update", "version",    "help",     "about",   "close",  "exit",     "start",   "stop",     "pause",
    "resume", "next",       "previous", "first",   "last",   "page",     "list",    "item",     "table",
    "column", "row",        "cell",     "format",  "font",   "size",     "color",   "theme",    "default",
    "custom", "advanced",   "playlist", "artist",  "title",  "year",     "genre",   "edition",  "duet",
    "lyrics", "microphone", "volume",   "preview", "random", "search",   "jukebox", "medley"};
const std::vector<std::string_view> kRussian = {
    "файл",     "открыть", "сохранить", "окно",   "настройки", "папка",    "выбрать", "ошибка",
    "нельзя",   "найти",   "введите",   "имя",    "значение",  "новый",    "удалить", "список",
    "страница", "шрифт",   "песня",     "игрок",  "уровень",   "экран",    "звук",    "видео",
    "закрыть",  "выход",   "старт",     "пауза",  "далее",     "назад",    "первый",  "последний",
    "тема",     "цвет",    "размер",    "формат", "столбец",   "строка",   "ячейка",  "версия",
    "помощь",   "сервер",  "клиент",    "пароль", "запись",    "загрузка", "режим",   "громкость",
    "и",        "не",      "в",         "на",     "с",         "для",      "по",      "из"};
const std::vector<std::string_view> kEndings = {": %s.", "...", "."}; // longest first
const std::vector<std::string_view> kCommonTexts = {"OK",    "Cancel", "Yes",  "No",        "Apply",
                                                    "Close", "Help",   "Back", "Save file", "Options"};

// A stable hash (the same text always gets the same translation).
std::uint32_t textHash(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

std::string upper(std::string_view word) {
    std::string text(word);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

// The Cyrillic translation of an English text: a word for every two English words (a number stays
// as it is), then the text's closing punctuation and placeholder. Different texts mostly get
// different translations, of about as many bytes as the English text.
std::string translationOf(std::string_view source) {
    std::string_view ending;
    for (const std::string_view candidate : kEndings) {
        if (source.ends_with(candidate)) {
            ending = candidate;
            source.remove_suffix(candidate.size());
            break;
        }
    }
    auto isNumber = [](std::string_view word) {
        return word.find_first_not_of("0123456789") == std::string_view::npos;
    };
    std::string text;
    while (!source.empty()) {
        std::size_t end = std::min(source.find(' '), source.size());
        const std::string_view word = source.substr(0, end);
        const std::size_t next = std::min(source.find(' ', end + 1), source.size());
        if (!isNumber(word) && end < source.size() && !isNumber(source.substr(end + 1, next - end - 1))) {
            end = next; // with the next word
        }
        const std::string_view words = source.substr(0, end);
        text +=
            (text.empty() ? "" : " ") +
            (isNumber(word) ? std::string(word) : std::string(kRussian[textHash(words) % kRussian.size()]));
        source.remove_prefix(std::min(end + 1, source.size()));
    }
    return text + std::string(ending);
}

class PairMaker {
  public:
    PairMaker(int keyCount, PairEncoding encoding)
        : keyCount_(keyCount), encoding_(encoding), random_(42u + static_cast<unsigned>(keyCount)) {}
    Pair make();

  private:
    int pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    bool oneIn(int n) { return pick(n) == 0; }
    // Favours the first words: the product of two picks, scaled back.
    std::string_view word() {
        const int n = static_cast<int>(kWords.size());
        return kWords[static_cast<std::size_t>(pick(n) * pick(n) / n)];
    }
    std::string englishText(bool accents = true);
    std::string keyName(int index);
    void addBoth(std::string_view line);
    void startSection(int index);
    void startGroup();
    void addKey(int index);
    std::string memoryText();

    int keyCount_;
    PairEncoding encoding_;
    std::mt19937 random_;
    Pair pair_;
    std::vector<std::pair<std::string, std::string>> known_; // untranslated texts the memory holds
    int sectionLeft_ = 0;
    int groupLeft_ = 0;
    std::string lastKey_;
};

std::string PairMaker::englishText(bool accents) {
    if (oneIn(kCommonTextOneIn)) {
        return std::string(
            kCommonTexts[static_cast<std::size_t>(pick(static_cast<int>(kCommonTexts.size())))]);
    }
    std::string text;
    for (int words = 2 + pick(8); words > 0; --words) {
        text += (text.empty() ? "" : " ") + std::string(word());
    }
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
    if (accents && oneIn(kAccentOneIn)) {
        text += " caf\u00E9";
    }
    const int ending = pick(12);
    return text + std::string(ending < 3   ? kEndings[0]
                              : ending < 6 ? kEndings[2]
                              : ending < 7 ? kEndings[1]
                                           : "");
}

std::string PairMaker::keyName(int index) {
    return upper(word()) + "_" + upper(word()) + "_" + std::to_string(index);
}

void PairMaker::addBoth(std::string_view line) {
    for (std::string* file : {&pair_.english, &pair_.translated}) {
        file->append(line).append(kEol);
    }
}

void PairMaker::startSection(int index) {
    if (index > 0) {
        addBoth("");
    }
    addBoth("[" + upper(word()) + "_" + std::to_string(index) + "]");
    sectionLeft_ = kMinSectionKeys + pick(kSectionKeySpread);
    groupLeft_ = 0;
    lastKey_.clear();
}

void PairMaker::startGroup() {
    if (!lastKey_.empty()) {
        addBoth("");
    }
    if (oneIn(kCommentOneIn)) {
        addBoth("; " + englishText(false)); // a Windows-1251 file can hold it
    }
    groupLeft_ = kMinGroupKeys + pick(kGroupKeySpread);
}

void PairMaker::addKey(int index) {
    const std::string key = !lastKey_.empty() && oneIn(kDuplicateOneIn) ? lastKey_ : keyName(index);
    const std::string source = englishText();
    pair_.english += key + "=" + source + std::string(kEol);
    const int kind = pick(100);
    if (kind < kUntranslatedBelow) {
        if (kind < kKnownBelow) {
            known_.emplace_back(source, translationOf(source));
        }
        if (oneIn(kEmptyValueOneIn)) {
            pair_.translated += key + "=" + std::string(kEol);
        }
    } else {
        const std::string marker = kind < kMarkedBelow ? std::string(kUpdateNeeded) : "";
        pair_.translated += key + "=" + translationOf(source) + marker + std::string(kEol);
    }
    if (oneIn(kObsoleteOneIn)) {
        pair_.translated += "OLD_" + key + "=" + translationOf(key) + std::string(kEol);
    }
    lastKey_ = key;
}

// The memory's entries in no particular order: the known texts among others the translator answered
// over time (each with a number, as texts of other files and versions differ).
std::string PairMaker::memoryText() {
    std::vector<std::string> lines;
    for (const auto& [source, answer] : known_) {
        lines.push_back(source + "=" + answer);
    }
    const std::size_t wanted = static_cast<std::size_t>(keyCount_) * kMemoryEntriesPerTwoKeys / 2;
    for (int i = 0; lines.size() < wanted; ++i) {
        const std::string source = englishText() + " " + std::to_string(i);
        lines.push_back(source + "=" + translationOf(source));
    }
    std::shuffle(lines.begin(), lines.end(), random_);
    std::string text;
    for (const std::string& line : lines) {
        text.append(line).append(kEol);
    }
    return text;
}

Pair PairMaker::make() {
    if (encoding_ == PairEncoding::Legacy) {
        pair_.english = "[LangOptions]\r\nLanguageCodePage=1252\r\n\r\n";
        pair_.translated = "[LangOptions]\r\nLanguageCodePage=1251\r\n\r\n";
    }
    for (int i = 0, section = 0; i < keyCount_; ++i) {
        if (sectionLeft_-- == 0) {
            startSection(section++);
        }
        if (groupLeft_-- == 0) {
            startGroup();
        }
        addKey(i);
    }
    pair_.settings = "[Settings]\r\nInputFile=" + std::string(kEnglishName) +
                     "\r\nOutputFile=" + std::string(kTranslatedName) + "\r\n\r\n[AlreadyTranslated]\r\n" +
                     memoryText();
    if (encoding_ == PairEncoding::Legacy) {
        pair_.english = fromUtf8(pair_.english, kWestern).bytes;
        pair_.translated = fromUtf8(pair_.translated, kCyrillic).bytes;
    }
    return std::move(pair_);
}

} // namespace

Pair makePair(int keyCount, PairEncoding encoding) {
    return PairMaker(keyCount, encoding).make();
}

Status writePair(const Pair& pair, const std::string& folder) {
    const std::pair<const char*, const std::string*> files[] = {
        {kEnglishName, &pair.english}, {kTranslatedName, &pair.translated}, {kSettingsName, &pair.settings}};
    for (const auto& [name, bytes] : files) {
        if (Status written = writeFileAtomically(folder + "/" + name, *bytes); !written.ok()) {
            return written;
        }
    }
    return {};
}

} // namespace parlavo::bench
