// Conversions between encodings through iconv, with descriptors kept open per thread.
#include "platform/encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <unordered_map>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace parlavo {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

bool isUtf8Name(std::string_view name) {
    return name.size() == 5 && (name[0] == 'U' || name[0] == 'u') && (name[1] == 'T' || name[1] == 't') &&
           (name[2] == 'F' || name[2] == 'f') && name[3] == '-' && name[4] == '8';
}

// The converters opened on this thread, by "from\0to"; opening one costs far more than a line's
// conversion. They are closed when the thread ends.
class Converters {
  public:
    ~Converters() {
        for (auto& [key, converter] : open_) {
            if (converter != kNoConverter) {
                iconv_close(converter);
            }
        }
    }
    iconv_t get(std::string_view from, std::string_view to) {
        // A load converts many texts the same way: the last converter is found without a key.
        if (last_ != nullptr && from.size() + to.size() + 1 == last_->first.size() &&
            last_->first.starts_with(from) && last_->first[from.size()] == '\0' &&
            last_->first.ends_with(to)) {
            return last_->second;
        }
        std::string key;
        key.reserve(from.size() + to.size() + 1);
        key.append(from).append(1, '\0').append(to);
        auto found = open_.find(key);
        if (found == open_.end()) {
            found = open_.emplace(key, iconv_open(std::string(to).c_str(), std::string(from).c_str())).first;
        }
        last_ = &*found;
        return found->second;
    }

  private:
    std::unordered_map<std::string, iconv_t> open_;
    const std::pair<const std::string, iconv_t>* last_ = nullptr; // elements stay where they are
};

iconv_t converter(std::string_view from, std::string_view to) {
    thread_local Converters converters;
    return converters.get(from, to);
}

// The length of the valid UTF-8 sequence at the start of text, or 0 for an invalid one.
std::size_t utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// What to do at input iconv cannot convert: how many bytes to skip (0 to give up) and what to write
// in their place.
struct Skip {
    std::size_t bytes = 0;
    std::string_view replacement;
};

// Converts input with the converter into out; onInvalid decides at each byte sequence that cannot be
// converted. False when it gave up.
template <class OnInvalid>
bool convertWith(iconv_t converter, std::string_view input, std::string& out, OnInvalid onInvalid) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr); // a fresh start after an earlier failure
    out.assign(std::max<std::size_t>(16, input.size() * 2), '\0');
    std::size_t used = 0;
    char* in = const_cast<char*>(input.data()); // iconv does not write through it
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* outAt = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t converted = iconv(converter, &in, &inLeft, &outAt, &outLeft);
        used = out.size() - outLeft;
        if (converted != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        const Skip skip = onInvalid(std::string_view(in, inLeft)); // EILSEQ or EINVAL: a bad sequence
        if (skip.bytes == 0) {
            return false;
        }
        in += std::min(skip.bytes, inLeft);
        inLeft -= std::min(skip.bytes, inLeft);
        if (out.size() < used + skip.replacement.size()) {
            out.resize(2 * (used + skip.replacement.size()));
        }
        std::copy(skip.replacement.begin(), skip.replacement.end(), out.begin() + static_cast<long>(used));
        used += skip.replacement.size();
    }
    out.resize(used);
    return true;
}

// Valid UTF-8 with every invalid byte replaced by U+FFFD.
std::string repairedUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = utf8SequenceLength(bytes.substr(at));
        text.append(length == 0 ? kReplacement : bytes.substr(at, length));
        at += std::max<std::size_t>(length, 1);
    }
    return text;
}

// Adds the character to the list unless it is there already.
void addOnce(std::string& list, std::string_view character) {
    for (std::size_t at = 0; at < list.size();) {
        const std::size_t length =
            std::max<std::size_t>(utf8SequenceLength(std::string_view(list).substr(at)), 1);
        if (std::string_view(list).substr(at, length) == character) {
            return;
        }
        at += length;
    }
    list.append(character);
}

} // namespace

bool isAscii(std::string_view bytes) {
    // Thirty-two bytes at a time, then eight, stopping at the first block with a high bit; a text of
    // at least eight bytes ends with its last eight (read again in part), so that the short names
    // and texts checked one by one take no loop over single bytes.
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    constexpr std::size_t kWord = sizeof(std::uint64_t);
    const std::size_t size = bytes.size();
    std::size_t at = 0;
    for (; at + 4 * kWord <= size; at += 4 * kWord) {
        std::uint64_t block[4];
        std::memcpy(block, bytes.data() + at, sizeof block);
        if (((block[0] | block[1] | block[2] | block[3]) & kHighBits) != 0) {
            return false;
        }
    }
    std::uint64_t word = 0;
    for (; at + kWord <= size; at += kWord) {
        std::memcpy(&word, bytes.data() + at, kWord);
        if ((word & kHighBits) != 0) {
            return false;
        }
    }
    if (at < size && size >= kWord) {
        std::memcpy(&word, bytes.data() + size - kWord, kWord);
        return (word & kHighBits) == 0;
    }
    for (; at < size; ++at) {
        if (static_cast<unsigned char>(bytes[at]) >= 0x80) {
            return false;
        }
    }
    return true;
}

namespace {

// UTF-8 checked by a state machine with one table look-up and one shift a byte: a state is a bit
// offset into the table's row for the byte, where the next state is kept (six bits a state).
// The states: between characters, error, one, two or three continuation bytes to come, and the
// second byte after E0, ED, F0 and F4, whose range is narrower (no overlong forms, no
// surrogates, nothing above U+10FFFF).
enum Utf8State : unsigned {
    kBetween = 0,
    kError = 6,
    kTail1 = 12,
    kTail2 = 18,
    kTail3 = 24,
    kAfterE0 = 30,
    kAfterED = 36,
    kAfterF0 = 42,
    kAfterF4 = 48,
};

constexpr std::uint64_t transition(unsigned from, unsigned to) {
    return std::uint64_t{to} << from;
}

// The row of one byte: the state after it from each state (the error state stays, as every state
// not named goes to it).
constexpr std::uint64_t rowFor(unsigned byte) {
    std::uint64_t row = 0;
    for (unsigned state :
         {kBetween, kError, kTail1, kTail2, kTail3, kAfterE0, kAfterED, kAfterF0, kAfterF4}) {
        row |= transition(state, kError);
    }
    auto set = [&row](unsigned from, unsigned to) {
        row = (row & ~(std::uint64_t{63} << from)) | transition(from, to);
    };
    if (byte < 0x80) {
        set(kBetween, kBetween);
    } else if (byte < 0xC0) { // a continuation byte
        set(kTail1, kBetween);
        set(kTail2, kTail1);
        set(kTail3, kTail2);
        set(kAfterE0, byte >= 0xA0 ? kTail1 : kError);
        set(kAfterED, byte < 0xA0 ? kTail1 : kError);
        set(kAfterF0, byte >= 0x90 ? kTail2 : kError);
        set(kAfterF4, byte < 0x90 ? kTail2 : kError);
    } else if (byte >= 0xC2 && byte <= 0xDF) {
        set(kBetween, kTail1);
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        set(kBetween, byte == 0xE0 ? kAfterE0 : (byte == 0xED ? kAfterED : kTail2));
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        set(kBetween, byte == 0xF0 ? kAfterF0 : (byte == 0xF4 ? kAfterF4 : kTail3));
    }
    return row;
}

struct Utf8Rows {
    std::uint64_t row[256] = {};
    constexpr Utf8Rows() {
        for (unsigned byte = 0; byte < 256; ++byte) {
            row[byte] = rowFor(byte);
        }
    }
};
constexpr Utf8Rows kUtf8Rows;

#if defined(__SSE2__)
// Which of sixteen bytes are UTF-8 lead bytes from 0xC2 up to (not including) below, and which are
// continuation bytes (0x80..0xBF): compared as signed bytes, where 0x80 is the lowest.
__m128i leadBytes(__m128i bytes, unsigned char below) {
    return _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC1))),
                         _mm_cmplt_epi8(bytes, _mm_set1_epi8(static_cast<char>(below))));
}
__m128i continuationBytes(__m128i bytes) {
    return _mm_cmplt_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC0)));
}

// Sixteen bytes that are ASCII and two-byte sequences only (the text of most European scripts),
// checked at once: every continuation byte follows a lead byte, every lead byte but the last is
// followed by one. state, between sequences or after a lead byte before them, becomes what it is
// after them; false (state unchanged) when the bytes hold anything else.
bool twoByteBlock(const unsigned char* at, std::uint64_t& state) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const auto high = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    const auto lead = static_cast<unsigned>(_mm_movemask_epi8(leadBytes(bytes, 0xE0)));
    const auto continuation = static_cast<unsigned>(_mm_movemask_epi8(continuationBytes(bytes)));
    const unsigned carried = (state & 63) == kTail1 ? 1 : 0;
    if ((lead | continuation) != high || continuation != (((lead << 1) | carried) & 0xFFFF)) {
        return false;
    }
    state = (lead & 0x8000) != 0 ? kTail1 : kBetween;
    return true;
}
#endif

} // namespace

bool isValidUtf8(std::string_view bytes) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    constexpr std::size_t kBlock = 16;
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = at + bytes.size();
    // The state is the low six bits; the bits above are left over from the row and never read
    // (which keeps the masking inside the shift).
    std::uint64_t state = kBetween;
    while (at < end) {
        if (end - at >= static_cast<std::ptrdiff_t>(kBlock)) {
            std::uint64_t words[2];
            std::memcpy(words, at, sizeof words);
            if ((state & 63) == kBetween && ((words[0] | words[1]) & kHighBits) == 0) {
                at += kBlock; // sixteen ASCII bytes at once
                continue;
            }
#if defined(__SSE2__)
            if (((state & 63) == kBetween || (state & 63) == kTail1) && twoByteBlock(at, state)) {
                at += kBlock;
                continue;
            }
#endif
        }
        const unsigned char* const stop = at + std::min<std::ptrdiff_t>(end - at, kBlock);
        for (; at < stop; ++at) {
            state = kUtf8Rows.row[*at] >> (state & 63);
        }
        if ((state & 63) == kError) {
            return false;
        }
    }
    return (state & 63) == kBetween;
}

bool holdsUtf8Sequence(std::string_view bytes) {
#if defined(__SSE2__)
    // Sixteen lead bytes at a time, each against the byte after it, the last sixteen read again in
    // part.
    constexpr std::size_t kPairs = 16;
    const auto pairsAt = [&](std::size_t at) {
        const __m128i leads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + at));
        const __m128i nexts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + at + 1));
        return _mm_movemask_epi8(_mm_and_si128(leadBytes(leads, 0xF5), continuationBytes(nexts))) != 0;
    };
    if (bytes.size() > kPairs) {
        for (std::size_t at = 0; at + kPairs + 1 <= bytes.size(); at += kPairs) {
            if (pairsAt(at)) {
                return true;
            }
        }
        return pairsAt(bytes.size() - kPairs - 1);
    }
#endif
    // A lead byte is 0xC2..0xF4, a continuation byte 0x80..0xBF.
    for (std::size_t at = 0; at + 1 < bytes.size(); ++at) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const auto next = static_cast<unsigned char>(bytes[at + 1]);
        if (lead >= 0xC2 && lead <= 0xF4 && next >= 0x80 && next <= 0xBF) {
            return true;
        }
    }
    return false;
}

ByteKind kindOfBytes(std::string_view bytes) {
    if (isAscii(bytes)) {
        return ByteKind::Ascii;
    }
    return isValidUtf8(bytes) ? ByteKind::Utf8 : ByteKind::Other;
}

Result<std::string> toUtf8(std::string_view bytes, std::string_view encoding) {
    Result<std::string> result;
    if (isAscii(bytes) || (isUtf8Name(encoding) && isValidUtf8(bytes))) {
        result.value.assign(bytes);
        return result;
    }
    const iconv_t decoder = isUtf8Name(encoding) ? kNoConverter : converter(encoding, kUtf8);
    if (decoder == kNoConverter ||
        !convertWith(decoder, bytes, result.value, [](std::string_view) { return Skip{}; })) {
        result.value.clear();
        result.status =
            Status::failure("The text is not valid " + std::string(encodingLabel(encoding)) + ".");
    }
    return result;
}

std::string toUtf8Lossy(std::string_view bytes, std::string_view encoding) {
    if (isAscii(bytes)) {
        return std::string(bytes);
    }
    const iconv_t decoder = isUtf8Name(encoding) ? kNoConverter : converter(encoding, kUtf8);
    std::string text;
    if (decoder == kNoConverter || !convertWith(decoder, bytes, text, [](std::string_view) {
            return Skip{1, kReplacement};
        })) {
        return repairedUtf8(bytes);
    }
    return text;
}

bool isUtf8Already(std::string_view bytes, std::string_view encoding) {
    return isAscii(bytes) || (isUtf8Name(encoding) && isValidUtf8(bytes));
}

Encoded fromUtf8(std::string_view utf8, std::string_view encoding) {
    Encoded result;
    if (isAscii(utf8) || (isUtf8Name(encoding) && isValidUtf8(utf8))) {
        result.bytes.assign(utf8);
        return result;
    }
    const auto collect = [&](std::string_view rest) {
        const std::size_t length = utf8SequenceLength(rest);
        addOnce(result.unconvertible, length == 0 ? kReplacement : rest.substr(0, length));
        return Skip{std::max<std::size_t>(length, 1), {}};
    };
    if (isUtf8Name(encoding)) {
        for (std::size_t at = 0; at < utf8.size();) {
            const std::size_t length = utf8SequenceLength(utf8.substr(at));
            if (length == 0) {
                at += collect(utf8.substr(at)).bytes;
            } else {
                result.bytes.append(utf8.substr(at, length));
                at += length;
            }
        }
        return result;
    }
    const iconv_t encoder = converter(kUtf8, encoding);
    if (encoder == kNoConverter) {
        for (std::size_t at = 0; at < utf8.size();
             at += std::max<std::size_t>(utf8SequenceLength(utf8.substr(at)), 1)) {
            if (static_cast<unsigned char>(utf8[at]) >= 0x80) {
                collect(utf8.substr(at));
            } else {
                result.bytes += utf8[at];
            }
        }
        return result;
    }
    convertWith(encoder, utf8, result.bytes, collect);
    return result;
}

std::optional<std::string> convertText(std::string_view bytes, std::string_view from, std::string_view to) {
    if (isAscii(bytes) || from == to) {
        return std::string(bytes);
    }
    Result<std::string> text = toUtf8(bytes, from);
    if (!text.ok()) {
        return std::nullopt;
    }
    Encoded encoded = fromUtf8(text.value, to);
    return encoded.ok() ? std::optional<std::string>(std::move(encoded.bytes)) : std::nullopt;
}

} // namespace parlavo
