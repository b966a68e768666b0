// Numbers typed by the user, read with the locale's conversion.
#pragma once

#include <QString>
#include <string>

#include "fit/defaults.h"

namespace relan {

// The locale's decimal separator as one character ('.' when it is not ASCII).
char DecimalSep();

// Reads `text` as a real number with the default locale's conversion; the point
// and the comma are both taken as the decimal separator (a number copied from
// elsewhere often carries the other one). On failure returns false and puts into
// `why` a message that names the field and the text.
bool ReadNumber(const QString& text, const QString& fieldName, double& value, QString& why);

// `text` with the point or the comma written as the locale's decimal separator.
QString WithLocaleSeparator(QString text);
// The text of a number field as the core's readers take it: a number written with
// the other separator gets the locale's; any other text stays as it is.
std::string LocaleNumberText(const QString& text);

// "1" + separator + "00025" and the like: a number text with the locale's separator.
QString DecimalText(const char* intPart, const char* fracPart);
// A decimal default in the locale's form ("1,00025" in the Russian window).
QString DecimalText(const rel::defaults::Decimal& d);

}  // namespace relan
