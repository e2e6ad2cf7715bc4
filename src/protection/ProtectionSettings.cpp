#include "protection/ProtectionSettings.h"

#include <optional>

#include "base/TextCodec.h"
#include "base/Texts.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"

namespace zarivok {
namespace {

struct Key {
    const char* section;
    const char* name;
    QString ProtectionTexts::*text;
};

// Every key of the file, in the order the file is written; reader and writer both walk this one
// list, so neither can miss a key the other knows.
constexpr Key kKeys[] = {
    {"Greet", "Enabled", &ProtectionTexts::greetEnabled},
    {"Greet", "Text", &ProtectionTexts::greetText},
    {"Lockdown", "Enabled", &ProtectionTexts::lockdownEnabled},
    {"Lockdown", "Reason", &ProtectionTexts::lockdownReason},
    {"Phrases", "Enabled", &ProtectionTexts::phrasesEnabled},
    {"Phrases", "Action", &ProtectionTexts::phrasesAction},
    {"Phrases", "Reason", &ProtectionTexts::phrasesReason},
    {"Flood", "Enabled", &ProtectionTexts::floodEnabled},
    {"Flood", "Lines", &ProtectionTexts::floodLines},
    {"Flood", "Seconds", &ProtectionTexts::floodSeconds},
    {"Flood", "Action", &ProtectionTexts::floodAction},
    {"Flood", "Reason", &ProtectionTexts::floodReason},
};

QString KeyName(const Key& key) {
    return QLatin1String(key.section) + u'/' + QLatin1String(key.name);
}

const Key& KeyOf(QString ProtectionTexts::*text) {
    for (const Key& key : kKeys) {
        if (key.text == text) return key;
    }
    Q_UNREACHABLE();
}

// The values of one section, and what the chat pane calls the feature when a value turns it off.
class FeatureReader {
  public:
    FeatureReader(const ProtectionTexts& texts, const QString& fileName, const char* feature,
                  QStringList& problems)
        : texts_(texts), fileName_(fileName), feature_(feature), problems_(problems) {}

    bool Usable() const { return usable_; }

    // Missing or 0 is off; only a value that is no whole number at all is reported.
    bool Enabled(QString ProtectionTexts::*text) {
        const QString& value = texts_.*text;
        if (IsMissing(value)) return false;
        const std::optional<qint64> number = ParseWholeNumber(value);
        if (!number) Refuse(text, QStringLiteral("not a whole number"));
        return number == 1;
    }

    // A missing count turns the feature off without a word, like a missing switch.
    int Count(QString ProtectionTexts::*text, int highest) {
        const QString& value = texts_.*text;
        if (IsMissing(value)) {
            usable_ = false;
            return 0;
        }
        const std::optional<qint64> number = ParseWholeNumber(value);
        if (number && *number >= 1 && *number <= highest) return static_cast<int>(*number);
        Refuse(text, QStringLiteral("not a whole number from 1 to %1").arg(highest));
        return 0;
    }

    ProtectionAction Action(QString ProtectionTexts::*text) {
        const QStringView value = QStringView(texts_.*text).trimmed();
        if (value.isEmpty() || value.compare(u"kick", Qt::CaseInsensitive) == 0) {
            return ProtectionAction::kKick;
        }
        if (value.compare(u"ban", Qt::CaseInsensitive) == 0) return ProtectionAction::kBan;
        Refuse(text, QStringLiteral("not \"kick\" or \"ban\""));
        return ProtectionAction::kKick;
    }

  private:
    // The file's reader never gives blanks alone, but the dialog's fields may hold them.
    static bool IsMissing(const QString& value) { return QStringView(value).trimmed().isEmpty(); }

    void Refuse(QString ProtectionTexts::*text, const QString& expected) {
        usable_ = false;
        problems_.append(QStringLiteral("%1: \"%2\" is \"%3\", %4; %5 is off.")
                             .arg(fileName_, KeyName(KeyOf(text)), texts_.*text, expected,
                                  QLatin1String(feature_)));
    }

    const ProtectionTexts& texts_;
    const QString& fileName_;
    const char* feature_;
    QStringList& problems_;
    bool usable_ = true;
};

}  // namespace

ProtectionTexts ReadProtectionTexts(const IniFile& ini) {
    ProtectionTexts texts;
    for (const Key& key : kKeys) {
        texts.*key.text = ini.Value(QLatin1String(key.section), QLatin1String(key.name));
    }
    return texts;
}

ProtectionSettingsRead ParseProtectionTexts(const ProtectionTexts& texts, const QString& fileName) {
    ProtectionSettingsRead read;
    ProtectionSettings& settings = read.settings;
    using T = ProtectionTexts;

    // Every value is read even when its switch is off, so that a mistake shows before the
    // feature is switched on and is then found missing.
    FeatureReader greet(texts, fileName, "the greeting", read.problems);
    const bool greetOn = greet.Enabled(&T::greetEnabled);
    settings.greetEnabled = greetOn && greet.Usable();
    settings.greetText = texts.greetText;

    FeatureReader lockdown(texts, fileName, "the lockdown", read.problems);
    const bool lockdownOn = lockdown.Enabled(&T::lockdownEnabled);
    settings.lockdownEnabled = lockdownOn && lockdown.Usable();
    settings.lockdownReason = texts.lockdownReason;

    FeatureReader phrases(texts, fileName, "phrase protection", read.problems);
    const bool phrasesOn = phrases.Enabled(&T::phrasesEnabled);
    settings.phrasesAction = phrases.Action(&T::phrasesAction);
    settings.phrasesEnabled = phrasesOn && phrases.Usable();
    settings.phrasesReason = texts.phrasesReason;

    FeatureReader flood(texts, fileName, "flood protection", read.problems);
    const bool floodOn = flood.Enabled(&T::floodEnabled);
    settings.floodLines = flood.Count(&T::floodLines, kMaxFloodLines);
    settings.floodSeconds = flood.Count(&T::floodSeconds, kMaxFloodSeconds);
    settings.floodAction = flood.Action(&T::floodAction);
    settings.floodEnabled = floodOn && flood.Usable();
    settings.floodReason = texts.floodReason;
    return read;
}

ProtectionFileContent ComposeProtectionFile(const ProtectionTexts& texts) {
    QString text;
    QLatin1String section;
    for (const Key& key : kKeys) {
        if (section != QLatin1String(key.section)) {
            section = QLatin1String(key.section);
            text += u'[' + section + u']' + kCrLf;
        }
        const QString& value = texts.*key.text;
        if (value.contains(u'\r') || value.contains(u'\n')) return {{}, KeyName(key)};
        text += QLatin1String(key.name) + u'=' + value + kCrLf;
    }
    return {EncodeText(text), {}};
}

QString AsReadBack(const QString& text) {
    // Through the reader itself, so its rules for blanks, length and line breaks stand in one
    // place only.
    const QString line = QStringLiteral("[V]\r\nV=") + text;
    return IniFile::Parse(EncodeText(line)).Value(QStringLiteral("V"), QStringLiteral("V"));
}

QString ActionText(ProtectionAction action) {
    return action == ProtectionAction::kBan ? QStringLiteral("ban") : QStringLiteral("kick");
}

}  // namespace zarivok
