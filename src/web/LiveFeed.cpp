#include "web/LiveFeed.h"

#include <QTcpSocket>

#include "bot/Bot.h"
#include "channel/RosterModel.h"
#include "connection/Connection.h"
#include "web/JsonText.h"

namespace zarivok {
namespace {

constexpr char kBatchHead[] = "event: batch\ndata: [";

void AppendField(QByteArray& out, const char* name, const QString& value) {
    out += '"';
    out += name;
    out += "\":";
    AppendJsonString(out, value);
}

}  // namespace

LiveFeed::LiveFeed(Bot& bot, QObject* parent) : QObject(parent), bot_(bot) {
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(0);
    connect(&flushTimer_, &QTimer::timeout, this, &LiveFeed::Flush);
    keepAlive_.setInterval(kKeepAliveMs);
    connect(&keepAlive_, &QTimer::timeout, this, &LiveFeed::KeepAlive);

    RosterModel& roster = bot_.Roster();
    connect(&roster, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { RowsInserted(first, last); });
    connect(&roster, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) { RowsRemoved(first, last); });
    connect(&roster, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                RowsChanged(topLeft.row(), bottomRight.row());
            });
    connect(&roster, &QAbstractItemModel::modelReset, this, &LiveFeed::RosterReset);
    connect(&roster, &QAbstractItemModel::headerDataChanged, this,
            [this] { MarkChanged(headerChanged_); });
    connect(&bot_, &Bot::WindowTextsChanged, this, [this] { MarkChanged(textsChanged_); });
    connect(&bot_, &Bot::MenuCaptionsChanged, this, [this] { MarkChanged(menuChanged_); });
    bot_.AddPaneListener(this);
}

LiveFeed::~LiveFeed() { bot_.RemovePaneListener(this); }

void LiveFeed::AppendRun(const QString& text, ChatColour colour) {
    Remember(text, colour);
    if (!BeginOp()) return;
    pending_ += "{\"t\":\"runs\",\"runs\":[";
    AppendRunOp(pending_, text, colour);
    pending_ += "]}";
}

void LiveFeed::AppendRuns(const QString& first, ChatColour firstColour, const QString& second,
                          ChatColour secondColour) {
    Remember(first, firstColour);
    if (!second.isEmpty()) Remember(second, secondColour);
    if (!BeginOp()) return;
    pending_ += "{\"t\":\"runs\",\"runs\":[";
    AppendRunOp(pending_, first, firstColour);
    if (!second.isEmpty()) {
        pending_ += ',';
        AppendRunOp(pending_, second, secondColour);
    }
    pending_ += "]}";
}

void LiveFeed::ReplaceAll(const QString& text) {
    runs_.clear();
    lines_ = 0;
    lastLineOpen_ = false;
    Remember(text, kDefaultColour);
    if (!BeginOp()) return;
    pending_ += "{\"t\":\"clear\",";
    AppendField(pending_, "text", text);
    pending_ += '}';
}

// Keeps the run cut at its line ends (CR LF), so that whole lines can be dropped from the front.
void LiveFeed::Remember(const QString& text, ChatColour colour) {
    const qsizetype size = text.size();
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = text.indexOf(u'\n', start);
        // A LF ends the line only after a CR of the same run, as the page reads runs.
        while (end >= 0 && (end == 0 || text[end - 1] != u'\r')) {
            end = text.indexOf(u'\n', end + 1);
        }
        const qsizetype pieceEnd = end < 0 ? size : end + 1;
        if (!lastLineOpen_) {
            ++lines_;
            lastLineOpen_ = true;
        }
        // The whole text when it is one piece: shared, not copied.
        runs_.push_back(
            Run{start == 0 && pieceEnd == size ? text : text.mid(start, pieceEnd - start), colour,
                end >= 0});
        if (end >= 0) lastLineOpen_ = false;
        start = pieceEnd;
    }
    while (lines_ > kHistoryLines) {
        const bool ended = runs_.front().endsLine;
        runs_.pop_front();
        if (ended) --lines_;
    }
}

void LiveFeed::AppendRunOp(QByteArray& out, const QString& text, ChatColour colour) const {
    out += '[';
    AppendJsonString(out, text);
    out += ',';
    if (colour == kDefaultColour) {
        out += "null";
    } else {
        AppendCssColour(out, colour);
    }
    out += ']';
}

void LiveFeed::AppendRow(QByteArray& out, int row) const {
    const RosterModel& roster = bot_.Roster();
    const RosterEntry& entry = roster.At(row);
    out += "\"row\":";
    out += QByteArray::number(row);
    out += ',';
    AppendField(out, "name", entry.name);
    out += ",\"icon\":";
    out += QByteArray::number(entry.icon);
    out += ",\"colour\":";
    const QVariant colour = roster.data(roster.index(row), RosterModel::ColourRole);
    if (colour.isValid()) {
        AppendCssColour(out, colour.value<quint32>());
    } else {
        out += "null";
    }
}

void LiveFeed::AppendTexts(QByteArray& out) const {
    AppendField(out, "caption", bot_.Caption());
    out += ',';
    AppendField(out, "users", bot_.UserCountText());
    out += ",\"status\":[";
    for (int panel = 1; panel <= 3; ++panel) {
        if (panel > 1) out += ',';
        AppendJsonString(out, bot_.StatusText(panel));
    }
    out += ']';
}

void LiveFeed::AppendMenu(QByteArray& out) const {
    AppendField(out, "connect", bot_.GetConnection().ConnectCaption());
    out += ',';
    AppendField(out, "notifications", bot_.NotificationsCaption());
    out += ',';
    AppendField(out, "autoClear", bot_.AutoClearCaption());
}

void LiveFeed::ScheduleFlush() {
    // Restarting an active timer costs a timer id each time: a flood would pay it per line.
    if (!flushTimer_.isActive()) flushTimer_.start();
}

void LiveFeed::MarkChanged(bool& changed) {
    if (streams_.isEmpty()) return;
    changed = true;
    ScheduleFlush();
}

bool LiveFeed::BeginOp() {
    if (streams_.isEmpty()) return false;
    if (pending_.isEmpty()) {
        pending_ += kBatchHead;
        ScheduleFlush();
    } else {
        pending_ += ',';
    }
    return true;
}

void LiveFeed::RowsInserted(int first, int last) {
    for (int row = first; row <= last; ++row) {
        if (!BeginOp()) return;
        pending_ += "{\"t\":\"insert\",";
        AppendRow(pending_, row);
        pending_ += '}';
    }
}

void LiveFeed::RowsRemoved(int first, int last) {
    for (int row = first; row <= last; ++row) {
        if (!BeginOp()) return;
        pending_ += "{\"t\":\"remove\",\"row\":";
        pending_ += QByteArray::number(first);
        pending_ += '}';
    }
}

void LiveFeed::RowsChanged(int first, int last) {
    for (int row = first; row <= last; ++row) {
        if (!BeginOp()) return;
        pending_ += "{\"t\":\"set\",";
        AppendRow(pending_, row);
        pending_ += '}';
    }
}

void LiveFeed::RosterReset() {
    if (!BeginOp()) return;
    pending_ += "{\"t\":\"reset\"}";
    RowsInserted(0, static_cast<int>(bot_.Roster().Count()) - 1);
}

QByteArray LiveFeed::StateEvent() const {
    QByteArray out = "event: state\ndata: {\"lines\":[";
    bool lineOpen = false;
    for (const Run& run : runs_) {
        if (!lineOpen) {
            if (out.back() == ']') out += ',';
            out += '[';
            lineOpen = true;
        } else {
            out += ',';
        }
        AppendRunOp(out, run.text, run.colour);
        if (run.endsLine) {
            out += ']';
            lineOpen = false;
        }
    }
    if (lineOpen) out += ']';
    out += "],\"roster\":[";
    const qsizetype rows = bot_.Roster().Count();
    for (qsizetype row = 0; row < rows; ++row) {
        if (row > 0) out += ',';
        out += '{';
        AppendRow(out, static_cast<int>(row));
        out += '}';
    }
    out += "],";
    AppendField(out, "header", bot_.Roster().Header());
    out += ',';
    AppendTexts(out);
    out += ",\"menu\":{";
    AppendMenu(out);
    out += "}}\n\n";
    return out;
}

void LiveFeed::AddStream(QTcpSocket* socket) {
    // What waits was encoded for the browsers already there; the new one starts from the state,
    // which includes it.
    Flush();
    streams_.append(socket);
    connect(socket, &QObject::destroyed, this, [this] {
        streams_.removeIf([](const QPointer<QTcpSocket>& stream) { return stream.isNull(); });
        if (streams_.isEmpty()) keepAlive_.stop();
    });
    if (!keepAlive_.isActive()) keepAlive_.start();
    Write(socket, StateEvent());
}

void LiveFeed::Flush() {
    flushTimer_.stop();
    if (streams_.isEmpty()) {
        pending_.clear();
        textsChanged_ = menuChanged_ = headerChanged_ = false;
        return;
    }
    const auto addOp = [this](const char* start) {
        pending_ += pending_.isEmpty() ? kBatchHead : ",";
        pending_ += start;
    };
    if (headerChanged_) {
        addOp("{\"t\":\"header\",");
        AppendField(pending_, "text", bot_.Roster().Header());
        pending_ += '}';
    }
    if (textsChanged_) {
        addOp("{\"t\":\"texts\",");
        AppendTexts(pending_);
        pending_ += '}';
    }
    if (menuChanged_) {
        addOp("{\"t\":\"menu\",");
        AppendMenu(pending_);
        pending_ += '}';
    }
    textsChanged_ = menuChanged_ = headerChanged_ = false;
    if (pending_.isEmpty()) return;
    pending_ += "]\n\n";
    // The same bytes for every browser: shared, not copied, by each socket's buffer.
    const QByteArray event = std::exchange(pending_, QByteArray());
    // The next batch of a flood is about as large: room for it now, not by growing.
    pending_.reserve(event.size());
    // Writing may drop a stream; the copy keeps the loop valid.
    const QList<QPointer<QTcpSocket>> streams = streams_;
    for (const QPointer<QTcpSocket>& stream : streams) {
        if (stream) Write(stream, event);
    }
}

void LiveFeed::Write(QTcpSocket* socket, const QByteArray& bytes) {
    socket->write(bytes);
    if (socket->bytesToWrite() <= maxQueuedBytes_) return;
    streams_.removeAll(socket);
    // At once: a graceful close would first wait for the browser to read everything queued.
    socket->abort();
    Q_EMIT StreamDropped();
}

void LiveFeed::KeepAlive() {
    const QList<QPointer<QTcpSocket>> streams = streams_;
    for (const QPointer<QTcpSocket>& stream : streams) {
        if (stream) Write(stream, QByteArrayLiteral(":\n\n"));
    }
}

}  // namespace zarivok
