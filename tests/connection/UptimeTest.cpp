#include <gtest/gtest.h>

#include <QFile>

#include "connection/Uptime.h"

namespace zarivok {
namespace {

TEST(UptimeTest, FormatsDaysHoursMinutesAndSeconds) {
    struct Case {
        quint64 ms;
        const char* text;
    };
    const Case cases[] = {
        {0, "0d 0h 0m 0s "},
        {999, "0d 0h 0m 0s "},
        {((24 + 1) * 60 + 1) * 60 * 1000 + 1000, "1d 1h 1m 1s "},
        {3600 * 1000 - 1, "0d 0h 59m 59s "},
        {2147483647, "24d 20h 31m 23s "},
        {4294967296ull, "49d 17h 2m 47s "},
        {18446744073709551615ull, "213503982334d 14h 25m 51s "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ms);
        EXPECT_EQ(FormatUptime(c.ms).toStdString(), c.text);
    }
}

TEST(UptimeTest, TheComputerUptimeIsTheSystemsBootClock) {
    const auto procUptimeMs = [] {
        QFile file(QStringLiteral("/proc/uptime"));
        if (!file.open(QIODevice::ReadOnly)) return -1.0;
        return file.readAll().split(' ').value(0).toDouble() * 1000;
    };
    const double before = procUptimeMs();
    if (before < 0) GTEST_SKIP() << "no /proc/uptime here";
    const double uptime = static_cast<double>(SystemUptimeMs());
    const double after = procUptimeMs();
    // /proc/uptime shows hundredths of a second.
    EXPECT_GE(uptime, before);
    EXPECT_LE(uptime, after + 10);
}

}  // namespace
}  // namespace zarivok
