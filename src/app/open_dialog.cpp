#include "open_dialog.h"

#include <QCoreApplication>
#include <QStringList>

#include "dialogs.h"

namespace relan {

QString ToQtFilter(const QString& pairs) {
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) p = p.trimmed();
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    if (parts.size() % 2 == 1 && !parts.last().trimmed().isEmpty()) {
        // A lone pattern list without description.
        filters << parts.last().trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
    }
    return filters.join(QStringLiteral(";;"));
}

QString OpenDialog::Choose(Dialogs& dialogs, QWidget* parent) const {
    return dialogs.OpenFile(parent, QCoreApplication::translate("relan::OpenDialog", "Открыть"), InitialDir,
                            FileName, ToQtFilter(Filter));
}

}  // namespace relan
