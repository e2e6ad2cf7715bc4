#pragma once

#include <QStringView>

namespace zarivok {

// Whether text holds name as a word of its own, ignoring letter case: the characters around
// it, if any, are neither letters, digits nor underscores ("bot1," and "@bot1" name bot1;
// "bot12" and "robot1" do not).
bool NamesWholeWord(QStringView text, QStringView name);

}  // namespace zarivok
