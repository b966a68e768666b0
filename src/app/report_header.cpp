#include "report_header.h"

#include <QFileInfo>

#include "text/format.h"
#include "version.h"

namespace relan {

QDateTime ReportTime() {
    const QByteArray epoch = qgetenv("SOURCE_DATE_EPOCH").trimmed();
    bool ok = false;
    const qint64 seconds = epoch.toLongLong(&ok);
    if (!epoch.isEmpty() && ok && seconds >= 0) return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    return QDateTime::currentDateTime();
}

QString ReportHeaderLine(const ReportSettings& s, const QDateTime& when, char sep) {
    QStringList parts;
    parts << QStringLiteral("Файл данных: ") + QFileInfo(s.dataFile).fileName();
    if (!s.warrantyFile.isEmpty()) parts << QStringLiteral("файл гарантии: ") + QFileInfo(s.warrantyFile).fileName();
    QString time = when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    if (when.timeSpec() == Qt::UTC) time += QStringLiteral(" UTC");
    parts << time;
    parts << QStringLiteral("relan ") + QLatin1String(rel::kVersion);
    if (!s.models.isEmpty()) parts << QStringLiteral("модели: ") + s.models.join(QStringLiteral(", "));
    static const char* const kItems[] = {"Специальный 1", "Стандарт", "Специальный 2"};
    if (s.item >= 0 && s.item < 3) parts << QStringLiteral("способ подбора: ") + QString::fromUtf8(kItems[s.item]);
    parts << QStringLiteral("приработка ") + QString::fromStdString(rel::FormatGeneral(s.burnIn, sep)) +
                 QStringLiteral(" ч");
    if (s.fitSred && s.fitSKO)
        parts << QStringLiteral("подбор СВН и СКО");
    else if (s.fitSred)
        parts << QStringLiteral("подбор СВН");
    else if (s.fitSKO)
        parts << QStringLiteral("подбор СКО");
    if (s.virtualClock > 0)
        parts << QStringLiteral("виртуальные часы %1 оценок/с").arg(s.virtualClock);
    if (s.seed) parts << QStringLiteral("зерно %1").arg(*s.seed);
    if (s.bootstrap >= 0) parts << QStringLiteral("бутстреп %1").arg(s.bootstrap);
    return parts.join(QStringLiteral("; "));
}

}  // namespace relan
