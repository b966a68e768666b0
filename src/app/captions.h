// The program's title, and the version notice shown after the program's title and the windows' captions.
#pragma once

#include <QCoreApplication>
#include <QString>

#include "version.h"

namespace relan {

inline constexpr const char* kVersion = rel::kVersion;

// " — relan, версия 0.1.0": the notice that follows every caption.
inline QString VersionNotice() {
    return QCoreApplication::translate("relan::Captions", " — relan, версия %1").arg(QLatin1String(kVersion));
}
inline QString AppTitle() {
    return QCoreApplication::translate("relan::Captions", "Анализ надежности") + VersionNotice();
}
inline QString MainCaption() {
    return QCoreApplication::translate("relan::Captions", "Анализ надежности в эксплуатации.") + VersionNotice();
}

}  // namespace relan
