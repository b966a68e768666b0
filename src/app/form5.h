// The results window: title line, results table and three charts. It exists from
// start-up to exit, hidden until a results output shows it.
//
// The window draws what the core's results output computed (rel::ResultsContent):
// the title, the table texts, and every series of the three charts in the order
// the output gives. It computes nothing of its own.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "report_header.h"

class QLabel;
class QPainter;
class QPushButton;
class QHBoxLayout;
class QScrollArea;

namespace rel {
struct ResultsContent;
}  // namespace rel

namespace relan {

class Dialogs;
class MlPanel;
class ResultsChart;
class ResultsGrid;
struct ResultsSheet;

// Size of the window's content as designed, in pixels. A smaller window scales the
// charts down to the minimum size of the content and scrolls below that.
inline constexpr int kForm5DesignWidth = 1803;
inline constexpr int kForm5DesignHeight = 1119;

class TForm5 : public QWidget {
    Q_OBJECT
public:
    // `mainWindow` is shown again when this window is hidden or closed.
    TForm5(QWidget* mainWindow, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TForm5() override;

    // The results output: draws `content` and shows the window.
    void ShowResults(const rel::ResultsContent& content);
    // Draws `content` without showing the window.
    void Fill(const rel::ResultsContent& content);

    void Button1Click();      // "Печать"
    void ProdolgenieClick();  // "Продолж."

    // Text of a cell of the results table; row 0 is the fixed header row.
    QString CellText(int col, int row) const;

    // What the page's header line says of the results shown (files, settings); the
    // date and time are those of the printing.
    void SetReportSettings(const ReportSettings& settings) { reportSettings_ = settings; }
    QString HeaderLine() const;

    // How the table's "Сохранить как Excel…" writes the analysis workbook.
    void SetWorkbookWriter(std::function<bool(const QString& file, QString& why)> writer);

    // Draws the title line, the table, the three charts and model 3's panel into
    // `target`, laid out as on the window and scaled with their proportions kept:
    // charts and texts as vectors (a PDF keeps them sharp and searchable).
    void PaintSheet(QPainter& painter, const QRectF& target) const;

    // Writes the header line and PaintSheet onto one landscape A4 page of a PDF
    // file. False with the reason in `why` when the file cannot be written.
    bool WriteReportPdf(const QString& file, QString& why) const;
    // The same page as a PDF, SVG or PNG file, by the extension of `file`.
    bool WriteReport(const QString& file, QString& why) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The sheet's layout and the window's scroll area around it.
    void LayOutSheet();
    ResultsSheet Parts() const;
    void FitTitle();
    void PlaceOnScreen();
    // Lower rows and smaller charts below the designed height (a 768-pixel screen).
    void SetCompact(bool compact);

    QPointer<QWidget> mainWindow_;
    Dialogs& dialogs_;
    // Everything the window shows, inside the scroll area of the window.
    QWidget* Sheet;
    ResultsChart* Chart3;
    QLabel* Label10;
    ResultsGrid* Result_Grid;
    QPushButton* Button1;
    QPushButton* Prodolgenie;
    ResultsChart* Chart1;
    ResultsChart* Chart2;
    MlPanel* PanelML;
    QLabel* ResultNotes;  // what the table's figures are worth, under it
    QScrollArea* scroll_ = nullptr;
    QHBoxLayout* lower_ = nullptr;  // the band of the two charts and model 3's panel
    QScrollArea* mlScroll_ = nullptr;  // model 3's panel, scrolled when the band is low
    bool compact_ = false;             // laid out for a screen lower than the design
    std::optional<ReportSettings> reportSettings_;
    QString title_;
    bool placed_ = false;
};

}  // namespace relan
