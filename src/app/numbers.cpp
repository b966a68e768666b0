#include "numbers.h"

#include <QLocale>
#include <cmath>

namespace relan {

char DecimalSep() {
    const QString p = QLocale().decimalPoint();
    if (p.size() == 1 && p[0].unicode() < 128) return static_cast<char>(p[0].unicode());
    return '.';
}

bool ReadNumber(const QString& text, const QString& fieldName, double& value, QString& why) {
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        why = QStringLiteral("Поле «%1» не заполнено: введите число.").arg(fieldName);
        return false;
    }
    bool ok = false;
    const double v = QLocale().toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) {
        why = QStringLiteral("«%1» в поле «%2» не является числом (десятичный разделитель «%3»).")
                  .arg(t, fieldName, QLocale().decimalPoint());
        return false;
    }
    value = v;
    return true;
}

QString DecimalText(const char* intPart, const char* fracPart) {
    return QLatin1String(intPart) + QLocale().decimalPoint() + QLatin1String(fracPart);
}

}  // namespace relan
