#include "report_header.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "text/format.h"
#include "version.h"

namespace relan {

namespace {
// The context of the header line's translations.
struct ReportHeader {
    Q_DECLARE_TR_FUNCTIONS(relan::ReportHeader)
};
}  // namespace

QDateTime ReportTime() {
    const QByteArray epoch = qgetenv("SOURCE_DATE_EPOCH").trimmed();
    bool ok = false;
    const qint64 seconds = epoch.toLongLong(&ok);
    if (!epoch.isEmpty() && ok && seconds >= 0) return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    return QDateTime::currentDateTime();
}

QString ReportHeaderLine(const ReportSettings& s, const QDateTime& when, char sep) {
    QStringList parts;
    parts << ReportHeader::tr("Файл данных: ") + QFileInfo(s.dataFile).fileName();
    if (!s.warrantyFile.isEmpty())
        parts << ReportHeader::tr("файл гарантии: ") + QFileInfo(s.warrantyFile).fileName();
    if (!s.agesFile.isEmpty()) parts << ReportHeader::tr("файл наработок: ") + QFileInfo(s.agesFile).fileName();
    QString time = when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    if (when.timeSpec() == Qt::UTC) time += QStringLiteral(" UTC");
    parts << time;
    parts << QStringLiteral("relan ") + QLatin1String(rel::kVersion);
    if (!s.models.isEmpty()) parts << ReportHeader::tr("модели: ") + s.models.join(QStringLiteral(", "));
    static const char* const kItems[] = {QT_TRANSLATE_NOOP("relan::ReportHeader", "Специальный 1"),
                                         QT_TRANSLATE_NOOP("relan::ReportHeader", "Стандарт"),
                                         QT_TRANSLATE_NOOP("relan::ReportHeader", "Специальный 2")};
    if (s.item >= 0 && s.item < 3)
        parts << ReportHeader::tr("способ подбора: ") + ReportHeader::tr(kItems[s.item]);
    parts << ReportHeader::tr("приработка ") + QString::fromStdString(rel::FormatGeneral(s.burnIn, sep)) +
                 ReportHeader::tr(" ч");
    if (s.fitSred && s.fitSKO)
        parts << ReportHeader::tr("подбор СВН и СКО");
    else if (s.fitSred)
        parts << ReportHeader::tr("подбор СВН");
    else if (s.fitSKO)
        parts << ReportHeader::tr("подбор СКО");
    if (s.virtualClock > 0) parts << ReportHeader::tr("виртуальные часы %1 оценок/с").arg(s.virtualClock);
    if (s.seed) parts << ReportHeader::tr("зерно %1").arg(*s.seed);
    if (s.bootstrap >= 0) parts << ReportHeader::tr("бутстреп %1").arg(s.bootstrap);
    return parts.join(QStringLiteral("; "));
}

}  // namespace relan
