#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace zarivok {

// Tab in the input line: the word before the cursor completed to a name of the user list, in
// the list's order, comparing the start of the name and ignoring letter case. Tab again, with
// nothing typed meanwhile, puts the next match in its place, round and round. A completed first
// word of the line gets ": " after it (the way one addresses a user), any other word a blank.
class NameCompleter {
  public:
    struct Result {
        QString text;
        qsizetype cursor = 0;
    };

    // Nothing when there is no word before the cursor or no name fits it: Tab then moves the
    // focus on, as it does anywhere else.
    std::optional<Result> Complete(const QString& text, qsizetype cursor, const QStringList& names);
    void Reset() { last_.reset(); }

  private:
    Result Fill(qsizetype match);

    // The line before the completion, cut around the word, and what the last Tab made of it.
    QString before_;
    QString after_;
    bool firstWord_ = false;
    QStringList matches_;
    qsizetype current_ = 0;
    std::optional<Result> last_;
};

}  // namespace zarivok
