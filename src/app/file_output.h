// Writing a finished file and naming files as the system does.
//
// Every file the window or the report saves (PDF, SVG, PNG, CSV, the workbook, the
// settings) is written whole or not at all by the program's one writer
// (cli/file_write.h): beside the target, flushed, checked, renamed over it. These
// are the window's side of it: its file names and its messages.
//
// File names: a name on the system is a string of bytes and need not be UTF-8. The
// toolkit turns the bytes that are not UTF-8 into U+FFFD and then cannot find the
// file, so the program keeps such a byte in a QString as the lone surrogate
// U+DC80 + byte (nothing valid decodes to one) and gives the system back the very
// bytes it named.
#pragma once

#include <QByteArray>
#include <QString>

#include "frontend/file_write.h"

namespace relan {

// The name for the system's bytes `bytes`: UTF-8 decoded, every other byte kept.
QString FileNameFromBytes(const QByteArray& bytes);
// The system's bytes of a name made by FileNameFromBytes (or typed in the window).
QByteArray FileNameBytes(const QString& name);
// The name as shown in a message: native separators, a kept byte shown as U+FFFD.
QString ShownFileName(const QString& name);
// Whether `name` is a folder (the system asked with its bytes).
bool IsFolder(const QString& name);
// Whether `name` is an existing regular file (or a link to one).
bool IsRegularFile(const QString& name);

// The reason of a failed write in the window's language.
QString WriteReasonText(const relcli::WriteOutcome& outcome);
// "Файл «FILE» не записан: REASON" in the window's language.
QString WriteFailureText(const QString& file, const relcli::WriteOutcome& outcome);

// Writes `bytes` to `file` whole or not at all (`check`, when given, looks at the
// written file too). False with the message, naming the file, in `why`.
bool WriteFileBytes(const QString& file, const QByteArray& bytes, QString& why,
                    const relcli::FileCheck& check = {});

}  // namespace relan
