// The three files of channel protection, and a name and a line to hold against them.
//
// The input is cut at its NUL bytes into Protection.ini, Banlist.txt, Phrases.txt and a last
// piece that serves as a user's name and as a line of talk. Any bytes must read. Then:
// - Protection.ini's texts, written as the bot writes them, read back as the same texts (or are
//   refused for a line break, naming the key);
// - the ban list, written and read back, gives the same entries, in the same code page;
// - a pattern without wildcards matches exactly its own name, ignoring letter case;
// - the ban list's answer for the name is the first entry, in list order, whose pattern
//   matches it one by one;
// - the phrase automaton finds a phrase in the line exactly when one of the phrases, each looked
//   for on its own, is in it, ignoring letter case.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "Breach.h"
#include "base/ListFile.h"
#include "protection/BanList.h"
#include "protection/PhraseMatcher.h"
#include "protection/ProtectionFiles.h"
#include "protection/ProtectionSettings.h"
#include "settings/IniFile.h"

using namespace zarivok;
using zarivok::fuzz::Breach;
using zarivok::fuzz::Escaped;

namespace {

// The one-by-one checks are quadratic: enough entries to reach every path, no more.
constexpr qsizetype kCheckedEntries = 64;

QByteArray Evidence(const QString& name, const QStringList& items) {
    QByteArray out = "  name: [" + Escaped(name) + "]\n";
    for (const QString& item : items) out += "  [" + Escaped(item) + "]\n";
    return out;
}

void CheckSettings(const QByteArray& bytes) {
    const ProtectionTexts texts = ReadProtectionTexts(IniFile::Parse(bytes));
    const ProtectionSettingsRead read =
        ParseProtectionTexts(texts, QStringLiteral("Protection.ini"));
    if (read.problems.size() > 12) Breach("more problems than keys");
    const ProtectionFileContent content = ComposeProtectionFile(texts);
    if (!content.brokenKey.isEmpty()) return;
    // A value the reader cut at its longest may end in a blank, which the next reading drops:
    // the first writing may lose that blank, and from then on nothing changes.
    const ProtectionTexts once = ReadProtectionTexts(IniFile::Parse(content.bytes));
    const QString before[] = {texts.greetEnabled, texts.greetText, texts.floodLines,
                              texts.floodReason};
    const QString after[] = {once.greetEnabled, once.greetText, once.floodLines, once.floodReason};
    for (size_t i = 0; i < std::size(before); ++i) {
        if (before[i].left(after[i].size()) != after[i] ||
            !before[i].sliced(after[i].size()).trimmed().isEmpty()) {
            Breach("Protection.ini does not read back as written", Escaped(content.bytes));
        }
    }
    if (ReadProtectionTexts(IniFile::Parse(ComposeProtectionFile(once).bytes)) != once) {
        Breach("Protection.ini changes at every writing", Escaped(content.bytes));
    }
}

QList<BanEntry> ReadBans(const QByteArray& bytes, TextEncoding* encoding) {
    const ListFileText file = DecodeListFile(bytes);
    *encoding = file.encoding;
    return BanList::ParseLines(SplitListLines(file.text));
}

void CheckBans(const QByteArray& bytes, const QString& name) {
    TextEncoding encoding{};
    const QList<BanEntry> entries = ReadBans(bytes, &encoding);
    QStringList shown;
    for (const BanEntry& entry : entries) shown.append(entry.pattern + u'|' + entry.reason);

    TextEncoding again{};
    const QByteArray written = EncodeListFile(JoinListLines(BanList::ToLines(entries)), encoding);
    if (ReadBans(written, &again) != entries) {
        Breach("the ban list does not read back as written", Evidence(name, shown));
    }

    BanList list;
    list.SetEntries(entries);
    const qsizetype checked = std::min(entries.size(), kCheckedEntries);
    for (qsizetype i = 0; i < checked; ++i) {
        const QString& pattern = entries[i].pattern;
        if (BanList::HasWildcards(pattern)) continue;
        if (!BanList::PatternMatches(pattern, pattern) ||
            !BanList::PatternMatches(pattern, pattern.toCaseFolded())) {
            Breach("a pattern without wildcards misses its own name", Evidence(pattern, {}));
        }
        const bool same = pattern.toCaseFolded() == name.toCaseFolded();
        if (BanList::PatternMatches(pattern, name) != same) {
            Breach("a pattern without wildcards matches another name, or misses its own",
                   Evidence(name, {pattern}));
        }
    }
    if (entries.size() > kCheckedEntries) return;
    const BanEntry* expected = nullptr;
    for (const BanEntry& entry : entries) {
        if (BanList::PatternMatches(entry.pattern, name)) {
            expected = &entry;
            break;
        }
    }
    const BanEntry* found = list.Match(name);
    if ((found == nullptr) != (expected == nullptr) || (found && *found != *expected)) {
        Breach("the ban list's match is not the first matching entry", Evidence(name, shown));
    }
}

void CheckPhrases(const QByteArray& bytes, const QString& line) {
    const QStringList phrases = ParsePhraseLines(SplitListLines(DecodeListFile(bytes).text));
    const PhraseMatcher matcher(phrases);
    if (phrases.size() > kCheckedEntries) return;
    const QString folded = line.toCaseFolded();
    bool expected = false;
    for (const QString& phrase : phrases)
        expected = expected || folded.contains(phrase.toCaseFolded());
    if (matcher.ContainsAny(line) != expected) {
        Breach("the phrase automaton disagrees with looking for each phrase",
               Evidence(line, phrases));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<QByteArray> parts = bytes.split('\0');
    const auto part = [&parts](qsizetype i) { return i < parts.size() ? parts[i] : QByteArray(); };
    const QString name = DecodeListFile(part(3)).text;
    CheckSettings(part(0));
    CheckBans(part(1), name);
    CheckPhrases(part(2), name);
    return 0;
}
