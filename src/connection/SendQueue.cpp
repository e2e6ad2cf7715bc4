#include "connection/SendQueue.h"

#include <QStringList>
#include <QStringView>
#include <algorithm>
#include <utility>
#include <vector>

namespace zarivok {
namespace {

constexpr QChar kBlank = u' ';
constexpr QChar kSlash = u'/';

int UnitsFor(qsizetype bytes) {
    return std::max(
        1, static_cast<int>((bytes + SendQueue::kBytesPerUnit - 1) / SendQueue::kBytesPerUnit));
}

// The longest line, in UTF-8 bytes, whose cost still fits the budget: a line beyond it could
// never leave and would stall everything behind it.
qsizetype ByteLimit(bool emote) {
    const int factor = emote ? SendQueue::kEmoteCostFactor : 1;
    return std::min<qsizetype>(
        SendQueue::kMaxLineBytes,
        qsizetype{SendQueue::kBudgetUnits / factor} * SendQueue::kBytesPerUnit);
}

// The text as whole characters: where each one starts in the QString and in the UTF-8 bytes, so
// that a cut falls between characters and never between the halves of a surrogate pair.
// Entry i is character i; the last entry marks the end of the text.
struct Boundary {
    qsizetype index;
    qsizetype byte;
};

std::vector<Boundary> Boundaries(QStringView text) {
    std::vector<Boundary> result;
    result.reserve(static_cast<size_t>(text.size()) + 1);
    qsizetype index = 0, byte = 0;
    while (index < text.size()) {
        result.push_back({index, byte});
        const char16_t unit = text[index].unicode();
        const bool pair = QChar::isHighSurrogate(unit) && index + 1 < text.size() &&
                          text[index + 1].isLowSurrogate();
        if (pair) {
            byte += 4;
            index += 2;
        } else if (QChar::isSurrogate(unit)) {
            // Whatever the encoder makes of a lone half, measured rather than assumed.
            byte += text.sliced(index, 1).toUtf8().size();
            index += 1;
        } else {
            byte += unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
            index += 1;
        }
    }
    result.push_back({index, byte});
    return result;
}

// The last character boundary at most limit bytes after character `from`; always past `from`,
// since one character is at most 4 bytes.
size_t LastFit(const std::vector<Boundary>& bounds, size_t from, qsizetype limit) {
    size_t end = from + 1;
    while (end + 1 < bounds.size() && bounds[end + 1].byte - bounds[from].byte <= limit) ++end;
    return end;
}

QString Slice(const QString& text, const std::vector<Boundary>& bounds, size_t from, size_t to) {
    return text.sliced(bounds[from].index, bounds[to].index - bounds[from].index);
}

// Where a line from a split may begin: never, blanks aside, with "/", or the server would take a
// piece of someone's talk for a command. Entry i is for a line starting at character i.
std::vector<bool> SafeStarts(const QString& text, const std::vector<Boundary>& bounds) {
    std::vector<bool> safe(bounds.size(), true);
    for (size_t i = bounds.size() - 1; i-- > 0;) {
        const QChar c = text[bounds[i].index];
        safe[i] = c == kBlank ? safe[i + 1] : c != kSlash;
    }
    return safe;
}

// Splits plain talk into lines of at most limit bytes: at the last blank that keeps the piece
// short enough (the blank is dropped), otherwise between two characters.
QStringList SplitTalk(const QString& text, qsizetype limit) {
    const std::vector<Boundary> bounds = Boundaries(text);
    const std::vector<bool> safeStart = SafeStarts(text, bounds);
    const size_t end = bounds.size() - 1;
    QStringList lines;
    size_t from = 0;
    while (bounds[end].byte - bounds[from].byte > limit) {
        const size_t fit = LastFit(bounds, from, limit);
        size_t cut = 0, next = 0;
        for (size_t blank = fit; blank > from && cut == 0; --blank) {
            if (text[bounds[blank].index] == kBlank && safeStart[blank + 1]) {
                cut = blank;
                next = blank + 1;
            }
        }
        for (size_t hard = fit; hard > from && cut == 0; --hard) {
            if (safeStart[hard]) cut = next = hard;
        }
        if (cut == 0) {
            // Nothing but slashes could follow: what cannot go out as talk does not go out.
            lines.append(Slice(text, bounds, from, fit));
            return lines;
        }
        lines.append(Slice(text, bounds, from, cut));
        from = next;
        if (from == end) return lines;  // the split used up a trailing blank
    }
    lines.append(Slice(text, bounds, from, end));
    return lines;
}

// A command is cut, never split: its tail sent on its own would be read as talk, or worse.
QString CutCommand(const QString& text, qsizetype limit) {
    const std::vector<Boundary> bounds = Boundaries(text);
    if (bounds.back().byte <= limit) return text;
    return Slice(text, bounds, 0, LastFit(bounds, 0, limit));
}

QStringList ToLines(const QString& text) {
    if (text.startsWith(kSlash)) {
        return {CutCommand(text, ByteLimit(SendQueue::IsEmote(text)))};
    }
    return SplitTalk(text, ByteLimit(false));
}

}  // namespace

SendQueue::SendQueue(Clock clockMs, Transmit transmitLine)
    : clock(std::move(clockMs)), transmit(std::move(transmitLine)) {}

bool SendQueue::IsEmote(const QString& line) {
    if (!line.startsWith(kSlash)) return false;
    // A bare "/me" is charged like any other emote; counting it double errs on the safe side.
    const qsizetype blank = line.indexOf(kBlank);
    const QStringView word = QStringView(line).sliced(1, (blank < 0 ? line.size() : blank) - 1);
    return word.compare(u"me", Qt::CaseInsensitive) == 0 ||
           word.compare(u"emote", Qt::CaseInsensitive) == 0;
}

int SendQueue::LineCost(const QString& line) {
    const int units = UnitsFor(line.toUtf8().size());
    return IsEmote(line) ? units * kEmoteCostFactor : units;
}

int SendQueue::Enqueue(const QString& text, quint64 tag) {
    qsizetype end = 0;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
    const QStringList lines = ToLines(text.first(end));

    int dropped = 0;
    for (const QString& line : lines) {
        if (Pending() >= kMaxQueuedLines) {
            ++dropped;
            continue;
        }
        waiting.push_back({line, LineCost(line), tag});
    }
    Pump();
    return dropped;
}

void SendQueue::Pump() {
    // A transmit that lets events run may call Enqueue or Clear. The outer loop then sends what
    // they added (so transmits never nest) and rereads the queue each time round, holding
    // nothing into it across the call.
    if (pumping) return;
    pumping = true;
    while (!waiting.empty()) {
        const qint64 now = clock();
        ForgetOldCharges(now);
        if (MsUntilFits(waiting.front().cost, now) > 0) break;
        Line line = std::move(waiting.front());
        waiting.pop_front();
        charges.push_back({now, line.cost});
        transmit(line.text, line.tag);
    }
    pumping = false;
}

qint64 SendQueue::MsUntilNextSend() const {
    if (waiting.empty()) return -1;
    return MsUntilFits(waiting.front().cost, clock());
}

void SendQueue::Clear() { waiting.clear(); }

bool SendQueue::Holds(quint64 tag) const {
    return tag != 0 && std::any_of(waiting.begin(), waiting.end(),
                                   [tag](const Line& line) { return line.tag == tag; });
}

qsizetype SendQueue::CountHolding(quint64 tag) const {
    if (tag == 0) return 0;
    return std::count_if(waiting.begin(), waiting.end(),
                         [tag](const Line& line) { return line.tag == tag; });
}

qint64 SendQueue::MsUntilFits(int cost, qint64 now) const {
    int spent = 0;
    for (const Charge& charge : charges) {
        if (now - charge.sentAt < kWindowMs) spent += charge.cost;
    }
    if (spent + cost <= kBudgetUnits) return 0;
    // Charges leave the window oldest first; the line fits once enough of them have left.
    for (const Charge& charge : charges) {
        if (now - charge.sentAt >= kWindowMs) continue;
        spent -= charge.cost;
        if (spent + cost <= kBudgetUnits) return charge.sentAt + kWindowMs - now;
    }
    return 0;
}

void SendQueue::ForgetOldCharges(qint64 now) {
    while (!charges.empty() && now - charges.front().sentAt >= kWindowMs) charges.pop_front();
}

}  // namespace zarivok
