#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace zantrel {

// A temporary settings folder with helpers to put and read files byte for byte.
class WorkDir {
  public:
    QByteArray path() const { return dir_.path().toLocal8Bit(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

    void put(const QString& name, const QByteArray& content) const {
        QFile f(file(name));
        f.open(QIODevice::WriteOnly);
        f.write(content);
    }
    QByteArray read(const QString& name) const {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool exists(const QString& name) const { return QFile::exists(file(name)); }

  private:
    QTemporaryDir dir_;
};

} // namespace zantrel
