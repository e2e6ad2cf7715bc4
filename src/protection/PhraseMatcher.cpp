#include "protection/PhraseMatcher.h"

#include <QChar>
#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>
#include <utility>

namespace zarivok {
namespace {

constexpr int kAscii = 128;
constexpr int kNoState = -1;
// Non-ASCII characters with a column of their own: enough for a whole alphabet (Cyrillic,
// Greek, accented Latin), few enough that a list in a script of thousands of characters still
// leaves table rows for its many states.
constexpr int kMaxDenseOtherClasses = 128;

// Calls unit(c) for each UTF-16 unit of the text's case folding, until it returns true. A
// surrogate pair is folded as the one character it is (a Deseret capital and its small letter
// are both pairs), the same way QString::toCaseFolded does; everything else unit by unit, so the
// common case costs one table lookup.
template <typename Unit>
bool ForEachFoldedUnit(QStringView text, Unit&& unit) {
    const char16_t* data = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i];
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(data[i + 1])) {
            const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, data[++i]));
            if (unit(QChar::highSurrogate(folded)) || unit(QChar::lowSurrogate(folded))) {
                return true;
            }
        } else if (unit(static_cast<char16_t>(QChar::toCaseFolded(c)))) {
            return true;
        }
    }
    return false;
}

}  // namespace

PhraseMatcher::PhraseMatcher(const QStringList& phrases) : asciiClass_(kAscii, 0) {
    std::vector<std::u16string> folded;
    std::array<bool, kAscii> asciiUsed{};
    QHash<char16_t, int> otherCount;
    for (const QString& phrase : phrases) {
        if (phrase.isEmpty()) continue;
        std::u16string units;
        ForEachFoldedUnit(phrase, [&](char16_t c) {
            units.push_back(c);
            if (c < kAscii) {
                asciiUsed[c] = true;
            } else {
                ++otherCount[c];
            }
            return false;
        });
        folded.push_back(std::move(units));
    }
    if (folded.empty()) {
        asciiClass_.clear();
        return;
    }
    empty_ = false;

    // Classes: the ASCII ones, then the commonest other characters, all with a column; then the
    // rest, which only the trie's edges know.
    int classes = 1;
    for (int c = 0; c < kAscii; ++c) {
        if (asciiUsed[c]) asciiClass_[c] = classes++;
    }
    std::vector<std::pair<int, char16_t>> others;
    others.reserve(otherCount.size());
    for (auto it = otherCount.cbegin(); it != otherCount.cend(); ++it) {
        others.emplace_back(-it.value(), it.key());
    }
    std::sort(others.begin(), others.end());
    denseClasses_ = classes + std::min(static_cast<int>(others.size()), kMaxDenseOtherClasses);
    for (const auto& other : others) otherClass_.insert(other.second, classes++);
    // Text is looked up unfolded on the ASCII path: a capital shares its small letter's class.
    for (int c = 0; c < kAscii; ++c) {
        asciiClass_[c] = asciiClass_[QChar::toCaseFolded(static_cast<char16_t>(c))];
    }

    // The trie. Nothing past the end of a phrase matters (a line holding the longer one holds
    // the shorter), so a phrase that runs through another's end adds nothing.
    std::unordered_map<std::uint64_t, int> children;
    const auto key = [](int state, int charClass) {
        return (static_cast<std::uint64_t>(state) << 32) | static_cast<std::uint32_t>(charClass);
    };
    std::vector<int> depth(1, 0);
    std::vector<std::uint8_t> terminal(1, 0);
    for (const std::u16string& units : folded) {
        int state = 0;
        for (const char16_t c : units) {
            if (terminal[state]) break;
            const auto [it, added] =
                children.try_emplace(key(state, ClassOf(c)), static_cast<int>(depth.size()));
            if (added) {
                depth.push_back(depth[state] + 1);
                terminal.push_back(0);
            }
            state = it->second;
        }
        terminal[state] = 1;
    }

    // Renumbered by depth, its edges grouped by state and sorted by class.
    const int states = static_cast<int>(depth.size());
    const int deepest = *std::max_element(depth.cbegin(), depth.cend());
    std::vector<int> firstAtDepth(deepest + 2, 0);
    for (const int d : depth) ++firstAtDepth[d + 1];
    for (int d = 0; d <= deepest; ++d) firstAtDepth[d + 1] += firstAtDepth[d];
    std::vector<int> renumbered(states);
    for (int s = 0; s < states; ++s) renumbered[s] = firstAtDepth[depth[s]]++;
    accepting_.assign(states, 0);
    for (int s = 0; s < states; ++s) accepting_[renumbered[s]] = terminal[s];
    std::vector<std::pair<int, Edge>> edges;
    edges.reserve(children.size());
    for (const auto& [from, to] : children) {
        edges.push_back({renumbered[static_cast<int>(from >> 32)],
                         Edge{static_cast<int>(from & 0xFFFFFFFFu), renumbered[to]}});
    }
    children = {};
    std::sort(edges.begin(), edges.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.charClass < b.second.charClass;
    });
    edgeBegin_.assign(states + 1, 0);
    edges_.reserve(edges.size());
    for (const auto& [from, edge] : edges) {
        ++edgeBegin_[from + 1];
        edges_.push_back(edge);
    }
    for (int s = 0; s < states; ++s) edgeBegin_[s + 1] += edgeBegin_[s];

    // In state order every state's failure link (the longest proper suffix that is also a
    // state) and its row are ready before a deeper state needs them; a row's missing
    // transitions are its failure link's.
    denseStates_ = static_cast<int>(
        std::min(static_cast<std::size_t>(states), kMaxTableEntries / denseClasses_));
    const std::size_t width = static_cast<std::size_t>(denseClasses_);
    next_.assign(static_cast<std::size_t>(denseStates_) * width, 0);
    failure_.assign(states, 0);
    for (int s = 0; s < states; ++s) {
        if (accepting_[failure_[s]]) accepting_[s] = 1;
        for (int e = edgeBegin_[s]; e < edgeBegin_[s + 1]; ++e) {
            failure_[edges_[e].target] = s == 0 ? 0 : Step(failure_[s], edges_[e].charClass);
        }
        if (s >= denseStates_) continue;
        int* row = next_.data() + static_cast<std::size_t>(s) * width;
        // Once a phrase is found nothing after it matters: the state keeps itself, and the
        // line is looked at once, at its end, instead of after every character. What lies
        // beyond it in the trie is never reached.
        if (accepting_[s]) {
            std::fill_n(row, width, s);
            continue;
        }
        if (s != 0) {
            const int* fallback = next_.data() + static_cast<std::size_t>(failure_[s]) * width;
            std::copy_n(fallback, width, row);
        }
        for (int e = edgeBegin_[s]; e < edgeBegin_[s + 1]; ++e) {
            if (edges_[e].charClass < denseClasses_) row[edges_[e].charClass] = edges_[e].target;
        }
    }
}

bool PhraseMatcher::ContainsAny(QStringView text) const {
    if (empty_) return false;
    // Unsigned and local, so that each step is one multiply-add and one load, with nothing to
    // reload from the object.
    const int* next = next_.data();
    const int* ascii = asciiClass_.data();
    const std::size_t width = static_cast<std::size_t>(denseClasses_);
    const std::size_t denseStates = static_cast<std::size_t>(denseStates_);
    std::size_t state = 0;
    const char16_t* data = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = data[i];
        if (unit < kAscii && state < denseStates) {
            state = static_cast<std::size_t>(next[state * width + ascii[unit]]);
            continue;
        }
        // Off the table, a found phrase no longer keeps its state: look now.
        if (accepting_[state]) return true;
        if (unit < kAscii) {
            state = static_cast<std::size_t>(Step(static_cast<int>(state), ascii[unit]));
            continue;
        }
        // Everything else is folded, a run at a time so that a surrogate pair stays whole.
        qsizetype end = i + 1;
        while (end < size && data[end] >= kAscii) ++end;
        const bool found = ForEachFoldedUnit(text.sliced(i, end - i), [&](char16_t folded) {
            state = static_cast<std::size_t>(Step(static_cast<int>(state), ClassOf(folded)));
            return accepting_[state] != 0;
        });
        if (found) return true;
        i = end - 1;
    }
    return accepting_[state] != 0;
}

int PhraseMatcher::Step(int state, int charClass) const {
    // A character of no phrase ends every partial match.
    if (charClass == 0) return 0;
    for (;;) {
        if (state < denseStates_ && charClass < denseClasses_) {
            return next_[static_cast<std::size_t>(state) * denseClasses_ + charClass];
        }
        const int child = Child(state, charClass);
        if (child != kNoState) return child;
        if (state == 0) return 0;
        state = failure_[state];
    }
}

int PhraseMatcher::Child(int state, int charClass) const {
    const auto begin = edges_.begin() + edgeBegin_[state];
    const auto end = edges_.begin() + edgeBegin_[state + 1];
    const auto it = std::lower_bound(begin, end, charClass,
                                     [](const Edge& edge, int c) { return edge.charClass < c; });
    return it != end && it->charClass == charClass ? it->target : kNoState;
}

int PhraseMatcher::ClassOf(char16_t folded) const {
    return folded < kAscii ? asciiClass_[folded] : otherClass_.value(folded, 0);
}

}  // namespace zarivok
