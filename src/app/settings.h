// The settings file "rel.txt": section Path, key ComStr, the full path of the last
// data file loaded, and key Recent, the data files loaded last; key Language, the
// interface language chosen for the next start.
//
// The file is read once, when the settings are made (at the program's start), and
// written whole at each change: beside it, then renamed over it (the program's
// writer, file_output.h), after taking in what another copy of the program wrote
// meanwhile, so that a full disc or an interrupt never leaves half a file and two
// windows do not undo each other's keys.
//
// A file that is not what the program writes (not text, not UTF-8, a line the INI
// reader rejects, or over kMaxBytes) is damaged: it is set aside as "rel.txt.bad"
// and the settings start empty. A file that cannot be read or written is said once:
// Notice() has the text for the window to show.
//
// Where it lives: beside the executable when that folder can be written, otherwise
// (an installed program, /usr/bin) in the user's configuration folder. The file
// beside an executable that cannot write it may still be read, after the writable
// one, as a default an administrator put there.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

#include "frontend/file_write.h"

namespace relan {

class PathSettings {
public:
    // No settings file the program writes is larger than this.
    static constexpr qint64 kMaxBytes = 1 << 20;

    // Reads `file` (read and written) and `fallback` (only read, for the keys `file`
    // lacks), when given.
    explicit PathSettings(QString file, QString fallback = {});

    const QString& File() const { return file_; }
    // Value of ComStr, or `fallback` when neither file has the key.
    QString ReadComStr(const QString& fallback) const;
    // Stores ComStr; false when the file could not be written (SaveError() says why).
    bool WriteComStr(const QString& value);

    // The data files loaded last, the latest first (at most kRecentFiles), kept
    // beside ComStr as Path/Recent.
    static constexpr int kRecentFiles = 8;
    QStringList ReadRecent() const;
    bool WriteRecent(const QStringList& files);
    // The recent ages files of fleets in service, the latest first.
    QStringList ReadRecentAges() const;
    bool WriteRecentAges(const QStringList& files);

    // The key Language ("ru", "en" or as the user wrote it), empty when none.
    QString ReadLanguage() const;
    bool WriteLanguage(const QString& code);

    // Why the last write failed, in the window's language; empty after a success.
    const QString& SaveError() const { return saveError_; }

    // What the user should be told about the settings and has not been yet: the
    // file read at the start was damaged and set aside, or could not be read; or a
    // write failed (said once). Empty when there is nothing new.
    QString TakeNotice();
    // The last failed write was said to the user already: no notice of it.
    void SaveFailureSaid() {
        saveNoticePending_ = false;
        saveNoticeGiven_ = true;
    }

private:
    void Read();
    bool Store(const QString& key, const QVariant& value);
    QStringList ReadList(const QString& key) const;
    bool WriteList(const QString& key, const QStringList& files);

    QString file_;
    QString fallback_;
    QMap<QString, QVariant> values_;  // the file's keys as read and written
    QMap<QString, QVariant> fallbackValues_;
    QString saveError_;
    // What reading the files at the start met, said at the first TakeNotice.
    struct ReadProblem {
        enum Kind { Unreadable, SetAside, Kept } kind;
        QString file;
        const char* why;               // Unreadable: the reason (translated when said)
        relcli::WriteOutcome failure;  // Kept: why it could not be set aside
    };
    std::vector<ReadProblem> problems_;
    bool saveNoticeGiven_ = false;
    bool saveNoticePending_ = false;
    bool writable_ = true;  // false: a damaged file could not be set aside
};

// Whether `exeDir` is one of the system's program folders (/usr/..., /bin, /sbin,
// /opt/..., /snap/...): a program installed there keeps no settings beside itself,
// even when it runs as root and could write there, since a file there would seed
// every user's recent files.
bool IsSystemFolder(const QString& exeDir);

// Where the settings file is for an executable in `exeDir` (with its trailing
// separator): there when `exeDirWritable`, else in `configDir`. `readOnlyFile`
// receives the file beside the executable when it is not the one written.
QString SettingsFileFor(const QString& exeDir, bool exeDirWritable, const QString& configDir,
                        QString* readOnlyFile = nullptr);

// Whether the settings file can be kept in `dir`: the folder exists and can be
// written, and a "rel.txt" already there can be written too.
bool SettingsFolderWritable(const QString& dir);

}  // namespace relan
