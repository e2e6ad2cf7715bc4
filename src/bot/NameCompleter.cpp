#include "bot/NameCompleter.h"

#include <algorithm>

namespace zarivok {

std::optional<NameCompleter::Result> NameCompleter::Complete(const QString& text, qsizetype cursor,
                                                             const QStringList& names) {
    if (last_ && last_->text == text && last_->cursor == cursor && matches_.size() > 0) {
        return Fill((current_ + 1) % matches_.size());
    }
    last_.reset();
    cursor = std::clamp<qsizetype>(cursor, 0, text.size());
    qsizetype start = cursor;
    while (start > 0 && !text[start - 1].isSpace()) --start;
    const QString word = text.mid(start, cursor - start);
    if (word.isEmpty()) return std::nullopt;
    QStringList matches;
    for (const QString& name : names) {
        if (name.startsWith(word, Qt::CaseInsensitive) && !matches.contains(name)) {
            matches.append(name);
        }
    }
    if (matches.isEmpty()) return std::nullopt;
    before_ = text.left(start);
    after_ = text.mid(cursor);
    firstWord_ = before_.trimmed().isEmpty();
    matches_ = matches;
    return Fill(0);
}

NameCompleter::Result NameCompleter::Fill(qsizetype match) {
    current_ = match;
    // A blank that already follows the word is not doubled; the cursor goes past it.
    const bool blankFollows = !after_.isEmpty() && after_.front().isSpace();
    QString completed = matches_[match] + (firstWord_ ? QStringLiteral(":") : QString());
    const qsizetype cursor = before_.size() + completed.size() + 1;
    if (!blankFollows) completed += u' ';
    Result result{before_ + completed + after_, cursor};
    last_ = result;
    return result;
}

}  // namespace zarivok
