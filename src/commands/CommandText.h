#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringView>

namespace zarivok {

// A line of channel talk as the commands test it, against the trigger as it was when the line
// came in: a command that changes the trigger never changes how the rest of its own line reads.
class CommandText {
  public:
    CommandText(QString text, QString trigger)
        : text_(std::move(text)), lower_(text_.toLower()), trigger_(std::move(trigger)) {}

    // The whole line is the trigger and the word, nothing after it.
    bool Is(QLatin1String word) const { return lower_ == trigger_ + word; }

    // The line starts with the trigger and the word. The length compared is fixed at one
    // character of trigger plus the word, as users have always typed it: a longer trigger never
    // passes these tests, while the whole-line ones still work with it.
    bool StartsWith(QLatin1String word) const {
        const qsizetype count = 1 + word.size();
        return QStringView(text_).left(count).toString().toLower() == trigger_ + word;
    }

    // What follows the trigger and the word, in the letter case it was typed.
    QString Argument(QLatin1String word) const { return text_.mid(1 + word.size()); }

    const QString& Lower() const { return lower_; }
    const QString& Trigger() const { return trigger_; }

  private:
    QString text_;
    QString lower_;
    QString trigger_;
};

}  // namespace zarivok
