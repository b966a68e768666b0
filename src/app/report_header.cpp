#include "report_header.h"

#include <QCoreApplication>
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
    parts << QCoreApplication::translate("relan::ReportHeader", "Файл данных: ") + QFileInfo(s.dataFile).fileName();
    if (!s.warrantyFile.isEmpty()) parts << QCoreApplication::translate("relan::ReportHeader", "файл гарантии: ") + QFileInfo(s.warrantyFile).fileName();
    QString time = when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    if (when.timeSpec() == Qt::UTC) time += QStringLiteral(" UTC");
    parts << time;
    parts << QStringLiteral("relan ") + QLatin1String(rel::kVersion);
    if (!s.models.isEmpty()) parts << QCoreApplication::translate("relan::ReportHeader", "модели: ") + s.models.join(QStringLiteral(", "));
    static const char* const kItems[] = {QT_TRANSLATE_NOOP("relan::ReportHeader", "Специальный 1"),
                                         QT_TRANSLATE_NOOP("relan::ReportHeader", "Стандарт"),
                                         QT_TRANSLATE_NOOP("relan::ReportHeader", "Специальный 2")};
    if (s.item >= 0 && s.item < 3) parts << QCoreApplication::translate("relan::ReportHeader", "способ подбора: ") + QCoreApplication::translate("relan::ReportHeader", kItems[s.item]);
    parts << QCoreApplication::translate("relan::ReportHeader", "приработка ") + QString::fromStdString(rel::FormatGeneral(s.burnIn, sep)) +
                 QCoreApplication::translate("relan::ReportHeader", " ч");
    if (s.fitSred && s.fitSKO)
        parts << QCoreApplication::translate("relan::ReportHeader", "подбор СВН и СКО");
    else if (s.fitSred)
        parts << QCoreApplication::translate("relan::ReportHeader", "подбор СВН");
    else if (s.fitSKO)
        parts << QCoreApplication::translate("relan::ReportHeader", "подбор СКО");
    if (s.virtualClock > 0)
        parts << QCoreApplication::translate("relan::ReportHeader", "виртуальные часы %1 оценок/с").arg(s.virtualClock);
    if (s.seed) parts << QCoreApplication::translate("relan::ReportHeader", "зерно %1").arg(*s.seed);
    if (s.bootstrap >= 0) parts << QCoreApplication::translate("relan::ReportHeader", "бутстреп %1").arg(s.bootstrap);
    return parts.join(QStringLiteral("; "));
}

}  // namespace relan
