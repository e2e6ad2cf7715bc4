// Whatever a server sends, in whatever pieces, goes through the whole receive side of one bot
// (framing, decoding, parsing, dispatch, the real handlers, the roster model and the command
// interpreter) into a fake pane and a socket connected to a server on 127.0.0.1, and must keep
// these promises, checked the moment they could break:
// - nothing is said for a talk line unless its speaker is in the user database or is the master
//   name, and nothing is said outside the talk line of such a speaker;
// - every line said ends with CR LF and holds no other CR or LF, none is longer than the send
//   queue's limit, and lines said within one moment fit the flood budget;
// - the server receives exactly what the bot said;
// - the framer holds less than one line and its lines do not depend on how the bytes arrived;
// - the send queue holds at most its limit;
// - the roster's count, its rows and its signals agree; the count box reads "channel (count)"
//   whenever it is written, and after that only a flags change for a user not listed yet may add
//   a (provisional) row without it;
// - every talk line shows one header in the pane, in order;
// - channel protection (every rule on, a ban list with wildcards, phrases) never kicks, bans or
//   greets anybody exempt as known at the moment the line leaves: the bot itself, a listed user,
//   the master name, or a user whose flags in the latest line naming them had 0x01, 0x02 or
//   0x08. With byte 3's bit 7 the bytes arrive cut after every line end as well, so that the
//   harness knows which line the bot is handling when something leaves; otherwise lines arrive
//   in batches and this property is not checked.
//
// The input is the byte stream, then (when there are more than four bytes) four bytes that
// choose how it arrives and what the bot is set to; see Options. The bot is built once and put
// back into the state of a fresh, connected bot before every input.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTime>
#include <optional>

#include "Breach.h"
#include "base/TextCodec.h"
#include "base/Texts.h"
#include "bot/Bot.h"
#include "bot/WindowTexts.h"
#include "commands/UserDatabase.h"
#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "connection/SendQueue.h"
#include "display/ChatPane.h"
#include "protection/BanList.h"
#include "protection/ChannelGuard.h"
#include "protection/ProtectionSettings.h"
#include "protocol/EventLine.h"
#include "protocol/LineFramer.h"
#include "settings/SettingsWriter.h"

using namespace zarivok;
using zarivok::fuzz::Breach;
using zarivok::fuzz::Escaped;

namespace {

constexpr int kTrailerBytes = 4;
constexpr qint64 kDayMs = 24 * 3600 * 1000;
constexpr int kWaitMs = 5000;

// What the four trailing bytes choose.
struct Options {
    // Byte 1: the arrivals. Bit 7: all at once; else pieces of 1 to 1 + (bits 0-5) bytes, all of
    // that length or, with bit 6, of lengths drawn from the four bytes.
    bool whole = false;
    bool drawnLengths = false;
    int longestPiece = 1;
    quint32 seed = 0;
    // Byte 2: which of the first eight speakers (in order of their first talk line) are listed.
    quint8 listedSpeakers = 0;
    // Byte 3.
    bool notifications = false;      // bit 0
    bool autoClear = false;          // bit 1
    int trigger = 0;                 // bits 2-3: "!", ".", "" or "!!"
    bool listedInLowerCase = false;  // bit 4
    bool clockRuns = false;          // bit 5: every reading of the flood clock is 6 s on
    bool whisperPane = false;        // bit 6
    bool lineByLine = false;         // bit 7
    // Byte 4: the auto-clear line, -128 to 127.
    int autoClearAtLine = 0;

    static Options From(const quint8* t) {
        Options o;
        o.whole = t[0] & 0x80;
        o.drawnLengths = t[0] & 0x40;
        o.longestPiece = 1 + (t[0] & 0x3F);
        o.seed = (quint32{t[0]} << 24) | (quint32{t[1]} << 16) | (quint32{t[2]} << 8) | t[3];
        o.listedSpeakers = t[1];
        o.notifications = t[2] & 1;
        o.autoClear = t[2] & 2;
        o.trigger = (t[2] >> 2) & 3;
        o.listedInLowerCase = t[2] & 0x10;
        o.clockRuns = t[2] & 0x20;
        o.whisperPane = t[2] & 0x40;
        o.lineByLine = t[2] & 0x80;
        o.autoClearAtLine = static_cast<qint8>(t[3]);
        return o;
    }
};

// A framed line copied out of its batch, so that lines of different arrivals can be compared.
struct KeptLine {
    QByteArray bytes;
    bool cut = false;
    bool operator==(const KeptLine&) const = default;
};

QList<KeptLine> Keep(const FramedBatch& batch) {
    QList<KeptLine> kept;
    for (const FramedLine& line : batch.Lines()) kept.append({line.bytes.toByteArray(), line.cut});
    return kept;
}

// What the whole stream holds, read ahead with the bot's own framer, decoder and parser.
struct Stream {
    QList<KeptLine> lines;
    qsizetype held = 0;
    QStringList talkSpeakers;
    bool namesTheBot = false;  // a 2010 line: the bot reloads Users.txt
    bool asksToAdd = false;    // a talk line that could be an add command, which pauses 20 ms
};

// The number the parser reads from a line's first four characters, read from its first four
// bytes: LenientNumber reads ASCII only, and bytes and characters agree up to the first byte
// outside ASCII, whatever the line's encoding (but see below).
double HeadNumber(const QByteArray& bytes) {
    char16_t head[4];
    const qsizetype length = std::min<qsizetype>(4, bytes.size());
    for (qsizetype i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        head[i] = byte < 0x80 ? byte : u'\uFFFD';
    }
    return LenientNumber(QStringView(head, length));
}

// Only lines that start like these can carry the code 1005 or 2010 (the whole first field may
// still round up: "1004.99999999999999999" is 1005). A byte order mark in front is dropped when
// the line is read as UTF-8: such lines are left to the parser.
bool MayTalkOrNameTheBot(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) return true;
    const double head = HeadNumber(bytes);
    return (head >= 1004 && head <= 1005) || (head >= 2009 && head <= 2010);
}

Stream ReadAhead(const QByteArray& bytes) {
    Stream stream;
    LineFramer framer;
    stream.lines = Keep(framer.Feed(bytes));
    stream.held = framer.TailBytes();
    for (const KeptLine& line : stream.lines) {
        if (!MayTalkOrNameTheBot(line.bytes)) continue;
        const QString text = DecodeText(line.bytes, line.cut);
        const EventLine event = ParseEventLine(text, line.cut);
        if (event.code == 1005 && event.fieldCount >= 4) {
            stream.talkSpeakers.append(event.Field(3).toString());
            // Whatever the trigger: a one-character trigger, none, or one that lower-cases to two.
            if (event.message.left(8).toString().toLower().contains(QLatin1String("add "))) {
                stream.asksToAdd = true;
            }
        }
        if (event.code == 2010 && event.fieldCount >= 3) stream.namesTheBot = true;
    }
    return stream;
}

class Pane : public ChatPane {
  public:
    std::function<void(const QString&)> onRun;
    void AppendRun(const QString& text, ChatColour) override {
        if (onRun) onRun(text);
    }
    void ReplaceAll(const QString&) override {}
};

class Texts : public WindowTexts {
  public:
    std::function<void(const QString&)> onUserCount;
    void SetCaption(const QString&) override {}
    void SetUserCount(const QString& text) override {
        if (onUserCount) onUserCount(text);
    }
    void SetColumnHeader(const QString&) override {}
    void SetStatusPanel(int, const QString&) override {}
};

class Harness {
  public:
    Harness();
    int Run(const QByteArray& stream, const Options& options);

  private:
    // Before an input: the settings and listed names it chooses. After it: back to a fresh bot,
    // connected, with empty lists, freeing what the input made (so libFuzzer's leak check,
    // which runs when an input leaves more allocations than it found, stays quiet and cheap).
    void Prepare(const Options& options, const Stream& stream);
    void TearDown();
    void WaitUntilConnected();
    void Drain();
    void TakeConnection();
    void OnRun(const QString& text);
    void OnUserCount(const QString& text);
    void OnRowsInserted(int first, int last);
    void OnSent(const QByteArray& bytes);
    void OnTaggedLineSent();
    // The checks of a line said that is no action of the guard's, run once it is known that no
    // tag followed it.
    void FinishSaid();
    // What the line the bot is about to handle tells about users' flags.
    void Learn(const KeptLine& line);
    bool IsExempt(QStringView name) const;
    void Feed(const QByteArray& piece, LineFramer& mirror);
    void WriteProtectionFiles();
    void CheckBounds();
    void CheckEnd(const Stream& stream, const LineFramer& pieces,
                  const QList<KeptLine>& piecesLines);

    QTemporaryDir profile_;
    QTcpServer server_;
    QTcpSocket* peer_ = nullptr;
    Pane pane_;
    Pane whisperPane_;
    Texts texts_;
    std::unique_ptr<Bot> bot_;
    QString stamp_;
    // Made once: an input allocates only what the bot makes of it.
    QString serverSetting_;
    const QString triggers_[4] = {QStringLiteral("!"), QStringLiteral("."), QString(),
                                  QStringLiteral("!!")};
    qint64 clockMs_ = 0;
    bool clockRuns_ = false;
    // Said on the current connection and not yet read by the server.
    QByteArray unread_;
    quint64 saidGeneration_ = 0;
    // What Users.txt holds, as the harness wrote it, unless the bot saved over it since.
    QByteArray usersFile_;
    bool usersFileSaved_ = false;
    QStringList listed_;
    // The protection files as the harness wrote them, and what the guard made of them.
    QByteArray protectionIni_;
    QByteArray banListFile_;
    QByteArray phrasesFile_;
    ProtectionTexts protectionTexts_;
    QList<BanEntry> bans_;
    QStringList phrases_;

    // The input being handled.
    bool resetting_ = true;
    quint64 generation_ = 0;
    bool inTalk_ = false;
    bool speakerListed_ = false;
    QString speaker_;
    QStringList headers_;
    int unitsSpent_ = 0;
    qsizetype rows_ = 0;
    bool countWritten_ = false;
    QString countText_;
    qsizetype countRows_ = 0;
    qsizetype provisionalRows_ = 0;
    bool countBehind_ = false;
    // The latest line said, until it is known whether it was one of the guard's.
    struct Said {
        QByteArray bytes;
        bool inTalk = false;
        bool speakerListed = false;
        QString speaker;
    };
    std::optional<Said> said_;
    // Line by line: every user's flags in the latest line naming them (by case-folded name), and
    // the join being handled, whose user a greeting is for.
    bool lineByLine_ = false;
    QHash<QString, int> flags_;
    std::optional<QString> joining_;
};

Harness::Harness() {
    if (!profile_.isValid() || !server_.listen(QHostAddress::LocalHost)) {
        Breach("no profile folder or no server to connect to");
    }
    ProfilePaths paths = ProfilePaths::ForFolder(profile_.path());
    // A log growing over millions of inputs would only fill the disk; the pane sees every line.
    paths.logsFolder.clear();
    // Reconnect=0: no timer reconnects by itself; the harness does it between inputs.
    serverSetting_ = "127.0.0.1:" + QString::number(server_.serverPort());
    if (WriteSettingsFile(paths.configFile, "fuzzbot", "secret", serverSetting_, "Lobby", "!", "0",
                          "idle", "0", "500", "1")) {
        Breach("cannot write Config.ini");
    }
    ProtectionTexts texts;
    texts.greetEnabled = texts.lockdownEnabled = texts.phrasesEnabled = texts.floodEnabled =
        QStringLiteral("1");
    texts.greetText = QStringLiteral("Welcome %user% to %channel%!");
    texts.lockdownReason = QStringLiteral("locked");
    texts.phrasesAction = QStringLiteral("kick");
    texts.phrasesReason = QStringLiteral("language");
    texts.floodLines = QStringLiteral("3");
    texts.floodSeconds = QStringLiteral("10");
    texts.floodAction = QStringLiteral("ban");
    texts.floodReason = QStringLiteral("flood");
    protectionIni_ = ComposeProtectionFile(texts).bytes;
    // Patterns that reach the bot's own name, the master name and listed users as well as others.
    banListFile_ =
        QByteArrayLiteral("spam*\r\nb?d go away\r\nEvil\r\n*bot* no bots\r\nq*dar\r\n*[*]*\r\n");
    phrasesFile_ = QByteArrayLiteral("buy gold\r\nspam\r\n\xC3\xA4rger\r\n");
    bot_ = std::make_unique<Bot>(pane_, texts_, paths);
    Bot& bot = *bot_;
    WriteProtectionFiles();
    // Flood counting on the harness's clock: real time would make an input's outcome vary.
    bot.Guard().SetClock([this] { return clockMs_; });
    QObject::connect(&bot.GetOutgoing(), &Outgoing::LineSent, [this] { OnTaggedLineSent(); });
    bot.SetQuitHandler([] {});
    bot.SetClock([] { return QTime(21, 5, 3); });
    stamp_ = bot.TimeStamp();
    bot.GetOutgoing().SetClock([this] {
        if (clockRuns_) clockMs_ += SendQueue::kWindowMs;
        return clockMs_;
    });
    // The anti-idle line comes from a timer, not from anything received: it stays off.
    bot.GetOutgoing().Shutdown();

    pane_.onRun = [this](const QString& text) { OnRun(text); };
    texts_.onUserCount = [this](const QString& text) { OnUserCount(text); };
    RosterModel& roster = bot.Roster();
    QObject::connect(
        &roster, &RosterModel::rowsInserted,
        [this](const QModelIndex&, int first, int last) { OnRowsInserted(first, last); });
    QObject::connect(&roster, &RosterModel::rowsRemoved,
                     [this](const QModelIndex&, int first, int last) {
                         rows_ -= last - first + 1;
                         countBehind_ = true;
                     });
    QObject::connect(&roster, &RosterModel::modelReset, [this] {
        rows_ = bot_->Roster().rowCount();
        countBehind_ = true;
    });
    QObject::connect(&bot.GetConnection().Socket(), &ChatSocket::DataSent,
                     [this](const QByteArray& bytes) { OnSent(bytes); });
    QObject::connect(&server_, &QTcpServer::newConnection, [this] { TakeConnection(); });

    bot.GetConnection().ConnectToServer();
    WaitUntilConnected();
    const ChannelGuard& guard = bot.Guard();
    protectionTexts_ = guard.Rules().Texts();
    bans_ = guard.Bans().Entries();
    phrases_ = guard.Phrases();
    if (!guard.Settings().lockdownEnabled || !guard.Settings().greetEnabled ||
        !guard.Settings().phrasesEnabled || !guard.Settings().floodEnabled || bans_.size() != 6 ||
        phrases_.size() != 3) {
        Breach("the protection files do not read as written", guard.StatusText().toUtf8());
    }
    TearDown();
}

void Harness::WriteProtectionFiles() {
    const ProfilePaths& paths = bot_->Paths();
    const std::pair<QString, QByteArray> files[] = {{paths.protectionFile, protectionIni_},
                                                    {paths.banListFile, banListFile_},
                                                    {paths.phrasesFile, phrasesFile_}};
    for (const auto& [path, bytes] : files) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size()) {
            Breach("cannot write a protection file");
        }
    }
}

void Harness::TakeConnection() {
    // The newest connection is the bot's; older ones were abandoned by a reconnect.
    while (QTcpSocket* next = server_.nextPendingConnection()) {
        if (peer_) {
            peer_->disconnect();
            peer_->deleteLater();
        }
        peer_ = next;
        QObject::connect(peer_, &QTcpSocket::readyRead, [this, socket = peer_] {
            const QByteArray got = socket->readAll();
            if (socket != peer_) return;
            if (!unread_.startsWith(got)) {
                Breach("the server received other bytes than the bot said",
                       "said:     " + Escaped(unread_) + "\nreceived: " + Escaped(got));
            }
            unread_.remove(0, got.size());
        });
    }
}

void Harness::WaitUntilConnected() {
    ChatSocket& socket = bot_->GetConnection().Socket();
    if (socket.GetState() == ChatSocket::State::Closed) bot_->GetConnection().ConnectToServer();
    const QDeadlineTimer deadline(kWaitMs);
    while (!socket.IsConnected() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    if (!socket.IsConnected()) Breach("the bot does not connect again");
}

void Harness::Drain() {
    const QDeadlineTimer deadline(kWaitMs);
    while (!unread_.isEmpty() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    if (!unread_.isEmpty()) Breach("what the bot said does not reach the server", Escaped(unread_));
}

void Harness::Prepare(const Options& options, const Stream& stream) {
    Bot& bot = *bot_;
    clockRuns_ = options.clockRuns;
    bot.UpdateSettings([&](Settings& s) {
        s.strUser = QStringLiteral("fuzzbot");
        s.strPass = QStringLiteral("secret");
        s.strServer = serverSetting_;
        s.strHome = QStringLiteral("Lobby");
        s.strTrigger = triggers_[options.trigger];
        s.strReconnect = QStringLiteral("0");
        s.strIdleMsg = QStringLiteral("idle");
        s.intEnableAutoClear = options.autoClear ? 1 : 0;
        s.intAutoClearAtLine = options.autoClearAtLine;
        s.intEnableNotifications = options.notifications ? 1 : 0;
    });
    bot.SetWhisperPane(options.whisperPane ? &whisperPane_ : nullptr);

    QStringList seen;
    for (const QString& speaker : stream.talkSpeakers) {
        if (seen.size() == 8) break;
        if (seen.contains(speaker)) continue;
        if (options.listedSpeakers & (1u << seen.size())) {
            listed_.append(options.listedInLowerCase ? speaker.toLower() : speaker);
        }
        seen.append(speaker);
    }
    for (const QString& name : listed_) bot.UserList().Append(name);
    // Users.txt is read only at a 2010 line, and written again only when it must change: it
    // keeps the names of an earlier input unless a remove command saved over it, which shows
    // as a shorter list at that input's end (nothing adds a name back: add commands stay out).
    const QByteArray usersFile = EncodeText(JoinListLines(listed_));
    if (stream.namesTheBot && (usersFile != usersFile_ || usersFileSaved_)) {
        QFile file(bot.Paths().usersFile);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(usersFile) != usersFile.size()) {
            Breach("cannot write Users.txt");
        }
        usersFile_ = usersFile;
        usersFileSaved_ = false;
    }
    lineByLine_ = options.lineByLine;
    generation_ = bot.GetConnection().Socket().Generation();
    resetting_ = false;
}

void Harness::TearDown() {
    FinishSaid();
    resetting_ = true;
    Bot& bot = *bot_;
    // The commands change the protection files: back to the harness's own, read again.
    ChannelGuard& guard = bot.Guard();
    if (guard.Rules().Texts() != protectionTexts_ || guard.Rules().Bans().Entries() != bans_ ||
        guard.Phrases() != phrases_) {
        WriteProtectionFiles();
        guard.Load();
    }
    flags_.clear();
    joining_.reset();
    if (bot.UserList().Entries() != listed_) usersFileSaved_ = true;
    listed_.clear();
    bot.GetOutgoing().DropQueuedLines();
    // Every charge of this input leaves the flood window.
    clockMs_ += kDayMs;
    if (!bot.GetConnection().Socket().IsConnected()) WaitUntilConnected();
    if (!unread_.isEmpty()) Drain();
    // Sockets of abandoned connections were left to the event loop, which only a nested loop
    // or this hands them back from.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    bot.ResetReceiveBuffer();
    bot.ForgetSession();
    bot.SetColumnHeader(QString());
    bot.SetCaption(QString());
    bot.SetUserCount(QString());
    // One line with clearing at line 0 starts the pane's line count afresh.
    bot.UpdateSettings([&](Settings& s) {
        s.intEnableAutoClear = 1;
        s.intAutoClearAtLine = 0;
    });
    bot.AppendChat(QString(), kBlack);
    if (bot.Output().LineCount() != 0) Breach("the pane's line count does not start afresh");
    UserDatabase& users = bot.UserList();
    while (!users.Entries().isEmpty()) users.RemoveUserAt(users.Entries().size() - 1);

    inTalk_ = false;
    speakerListed_ = false;
    speaker_.clear();
    headers_.clear();
    unitsSpent_ = 0;
    rows_ = bot.Roster().rowCount();
    countWritten_ = false;
    countText_.clear();
    countRows_ = 0;
    provisionalRows_ = 0;
    countBehind_ = false;
}

void Harness::OnRun(const QString& text) {
    if (resetting_) return;
    FinishSaid();
    CheckBounds();
    // A talk line's header, "[time] <speaker> ": no other run has this form, since a speaker
    // holds no blank and every other run that starts with "<" names something with a blank in it
    // or does not end in "> ".
    if (!text.startsWith(stamp_) || !text.endsWith(QLatin1String("> ")) ||
        text.size() < stamp_.size() + 3 || text[stamp_.size()] != u'<') {
        return;
    }
    const QString speaker = text.mid(stamp_.size() + 1, text.size() - stamp_.size() - 3);
    if (speaker.contains(u' ')) return;
    inTalk_ = true;
    speaker_ = speaker;
    headers_.append(speaker);
    speakerListed_ = speaker == QLatin1String(kMasterName);
    for (const QString& entry : bot_->UserList().Entries()) {
        if (entry.compare(speaker, Qt::CaseInsensitive) == 0) speakerListed_ = true;
    }
}

void Harness::OnUserCount(const QString& text) {
    if (resetting_) return;
    const RosterModel& roster = bot_->Roster();
    const QString expected =
        bot_->CurrentChannel() + QStringLiteral(" (") + QString::number(roster.Count()) + u')';
    if (text != expected) {
        Breach("the count box does not read \"channel (count)\"",
               "count box: " + Escaped(text) + "\nexpected:  " + Escaped(expected));
    }
    countWritten_ = true;
    countText_ = text;
    countRows_ = roster.Count();
    provisionalRows_ = 0;
    countBehind_ = false;
}

void Harness::OnRowsInserted(int first, int last) {
    rows_ += last - first + 1;
    if (resetting_) return;
    const RosterModel& roster = bot_->Roster();
    for (int row = first; row <= last; ++row) {
        // Only a user's flags ahead of the user may append a row without a new count.
        if (row == roster.Count() - 1 && roster.At(row).provisional) {
            ++provisionalRows_;
        } else {
            countBehind_ = true;
        }
    }
}

void Harness::OnSent(const QByteArray& bytes) {
    const ChatSocket& socket = bot_->GetConnection().Socket();
    const bool handshake = socket.Generation() != saidGeneration_;
    if (handshake) {
        saidGeneration_ = socket.Generation();
        unread_.clear();
    }
    unread_ += bytes;
    if (!bytes.endsWith("\r\n")) Breach("a line said does not end with CR LF", Escaped(bytes));
    QList<QByteArray> lines;
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype end = bytes.indexOf("\r\n", start);
        lines.append(bytes.mid(start, end - start));
        start = end + 2;
    }
    for (const QByteArray& line : lines) {
        if (line.contains('\r') || line.contains('\n')) {
            Breach("a line said holds a CR or LF", Escaped(bytes));
        }
    }
    // The login handshake is said by the connection itself, once it stands.
    if (handshake) return;
    if (resetting_) Breach("something was said outside any input", Escaped(bytes));
    if (lines.size() != 1) Breach("more than one line said at once", Escaped(bytes));
    FinishSaid();
    // The guard's lines are told apart by the tag that LineSent reports right after this.
    said_ = Said{bytes, inTalk_, speakerListed_, speaker_};
    if (bytes.size() - 2 > SendQueue::kMaxLineBytes) {
        Breach("a line said is longer than the send queue allows", Escaped(bytes));
    }
    unitsSpent_ += SendQueue::LineCost(QString::fromUtf8(bytes.chopped(2)));
    if (!clockRuns_ && unitsSpent_ > SendQueue::kBudgetUnits) {
        Breach("lines said at one moment exceed the flood budget", Escaped(bytes));
    }
    CheckBounds();
}

void Harness::FinishSaid() {
    if (!said_) return;
    const Said said = std::move(*said_);
    said_.reset();
    if (!said.inTalk) Breach("something was said before any talk line", Escaped(said.bytes));
    if (!said.speakerListed) {
        Breach("something was said for a speaker who is neither listed nor the master",
               "speaker: " + Escaped(said.speaker) + "\nsaid:    " + Escaped(said.bytes));
    }
}

bool Harness::IsExempt(QStringView name) const {
    const Bot& bot = *bot_;
    if (!bot.strName().isEmpty() && SameName(name, bot.strName())) return true;
    if (bot_->UserList().IsAuthorizedUser(name)) return true;
    return (flags_.value(name.toString().toCaseFolded()) & 0x0B) != 0;
}

void Harness::OnTaggedLineSent() {
    if (!said_) Breach("a tagged line left without anything said");
    const QByteArray bytes = std::move(said_->bytes);
    said_.reset();
    const QString line = DecodeText(bytes.chopped(2), false);
    if (!lineByLine_) return;
    QStringView target;
    for (const QLatin1String command : {QLatin1String("/kick "), QLatin1String("/ban ")}) {
        if (!line.startsWith(command)) continue;
        target = QStringView(line).sliced(command.size());
        target = target.first(target.indexOf(u' ') < 0 ? target.size() : target.indexOf(u' '));
    }
    // A line that leaves while a join is handled is for the user who joins: an action taken on
    // them or their greeting. A greeting that waited and leaves later cannot be told apart here.
    if (target.isEmpty() && joining_) target = *joining_;
    if (!target.isEmpty() && IsExempt(target)) {
        Breach("channel protection acted on or greeted a user it must leave alone",
               "user: " + Escaped(target) + "\nsaid: " + Escaped(bytes) + "\nflags: " +
                   QByteArray::number(flags_.value(target.toString().toCaseFolded()), 16) +
                   "\nbot: " + Escaped(bot_->strName()));
    }
}

void Harness::Learn(const KeptLine& kept) {
    joining_.reset();
    // The event views the text: the text must outlive it.
    const QString text = DecodeText(kept.bytes, kept.cut);
    const EventLine event = ParseEventLine(text, kept.cut);
    if (!event.isEvent) return;
    const bool roster = event.code == 1001 || event.code == 1002;
    const bool other = event.code == 1005 || event.code == 1009 || event.code == 1023;
    // The fields each event needs before its handler runs, as the dispatcher counts them.
    if (!(roster && event.fieldCount >= 5) && !(other && event.fieldCount >= 4)) return;
    bool ok = false;
    const int value = event.Field(4).toInt(&ok, 16);
    flags_.insert(event.Field(3).toString().toCaseFolded(), ok ? value : 0);
    if (event.code == 1002) joining_ = event.Field(3).toString();
}

// Line by line, every arrival ends at a line end or holds none, so the harness learns each line
// just before the bot handles it; the mirror framer, fed the same arrivals, says where lines end.
void Harness::Feed(const QByteArray& piece, LineFramer& mirror) {
    if (!lineByLine_) {
        bot_->ProcessReceivedData(piece);
        return;
    }
    for (qsizetype at = 0; at < piece.size();) {
        qsizetype end = at;
        while (end < piece.size() && piece[end] != '\r' && piece[end] != '\n') ++end;
        end = std::min(end + 1, piece.size());
        // A line cut at the framer's limit ends without a line end: such stretches go byte by
        // byte.
        if (mirror.TailBytes() + (end - at) >= LineFramer::kMaxLineBytes) end = at + 1;
        const QByteArray part = piece.sliced(at, end - at);
        at = end;
        const QList<KeptLine> lines = Keep(mirror.Feed(part));
        if (lines.size() > 1) Breach("one arrival of the harness holds more than one line");
        joining_.reset();
        if (!lines.isEmpty()) Learn(lines.first());
        bot_->ProcessReceivedData(part);
        FinishSaid();
        joining_.reset();
    }
}

void Harness::CheckBounds() {
    if (bot_->UnfinishedLineBytes() >= LineFramer::kMaxLineBytes) {
        Breach("the framer holds a whole line or more");
    }
    if (bot_->GetOutgoing().QueuedLines() > SendQueue::kMaxQueuedLines) {
        Breach("the send queue holds more than its limit");
    }
}

void Harness::CheckEnd(const Stream& stream, const LineFramer& pieces,
                       const QList<KeptLine>& piecesLines) {
    if (piecesLines != stream.lines || pieces.TailBytes() != stream.held) {
        Breach("the framer's lines depend on how the bytes arrived");
    }
    const RosterModel& roster = bot_->Roster();
    if (roster.Count() != roster.rowCount() || roster.Count() != rows_) {
        Breach("the roster's count, rows and signals disagree",
               QByteArray::number(roster.Count()) + " / " + QByteArray::number(roster.rowCount()) +
                   " / " + QByteArray::number(rows_));
    }
    if (countBehind_ || bot_->UserCountText() != countText_ ||
        roster.Count() - provisionalRows_ != (countWritten_ ? countRows_ : 0)) {
        Breach("the roster changed and the count box did not follow",
               "count box: " + Escaped(bot_->UserCountText()) +
                   "\nrows: " + QByteArray::number(roster.Count()));
    }
    // A reconnect drops the unfinished line of the old connection: the bot then reads other
    // lines than the stream holds.
    if (bot_->GetConnection().Socket().Generation() == generation_ &&
        headers_ != stream.talkSpeakers) {
        Breach("the talk lines and their headers in the pane differ",
               "talk lines: " + Escaped(stream.talkSpeakers.join(u' ')) +
                   "\nheaders:    " + Escaped(headers_.join(u' ')));
    }
}

int Harness::Run(const QByteArray& bytes, const Options& options) {
    const Stream stream = ReadAhead(bytes);
    // The add command pauses twice for 10 ms: such inputs stay out of the corpus, and every
    // other command still runs.
    if (stream.asksToAdd) return -1;
    Prepare(options, stream);

    LineFramer pieces;
    LineFramer mirror;
    QList<KeptLine> piecesLines;
    quint32 draw = options.seed | 1;
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype length = options.longestPiece;
        if (options.whole) {
            length = bytes.size();
        } else if (options.drawnLengths) {
            draw = draw * 1664525u + 1013904223u;
            length = 1 + (draw >> 16) % options.longestPiece;
        }
        const QByteArray piece =
            QByteArray::fromRawData(bytes.constData() + at, std::min(length, bytes.size() - at));
        at += piece.size();
        piecesLines += Keep(pieces.Feed(piece));
        Feed(piece, mirror);
        FinishSaid();
        CheckBounds();
    }
    CheckEnd(stream, pieces, piecesLines);
    TearDown();
    return 0;
}

Harness* harness = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    new QCoreApplication(*argc, *argv);
    harness = new Harness();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const quint8 kNoTrailer[kTrailerBytes] = {};
    const bool trailer = size > kTrailerBytes;
    const size_t streamSize = trailer ? size - kTrailerBytes : size;
    const Options options = Options::From(trailer ? data + streamSize : kNoTrailer);
    return harness->Run(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(streamSize)),
        options);
}
