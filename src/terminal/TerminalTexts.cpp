#include "terminal/TerminalTexts.h"

#include <QByteArray>

#include "base/TextCodec.h"
#include "display/EscapeControls.h"

namespace zarivok {

TerminalTexts::TerminalTexts(std::FILE* stream) : stream_(stream) {}

void TerminalTexts::SetCaption(const QString& text) { WriteLine(QStringLiteral("caption"), text); }

void TerminalTexts::SetUserCount(const QString& text) { WriteLine(QStringLiteral("users"), text); }

void TerminalTexts::SetColumnHeader(const QString& /*text*/) {}

void TerminalTexts::SetStatusPanel(int panel, const QString& text) {
    WriteLine(QStringLiteral("status") + QString::number(panel), text);
}

void TerminalTexts::WriteLine(const QString& label, const QString& text) {
    // Line breaks inside the text are escaped too, so one change is always one line.
    QByteArray line = EncodeText(label + QStringLiteral(": "));
    AppendEscapedUtf8(text, line);
    line += '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stream_);
    std::fflush(stream_);
}

}  // namespace zarivok
