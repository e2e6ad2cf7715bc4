#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

#include "terminal/StdinReader.h"

namespace zarivok {
namespace {

constexpr int kWaitMs = 10000;

bool WaitUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(kWaitMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

// Collects the lines a reader emits, and whether (and how often) it finished.
struct Collector {
    explicit Collector(StdinReader& reader) {
        QObject::connect(&reader, &StdinReader::LineRead, &reader,
                         [this](const QString& line) { lines.append(line); });
        QObject::connect(&reader, &StdinReader::Finished, &reader, [this] {
            linesAtFinish = lines.size();
            ++finishCount;
        });
    }
    QStringList lines;
    qsizetype linesAtFinish = -1;
    int finishCount = 0;
};

class StdinReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        readFd_ = fds[0];
        writeFd_ = fds[1];
    }
    void TearDown() override {
        CloseWriteEnd();
        ::close(readFd_);
    }

    void Write(const QByteArray& bytes) {
        ASSERT_EQ(::write(writeFd_, bytes.constData(), static_cast<size_t>(bytes.size())),
                  bytes.size());
    }
    // Waits until the reader has taken everything written so far out of the pipe, so the next
    // write arrives in a read of its own.
    void WaitUntilDrained() {
        ASSERT_TRUE(WaitUntil([this] {
            int waiting = 0;
            return ::ioctl(readFd_, FIONREAD, &waiting) == 0 && waiting == 0;
        }));
    }
    void CloseWriteEnd() {
        if (writeFd_ >= 0) ::close(writeFd_);
        writeFd_ = -1;
    }

    int readFd_ = -1;
    int writeFd_ = -1;
};

TEST_F(StdinReaderTest, JoinsLinesSplitOverReadsAndEmitsTheLastUnendedOne) {
    StdinReader reader(readFd_);
    Collector got(reader);
    QSignalSpy finished(&reader, &StdinReader::Finished);

    const QByteArray pieces[] = {"hel",         "lo\r\nwor", "ld\n\ncaf\xc3\xa9\r",
                                 "\ncaf\xe9\n", "\t x \n",   "last"};
    for (const QByteArray& piece : pieces) {
        Write(piece);
        WaitUntilDrained();
    }
    EXPECT_TRUE(finished.isEmpty());
    CloseWriteEnd();
    ASSERT_TRUE(finished.wait(kWaitMs));

    EXPECT_EQ(got.lines, QStringList({QStringLiteral("hello"), QStringLiteral("world"), QString(),
                                      QStringLiteral("caf\u00e9"), QStringLiteral("caf\u00e9"),
                                      QStringLiteral("\t x "), QStringLiteral("last")}));
    EXPECT_EQ(got.linesAtFinish, got.lines.size());
    EXPECT_EQ(got.finishCount, 1);
    EXPECT_TRUE(reader.IsFinished());
}

TEST_F(StdinReaderTest, EndOfInputRightAfterALineEndAddsNoEmptyLine) {
    StdinReader reader(readFd_);
    Collector got(reader);
    QSignalSpy finished(&reader, &StdinReader::Finished);
    Write("one\r\ntwo\r\n");
    CloseWriteEnd();
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_EQ(got.lines, QStringList({QStringLiteral("one"), QStringLiteral("two")}));
}

TEST_F(StdinReaderTest, SlotThatLetsEventsRunSeesEachLineOnceAndInOrder) {
    StdinReader reader(readFd_);
    QStringList lines;
    QObject::connect(&reader, &StdinReader::LineRead, &reader, [&](const QString& line) {
        lines.append(line);
        if (line == QLatin1String("a")) {
            // More input is waiting while the slot lets the event loop run.
            Write("d\n");
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }
    });
    Write("a\nb\nc\n");
    ASSERT_TRUE(WaitUntil([&] { return lines.size() >= 4; }));
    CloseWriteEnd();
    QSignalSpy finished(&reader, &StdinReader::Finished);
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_EQ(lines, QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                                  QStringLiteral("d")}));
}

TEST_F(StdinReaderTest, SlotMayDeleteTheReader) {
    auto* reader = new StdinReader(readFd_);
    QStringList lines;
    QObject::connect(reader, &StdinReader::LineRead, reader, [&](const QString& line) {
        lines.append(line);
        delete reader;
    });
    Write("a\nb\n");
    ASSERT_TRUE(WaitUntil([&] { return !lines.isEmpty(); }));
    EXPECT_EQ(lines, QStringList({QStringLiteral("a")}));
}

TEST(StdinReaderFileTest, DevNullFinishesWithoutLines) {
    const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    {
        StdinReader reader(fd);
        Collector got(reader);
        QSignalSpy finished(&reader, &StdinReader::Finished);
        ASSERT_TRUE(finished.wait(kWaitMs));
        EXPECT_TRUE(got.lines.isEmpty());
    }
    ::close(fd);
}

TEST(StdinReaderFileTest, ClosedDescriptorFinishes) {
    const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ::close(fd);
    StdinReader reader(fd);
    QSignalSpy finished(&reader, &StdinReader::Finished);
    ASSERT_TRUE(finished.wait(kWaitMs));
}

TEST(StdinReaderFileTest, OverlongLinesArePassedOnInBoundedPieces) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The first piece's limit falls inside a two-byte character ("a" then U+00E9s); the plain
    // ASCII line is cut exactly at the limit.
    const QString accented = QStringLiteral("a") + QString(40000, QChar(0x00E9));
    const QByteArray plain(StdinReader::kMaxLineBytes + 100, 'x');
    QFile file(dir.filePath(QStringLiteral("input.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(accented.toUtf8() + '\n' + plain + "\nend\n");
    file.close();

    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    {
        StdinReader reader(fd);
        Collector got(reader);
        QSignalSpy finished(&reader, &StdinReader::Finished);
        ASSERT_TRUE(finished.wait(kWaitMs));

        ASSERT_EQ(got.lines.size(), 5);
        EXPECT_EQ(got.lines[0] + got.lines[1], accented);
        for (const QString& piece : {got.lines[0], got.lines[1]}) {
            EXPECT_FALSE(piece.contains(QChar(QChar::ReplacementCharacter)));
            EXPECT_LE(piece.toUtf8().size(), StdinReader::kMaxLineBytes);
        }
        EXPECT_EQ(got.lines[2], QString(StdinReader::kMaxLineBytes, QLatin1Char('x')));
        EXPECT_EQ(got.lines[3], QString(100, QLatin1Char('x')));
        EXPECT_EQ(got.lines[4], QStringLiteral("end"));
    }
    ::close(fd);
}

}  // namespace
}  // namespace zarivok
