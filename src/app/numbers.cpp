#include "numbers.h"

#include <QCoreApplication>
#include <QLocale>
#include <cmath>

namespace relan {

char DecimalSep() {
    const QString p = QLocale().decimalPoint();
    if (p.size() == 1 && p[0].unicode() < 128) return static_cast<char>(p[0].unicode());
    return '.';
}

QString WithLocaleSeparator(QString text) {
    const char sep = DecimalSep();
    if (sep == ',') return text.replace(QLatin1Char('.'), QLatin1Char(','));
    if (sep == '.') return text.replace(QLatin1Char(','), QLatin1Char('.'));
    return text;
}

std::string LocaleNumberText(const QString& text) {
    // Only a number is rewritten: a text that is none stays as typed, so that the
    // message refusing it quotes the user's own text.
    bool ok = false;
    QLocale().toDouble(text.trimmed(), &ok);
    if (ok) return text.toStdString();
    const QString other = WithLocaleSeparator(text);
    QLocale().toDouble(other.trimmed(), &ok);
    return (ok ? other : text).toStdString();
}

bool ReadNumber(const QString& text, const QString& fieldName, double& value, QString& why) {
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        why =
            QCoreApplication::translate("relan::Numbers", "Поле «%1» не заполнено: введите число.").arg(fieldName);
        return false;
    }
    bool ok = false;
    double v = QLocale().toDouble(t, &ok);
    // The other separator: the text is read again with the locale's one in its place.
    if (!ok) v = QLocale().toDouble(WithLocaleSeparator(t), &ok);
    if (!ok || !std::isfinite(v)) {
        why = QCoreApplication::translate(
                  "relan::Numbers",
                  "«%1» в поле «%2» не является числом (десятичный разделитель - точка или запятая).")
                  .arg(t, fieldName);
        return false;
    }
    value = v;
    return true;
}

QString DecimalText(const char* intPart, const char* fracPart) {
    return QLatin1String(intPart) + QLocale().decimalPoint() + QLatin1String(fracPart);
}

QString DecimalText(const rel::defaults::Decimal& d) { return DecimalText(d.whole, d.fraction); }

}  // namespace relan
