// The settings file "rel.txt" beside the executable: section Path, key ComStr,
// the full path of the last data file opened. Each access opens the file, does
// one read or one write and lets it go.
#pragma once

#include <QString>
#include <utility>

namespace relan {

class PathSettings {
public:
    explicit PathSettings(QString file) : file_(std::move(file)) {}

    const QString& File() const { return file_; }
    // Value of ComStr, or `fallback` when the file or the key is missing or unreadable.
    QString ReadComStr(const QString& fallback) const;
    // Stores ComStr; false when the file could not be written.
    bool WriteComStr(const QString& value) const;

private:
    QString file_;
};

}  // namespace relan
