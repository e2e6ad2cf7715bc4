#include "base/ListFile.h"

#include <QFile>
#include <QStringDecoder>

#include "base/ReplaceFile.h"
#include "base/TextCodec.h"
#include "base/Texts.h"

namespace zarivok {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

}  // namespace

ListFileText DecodeListFile(const QByteArray& bytes) {
    if (ValidUtf8Prefix(bytes) == bytes.size()) {
        const bool mark = bytes.startsWith(kByteOrderMark);
        // Only the one mark is taken away: QString::fromUtf8 would also drop a U+FEFF that
        // begins the first name behind it.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        const QString text = decoder(QByteArrayView(bytes).sliced(mark ? 3 : 0));
        return {text, mark ? TextEncoding::kUtf8WithByteOrderMark : TextEncoding::kUtf8};
    }
    return {DecodeWindows1252(bytes), TextEncoding::kWindows1252};
}

QByteArray EncodeListFile(const QString& text, TextEncoding encoding) {
    if (encoding == TextEncoding::kWindows1252) {
        bool fits = false;
        QByteArray bytes = EncodeWindows1252(text, &fits);
        // Once the names that made the file invalid UTF-8 are gone, the Windows-1252 bytes of
        // the rest may form valid UTF-8 ("\xC3\xA9" for "Ã©"), and would be read back as other
        // names: UTF-8 then keeps them.
        if (fits && DecodeListFile(bytes).text == text) return bytes;
    }
    const bool mark =
        encoding == TextEncoding::kUtf8WithByteOrderMark || text.startsWith(QChar::ByteOrderMark);
    return mark ? kByteOrderMark + EncodeText(text) : EncodeText(text);
}

FileBytes ReadFileBytes(const QString& path) {
    QFile file(path);
    if (!file.exists()) return {};
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError) return {std::move(bytes), std::nullopt};
    }
    return {{}, QStringLiteral("Could not read %1: %2").arg(path, file.errorString().simplified())};
}

std::optional<QString> SaveFileBytes(const QString& path, const QByteArray& bytes,
                                     int newFileMode) {
    const auto problem = ReplaceFile(path, bytes, newFileMode);
    if (!problem) return std::nullopt;
    return SaveProblem(path, *problem);
}

QString SaveProblem(const QString& path, const QString& reason) {
    return QStringLiteral("Could not save %1: %2").arg(path, reason);
}

ListFileRead ReadListFile(const QString& path) {
    FileBytes read = ReadFileBytes(path);
    if (read.problem) return {{}, std::move(read.problem)};
    return {DecodeListFile(read.bytes), std::nullopt};
}

std::optional<QString> WriteListFile(const QString& path, const QString& text,
                                     TextEncoding encoding, int newFileMode) {
    return SaveFileBytes(path, EncodeListFile(text, encoding), newFileMode);
}

QStringList SplitListLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) end = text.size();
        const qsizetype next = end + 1;
        if (end > start && end < text.size() && text[end - 1] == u'\r') --end;
        lines.append(text.mid(start, end - start));
        start = next;
    }
    return lines;
}

QString JoinListLines(const QStringList& entries) {
    QString text;
    for (const QString& entry : entries) text += entry + kCrLf;
    return text;
}

bool IsPaneLineBreak(QChar c) {
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

QString FileTextFromPane(const QString& paneText) {
    QString text;
    for (qsizetype i = 0; i < paneText.size(); ++i) {
        const QChar c = paneText[i];
        if (c == u'\r' && i + 1 < paneText.size() && paneText[i + 1] == u'\n') continue;
        if (IsPaneLineBreak(c)) {
            text += kCrLf;
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace zarivok
