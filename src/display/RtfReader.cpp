#include "display/RtfReader.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/TextCodec.h"

namespace zarivok {
namespace {

enum class Word {
    kUnknown,
    kCharacter,  // a character of text: a source byte, \'hh or a symbol word
    kBreak,
    kColour,
    kPlain,
    kUnicode,
    kUnicodeSkip,
    kBinary,
    kColourTable,
    kRed,
    kGreen,
    kBlue,
    kIgnorable,  // \* and destinations whose text is not part of the document's text
};

struct WordInfo {
    Word kind = Word::kUnknown;
    char16_t character = 0;
};

// Longer control words do not exist; one that long is unknown whatever it says.
constexpr qsizetype kMaxWordLength = 32;
constexpr qint64 kMaxParameter = 0x7FFFFFFF;
constexpr int kMaxUnicodeSkip = 255;
constexpr qsizetype kMaxColours = 1 << 16;

// Tables, pictures, document properties, page furniture and field codes: a writer may put them in
// a group without \*, and none of their text is body text.
constexpr std::string_view kIgnoredDestinations =
    "fonttbl filetbl stylesheet listtable listoverridetable revtbl rsidtbl info "
    "generator pict object shp nonshppict header headerl headerr headerf footer footerl "
    "footerr footerf footnote annotation fldinst xe tc txe rxe template themedata "
    "datastore latentstyles xmlnstbl colorschememapping pntxta pntxtb userprops docvar "
    "pgdsctbl mmathPr";

const std::unordered_map<std::string_view, WordInfo>& Words() {
    static const std::unordered_map<std::string_view, WordInfo> words = [] {
        std::unordered_map<std::string_view, WordInfo> table = {
            {"par", {Word::kBreak}},
            {"line", {Word::kBreak}},
            {"row", {Word::kBreak}},
            {"tab", {Word::kCharacter, u'\t'}},
            {"cell", {Word::kCharacter, u'\t'}},
            {"emdash", {Word::kCharacter, u'\u2014'}},
            {"endash", {Word::kCharacter, u'\u2013'}},
            {"emspace", {Word::kCharacter, u'\u2003'}},
            {"enspace", {Word::kCharacter, u'\u2002'}},
            {"qmspace", {Word::kCharacter, u'\u2005'}},
            {"lquote", {Word::kCharacter, u'\u2018'}},
            {"rquote", {Word::kCharacter, u'\u2019'}},
            {"ldblquote", {Word::kCharacter, u'\u201C'}},
            {"rdblquote", {Word::kCharacter, u'\u201D'}},
            {"bullet", {Word::kCharacter, u'\u2022'}},
            {"zwj", {Word::kCharacter, u'\u200D'}},
            {"zwnj", {Word::kCharacter, u'\u200C'}},
            {"ltrmark", {Word::kCharacter, u'\u200E'}},
            {"rtlmark", {Word::kCharacter, u'\u200F'}},
            {"cf", {Word::kColour}},
            {"plain", {Word::kPlain}},
            {"u", {Word::kUnicode}},
            {"uc", {Word::kUnicodeSkip}},
            {"bin", {Word::kBinary}},
            {"colortbl", {Word::kColourTable}},
            {"red", {Word::kRed}},
            {"green", {Word::kGreen}},
            {"blue", {Word::kBlue}},
        };
        std::string_view names = kIgnoredDestinations;
        while (!names.empty()) {
            const size_t space = std::min(names.find(' '), names.size());
            table.emplace(names.substr(0, space), WordInfo{Word::kIgnorable});
            names.remove_prefix(std::min(space + 1, names.size()));
        }
        return table;
    }();
    return words;
}

constexpr bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Raw text bytes and \'hh are Windows-1252, the code page this reader understands.
const std::array<char16_t, 256>& Windows1252() {
    static const std::array<char16_t, 256> table = [] {
        QByteArray all(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b) all[b] = static_cast<char>(b);
        const QString decoded = DecodeWindows1252(all);
        std::array<char16_t, 256> units{};
        for (int b = 0; b < 256; ++b) units[b] = decoded[b].unicode();
        return units;
    }();
    return table;
}

enum class Destination { kText, kColourTable };

// The character state that a group keeps to itself: it ends with the group.
struct GroupState {
    int colourIndex = 0;
    int unicodeSkip = 1;
    Destination destination = Destination::kText;
};

struct Token {
    Word kind = Word::kUnknown;
    char16_t character = 0;
    qint64 parameter = 0;  // saturated at kMaxParameter either way
    bool hasParameter = false;
};

// One pass over the bytes, constant work per byte. Skipped groups are counted, not stacked.
class Reader {
  public:
    explicit Reader(QByteArrayView bytes) : pos_(bytes.data()), end_(bytes.data() + bytes.size()) {}

    QList<RtfRun> Read() {
        const auto& ansi = Windows1252();
        while (pos_ < end_) {
            const char c = *pos_++;
            switch (c) {
                case '{':
                    OpenGroup();
                    break;
                case '}':
                    if (CloseGroup()) return runs_;
                    break;
                case '\r':
                case '\n':
                    break;
                case '\\':
                    Apply(ControlToken());
                    break;
                default:
                    if (TakesPlainText()) {
                        AppendPlainText(ansi);
                    } else {
                        Apply({Word::kCharacter, ansi[static_cast<unsigned char>(c)]});
                    }
                    break;
            }
        }
        return runs_;
    }

  private:
    void OpenGroup() {
        pendingSkip_ = 0;
        if (skipping_ > 0) {
            ++skipping_;
            return;
        }
        groups_.push_back(groups_.empty() ? GroupState{} : groups_.back());
        if (std::ssize(groups_) > kRtfMaxDepth) skipping_ = 1;
    }

    // True when the document's outermost group has closed.
    bool CloseGroup() {
        pendingSkip_ = 0;
        if (skipping_ > 0 && --skipping_ > 0) return false;
        groups_.pop_back();
        return groups_.empty();
    }

    // The control word or symbol after a backslash.
    Token ControlToken() {
        if (pos_ == end_) return {};
        const char c = *pos_;
        if (IsLetter(c)) return WordToken();
        ++pos_;
        switch (c) {
            case '\\':
            case '{':
            case '}':
                return {Word::kCharacter, static_cast<char16_t>(c)};
            case '~':
                return {Word::kCharacter, u'\u00A0'};
            case '-':
                return {Word::kCharacter, u'\u00AD'};
            case '_':
                return {Word::kCharacter, u'\u2011'};
            case '\r':
            case '\n':
                return {Word::kBreak};
            case '*':
                return {Word::kIgnorable};
            case '\'': {
                int value = 0;
                int digits = 0;
                for (; digits < 2 && pos_ < end_ && HexValue(*pos_) >= 0; ++digits, ++pos_) {
                    value = value * 16 + HexValue(*pos_);
                }
                if (digits == 0) return {};
                return {Word::kCharacter, Windows1252()[value]};
            }
            default:
                return {};
        }
    }

    Token WordToken() {
        const char* name = pos_;
        while (pos_ < end_ && IsLetter(*pos_)) ++pos_;
        const qsizetype length = pos_ - name;
        bool negative = false;
        if (pos_ + 1 < end_ && *pos_ == '-' && IsDigit(pos_[1])) {
            negative = true;
            ++pos_;
        }
        qint64 value = 0;
        const char* digits = pos_;
        for (; pos_ < end_ && IsDigit(*pos_); ++pos_) {
            value = std::min(value * 10 + (*pos_ - '0'), kMaxParameter);
        }
        const bool hasParameter = pos_ > digits;
        // A space ends the word and belongs to it; any other delimiter is text.
        if (pos_ < end_ && *pos_ == ' ') ++pos_;
        Token token;
        token.parameter = negative ? -value : value;
        token.hasParameter = hasParameter;
        if (length <= kMaxWordLength) {
            const auto& words = Words();
            const auto found = words.find(std::string_view(name, static_cast<size_t>(length)));
            if (found != words.end()) {
                token.kind = found->second.kind;
                token.character = found->second.character;
            }
        }
        return token;
    }

    void Apply(const Token& token) {
        if (token.kind == Word::kBinary) {
            // The data is never copied, however large the count claims it is.
            pos_ += std::clamp<qint64>(token.parameter, 0, end_ - pos_);
        }
        if (skipping_ > 0 || groups_.empty()) return;
        if (pendingSkip_ > 0) {
            // The fallback after \u: each character, symbol or word counts as one.
            --pendingSkip_;
            return;
        }
        GroupState& group = groups_.back();
        if (group.destination == Destination::kColourTable) {
            ApplyInColourTable(token);
            return;
        }
        switch (token.kind) {
            case Word::kCharacter:
                Append(token.character);
                break;
            case Word::kBreak:
                Append(u'\r');
                Append(u'\n');
                break;
            case Word::kColour:
                group.colourIndex = static_cast<int>(std::max<qint64>(token.parameter, 0));
                break;
            case Word::kPlain:
                group.colourIndex = 0;
                break;
            case Word::kUnicode:
                if (!token.hasParameter) break;
                // Signed 16 bits, though some writers use 0..65535: both wrap to the same unit.
                Append(token.parameter < -0x8000 || token.parameter > 0xFFFF
                           ? char16_t{0xFFFD}
                           : static_cast<char16_t>(static_cast<quint16>(token.parameter)));
                pendingSkip_ = group.unicodeSkip;
                break;
            case Word::kUnicodeSkip:
                group.unicodeSkip =
                    static_cast<int>(std::clamp<qint64>(token.parameter, 0, kMaxUnicodeSkip));
                break;
            case Word::kColourTable:
                if (groups_.size() > 1) {
                    group.destination = Destination::kColourTable;
                    colours_.clear();
                    entry_ = 0;
                }
                break;
            case Word::kIgnorable:
                // The outermost group is never skipped: that would lose the whole document.
                if (groups_.size() > 1) skipping_ = 1;
                break;
            default:
                break;
        }
    }

    void ApplyInColourTable(const Token& token) {
        const auto component = static_cast<ChatColour>(std::clamp<qint64>(token.parameter, 0, 255));
        switch (token.kind) {
            case Word::kRed:
                entry_ = (entry_ & 0xFFFF00) | component;
                break;
            case Word::kGreen:
                entry_ = (entry_ & 0xFF00FF) | (component << 8);
                break;
            case Word::kBlue:
                entry_ = (entry_ & 0x00FFFF) | (component << 16);
                break;
            case Word::kCharacter:
                if (token.character == u';') {
                    if (colours_.size() < kMaxColours) colours_.append(entry_);
                    entry_ = 0;
                }
                break;
            default:
                break;
        }
    }

    // Plain text goes straight into the current run while nothing would treat a character of it
    // otherwise: the run of text between two control bytes is most of any document.
    bool TakesPlainText() const {
        return skipping_ == 0 && pendingSkip_ == 0 && !groups_.empty() &&
               groups_.back().destination == Destination::kText;
    }

    // The text from the byte just read up to the next byte that is not plain text.
    void AppendPlainText(const std::array<char16_t, 256>& ansi) {
        const char* from = pos_ - 1;
        while (pos_ < end_ && !IsSpecial(*pos_)) ++pos_;
        QString& text = CurrentRun().text;
        for (const char* p = from; p < pos_; ++p) {
            text.append(QChar(ansi[static_cast<unsigned char>(*p)]));
        }
    }

    static constexpr bool IsSpecial(char c) {
        return c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n';
    }

    // The run that text in the current colour goes to, started when the colour changes.
    RtfRun& CurrentRun() {
        // Index 0 is "automatic", which the pane shows as black, whatever the table says there.
        const int index = groups_.back().colourIndex;
        const ChatColour colour = index > 0 && index < colours_.size() ? colours_[index] : kBlack;
        if (runs_.isEmpty() || runs_.constLast().colour != colour) {
            runs_.append({QString(), colour});
        }
        return runs_.last();
    }

    void Append(char16_t unit) { CurrentRun().text.append(QChar(unit)); }

    const char* pos_;
    const char* const end_;
    std::vector<GroupState> groups_;
    qsizetype skipping_ = 0;  // open groups inside the one being skipped, itself included
    int pendingSkip_ = 0;
    QList<ChatColour> colours_;
    ChatColour entry_ = 0;
    QList<RtfRun> runs_;
};

}  // namespace

QList<RtfRun> ReadRtfGroups(QByteArrayView document) { return Reader(document).Read(); }

}  // namespace zarivok
