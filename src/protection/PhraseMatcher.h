#pragma once

#include <QHash>
#include <QStringList>
#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zarivok {

// Finds whether a line holds any of a list of phrases, ignoring letter case, in one pass over
// the line whatever the number of phrases (an Aho-Corasick automaton built once per list).
// Empty phrases are ignored.
//
// Transitions are precomputed in a dense table for the common characters (every ASCII one the
// phrases use, and the non-ASCII ones they use most) from the shallowest states, so that
// ordinary text costs one table lookup per character. The table has a fixed ceiling: any other
// character, or a state past the table, follows the trie's own edges and failure links, which
// take memory in proportion to the phrases alone.
class PhraseMatcher {
  public:
    PhraseMatcher() = default;
    explicit PhraseMatcher(const QStringList& phrases);

    bool IsEmpty() const { return empty_; }
    bool ContainsAny(QStringView text) const;

  private:
    // 16 MiB of table whatever the list: a fuzzer's or a careless file's thousands of distinct
    // characters times their states would otherwise take hundreds of megabytes.
    static constexpr std::size_t kMaxTableEntries = std::size_t{4} << 20;

    int ClassOf(char16_t folded) const;
    // The automaton's transition from any state on any class, through the table where it
    // reaches, otherwise through the trie and its failure links.
    int Step(int state, int charClass) const;
    // The trie's own edge, or -1.
    int Child(int state, int charClass) const;

    bool empty_ = true;
    // Character classes: every distinct folded character of the phrases gets one, class 0 is
    // "any other". ASCII through a table, the rest through a hash. Classes below denseClasses_
    // have a column in the table.
    std::vector<int> asciiClass_;
    QHash<char16_t, int> otherClass_;
    int denseClasses_ = 1;
    // States are numbered by depth, so that a state's failure link (a shorter string) always
    // comes before it and the states a line visits most have the low numbers. The first
    // denseStates_ have a row of the table, next_[s * denseClasses_ + c], at most
    // kMaxTableEntries in all.
    int denseStates_ = 0;
    std::vector<int> next_;
    // The trie, edges of state s at edges_[edgeBegin_[s] .. edgeBegin_[s + 1]), by class.
    struct Edge {
        int charClass;
        int target;
    };
    std::vector<int> edgeBegin_;
    std::vector<Edge> edges_;
    std::vector<int> failure_;
    // A phrase ends at the state or at one of its suffixes.
    std::vector<std::uint8_t> accepting_;
};

}  // namespace zarivok
