#pragma once

#include <QHash>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace zarivok {

// Finds whether a line holds any of a list of phrases, ignoring letter case, in one pass over
// the line whatever the number of phrases (an Aho-Corasick automaton built once per list, with
// every transition precomputed). Empty phrases are ignored.
class PhraseMatcher {
  public:
    PhraseMatcher() = default;
    explicit PhraseMatcher(const QStringList& phrases);

    bool IsEmpty() const { return empty_; }
    bool ContainsAny(QStringView text) const;

  private:
    int ClassOf(char16_t folded) const;

    // The most table entries a list may take (16 MiB of them); beyond, slowPhrases_ holds the
    // folded phrases and each is looked for on its own.
    static constexpr size_t kMaxTableEntries = size_t{4} << 20;
    QStringList slowPhrases_;
    bool empty_ = true;
    // Character classes: every distinct folded character of the phrases gets one, class 0 is
    // "any other". ASCII through a table, the rest through a hash.
    std::vector<int> asciiClass_;
    QHash<char16_t, int> otherClass_;
    int classes_ = 1;
    // State s, class c -> next state at next_[s * classes_ + c]; accepting_[s] when a phrase
    // ends at s or at any of its suffixes.
    std::vector<int> next_;
    std::vector<bool> accepting_;
};

}  // namespace zarivok
