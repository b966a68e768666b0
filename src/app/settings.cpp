#include "settings.h"

#include <QSettings>

namespace relan {

namespace {
const QString kKey = QStringLiteral("Path/ComStr");
}

QString PathSettings::ReadComStr(const QString& fallback) const {
    QSettings ini(file_, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) return fallback;
    const QVariant v = ini.value(kKey);
    if (!v.isValid()) return fallback;
    return v.toString();
}

bool PathSettings::WriteComStr(const QString& value) const {
    QSettings ini(file_, QSettings::IniFormat);
    ini.setValue(kKey, value);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

}  // namespace relan
