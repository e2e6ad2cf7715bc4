#include "display/ChatView.h"

#include <QStringBuilder>

#include "base/Texts.h"
#include "display/ChatOutput.h"
#include "display/ChatPane.h"
#include "settings/Settings.h"

namespace zarivok {

ChatView::ChatView(ChatOutput& output, const Settings& settings)
    : output_(output), settings_(settings) {}

void ChatView::AppendWhisper(const QString& firstText, ChatColour firstColour,
                             const QString& secondText, ChatColour secondColour) {
    if (!whisperPane_) return;
    whisperPane_->AppendRuns(firstText, firstColour, secondText, secondColour);
}

bool ChatView::NotificationsOn() const { return settings_.intEnableNotifications == 1; }

void ChatView::Hear(const ChannelEvent& event) {
    ChatOutput& out = output_;
    switch (event.kind) {
        case EventKind::kLoginRefused:
            out.AppendChat(QStringLiteral("Your Login is Incorrect") + kCrLf, kRed);
            return;
        case EventKind::kWhisperFrom:
            ShowWhisperFrom(event);
            return;
        case EventKind::kTalk:
            ShowTalk(event);
            return;
        case EventKind::kBroadcast:
            out.AppendChat(out.TimeStamp() % event.text % kCrLf, kRed);
            return;
        case EventKind::kWhisperTo:
            out.AppendChat(
                out.TimeStamp() % QStringLiteral("<To: ") % event.user % QStringLiteral("> "),
                kCyan, event.text % kCrLf, kGrey);
            return;
        case EventKind::kChannelFull:
            ShowChannelRefusal(event.text, u" is full");
            return;
        case EventKind::kChannelMissing:
            ShowChannelRefusal(event.text, u" does not exist");
            return;
        case EventKind::kChannelRestricted:
            ShowChannelRefusal(event.text, u" is restricted");
            return;
        case EventKind::kInfo:
            out.AppendChat(out.TimeStamp() % event.text % kCrLf, kYellow);
            return;
        case EventKind::kError:
            out.AppendChat(out.TimeStamp() % event.text % kCrLf, kRed);
            return;
        case EventKind::kEmote:
            out.AppendChat(out.TimeStamp() % u'<' % event.user % u' ' % event.text % u'>' % kCrLf,
                           kYellow);
            return;
        case EventKind::kUniqueName:
            out.AppendChat(QStringLiteral("Successfully logged in as ") % event.user % kCrLf,
                           kGreen);
            return;
        case EventKind::kChannel:
            out.AppendChat(
                out.TimeStamp() % QStringLiteral("Joined Channel: ") % event.text % kCrLf, kGreen);
            return;
        case EventKind::kJoin:
            if (!NotificationsOn()) return;
            ShowNotice(QStringLiteral("-- ") % event.user %
                       QStringLiteral(" has joined the channel using ") % event.product % u'.' %
                       kCrLf);
            return;
        case EventKind::kLeave:
            if (!event.listed || !NotificationsOn()) return;
            ShowNotice(QStringLiteral("-- ") % event.user %
                       QStringLiteral(" has left the channel.") % kCrLf);
            return;
        case EventKind::kUser:
        case EventKind::kFlags:
        case EventKind::kChannelLeft:
        case EventKind::kConnected:
        case EventKind::kClosed:
            // The user list shows these; the connection says its own lines.
            return;
    }
}

void ChatView::ShowWhisperFrom(const ChannelEvent& event) {
    const QString prefix = QStringLiteral("<From: ") % event.user % QStringLiteral("> ");
    const QString text = event.text % kCrLf;
    output_.AppendChat(output_.TimeStamp() + prefix, kYellow, text, kGrey);
    AppendWhisper(output_.TimeStamp() + prefix, kYellow, text, kGrey);
}

void ChatView::ShowTalk(const ChannelEvent& event) {
    // The flags as the server sends them: a 2 in the fourth place (channel operator) shows the
    // whole line white, a 1 there (server administrator) cyan.
    ChatColour nameColour = kYellow;
    ChatColour textColour = kWhite;
    if (event.flags.mid(3, 2) == u"2") {
        nameColour = kWhite;
    } else if (event.flags.mid(3, 1) == u"1") {
        nameColour = textColour = kCyan;
    }
    output_.AppendChat(output_.TimeStamp() % u'<' % event.user % QStringLiteral("> "), nameColour,
                       event.text % kCrLf, textColour);
}

void ChatView::ShowChannelRefusal(QStringView channel, QStringView why) {
    output_.AppendChat(output_.TimeStamp() % QStringLiteral("Channel ") % channel % why % kCrLf,
                       kGreen);
}

void ChatView::ShowNotice(const QString& text) {
    output_.AppendChat(output_.TimeStamp(), kWhite, text, kGreen);
}

}  // namespace zarivok
