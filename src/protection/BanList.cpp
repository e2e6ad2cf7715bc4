#include "protection/BanList.h"

#include <algorithm>

namespace zarivok {
namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

// A surrogate pair is one character to "?" and to the run a "*" stands for.
qsizetype CharacterLength(QStringView text, qsizetype at) {
    return text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate() ? 2
                                                                                               : 1;
}

// Both sides already case-folded. A "*" first matches nothing and, each time the rest fails,
// one character more; only the latest "*" is ever widened, since whatever an earlier one could
// take the latest can take instead. That keeps a pattern of many stars from trying every way of
// sharing the name out among them.
bool FoldedPatternMatches(QStringView pattern, QStringView name) {
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starP = -1;
    qsizetype starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = ++p;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == u'?') {
            ++p;
            n += CharacterLength(name, n);
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP;
            starN += CharacterLength(name, starN);
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

}  // namespace

void BanList::SetEntries(QList<BanEntry> entries) {
    entries_ = std::move(entries);
    Reindex();
}

bool BanList::Add(const QString& pattern, const QString& reason) {
    if (pattern.isEmpty()) return false;
    const QString folded = pattern.toCaseFolded();
    const qsizetype index = entries_.size();
    if (HasWildcards(pattern)) {
        const qsizetype known = wildFolded_.indexOf(folded);
        if (known >= 0) {
            entries_[wild_[known]].reason = reason;
            return true;
        }
        wild_.append(index);
        wildFolded_.append(folded);
    } else {
        const auto known = exact_.constFind(folded);
        if (known != exact_.cend()) {
            entries_[*known].reason = reason;
            return true;
        }
        exact_.insert(folded, index);
    }
    entries_.append({pattern, reason});
    return true;
}

bool BanList::Remove(QStringView pattern) {
    // Every entry of that pattern goes, so that a list read with the same pattern twice bans
    // nobody by it after one removal. Folding keeps the length, so most entries are passed over
    // without comparing a letter.
    QList<qsizetype> gone;
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        const QString& candidate = entries_[i].pattern;
        if (candidate.size() == pattern.size() &&
            QStringView(candidate).compare(pattern, Qt::CaseInsensitive) == 0) {
            gone.append(i);
        }
    }
    if (gone.isEmpty()) return false;

    // The index is mended rather than built again, which would fold every pattern once more.
    const auto shifted = [&gone](qsizetype index) {
        return index - (std::lower_bound(gone.cbegin(), gone.cend(), index) - gone.cbegin());
    };
    for (auto i = gone.crbegin(); i != gone.crend(); ++i) entries_.removeAt(*i);
    exact_.remove(pattern.toString().toCaseFolded());
    for (qsizetype& index : exact_) index = shifted(index);
    qsizetype kept = 0;
    for (qsizetype k = 0; k < wild_.size(); ++k) {
        if (std::binary_search(gone.cbegin(), gone.cend(), wild_[k])) continue;
        wild_[kept] = shifted(wild_[k]);
        if (kept != k) wildFolded_[kept] = std::move(wildFolded_[k]);
        ++kept;
    }
    wild_.resize(kept);
    wildFolded_.resize(kept);
    return true;
}

const BanEntry* BanList::Match(QStringView name) const {
    if (entries_.isEmpty()) return nullptr;
    const QString folded = name.toString().toCaseFolded();
    qsizetype first = exact_.value(folded, entries_.size());
    // The wildcard indexes rise, so none after the exact hit can come first.
    for (qsizetype i = 0; i < wild_.size() && wild_[i] < first; ++i) {
        if (FoldedPatternMatches(wildFolded_[i], folded)) first = wild_[i];
    }
    return first < entries_.size() ? &entries_[first] : nullptr;
}

bool BanList::HasWildcards(QStringView pattern) {
    return pattern.contains(u'*') || pattern.contains(u'?');
}

bool BanList::PatternMatches(QStringView pattern, QStringView name) {
    return FoldedPatternMatches(pattern.toString().toCaseFolded(), name.toString().toCaseFolded());
}

QList<BanEntry> BanList::ParseLines(const QStringList& lines) {
    QList<BanEntry> entries;
    for (const QString& line : lines) {
        if (line.isEmpty() || IsBlank(line.front())) continue;
        qsizetype end = 0;
        while (end < line.size() && !IsBlank(line[end])) ++end;
        qsizetype begin = end;
        while (begin < line.size() && IsBlank(line[begin])) ++begin;
        qsizetype last = line.size();
        while (last > begin && IsBlank(line[last - 1])) --last;
        entries.append({line.left(end), line.sliced(begin, last - begin)});
    }
    return entries;
}

QStringList BanList::ToLines(const QList<BanEntry>& entries) {
    QStringList lines;
    lines.reserve(entries.size());
    for (const BanEntry& entry : entries) {
        lines.append(entry.reason.isEmpty() ? entry.pattern : entry.pattern + u' ' + entry.reason);
    }
    return lines;
}

void BanList::Reindex() {
    exact_.clear();
    wild_.clear();
    wildFolded_.clear();
    exact_.reserve(entries_.size());
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        const QString& pattern = entries_[i].pattern;
        if (HasWildcards(pattern)) {
            wild_.append(i);
            wildFolded_.append(pattern.toCaseFolded());
        } else {
            // Of two equal patterns the first is the one Match must find.
            const QString folded = pattern.toCaseFolded();
            if (!exact_.contains(folded)) exact_.insert(folded, i);
        }
    }
}

}  // namespace zarivok
