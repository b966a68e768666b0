// Answers the program's modal dialogs in tests and records what they were asked.
#pragma once

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "dialogs.h"
#include "form1.h"

namespace relan::test {

struct OpenCall {
    QString caption, folder, file, filter;
};

class FakeDialogs : public Dialogs {
public:
    QStringList messages;  // information boxes, in order
    QStringList errors;    // error boxes: caption + ": " + text
    QStringList questions;
    std::vector<OpenCall> opens;
    std::deque<QString> openAnswers;  // empty answer: cancelled
    bool askAnswer = true;
    QString saveAnswer;
    int saveCalls = 0;
    int printerSetupCalls = 0;
    bool printerSetupAnswer = false;

    void Message(QWidget*, const QString& text) override { messages << text; }
    void Error(QWidget*, const QString& caption, const QString& text) override {
        errors << caption + QStringLiteral(": ") + text;
    }
    bool Ask(QWidget*, const QString&, const QString& text) override {
        questions << text;
        return askAnswer;
    }
    QString OpenFile(QWidget*, const QString& caption, const QString& folder, const QString& file,
                     const QString& filter) override {
        opens.push_back({caption, folder, file, filter});
        if (openAnswers.empty()) return {};
        QString a = openAnswers.front();
        openAnswers.pop_front();
        return a;
    }
    QString SaveFile(QWidget*, const QString&, const QString&, const QString&) override {
        ++saveCalls;
        return saveAnswer;
    }
    bool PrinterSetup(QWidget*, QPrinter&) override {
        ++printerSetupCalls;
        return printerSetupAnswer;
    }
};

// The control of `window` with the object name `name` (its component name); a
// test that asks for a control the window does not have ends with its name.
template <typename T>
T* Ctl(const QObject& window, const char* name) {
    T* control = window.findChild<T*>(QString::fromUtf8(name));
    if (!control)
        throw std::runtime_error(std::string("no control ") + name + " in " + window.objectName().toStdString());
    return control;
}

inline QString Fixture(const char* name) {
    return QDir(QStringLiteral(RELAN_FIXTURES)).filePath(QString::fromUtf8(name));
}

// A main window whose executable folder (and so its "rel.txt") is a fresh
// temporary folder.
struct Window {
    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;

    Window() { Open(); }
    AppEnv Env() {
        AppEnv env;
        env.ExeDir = dir.path() + QLatin1Char('/');
        env.SettingsFile = env.ExeDir + QStringLiteral("rel.txt");
        env.dialogs = &dialogs;
        return env;
    }
    // A new start of the program in the same folder.
    void Open() {
        form.reset();
        form = std::make_unique<TForm1>(Env());
    }
    // "Путь" with the dialog answering `file` (empty: cancelled).
    void Path(const QString& file) {
        dialogs.openAnswers.push_back(file);
        form->OpenFileStartClick();
    }
};

}  // namespace relan::test
