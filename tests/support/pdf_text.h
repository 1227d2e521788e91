#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace zantrel {

// The output of one of poppler's tools run on a PDF, once it has ended; empty when it failed.
inline QString PopplerOutput(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of each page of a PDF as pdftotext -layout lays it out.
inline QStringList PdfPagesText(const QString& path) {
    QStringList pages = PopplerOutput("pdftotext", {"-layout", path, "-"}).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

// The page count pdfinfo gives; 0 when it cannot read the file.
inline int PdfPageCount(const QString& path) {
    static const QRegularExpression pages(R"(^Pages:\s+(\d+)$)",
                                          QRegularExpression::MultilineOption);
    return pages.match(PopplerOutput("pdfinfo", {path})).captured(1).toInt();
}

} // namespace zantrel
