#include "files/month_pieces.h"

#include "files/monthly_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <utility>
#include <vector>

namespace zantrel {

namespace {

constexpr const char* kPieceEnd = ".zxl";

// The number n of a name "<stem>_n.zxl", or -1 when it is no numbered piece of that stem.
int PieceNumber(const QByteArray& name, const QByteArray& stem) {
    if (!name.startsWith(stem + '_') || !name.endsWith(kPieceEnd)) return -1;
    const QByteArray digits = name.mid(stem.size() + 1, name.size() - stem.size() - 5);
    bool ok = false;
    const int n = digits.toInt(&ok);
    // Only the number as the pieces are named: "_01" is another file.
    return ok && n >= 0 && QByteArray::number(n) == digits ? n : -1;
}

} // namespace

QList<QByteArray> MonthPieces(const QByteArray& monthlyFile) {
    const qsizetype slash = monthlyFile.lastIndexOf('/');
    const QByteArray folder = monthlyFile.left(slash + 1);
    const QByteArray name = monthlyFile.mid(slash + 1);
    QByteArray stem = name.left(name.lastIndexOf('.'));
    if (name.endsWith(kPieceEnd) && stem.contains('_')) {
        const QByteArray shorter = stem.left(stem.lastIndexOf('_'));
        if (PieceNumber(name, shorter) >= 0) stem = shorter;
    }
    if (stem.isEmpty()) return {};

    QList<QByteArray> pieces;
    const QByteArray duplicate = folder + stem + ".zlx";
    if (QFileInfo(QFile::decodeName(duplicate)).isFile()) pieces.append(duplicate);
    std::vector<std::pair<int, QByteArray>> numbered;
    const QDir dir(QFile::decodeName(folder.isEmpty() ? QByteArray(".") : folder));
    for (const QString& entry : dir.entryList({QFile::decodeName(stem) + "_*.zxl"}, QDir::Files)) {
        const QByteArray entryName = QFile::encodeName(entry);
        if (const int n = PieceNumber(entryName, stem); n >= 0)
            numbered.emplace_back(n, MonthlyFiles::numberedDuplicateName(duplicate, n));
    }
    std::sort(numbered.begin(), numbered.end());
    for (auto& [n, path] : numbered)
        pieces.append(std::move(path));
    return pieces;
}

} // namespace zantrel
