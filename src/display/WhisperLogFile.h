#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "display/RtfLog.h"

namespace zarivok {

// whisper.txt: the whisper pane's coloured runs kept as a rich text document between uses of
// the whisper window.
struct WhisperLogContent {
    QList<RtfRun> runs;
    // Set when the file is there but cannot be used (unreadable, too large, not rich text): one
    // line for the chat pane. The window then starts empty, and the file should be left as it is
    // until the operator saves the log on purpose, so that nothing in it is lost unseen.
    QString problem;
};

// A file larger than this is not loaded: no whisper log grows that big, and reading one would
// hold the program up.
inline constexpr qint64 kWhisperLogMaxBytes = 64LL * 1024 * 1024;

// A missing file is an empty log, without a problem.
WhisperLogContent LoadWhisperLog(const QString& path);

// Replaces the file in one step with the runs as a rich text document (an empty list writes a
// document without text). std::nullopt on success, else a one-line reason for the chat pane.
std::optional<QString> SaveWhisperLog(const QString& path, const QList<RtfRun>& runs);

}  // namespace zarivok
