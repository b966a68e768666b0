// The menu "Вид" → "Язык": "Русский" and "English", one of them checked. Choosing
// one keeps its code in the settings file (key "Language") for the next start, or
// says that it could not be kept.
#pragma once

#include <QObject>
#include <QString>

class QActionGroup;
class QMenu;
class QWidget;

namespace relan {

class Dialogs;
class PathSettings;

class LanguageMenu : public QObject {
    Q_OBJECT
public:
    // Adds the submenu "Язык" to `parentMenu`; `settings` are the program's settings
    // (null: none are kept), `window` the parent of the message.
    LanguageMenu(QMenu* parentMenu, PathSettings* settings, Dialogs* dialogs, QWidget* window);

    // The interface language kept in the settings file ("ru" when none is kept).
    QString Current() const;
    // Keeps `code` ("ru", "en") in the settings file and tells the user when it
    // takes effect, or that it could not be kept (and why).
    void ChooseLanguage(const QString& code);

    QMenu* Menu() const { return menu_; }

private:
    PathSettings* settings_;
    Dialogs* dialogs_;
    QWidget* window_;
    QMenu* menu_;
    QActionGroup* group_;
};

}  // namespace relan
