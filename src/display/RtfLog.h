#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "base/ChatColour.h"

namespace zarivok {

// One coloured stretch of the whisper pane; line breaks inside the text are CR LF.
struct RtfRun {
    QString text;
    ChatColour colour = 0;
    bool operator==(const RtfRun&) const = default;
};

// The text of groups nested deeper than this is skipped, so that hostile nesting costs neither
// stack nor memory; reading goes on when they close.
inline constexpr int kRtfMaxDepth = 200;

// A whole RTF document holding the runs in order, each in its colour. CR LF becomes \par, a lone
// CR or LF and other controls \'hh, a tab \tab, characters outside Windows-1252 \uN with one
// fallback '?'. Every colour is written into the colour table, black included, so that no
// reader shows it in its own default colour.
QByteArray WriteRtf(const QList<RtfRun>& runs);

// The runs of an RTF document; std::nullopt when the bytes are not an RTF document at all, that
// is when they do not start with "{\rtf" after an optional UTF-8 byte order mark and white space.
// Text without a colour reads as black; \'hh is read as Windows-1252 whatever code page the
// document names. A document that is cut off or whose braces do not balance yields what was read
// up to its end; anything after the document's closing brace is ignored.
std::optional<QList<RtfRun>> ReadRtf(const QByteArray& bytes);

// What a round trip through WriteRtf and ReadRtf keeps: empty runs dropped, colours cut to their
// 24 bits, neighbouring runs of one colour merged.
QList<RtfRun> MergeRuns(const QList<RtfRun>& runs);

}  // namespace zarivok
