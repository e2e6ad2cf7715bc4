// The scripts' JavaScript engine, built as a module that the program loads when its first script
// does: a bot without scripts then neither loads Qt Qml nor keeps its pages in memory.
#include "scriptengine/JsRuntime.h"

extern "C" __attribute__((visibility("default"))) zarivok::ScriptRuntime* ZarivokMakeScriptRuntime(
    zarivok::ScriptServices* services) {
    return zarivok::MakeJsRuntime(*services).release();
}
