// Numbers typed by the user, read with the locale's conversion.
#pragma once

#include <QString>

namespace relan {

// The locale's decimal separator as one character ('.' when it is not ASCII).
char DecimalSep();

// Reads `text` as a real number with the default locale's conversion. On failure
// returns false and puts into `why` a message that names the field and the text.
bool ReadNumber(const QString& text, const QString& fieldName, double& value, QString& why);

// "1" + separator + "00025" and the like: a number text with the locale's separator.
QString DecimalText(const char* intPart, const char* fracPart);

}  // namespace relan
