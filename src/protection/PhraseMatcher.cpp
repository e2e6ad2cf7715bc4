#include "protection/PhraseMatcher.h"

#include <QChar>
#include <algorithm>
#include <deque>
#include <string>

namespace zarivok {
namespace {

constexpr int kAscii = 128;
constexpr int kNoState = -1;

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
    // Classes first, so that the trie can be laid out straight into the table.
    std::vector<std::u16string> folded;
    for (const QString& phrase : phrases) {
        if (phrase.isEmpty()) continue;
        std::u16string units;
        ForEachFoldedUnit(phrase, [&](char16_t c) {
            units.push_back(c);
            int& known = c < kAscii ? asciiClass_[c] : otherClass_[c];
            if (known == 0) known = classes_++;
            return false;
        });
        folded.push_back(std::move(units));
    }
    if (folded.empty()) {
        asciiClass_.clear();
        return;
    }
    empty_ = false;
    // A table row per trie state and a column per class: a list of many phrases in a script of
    // thousands of characters would need gigabytes. Such a list is searched phrase by phrase
    // instead, slower but in the memory of the phrases themselves.
    size_t units = 1;
    for (const std::u16string& phrase : folded) units += phrase.size();
    if (units * static_cast<size_t>(classes_) > kMaxTableEntries) {
        for (const std::u16string& phrase : folded) {
            slowPhrases_.append(
                QString::fromUtf16(phrase.data(), static_cast<qsizetype>(phrase.size())));
        }
        asciiClass_.clear();
        otherClass_.clear();
        return;
    }
    // Text is looked up unfolded on the ASCII path: a capital shares its small letter's class.
    for (int c = 0; c < kAscii; ++c) {
        asciiClass_[c] = asciiClass_[QChar::toCaseFolded(static_cast<char16_t>(c))];
    }

    const auto row = [this](int state) { return static_cast<size_t>(state) * classes_; };

    // The trie, its missing transitions marked for the pass below.
    next_.assign(classes_, kNoState);
    accepting_.assign(1, false);
    int states = 1;
    for (const std::u16string& units : folded) {
        int state = 0;
        for (const char16_t c : units) {
            const size_t at = row(state) + ClassOf(c);
            if (next_[at] == kNoState) {
                next_[at] = states++;
                next_.resize(row(states), kNoState);
                accepting_.push_back(false);
            }
            state = next_[at];
        }
        accepting_[state] = true;
    }

    // Breadth first, every state's fallback (the longest proper suffix that is also a trie state)
    // is complete before its children need it; a missing transition becomes the fallback's.
    std::vector<int> fallback(states, 0);
    std::deque<int> queue;
    for (int c = 0; c < classes_; ++c) {
        int& target = next_[c];
        if (target == kNoState) {
            target = 0;
        } else {
            queue.push_back(target);
        }
    }
    while (!queue.empty()) {
        const int state = queue.front();
        queue.pop_front();
        if (accepting_[fallback[state]]) accepting_[state] = true;
        // Once a phrase is found nothing after it matters: the state keeps itself, and the line
        // is looked at once, at its end, instead of after every character. What lies beyond it
        // in the trie is never reached.
        if (accepting_[state]) {
            std::fill_n(next_.begin() + row(state), classes_, state);
            continue;
        }
        const int* fallbackRow = &next_[row(fallback[state])];
        for (int c = 0; c < classes_; ++c) {
            int& target = next_[row(state) + c];
            if (target == kNoState) {
                target = fallbackRow[c];
            } else {
                fallback[target] = fallbackRow[c];
                queue.push_back(target);
            }
        }
    }
}

bool PhraseMatcher::ContainsAny(QStringView text) const {
    if (empty_) return false;
    if (!slowPhrases_.isEmpty()) {
        const QString folded = text.toString().toCaseFolded();
        return std::any_of(slowPhrases_.cbegin(), slowPhrases_.cend(),
                           [&folded](const QString& phrase) { return folded.contains(phrase); });
    }
    // Unsigned and local, so that each step is one multiply-add and one load, with nothing to
    // reload from the object.
    const int* next = next_.data();
    const int* ascii = asciiClass_.data();
    const size_t classes = static_cast<size_t>(classes_);
    size_t state = 0;
    const auto step = [&](int c) {
        state = static_cast<size_t>(next[state * classes + static_cast<size_t>(c)]);
    };
    const char16_t* data = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] < kAscii) {
            step(ascii[data[i]]);
            continue;
        }
        // Everything else is folded, a run at a time so that a surrogate pair stays whole.
        qsizetype end = i + 1;
        while (end < size && data[end] >= kAscii) ++end;
        ForEachFoldedUnit(text.sliced(i, end - i), [&](char16_t folded) {
            step(ClassOf(folded));
            return false;
        });
        i = end - 1;
    }
    return accepting_[state];
}

int PhraseMatcher::ClassOf(char16_t folded) const {
    return folded < kAscii ? asciiClass_[folded] : otherClass_.value(folded, 0);
}

}  // namespace zarivok
