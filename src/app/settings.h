// The settings file "rel.txt": section Path, key ComStr, the full path of the last
// data file loaded, and key Recent, the data files loaded last. Each access opens the file, does one read or one
// write and lets it go.
//
// Where it lives: beside the executable when that folder can be written, otherwise
// (an installed program, /usr/bin) in the user's configuration folder. The file
// beside an executable that cannot write it may still be read, after the writable
// one, as a default an administrator put there.
#pragma once

#include <QString>
#include <QStringList>
#include <utility>

namespace relan {

class PathSettings {
public:
    // `file` is read and written; `fallback`, when given, is only read, and only
    // when `file` has no value.
    explicit PathSettings(QString file, QString fallback = {})
        : file_(std::move(file)), fallback_(std::move(fallback)) {}

    const QString& File() const { return file_; }
    // Value of ComStr, or `fallback` when neither file has the key.
    QString ReadComStr(const QString& fallback) const;
    // Stores ComStr; false when the file could not be written.
    bool WriteComStr(const QString& value) const;

    // The data files loaded last, the latest first (at most kRecentFiles), kept
    // beside ComStr as Path/Recent.
    static constexpr int kRecentFiles = 8;
    QStringList ReadRecent() const;
    bool WriteRecent(const QStringList& files) const;

private:
    QString file_;
    QString fallback_;
};

// Where the settings file is for an executable in `exeDir` (with its trailing
// separator): there when `exeDirWritable`, else in `configDir`. `readOnlyFile`
// receives the file beside the executable when it is not the one written.
QString SettingsFileFor(const QString& exeDir, bool exeDirWritable, const QString& configDir,
                        QString* readOnlyFile = nullptr);

// Whether the settings file can be kept in `dir`: the folder exists and can be
// written, and a "rel.txt" already there can be written too.
bool SettingsFolderWritable(const QString& dir);

}  // namespace relan
