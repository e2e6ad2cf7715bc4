#pragma once

#include <QStringView>

namespace zarivok {

class Bot;

// Takes one received line apart and calls the one handler its event code names. A plain line
// (no event code) goes to the plain-line handler; an unknown code, or a line that lacks a field
// its handler takes, is dropped without a word. cut: the server cut the line short.
void DispatchEventLine(Bot& bot, QStringView line, bool cut = false);

}  // namespace zarivok
