// What the web console makes of text it does not control: chat runs and names from a server,
// and the address on the command line.
//
// The input, read as UTF-16 (two bytes a unit, so lone surrogates and controls occur), is:
// - one JSON string as the live stream writes it: it must be valid UTF-8 and parse back to the
//   same text, lone surrogates read as U+FFFD;
// - cut at its U+0000 units, runs of the chat pane, each with a colour from its first unit; a
//   piece starting with U+FFFF clears the pane with the rest. The state event a browser opens
//   with must be valid JSON whose lines are the pane's last 1,000 lines since the last clear,
//   exactly, each line ending in CR LF but the last;
// - as an --web value: what reads as an address must read the same again from its own text.
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "Breach.h"
#include "bot/Bot.h"
#include "bot/WindowTexts.h"
#include "display/ChatPane.h"
#include "web/JsonText.h"
#include "web/LiveFeed.h"
#include "web/WebAddress.h"

using namespace zarivok;
using zarivok::fuzz::Breach;
using zarivok::fuzz::Escaped;

namespace {

class NoPane : public ChatPane {
  public:
    void AppendRun(const QString&, ChatColour) override {}
    void ReplaceAll(const QString&) override {}
};

class NoTexts : public WindowTexts {
  public:
    void SetCaption(const QString&) override {}
    void SetUserCount(const QString&) override {}
    void SetColumnHeader(const QString&) override {}
    void SetStatusPanel(int, const QString&) override {}
};

QString WithoutLoneSurrogates(QStringView text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
        } else {
            out += c;
        }
    }
    return out;
}

void CheckJsonString(const QString& text) {
    QByteArray json = "[";
    AppendJsonString(json, text);
    json += ']';
    if (QString::fromUtf8(json).toUtf8() != json) Breach("not valid UTF-8", Escaped(json));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) Breach("not valid JSON", Escaped(json));
    if (document.array().at(0).toString() != WithoutLoneSurrogates(text)) {
        Breach("the JSON string reads back as another text", Escaped(text));
    }
}

// The pane's lines as a browser shows them: a run's CR LF ends its line.
class PaneModel {
  public:
    void Clear() {
        lines_.clear();
        open_ = false;
    }
    // Each run is its own JSON string: a surrogate pair cut between two runs is two lone ones.
    void Add(const QString& text) {
        const QString run = WithoutLoneSurrogates(text);
        qsizetype from = 0;
        while (from < run.size()) {
            const qsizetype end = run.indexOf(QLatin1String("\r\n"), from);
            const qsizetype to = end < 0 ? run.size() : end + 2;
            if (!open_) lines_.append(QString());
            lines_.last() += run.mid(from, to - from);
            open_ = end < 0;
            from = to;
        }
    }
    QStringList Last(qsizetype count) const {
        return lines_.mid(std::max<qsizetype>(0, lines_.size() - count));
    }

  private:
    QStringList lines_;
    bool open_ = false;
};

void CheckHistory(Bot& bot, LiveFeed& feed, const QList<QStringView>& pieces) {
    PaneModel pane;
    for (const QStringView piece : pieces) {
        if (!piece.isEmpty() && piece.front() == QChar(0xFFFF)) {
            const QString text = piece.mid(1).toString();
            feed.ReplaceAll(text);
            pane.Clear();
            pane.Add(text);
            continue;
        }
        const ChatColour colour = piece.isEmpty() ? kWhite : piece.front().unicode() * 0x10101u;
        bot.AppendChat(piece.toString(), colour & 0xFFFFFF);
        pane.Add(piece.toString());
    }
    QByteArray event = feed.StateEvent();
    static const QByteArray kHead = "event: state\ndata: ";
    if (!event.startsWith(kHead) || !event.endsWith("\n\n")) Breach("not an event", event);
    event = event.mid(kHead.size(), event.size() - kHead.size() - 2);
    if (event.contains('\n')) Breach("a raw line break inside the event's data");
    QJsonParseError error;
    const QJsonObject state = QJsonDocument::fromJson(event, &error).object();
    if (error.error != QJsonParseError::NoError) Breach("the state is not valid JSON", event);
    const QJsonArray lines = state.value(QLatin1String("lines")).toArray();
    const QStringList expected = pane.Last(LiveFeed::kHistoryLines);
    if (lines.size() != expected.size()) Breach("the history has another number of lines");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line;
        for (const QJsonValue run : lines.at(i).toArray()) line += run.toArray().at(0).toString();
        if (line != expected[i]) {
            Breach("a line of the history is not the pane's",
                   Escaped(line) + "\n  expected: " + Escaped(expected[i]));
        }
    }
}

void CheckAddress(const QString& text) {
    const auto parsed = ParseWebAddress(text, nullptr);
    if (!parsed) return;
    const auto again = ParseWebAddress(parsed->HostAndPort(), nullptr);
    if (!again || again->address != parsed->address || again->port != parsed->port) {
        Breach("an address does not read back from its own text", Escaped(text));
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString text(reinterpret_cast<const QChar*>(data), static_cast<qsizetype>(size / 2));
    // Qt's JSON reader, the judge here, drops a byte order mark that starts an array's first
    // string (browsers keep it). The encoder treats U+FEFF as any other character, so its
    // neighbour stands in for it.
    text.replace(QChar(QChar::ByteOrderMark), QChar(0xFEFE));
    CheckJsonString(text);
    CheckAddress(text);

    static QTemporaryDir profile;
    ProfilePaths paths = ProfilePaths::ForFolder(profile.path());
    paths.logsFolder.clear();
    NoPane pane;
    NoTexts texts;
    Bot bot(pane, texts, paths);
    LiveFeed feed(bot);
    CheckHistory(bot, feed, QStringView(text).split(QChar(0)));
    return 0;
}
