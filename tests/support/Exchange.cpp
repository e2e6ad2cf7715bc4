#include "support/Exchange.h"

#include "support/ChatGateway.h"

namespace zarivok::testing {

QByteArray Exchange(ChatGateway& gateway, const QByteArrayList& lines) {
    static constexpr char kMarker[] = "ZaRiVoK Trigger is: ";
    const qsizetype start = gateway.Received().size();
    const qsizetype markers = gateway.Received().count(kMarker);
    QByteArray bytes;
    for (const QByteArray& line : lines) bytes += ChatGateway::WireLine(line);
    gateway.Send(bytes +
                 ChatGateway::WireLine(ChatGateway::TalkLine("QuEnDaR", "0010", "?trigger")));
    if (!ChatGateway::WaitUntil([&] { return gateway.Received().count(kMarker) > markers; })) {
        return "(no marker)";
    }
    const QByteArray received = gateway.Received();
    return received.mid(start, received.lastIndexOf(kMarker) - start);
}

}  // namespace zarivok::testing
