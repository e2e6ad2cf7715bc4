#include "connection/ServerAddress.h"

#include <gtest/gtest.h>

namespace zarivok {
namespace {

TEST(ServerAddressTest, HostAndOptionalPort) {
    struct Case {
        const char* server;
        const char* host;
        quint16 port;
        bool problem;
    };
    const Case cases[] = {
        {"chat.example.net", "chat.example.net", 6112, false},
        {" chat.example.net:7000 ", "chat.example.net", 7000, false},
        {"127.0.0.1:1", "127.0.0.1", 1, false},
        {"[::1]:7000", "::1", 7000, false},
        {"[::1]", "::1", 6112, false},
        {"::1", "::1", 6112, false},
        {"host:", "host", 6112, true},
        {"host:0", "host", 6112, true},
        {"host:65536", "host", 6112, true},
        {"host:http", "host", 6112, true},
        {"", "", 6112, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        const ServerAddress address = ParseServerAddress(QString::fromLatin1(c.server), 6112);
        EXPECT_EQ(address.host.toStdString(), c.host);
        EXPECT_EQ(address.port, c.port);
        EXPECT_EQ(!address.problem.isEmpty(), c.problem);
    }
}

}  // namespace
}  // namespace zarivok
