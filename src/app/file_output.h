// Writing a finished file: its bytes are made in memory first, then written out in
// one go and checked to the end (a full disc, a folder that cannot be written), so
// that a file is either whole or its failure is said with the file's name.
#pragma once

#include <QByteArray>
#include <QString>

namespace relan {

// Writes `bytes` to `file`: a regular file is replaced as a whole (nothing of a
// half-written file is left), a device such as /dev/full is written directly.
// False with the reason, naming the file, in `why`.
bool WriteFileBytes(const QString& file, const QByteArray& bytes, QString& why);

}  // namespace relan
