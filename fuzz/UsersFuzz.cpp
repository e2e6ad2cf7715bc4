// Users.txt, both ways, through the functions the user database loads and saves with.
//
// Any bytes must load. A file already in the form the bot saves (every line ended by CR LF)
// must save back byte for byte. After the list is changed as the commands change it (names
// removed, names appended: the input's own lines read as Windows-1252, or a name that only UTF-8
// can hold), what is saved must load back as the same names; a Windows-1252 file stays
// Windows-1252 while every name fits it (and its bytes cannot be taken for UTF-8), and a UTF-8
// file stays UTF-8, with its byte order mark if it had one.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "Breach.h"
#include "base/ListFile.h"
#include "base/TextCodec.h"

using namespace zarivok;
using zarivok::fuzz::Breach;
using zarivok::fuzz::Escaped;

namespace {

// Every line, the last one included, ended by CR LF: the form a save writes.
bool IsSavedForm(const QString& text) {
    if (text.isEmpty()) return true;
    if (!text.endsWith(QLatin1String("\r\n"))) return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) return false;
    }
    return true;
}

bool FitsWindows1252(const QStringList& names) {
    bool fits = false;
    EncodeWindows1252(names.join(QString()), &fits);
    return fits;
}

QByteArray Evidence(const QByteArray& bytes, const QStringList& names) {
    QByteArray out = "  file: " + Escaped(bytes) + "\n";
    for (const QString& name : names) out += "  [" + Escaped(name) + "]\n";
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ListFileText file = DecodeListFile(bytes);
    const QStringList names = SplitListLines(file.text);

    if (IsSavedForm(file.text) && EncodeListFile(JoinListLines(names), file.encoding) != bytes) {
        Breach("an untouched file does not save back byte for byte", Evidence(bytes, names));
    }

    // The last byte says how the list changes before it is saved again.
    const uint8_t edit = size > 0 ? data[size - 1] : 0;
    QStringList changed = names;
    if ((edit & 1) && !changed.isEmpty()) changed.removeFirst();
    if ((edit & 2) && !changed.isEmpty()) changed.removeLast();
    if (edit & 4) changed += SplitListLines(DecodeWindows1252(bytes));
    if (edit & 8) changed.append(QStringLiteral("\u0141ukasz"));  // no Windows-1252 byte for it

    const QByteArray saved = EncodeListFile(JoinListLines(changed), file.encoding);
    const ListFileText again = DecodeListFile(saved);
    if (SplitListLines(again.text) != changed) {
        Breach("saved names do not load back", Evidence(saved, changed));
    }
    // Windows-1252 bytes that happen to form UTF-8 would be read back as other names.
    const QString text = JoinListLines(changed);
    const QByteArray ansi = EncodeWindows1252(text);
    const bool stays1252 = file.encoding == TextEncoding::kWindows1252 &&
                           FitsWindows1252(changed) && DecodeListFile(ansi).text == text;
    // A UTF-8 file keeps its byte order mark; a text starting with U+FEFF needs one before it.
    const bool mark = file.encoding == TextEncoding::kUtf8WithByteOrderMark ||
                      text.startsWith(QChar::ByteOrderMark);
    const QByteArray expected =
        stays1252 ? ansi : (mark ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + EncodeText(text);
    if (saved != expected) {
        Breach(stays1252 ? "a Windows-1252 file whose names all fit is not saved in Windows-1252"
                         : "a file is not saved in UTF-8",
               Evidence(saved, changed));
    }
    return 0;
}
