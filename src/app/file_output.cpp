#include "file_output.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace relan {

namespace {

QString NotWritten(const QString& file, const QString& reason) {
    return QCoreApplication::translate("FileOutput", "Файл «%1» не записан: %2")
        .arg(QDir::toNativeSeparators(file), reason);
}

}  // namespace

bool WriteFileBytes(const QString& file, const QByteArray& bytes, QString& why) {
    const QFileInfo info(file);
    if (info.isDir()) {
        why = NotWritten(file, QCoreApplication::translate("FileOutput", "это папка, а не файл"));
        return false;
    }
    if (info.exists() && !info.isFile()) {
        // A device or a pipe: it cannot be replaced, only written into; the write
        // and the flush are both checked (a full device fails only at the flush).
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush()) {
            why = NotWritten(file, f.errorString());
            return false;
        }
        f.close();
        if (f.error() != QFileDevice::NoError) {
            why = NotWritten(file, f.errorString());
            return false;
        }
        return true;
    }
    // A regular file: written beside the target and moved over it once complete.
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly)) {
        why = NotWritten(file, f.errorString());
        return false;
    }
    if (f.write(bytes) != bytes.size()) {
        why = NotWritten(file, f.errorString());
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        why = NotWritten(file, f.errorString());
        return false;
    }
    return true;
}

}  // namespace relan
