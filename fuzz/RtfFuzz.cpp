// The whisper log's rich text, both ways. Bytes that form an RTF document (they start with
// "{\rtf", after an optional byte order mark and white space) must read without a crash into runs
// already in their merged form, holding no more text than the document has bytes, and those runs
// must survive being written and read again. Any other bytes describe runs (every control, CR
// and LF, every surrogate, any colour among them): what the writer makes of them must read back
// exactly as MergeRuns keeps them.
#include <QByteArray>

#include "Breach.h"
#include "display/RtfLog.h"

using namespace zarivok;
using zarivok::fuzz::Breach;

namespace {

// Each run takes a header byte: its low five bits are the length, bit 5 says whether the text
// is bytes (every control, CR and LF among them) or UTF-16 units (every surrogate among them),
// the top two bits pick black, red, the previous colour or a full 32-bit colour that follows.
QList<RtfRun> RunsFrom(const uint8_t* data, size_t size) {
    QList<RtfRun> runs;
    ChatColour previous = kBlack;
    size_t at = 0;
    while (at < size) {
        const uint8_t header = data[at++];
        ChatColour colour = previous;
        switch (header >> 6) {
            case 0:
                colour = kBlack;
                break;
            case 1:
                colour = kRed;
                break;
            case 2:
                break;
            default:
                colour = 0;
                for (int k = 0; k < 4 && at < size; ++k) colour = (colour << 8) | data[at++];
                break;
        }
        const bool units = header & 0x20;
        QString text;
        for (int k = 0; k < (header & 0x1F) && at < size; ++k) {
            if (units && at + 1 < size) {
                text.append(QChar(static_cast<char16_t>(data[at] | (data[at + 1] << 8))));
                at += 2;
            } else {
                text.append(QChar(static_cast<char16_t>(data[at++])));
            }
        }
        runs.append({text, colour});
        previous = colour;
    }
    return runs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto read = ReadRtf(bytes)) {
        if (MergeRuns(*read) != *read) Breach("read runs are not in merged form", bytes);
        qsizetype length = 0;
        for (const RtfRun& run : *read) length += run.text.size();
        // Every unit of text costs the document at least one byte: memory stays bounded.
        if (length > bytes.size()) Breach("more text than the document can hold", bytes);
        const QByteArray again = WriteRtf(*read);
        if (ReadRtf(again) != read) Breach("read runs do not survive writing", again);
        return 0;
    }

    const QList<RtfRun> runs = RunsFrom(data, size);
    const QByteArray document = WriteRtf(runs);
    if (ReadRtf(document) != MergeRuns(runs)) Breach("runs do not survive a round trip", document);
    return 0;
}
