#include "settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>
#include <cerrno>
#include <cstdio>

#include "frontend/file_write.h"
#include "file_output.h"

namespace relan {

namespace {
const QString kKey = QStringLiteral("Path/ComStr");
const QString kRecentKey = QStringLiteral("Path/Recent");
const QString kRecentAgesKey = QStringLiteral("Path/RecentAges");
const QString kLanguageKey = QStringLiteral("Language");
const QString kFileName = QStringLiteral("rel.txt");
// A path whose name holds bytes that are not UTF-8 is kept as a file URL with those
// bytes percent-encoded: the settings file is UTF-8 text.
const QString kUrlPrefix = QStringLiteral("file://");

QString Tr(const char* text) { return QCoreApplication::translate("relan::Settings", text); }

QVariant StoredPath(const QString& path) {
    const QByteArray bytes = FileNameBytes(path);
    if (QString::fromUtf8(bytes).toUtf8() == bytes) return path;
    return kUrlPrefix + QString::fromLatin1(bytes.toPercentEncoding("/"));
}

QString PathFrom(const QString& stored) {
    if (!stored.startsWith(kUrlPrefix)) return stored;
    return FileNameFromBytes(QByteArray::fromPercentEncoding(stored.mid(kUrlPrefix.size()).toLatin1()));
}

bool ValidUtf8(const QByteArray& bytes) {
    return !bytes.contains('\0') && QString::fromUtf8(bytes).toUtf8() == bytes;
}

// What reading a settings file found.
enum class Found { None, Read, Damaged, Unreadable };

// Reads the keys of `file` into `values`; `why` says why a file could not be read.
Found ReadValues(const QString& file, QMap<QString, QVariant>& values, const char*& why) {
    values.clear();
    const QFileInfo info(file);
    if (file.isEmpty() || (!info.exists() && !info.isSymLink())) return Found::None;
    if (info.isDir()) {
        why = QT_TRANSLATE_NOOP("relan::Settings", "это папка, а не файл");
        return Found::Unreadable;
    }
    if (info.size() > PathSettings::kMaxBytes) return Found::Damaged;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        why = QT_TRANSLATE_NOOP("relan::Settings", "нет прав на чтение");
        return Found::Unreadable;
    }
    const QByteArray bytes = f.read(PathSettings::kMaxBytes + 1);
    f.close();
    if (bytes.size() > PathSettings::kMaxBytes || !ValidUtf8(bytes)) return Found::Damaged;
    const QSettings ini(file, QSettings::IniFormat);
    if (ini.status() == QSettings::FormatError) return Found::Damaged;
    if (ini.status() != QSettings::NoError) {
        why = QT_TRANSLATE_NOOP("relan::Settings", "нет прав на чтение");
        return Found::Unreadable;
    }
    for (const QString& key : ini.allKeys()) values.insert(key, ini.value(key));
    return Found::Read;
}

// Moves a damaged settings file aside to FILE.bad (replacing an older one).
relcli::WriteOutcome SetAside(const QString& file) {
    const QByteArray from = FileNameBytes(file), to = FileNameBytes(file + QStringLiteral(".bad"));
    if (std::rename(from.constData(), to.constData()) == 0) return relcli::WriteOutcome::Done();
    return relcli::WriteOutcome::Failed(relcli::ReasonForError(errno), errno);
}

}  // namespace

PathSettings::PathSettings(QString file, QString fallback)
    : file_(std::move(file)), fallback_(std::move(fallback)) {
    Read();
}

void PathSettings::Read() {
    const char* why = nullptr;
    switch (ReadValues(file_, values_, why)) {
        case Found::None:
        case Found::Read:
            break;
        case Found::Unreadable:
            problems_.push_back({ReadProblem::Unreadable, file_, why, {}});
            break;
        case Found::Damaged: {
            const relcli::WriteOutcome moved = SetAside(file_);
            // A file that could not be set aside is left where it is and not written
            // over: the user may want it back.
            if (!moved) writable_ = false;
            problems_.push_back({moved ? ReadProblem::SetAside : ReadProblem::Kept, file_, nullptr, moved});
            break;
        }
    }
    if (fallback_.isEmpty()) return;
    const Found f = ReadValues(fallback_, fallbackValues_, why);
    if (f == Found::Damaged || f == Found::Unreadable) {
        fallbackValues_.clear();
        problems_.push_back({ReadProblem::Unreadable,
                             fallback_,
                             f == Found::Damaged ? QT_TRANSLATE_NOOP("relan::Settings", "он поврежден") : why,
                             {}});
    }
}

QString PathSettings::ReadComStr(const QString& fallback) const {
    for (const auto* values : {&values_, &fallbackValues_}) {
        const QVariant v = values->value(kKey);
        if (v.isValid()) return PathFrom(v.toString());
    }
    return fallback;
}

QStringList PathSettings::ReadRecent() const { return ReadList(kRecentKey); }
QStringList PathSettings::ReadRecentAges() const { return ReadList(kRecentAgesKey); }
bool PathSettings::WriteRecentAges(const QStringList& files) { return WriteList(kRecentAgesKey, files); }

QStringList PathSettings::ReadList(const QString& key) const {
    for (const auto* values : {&values_, &fallbackValues_}) {
        const QVariant v = values->value(key);
        if (!v.isValid()) continue;
        QStringList files;
        for (const QString& s : v.toStringList().mid(0, kRecentFiles)) files << PathFrom(s);
        return files;
    }
    return {};
}

QString PathSettings::ReadLanguage() const {
    for (const auto* values : {&values_, &fallbackValues_}) {
        const QString v = values->value(kLanguageKey).toString();
        if (!v.isEmpty()) return v;
    }
    return {};
}

bool PathSettings::WriteComStr(const QString& value) { return Store(kKey, StoredPath(value)); }

bool PathSettings::WriteRecent(const QStringList& files) { return WriteList(kRecentKey, files); }

bool PathSettings::WriteList(const QString& key, const QStringList& files) {
    QStringList stored;
    for (const QString& f : files.mid(0, kRecentFiles)) stored << StoredPath(f).toString();
    return Store(key, stored);
}

bool PathSettings::WriteLanguage(const QString& code) { return Store(kLanguageKey, code); }

bool PathSettings::Store(const QString& key, const QVariant& value) {
    values_.insert(key, value);
    auto failed = [this](const QString& why) {
        saveError_ = why;
        if (!saveNoticeGiven_) saveNoticePending_ = true;
        return false;
    };
    if (!writable_)
        return failed(
            QCoreApplication::translate(
                "relan::Settings", "Файл настроек «%1» поврежден и не отложен: настройки в него не записываются.")
                .arg(ShownFileName(file_)));
    // What another copy of the program wrote since, under this session's key.
    QMap<QString, QVariant> onDisc;
    const char* why = nullptr;
    const Found found = ReadValues(file_, onDisc, why);
    if (found == Found::Read) {
        onDisc.insert(key, value);
        for (auto it = values_.cbegin(); it != values_.cend(); ++it)
            if (!onDisc.contains(it.key())) onDisc.insert(it.key(), it.value());
        values_ = onDisc;
    } else if (found == Found::Damaged) {
        // Damaged since the start: kept aside like the one found then.
        SetAside(file_);
    }

    // The configuration folder may not exist yet; when it cannot be made, making the
    // temporary file in it says why.
    const QFileInfo info(file_);
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir()) QDir().mkpath(folder);
    relcli::TempFileGuard guard;
    const relcli::WriteOutcome made =
        guard.Create(FileNameBytes(folder).toStdString(), FileNameBytes(info.fileName()).toStdString());
    if (!made) return failed(WriteFailureText(file_, made));
    const std::string temp = guard.Path();
    {
        // The toolkit's INI writer, on the temporary file: the same text the file
        // has always had.
        QSettings ini(FileNameFromBytes(QByteArray::fromStdString(temp)), QSettings::IniFormat);
        for (auto it = values_.cbegin(); it != values_.cend(); ++it) ini.setValue(it.key(), it.value());
        ini.sync();
        if (ini.status() != QSettings::NoError) {
            // The toolkit's writer does not say why: the system is asked by a write of a
            // few kilobytes into the same temporary file (a full disc, a size limit).
            int error = EIO;
            const int fd = ::open(temp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            if (fd >= 0) {
                static const char kZeros[4096] = {};
                if (::write(fd, kZeros, sizeof kZeros) < 0) error = errno;
                ::close(fd);
            }
            return failed(
                WriteFailureText(file_, relcli::WriteOutcome::Failed(relcli::ReasonForError(error), error)));
        }
    }
    const relcli::WriteOutcome put = relcli::CommitTemp(temp, FileNameBytes(file_).toStdString(), -1, {});
    if (!put) return failed(WriteFailureText(file_, put));
    guard.Release();
    saveError_.clear();
    return true;
}

QString PathSettings::TakeNotice() {
    // Composed when said, in the language installed by then.
    QStringList lines;
    for (const ReadProblem& p : problems_) {
        const QString file = ShownFileName(p.file);
        switch (p.kind) {
            case ReadProblem::Unreadable:
                lines << QCoreApplication::translate(
                             "relan::Settings",
                             "Файл настроек «%1» не прочитан: %2. Последний файл, список последних файлов и язык "
                             "не восстановлены.")
                             .arg(file, Tr(p.why));
                break;
            case ReadProblem::SetAside:
                lines << QCoreApplication::translate(
                             "relan::Settings",
                             "Файл настроек «%1» поврежден и отложен как «%2». Настройки начаты заново: последний "
                             "файл, список последних файлов и язык не восстановлены.")
                             .arg(file, ShownFileName(p.file + QStringLiteral(".bad")));
                break;
            case ReadProblem::Kept:
                lines << QCoreApplication::translate(
                             "relan::Settings",
                             "Файл настроек «%1» поврежден и не прочитан; отложить его не удалось (%2), поэтому "
                             "настройки в него не записываются.")
                             .arg(file, WriteReasonText(p.failure));
                break;
        }
    }
    problems_.clear();
    if (!lines.isEmpty()) return lines.join(QLatin1Char('\n'));
    if (saveNoticePending_) {
        SaveFailureSaid();
        return QCoreApplication::translate(
                   "relan::Settings",
                   "Настройки программы не сохранены: %1. Последний файл, список последних файлов и язык "
                   "запомнены только до закрытия программы.")
            .arg(saveError_);
    }
    return {};
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

bool IsSystemFolder(const QString& exeDir) {
    const QString dir = QDir::cleanPath(QDir::fromNativeSeparators(exeDir)) + QLatin1Char('/');
    for (const char* root : {"/usr/", "/bin/", "/sbin/", "/opt/", "/snap/"})
        if (dir.startsWith(QLatin1String(root))) return true;
    return false;
}

bool SettingsFolderWritable(const QString& dir) {
    const QFileInfo folder(dir);
    if (!folder.isDir() || !folder.isWritable()) return false;
    const QFileInfo file(QDir(dir).filePath(kFileName));
    return !file.exists() || file.isWritable();
}

}  // namespace relan
