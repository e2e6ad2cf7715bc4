#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace zarivok {

// A FILE* that writes into memory, for comparing the exact bytes a terminal writer produced.
class MemoryStream {
  public:
    MemoryStream() : stream_(open_memstream(&data_, &size_)) {}
    ~MemoryStream() {
        std::fclose(stream_);
        std::free(data_);
    }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    std::FILE* Stream() const { return stream_; }

    // Everything written so far, buffered or not.
    std::string Contents() {
        std::fflush(stream_);
        return std::string(data_, size_);
    }

  private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* stream_;
};

// A FILE* on the write end of a pipe. Such a stream is fully buffered, so bytes reach the read
// end only when the writer flushes them: what Arrived() returns is what was flushed.
class PipeStream {
  public:
    PipeStream() {
        int fds[2] = {-1, -1};
        if (::pipe(fds) == 0) {
            readFd_ = fds[0];
            ::fcntl(readFd_, F_SETFL, ::fcntl(readFd_, F_GETFL) | O_NONBLOCK);
            stream_ = ::fdopen(fds[1], "w");
        }
    }
    ~PipeStream() {
        if (stream_) std::fclose(stream_);
        if (readFd_ >= 0) ::close(readFd_);
    }
    PipeStream(const PipeStream&) = delete;
    PipeStream& operator=(const PipeStream&) = delete;

    bool IsOpen() const { return stream_ != nullptr; }
    std::FILE* Stream() const { return stream_; }

    // The bytes that reached the read end since the last call.
    std::string Arrived() {
        std::string bytes;
        char chunk[4096];
        ssize_t count;
        while ((count = ::read(readFd_, chunk, sizeof chunk)) > 0) {
            bytes.append(chunk, static_cast<std::size_t>(count));
        }
        return bytes;
    }

  private:
    int readFd_ = -1;
    std::FILE* stream_ = nullptr;
};

}  // namespace zarivok
