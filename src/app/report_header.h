// The header line of a results page (the window's print and relan --report): which
// files were analysed, when, by which version of the program, and the settings that
// shape the results on the page.
#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

#include "fit/defaults.h"

namespace relan {

struct ReportSettings {
    QString dataFile;                      // the data file analysed (its name is shown)
    QString warrantyFile;                  // the warranty end-time file loaded after it; empty: none
    QString agesFile;                      // the fleet's ages file (a fleet in service); empty: none
    QStringList models;                    // "1.1", "1.2", "2", "3", the optimiser
    int item = -1;                         // deviation form of the Pearson criterion; -1: no Pearson model
    double burnIn = rel::defaults::kBurnIn;  // h
    bool fitSred = false, fitSKO = false;  // the warranty figures were fitted
    qint64 virtualClock = 0;               // evaluations per virtual second; 0: the wall clock
    std::optional<quint64> seed;           // the random numbers' seed, when one was given
    int bootstrap = -1;                    // model 3's bootstrap replicates; -1: model 3 not on the page
};

// The model names of the header, in the order the user ticks them.
inline const char* const kHeaderModelGen = QT_TRANSLATE_NOOP("relan::ReportHeader", "ген. алгоритм");

// Date and time of a report: SOURCE_DATE_EPOCH (seconds since 1970, UTC) when it is
// set to a number, so that a report can be reproduced byte for byte; else now.
QDateTime ReportTime();

// "Файл данных: demo-fleet.txt; файл гарантии: gar-demo.txt; 14.11.2023 22:13:20 UTC;
// relan 0.1.0; модели: 1.1, 2; способ подбора: Стандарт; приработка 300 ч; подбор СВН
// и СКО; виртуальные часы 50000 оценок/с; зерно 7; бутстреп 200". Numbers with `sep`.
QString ReportHeaderLine(const ReportSettings& s, const QDateTime& when, char sep);

}  // namespace relan
