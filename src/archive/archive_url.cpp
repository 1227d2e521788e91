#include "archive/archive_url.h"

#include <QRegularExpression>
#include <QUrl>

namespace zantrel {

namespace {

const char* const kForms = "use sqlite:/path/archive.db or postgresql://user@host[:port]/database";

QString Bad(const QString& text, const QString& why) {
    return QString("'%1' is no archive URL: %2; %3.").arg(text, why, kForms);
}

std::variant<ArchiveUrl, QString> ParsePostgresql(const QString& text, const QString& rest) {
    // user@host:port/database?host=/socket/folder, each part optional but the '/'.
    static const QRegularExpression form(
        R"(^(?:([^@/:?]*)(:[^@/?]*)?@)?([^@/:?]*)(?::([^/?]*))?/([^/?]*)(?:\?(.*))?$)");
    const QRegularExpressionMatch m = form.match(rest);
    if (!m.hasMatch()) return Bad(text, "it needs a '/' and a database name after the host");
    if (m.capturedLength(2) > 0)
        return Bad(text, "a password does not belong on the command line (PGPASSWORD, "
                         "~/.pgpass or a service file give it)");
    ArchiveUrl url;
    url.engine = ArchiveUrl::Postgresql;
    url.text = text;
    url.user = QUrl::fromPercentEncoding(m.captured(1).toUtf8());
    url.host = QUrl::fromPercentEncoding(m.captured(3).toUtf8());
    url.database = QUrl::fromPercentEncoding(m.captured(5).toUtf8());
    if (m.capturedLength(4) > 0) {
        bool ok = false;
        url.port = m.captured(4).toInt(&ok);
        if (!ok || url.port < 1 || url.port > 65535)
            return Bad(text, "the port must be a number from 1 to 65535");
    }
    if (m.capturedLength(6) > 0) {
        for (const QString& pair : m.captured(6).split('&')) {
            const qsizetype eq = pair.indexOf('=');
            const QString key = pair.left(eq);
            const QString value = QUrl::fromPercentEncoding(pair.mid(eq + 1).toUtf8());
            if (eq < 0 || key != "host" || !value.startsWith('/'))
                return Bad(text, "the only query it takes is host=/socket/folder");
            url.host = value;
        }
    }
    return url;
}

} // namespace

std::variant<ArchiveUrl, QString> ParseArchiveUrl(const QString& text) {
    if (text.startsWith("sqlite:")) {
        ArchiveUrl url;
        url.text = text;
        url.path = text.mid(7);
        if (url.path.startsWith("//")) url.path = url.path.mid(2);
        if (url.path.isEmpty()) return Bad(text, "it names no database file");
        return url;
    }
    for (const char* scheme : {"postgresql://", "postgres://"})
        if (text.startsWith(scheme))
            return ParsePostgresql(text, text.mid(qsizetype(strlen(scheme))));
    return Bad(text, "it starts with neither sqlite: nor postgresql://");
}

} // namespace zantrel
