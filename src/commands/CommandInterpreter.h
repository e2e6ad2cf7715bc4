#pragma once

#include <QStringView>

namespace zarivok {

class Bot;

// Runs the command that a listed user (or the master name) typed in the channel behind the
// trigger. Everybody else gets no answer of any kind. At most one command runs per call.
void HandleCommand(Bot& bot, QStringView speaker, QStringView text);

}  // namespace zarivok
