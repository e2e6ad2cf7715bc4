#include "settings/IniFile.h"

#include <QFile>

#include "base/TextCodec.h"

namespace zarivok {
namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

QStringView TrimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

// Counts characters, not UTF-16 units, so a cut never splits a surrogate pair.
QString CutToCharacters(const QString& text, qsizetype maxCharacters) {
    qsizetype end = 0;
    for (qsizetype count = 0; end < text.size() && count < maxCharacters; ++count) {
        const bool pair =
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return text.left(end);
}

// Lines end at CR LF, LF or a bare CR: files edited on other systems keep their own line ends.
QList<QStringView> SplitLines(QStringView text) {
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.append(text.mid(start));
    return lines;
}

}  // namespace

IniFile IniFile::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return IniFile();
    return Parse(file.readAll());
}

IniFile IniFile::Parse(const QByteArray& bytes) {
    static constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
    const QByteArray content = bytes.startsWith(kUtf8Bom) ? bytes.mid(3) : bytes;
    const QString text = DecodeText(content);

    IniFile ini;
    for (const QStringView rawLine : SplitLines(text)) {
        const QStringView line = TrimBlanks(rawLine);
        if (line.isEmpty()) continue;
        if (line.front() == u'[') {
            const qsizetype close = line.indexOf(u']');
            const QStringView name = close < 0 ? line.mid(1) : line.mid(1, close - 1);
            ini.sections_.append(Section{TrimBlanks(name).toString(), {}});
            continue;
        }
        // Keys above the first section header belong to no section and cannot be looked up.
        if (ini.sections_.isEmpty()) continue;
        // A line without "=" is a key without a value: it still hides a later key of that name.
        const qsizetype equals = line.indexOf(u'=');
        const QStringView key = equals < 0 ? line : line.left(equals);
        const QStringView value = equals < 0 ? QStringView() : line.mid(equals + 1);
        ini.sections_.last().entries.append(
            Entry{TrimBlanks(key).toString(), TrimBlanks(value).toString()});
    }
    return ini;
}

QString IniFile::Value(const QString& section, const QString& key) const {
    for (const Section& candidate : sections_) {
        if (candidate.name.compare(section, Qt::CaseInsensitive) != 0) continue;
        for (const Entry& entry : candidate.entries) {
            if (entry.key.compare(key, Qt::CaseInsensitive) == 0) {
                return CutToCharacters(entry.value, kMaxValueLength);
            }
        }
        // A repeated section header does not extend the first one: only the first counts.
        return QString();
    }
    return QString();
}

QString ReadSetting(const QString& path, const QString& section, const QString& key) {
    return IniFile::Load(path).Value(section, key);
}

}  // namespace zarivok
