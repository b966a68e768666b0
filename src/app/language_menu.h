// The menu "Вид" → "Язык": "Русский" and "English", one of them checked. Choosing
// one keeps its code in the settings file (key "Language") for the next start.
#pragma once

#include <QObject>
#include <QString>

class QActionGroup;
class QMenu;
class QWidget;

namespace relan {

class Dialogs;

class LanguageMenu : public QObject {
    Q_OBJECT
public:
    // Adds the submenu "Язык" to `parentMenu`; `settingsFile` is the program's
    // settings file, `window` the parent of the message.
    LanguageMenu(QMenu* parentMenu, QString settingsFile, Dialogs* dialogs, QWidget* window);

    // The interface language kept in the settings file ("ru" when none is kept).
    QString Current() const;
    // Keeps `code` ("ru", "en") in the settings file and tells the user when it
    // takes effect.
    void ChooseLanguage(const QString& code);

    QMenu* Menu() const { return menu_; }

private:
    QString settingsFile_;
    Dialogs* dialogs_;
    QWidget* window_;
    QMenu* menu_;
    QActionGroup* group_;
};

}  // namespace relan
