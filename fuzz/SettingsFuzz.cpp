// Config.ini, both ways.
//
// Read: any bytes must parse, as a file, into ten values within the reader's limits (at most 127
// characters, no line break, no blank at either end but where the cut made one), and load as the
// bot loads them: texts unchanged, numbers in range, the reconnect timer set to the number the
// accepted text says, each switch shown by the dialog exactly when the bot takes it as on.
//
// Write: the same bytes, as ten texts typed into the settings dialog, must read back from what
// the writer writes as the same ten values, as far as the file can hold them. It holds any text
// without a CR or LF and without an unpaired surrogate; the reader drops the blanks (space, tab)
// around a value and cuts it after 127 characters. A text holding a CR or LF cannot be written
// as it is: the writer must refuse it rather than let it end its line and add a key of its own.
#include <QByteArray>
#include <QList>
#include <QString>
#include <algorithm>

#include "Breach.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/SettingsWriter.h"

using namespace zarivok;
using zarivok::fuzz::Breach;
using zarivok::fuzz::Escaped;

namespace {

constexpr int kValues = 10;
constexpr const char* kKeys[kValues] = {"User",
                                        "Pass",
                                        "Server",
                                        "Home",
                                        "Trigger",
                                        "Reconnect",
                                        "IdleMsg",
                                        "Enable AutoClear",
                                        "AutoClear At Line",
                                        "Enable Notifications"};
// Separates the ten texts in the input.
constexpr char16_t kSeparator = u'\x1F';

QList<QString> Values(const SettingsTexts& t) {
    return {t.user,
            t.pass,
            t.server,
            t.home,
            t.trigger,
            t.reconnect,
            t.idleMsg,
            t.enableAutoClear,
            t.autoClearAtLine,
            t.enableNotifications};
}

SettingsTexts TextsFrom(const QList<QString>& v) {
    return {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]};
}

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

bool HasLineBreak(QStringView text) { return text.contains(u'\r') || text.contains(u'\n'); }

bool HasLoneSurrogate(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (text[i].isSurrogate()) {
            return true;
        }
    }
    return false;
}

// The length of the first `characters` characters of text, a surrogate pair counting as one.
qsizetype UnitsOf(QStringView text, qsizetype characters) {
    qsizetype units = 0;
    for (; units < text.size() && characters > 0; ++units, --characters) {
        if (text[units].isHighSurrogate() && units + 1 < text.size() &&
            text[units + 1].isLowSurrogate()) {
            ++units;
        }
    }
    return units;
}

qsizetype Characters(QStringView text) { return text.toUcs4().size(); }

// What the reader gives back for a text written without a line break.
QString ReadBack(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    const QStringView trimmed = QStringView(text).mid(begin, end - begin);
    return trimmed.left(UnitsOf(trimmed, IniFile::kMaxValueLength)).toString();
}

// The number an accepted text says, read from its ASCII digits alone.
qint64 DigitsValue(QStringView text) {
    qint64 value = 0;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

QByteArray Evidence(const QList<QString>& values) {
    QByteArray out;
    for (const QString& value : values) out += "  [" + Escaped(value) + "]\n";
    return out;
}

void CheckRead(const QByteArray& bytes) {
    const SettingsTexts texts = ReadSettingsTexts(IniFile::Parse(bytes));
    const QList<QString> values = Values(texts);
    for (const QString& value : values) {
        const qsizetype characters = Characters(value);
        if (characters > IniFile::kMaxValueLength) {
            Breach("a value is over 127 characters", Evidence(values));
        }
        if (HasLineBreak(value)) Breach("a value holds a line break", Evidence(values));
        if (!value.isEmpty() && IsBlank(value.front())) {
            Breach("a value starts with a blank", Evidence(values));
        }
        if (!value.isEmpty() && IsBlank(value.back()) && characters < IniFile::kMaxValueLength) {
            Breach("a value that was not cut ends with a blank", Evidence(values));
        }
    }

    Settings settings;
    const QStringList problems = LoadSettings(texts, settings);
    if (problems.size() > 4) Breach("more problems than numeric keys", Evidence(problems));
    if (settings.strUser != texts.user || settings.strPass != texts.pass ||
        settings.strServer != texts.server || settings.strHome != texts.home ||
        settings.strTrigger != texts.trigger || settings.strIdleMsg != texts.idleMsg) {
        Breach("a text setting is not loaded as read", Evidence(values));
    }
    for (const int number : {settings.intEnableAutoClear, settings.intAutoClearAtLine,
                             settings.intEnableNotifications}) {
        if (number < -32768 || number > 32767) {
            Breach("a number is out of its range", Evidence(values));
        }
    }
    if (settings.strReconnect != texts.reconnect &&
        settings.strReconnect != QLatin1String(kFallbackReconnect)) {
        Breach("the reconnect delay is neither the text read nor the fallback", Evidence(values));
    }
    const int interval = ReconnectIntervalMs(settings);
    if (interval < 0 || interval > 65535 || interval != DigitsValue(settings.strReconnect)) {
        Breach("the reconnect timer does not get the delay the accepted text says",
               "  [" + Escaped(settings.strReconnect) + "] gives " + QByteArray::number(interval));
    }
    // A switch that is missing or broken takes its fallback in the bot, while the dialog, which
    // has no state for "broken", shows it off; otherwise both read it alike.
    const auto tookFallback = [&problems](const char* key) {
        return std::any_of(problems.begin(), problems.end(), [key](const QString& problem) {
            return problem.startsWith(QStringLiteral("Config.ini: \"%1\"").arg(key));
        });
    };
    if ((!tookFallback("Enable AutoClear") &&
         SwitchIsOn(texts.enableAutoClear) != (settings.intEnableAutoClear == 1)) ||
        (!tookFallback("Enable Notifications") &&
         SwitchIsOn(texts.enableNotifications) != (settings.intEnableNotifications == 1))) {
        Breach("the dialog shows a switch otherwise than the bot takes it", Evidence(values));
    }
}

void CheckWriteAndReadBack(const QByteArray& data) {
    if (data.isEmpty()) return;
    // The first byte chooses how the rest becomes text: as the bytes of a file are read (UTF-8,
    // else Windows-1252), or as raw UTF-16 units, unpaired surrogates included.
    const QByteArray rest = data.mid(1);
    const QString text =
        (data[0] & 1) ? QString(reinterpret_cast<const QChar*>(rest.constData()), rest.size() / 2)
                      : QString::fromUtf8(rest);
    QList<QString> values = text.split(kSeparator);
    values.resize(kValues);

    const SettingsFileContent content = ComposeSettingsFile(TextsFrom(values));
    const auto broken = std::find_if(values.begin(), values.end(),
                                     [](const QString& value) { return HasLineBreak(value); });
    if (broken != values.end()) {
        if (content.brokenKey != QLatin1String(kKeys[broken - values.begin()]) ||
            !content.bytes.isEmpty()) {
            Breach("a text with a line break is not refused, naming its key",
                   "refused: " + Escaped(content.brokenKey) + "\n" + Evidence(values));
        }
        return;
    }
    if (!content.brokenKey.isEmpty()) {
        Breach("a text without a line break is refused", Evidence(values));
    }
    const QByteArray& written = content.bytes;
    if (written.count("\r\n") != 13 || written.count('\r') != 13 || written.count('\n') != 13) {
        Breach("the file is not the thirteen lines", Escaped(written));
    }
    const QList<QString> back = Values(ReadSettingsTexts(IniFile::Parse(written)));
    for (int i = 0; i < kValues; ++i) {
        if (HasLoneSurrogate(values[i])) continue;
        if (back[i] != ReadBack(values[i])) {
            Breach("a written value does not read back",
                   "written:\n" + Evidence(values) + "read:\n" + Evidence(back));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckRead(bytes);
    CheckWriteAndReadBack(bytes);
    return 0;
}
