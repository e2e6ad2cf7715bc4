#pragma once

#include <QList>
#include <QString>

namespace zarivok {

// A settings file in INI form, read the way the Windows INI reader reads one, so that a file
// written by hand for the original program reads the same here: section and key names match
// regardless of letter case, blanks (space, tab) around names, "=" and values are ignored, and
// the first matching key of the first matching section wins.
class IniFile {
  public:
    // Longest value handed out, in characters; the Windows reader the file format comes from
    // fills a 128-character buffer that ends with a NUL.
    static constexpr qsizetype kMaxValueLength = 127;

    // Reads and parses the whole file once. A missing or unreadable file is an empty one: every
    // lookup then gives "", which callers treat as an unset value.
    static IniFile Load(const QString& path);
    // Parses file content that is already in memory (UTF-8, or Windows-1252 when not valid UTF-8).
    static IniFile Parse(const QByteArray& bytes);

    // The value of key in section, without surrounding blanks and cut to kMaxValueLength
    // characters; "" when the section or the key is missing.
    QString Value(const QString& section, const QString& key) const;

  private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        QList<Entry> entries;
    };

    QList<Section> sections_;
};

// Looks up one key in the file at path; a shorthand for IniFile::Load(path).Value(...).
QString ReadSetting(const QString& path, const QString& section, const QString& key);

}  // namespace zarivok
