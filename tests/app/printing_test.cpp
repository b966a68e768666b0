// Printing a window's image: with no printer the same image goes to a PDF file.
#include <gtest/gtest.h>

#include <QFile>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include "fake_dialogs.h"
#include "form1.h"
#include "form5.h"
#include "lnview.h"
#include "printing.h"

namespace relan::test {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

class NoPrinter : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed here";
        ASSERT_TRUE(out.isValid());
    }
    QTemporaryDir out;
};

TEST_F(NoPrinter, ExpandedViewIsSavedAsPdfWhenTheUserAgrees) {
    Window w;
    w.form->show();
    w.Path(Fixture("app/tiny.txt"));
    w.form->Button2Click();
    TLNview* v = w.form->ExpandedView();
    ASSERT_NE(v, nullptr);

    // The extension is added when the user leaves it out.
    w.dialogs.saveAnswer = out.filePath(QStringLiteral("накопление"));
    v->Button2Click();
    ASSERT_EQ(w.dialogs.questions.size(), 1);
    EXPECT_TRUE(w.dialogs.questions[0].startsWith(QStringLiteral("Принтер не установлен")));
    EXPECT_EQ(w.dialogs.printerSetupCalls, 0);
    const QByteArray pdf = ReadAll(out.filePath(QStringLiteral("накопление.pdf")));
    ASSERT_GT(pdf.size(), 2000);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_TRUE(pdf.contains("/Image")) << "the window's image is on the page";
    // Where the file went is said.
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_TRUE(w.dialogs.messages[0].contains(out.filePath(QStringLiteral("накопление.pdf"))))
        << w.dialogs.messages[0].toStdString();
    v->close();
}

TEST_F(NoPrinter, DecliningOrCancellingWritesNothing) {
    FakeDialogs dialogs;
    TForm5 form5(nullptr, dialogs);
    form5.resize(900, 600);
    dialogs.askAnswer = false;
    form5.Button1Click();
    EXPECT_EQ(dialogs.saveCalls, 0);

    dialogs.askAnswer = true;
    dialogs.saveAnswer.clear();  // the save dialog cancelled
    form5.Button1Click();
    EXPECT_EQ(dialogs.saveCalls, 1);
    EXPECT_TRUE(QDir(out.path()).isEmpty());
}

TEST_F(NoPrinter, ResultsWindowPrintsToPdfLandscape) {
    FakeDialogs dialogs;
    TForm5 form5(nullptr, dialogs);
    form5.resize(1200, 750);
    dialogs.saveAnswer = out.filePath(QStringLiteral("results.pdf"));
    EXPECT_EQ(PrintWindow(&form5, dialogs, false, QStringLiteral("x.pdf")), PrintOutcome::SavedPdf);
    const QByteArray pdf = ReadAll(dialogs.saveAnswer);
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    // A landscape A4 page: the media box is wider than high.
    const qsizetype at = pdf.indexOf("/MediaBox");
    ASSERT_GE(at, 0);
    const QList<QByteArray> box = pdf.mid(at, 80).split('[').value(1).split(']').value(0).simplified().split(' ');
    ASSERT_EQ(box.size(), 4);
    EXPECT_GT(box[2].toDouble(), box[3].toDouble());
}

TEST_F(NoPrinter, UnwritablePdfFileIsReported) {
    FakeDialogs dialogs;
    TForm5 form5(nullptr, dialogs);
    form5.resize(600, 400);
    dialogs.saveAnswer = out.filePath(QStringLiteral("нет/папки/results.pdf"));
    EXPECT_EQ(PrintWindow(&form5, dialogs, false, QStringLiteral("x.pdf")), PrintOutcome::Failed);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(QStringLiteral("results.pdf")));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // The results window's own print says so too.
    form5.Button1Click();
    ASSERT_EQ(dialogs.errors.size(), 2);
    EXPECT_TRUE(dialogs.errors[1].contains(QStringLiteral("results.pdf")));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

}  // namespace
}  // namespace relan::test
