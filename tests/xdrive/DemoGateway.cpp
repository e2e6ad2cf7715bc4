// zarivok_demo_gateway: the tests' chat gateway as a program of its own, with a channel that
// has a few users of different products and some traffic, for showing the real window (the
// screenshot script). It prints the port it listens on, then serves until it is ended.
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

#include "support/ChatGateway.h"

using zarivok::ChatGateway;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ChatGateway gateway;
    gateway.AddChannelUser("Thrall", "0002", "W2BN");
    gateway.AddChannelUser("Kerrigan", "0010", "SEXP");
    gateway.AddChannelUser("Deckard", "0000", "D2XP");
    gateway.AddChannelUser("Raynor", "0004", "STAR");
    gateway.AddChannelUser("Admin", "0001", "CHAT");
    gateway.AddChannelUser("Griefer", "0020", "DRTL");
    gateway.AddChannelUser("Tyrael", "0000", "D2DV");
    gateway.AddChannelUser("Mai", "0010", "JSTR");

    const auto scene = [&gateway] {
        const QByteArrayList lines{
            ChatGateway::TalkLine("Kerrigan", "0010", "anyone up for a game tonight?"),
            ChatGateway::TalkLine("Thrall", "0002", "welcome to Lobby, be nice"),
            ChatGateway::EmoteLine("Deckard", "0000", "stays a while and listens"),
            ChatGateway::JoinLine("Zeratul", "0000", "SEXP"),
            ChatGateway::TalkLine("Admin", "0001", "server restart at midnight"),
            ChatGateway::WhisperLine("Raynor", "0004", "psst, the bot is neat"),
            ChatGateway::TalkLine("Raynor", "0004", "!say hello from the bot"),
            ChatGateway::LeaveLine("Tyrael", "0000"),
            ChatGateway::InfoLine("You are now the channel moderator."),
            ChatGateway::ErrorLine("That user is not logged on."),
        };
        QByteArray bytes;
        for (const QByteArray& line : lines) bytes += ChatGateway::WireLine(line);
        gateway.Send(bytes);
    };
    gateway.WhenReceived("/join Lobby\r\n", [&] { QTimer::singleShot(300, scene); });

    std::printf("%u\n", static_cast<unsigned>(gateway.Port()));
    std::fflush(stdout);
    return QCoreApplication::exec();
}
