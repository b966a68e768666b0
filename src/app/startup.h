// Start-up of the window program: title, Russian locale and toolkit texts, font,
// and the handler of the one fatal error of the analysis.
#pragma once

class QApplication;

namespace relan {

// Sets the title, the default locale (Russian, decimal comma), the toolkit's own
// texts in Russian when their translation is installed, and a font that renders
// Cyrillic.
void SetUpApplication(QApplication& app);

class Dialogs;

// Installs the handler of a reversed Weibull interval: the error box
// "Параметры должны быть t2>t1" with the caption "Velmar", shown through
// `dialogs`, then the program ends. `dialogs` must live as long as the program.
void InstallReversedIntervalHandler(Dialogs* dialogs);

// Met on a worker thread, the error waits for the window's thread to show its box
// and end the program: its event loop does so, and so must every wait of that
// thread for a worker. Nothing when no such error is pending.
void ServePendingFatal();

}  // namespace relan
