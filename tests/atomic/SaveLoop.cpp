// zarivok_save_loop FOLDER [--in-place]: saves Config.ini, Users.txt and whisper.txt in FOLDER
// over and over, each in the two versions of support/FileVersions in turn, with the program's
// own save functions, and says "saved NAME" on standard output after each save. It runs until it
// is killed: the atomic-save test kills it at random moments.
//
// --in-place writes the same bytes the way a careless program would (truncate, then write piece
// by piece), so that the test can show that it does catch a torn file.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstring>

#include "support/FileVersions.h"

using namespace zarivok::testing;

namespace {

bool WriteInPlace(const QString& path, const QByteArray& bytes) {
    constexpr qsizetype kPiece = 4096;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        return false;
    }
    for (qsizetype at = 0; at < bytes.size(); at += kPiece) {
        if (file.write(bytes.constData() + at, std::min(kPiece, bytes.size() - at)) < 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: zarivok_save_loop FOLDER [--in-place]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const bool inPlace = argc > 2 && std::strcmp(argv[2], "--in-place") == 0;
    std::array<std::array<QByteArray, 2>, std::size(kSavedFiles)> versions;
    if (inPlace) {
        for (size_t i = 0; i < std::size(kSavedFiles); ++i)
            versions[i] = VersionBytes(kSavedFiles[i]);
    }
    for (int round = 0;; ++round) {
        for (size_t i = 0; i < std::size(kSavedFiles); ++i) {
            const SavedFile file = kSavedFiles[i];
            const int version = round % 2;
            bool saved = false;
            if (inPlace) {
                saved = WriteInPlace(QDir(folder).filePath(FileName(file)), versions[i][version]);
            } else {
                saved = !SaveVersion(file, version, folder).has_value();
            }
            if (!saved) {
                std::fprintf(stderr, "zarivok_save_loop: cannot save %s\n",
                             qPrintable(FileName(file)));
                return 1;
            }
            std::printf("saved %s\n", qPrintable(FileName(file)));
            std::fflush(stdout);
        }
    }
}
