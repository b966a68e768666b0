#include "settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace relan {

namespace {
const QString kKey = QStringLiteral("Path/ComStr");
const QString kRecentKey = QStringLiteral("Path/Recent");
const QString kFileName = QStringLiteral("rel.txt");

bool ReadKey(const QString& file, QString& value) {
    if (file.isEmpty() || !QFileInfo::exists(file)) return false;
    QSettings ini(file, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) return false;
    const QVariant v = ini.value(kKey);
    if (!v.isValid()) return false;
    value = v.toString();
    return true;
}
}  // namespace

QString PathSettings::ReadComStr(const QString& fallback) const {
    QString value;
    if (ReadKey(file_, value)) return value;
    if (ReadKey(fallback_, value)) return value;
    return fallback;
}

bool PathSettings::WriteComStr(const QString& value) const {
    // The configuration folder may not exist yet.
    const QFileInfo info(file_);
    if (!info.absoluteDir().exists() && !QDir().mkpath(info.absolutePath())) return false;
    QSettings ini(file_, QSettings::IniFormat);
    ini.setValue(kKey, value);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

QStringList PathSettings::ReadRecent() const {
    for (const QString& file : {file_, fallback_}) {
        if (file.isEmpty() || !QFileInfo::exists(file)) continue;
        QSettings ini(file, QSettings::IniFormat);
        const QVariant v = ini.value(kRecentKey);
        if (v.isValid()) return v.toStringList().mid(0, kRecentFiles);
    }
    return {};
}

bool PathSettings::WriteRecent(const QStringList& files) const {
    const QFileInfo info(file_);
    if (!info.absoluteDir().exists() && !QDir().mkpath(info.absolutePath())) return false;
    QSettings ini(file_, QSettings::IniFormat);
    ini.setValue(kRecentKey, files.mid(0, kRecentFiles));
    ini.sync();
    return ini.status() == QSettings::NoError;
}

QString SettingsFileFor(const QString& exeDir, bool exeDirWritable, const QString& configDir,
                        QString* readOnlyFile) {
    const QString beside = exeDir + kFileName;
    if (exeDirWritable || configDir.isEmpty()) {
        if (readOnlyFile) readOnlyFile->clear();
        return beside;
    }
    if (readOnlyFile) *readOnlyFile = beside;
    return QDir(configDir).filePath(kFileName);
}

bool SettingsFolderWritable(const QString& dir) {
    const QFileInfo folder(dir);
    if (!folder.isDir() || !folder.isWritable()) return false;
    const QFileInfo file(QDir(dir).filePath(kFileName));
    return !file.exists() || file.isWritable();
}

}  // namespace relan
