#include "language_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "dialogs.h"
#include "language.h"
#include "settings.h"

namespace relan {

LanguageMenu::LanguageMenu(QMenu* parentMenu, PathSettings* settings, Dialogs* dialogs, QWidget* window)
    : QObject(parentMenu), settings_(settings), dialogs_(dialogs), window_(window) {
    menu_ = parentMenu->addMenu(tr("Язык"));
    menu_->setObjectName(QStringLiteral("menuLanguage"));
    group_ = new QActionGroup(this);
    group_->setExclusive(true);
    const QString current = Current();
    struct Item {
        const char* name;
        QString text, code;
    };
    // Each language under its own name, as language menus show them.
    const Item items[] = {{"actLangRu", QStringLiteral("Русский"), QStringLiteral("ru")},
                          {"actLangEn", QStringLiteral("English"), QStringLiteral("en")}};
    for (const Item& item : items) {
        QAction* a = menu_->addAction(item.text);
        a->setObjectName(QLatin1String(item.name));
        a->setCheckable(true);
        a->setChecked(item.code == current);
        group_->addAction(a);
        const QString code = item.code;
        connect(a, &QAction::triggered, this, [this, code] { ChooseLanguage(code); });
    }
}

QString LanguageMenu::Current() const {
    // The language chosen for the next start, else the one the window speaks now.
    const QString chosen = settings_ ? LanguageCode(settings_->ReadLanguage()) : QString();
    return chosen.isEmpty() ? CurrentLanguage() : chosen;
}

void LanguageMenu::ChooseLanguage(const QString& code) {
    if (settings_ && !settings_->WriteLanguage(code)) {
        // Not kept: the next start would not have it. The failure is said here, so the
        // settings' own notice of it is not repeated.
        settings_->SaveFailureSaid();
        if (dialogs_)
            dialogs_->Error(window_, tr("Язык"),
                            tr("Язык интерфейса не сохранен и при следующем запуске не изменится: %1")
                                .arg(settings_->SaveError()));
        return;
    }
    if (dialogs_) dialogs_->Message(window_, tr("Язык интерфейса изменится при следующем запуске программы."));
}

}  // namespace relan
