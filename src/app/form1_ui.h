// The controls of the main window under their component names, and the builder
// that makes them and lays them out (top area, the panel of fleet and warranty
// figures, the two option pages, the chart, the progress log and the failure list).
// The window inherits them privately: they are its own, no one else's.
#pragma once

#include <QCoreApplication>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QSplitter;
class QTableView;
class QTabWidget;
class QToolButton;
class QWidget;

namespace relan {

class FailureListModel;
class LnChart;
class WrapButton;

struct Form1Ui {
    // The main window's texts are translated under the window's own name.
    Q_DECLARE_TR_FUNCTIONS(relan::TForm1)

public:
    // Makes every control as a child of `window` (its central widget), the failure
    // list over `problems`.
    void SetupUi(QMainWindow* window, FailureListModel* problems);
    // Gives the bands their first sizes once the window has its size: the figures
    // and the options at their natural widths, the chart the rest; the upper band
    // as high as its fields need, the failure list the rest.
    void ArrangeBands();
    // Keeps "Expand" in the upper right corner of the chart.
    void PlaceExpandButton();

    QLabel* Label10 = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* FilePath = nullptr;
    QPushButton* OpenFileStart = nullptr;

    QFrame* Panel1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* meKolAll = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* meKolOtk = nullptr;
    QLineEdit* meSred = nullptr;
    QLineEdit* meSKO = nullptr;
    QLineEdit* LabeledEdit2 = nullptr;
    QLineEdit* LabeledEdit3 = nullptr;
    QLabel* Label9 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label11 = nullptr;
    QLineEdit* MaskEdit1 = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* MaskEditSrednee = nullptr;
    QLabel* Label13 = nullptr;
    QLineEdit* MaskEditSKO = nullptr;
    // A fleet in service: its ages file, what it holds, and the forecast's settings.
    QLabel* AgesLabel = nullptr;
    QToolButton* AgesButton = nullptr;
    QLineEdit* AgesPath = nullptr;
    QLabel* AgesInfo = nullptr;
    QLineEdit* UsageEdit = nullptr;
    QLineEdit* HorizonEdit = nullptr;

    QPlainTextEdit* Memo2 = nullptr;
    QTableView* Problems_Grid = nullptr;
    LnChart* Chart2 = nullptr;
    QPushButton* Button2 = nullptr;

    QTabWidget* PageControl = nullptr;
    QWidget* TabSheet1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label17 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QLabel* Label16 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QPushButton* bbRaschet = nullptr;
    QCheckBox* SpirSpusk = nullptr;
    QCheckBox* BoxNewton = nullptr;
    QCheckBox* BoxSmirnow = nullptr;
    QCheckBox* BoxML = nullptr;
    QProgressBar* ProgressBar1 = nullptr;  // busy while "Расчет" runs
    QLabel* LabelElapsed = nullptr;        // the run's elapsed time beside it
    QPushButton* StopCalcBtn = nullptr;    // "Стоп": model 3's bootstrap ends with the replicates done
    QCheckBox* Sred_flag = nullptr;
    QCheckBox* SKO_Flag = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QButtonGroup* RadioGroup1Items = nullptr;

    QWidget* TabSheet2 = nullptr;
    QLabel* Label19 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* NPokoleny = nullptr;
    QLineEdit* LabeledEdit1 = nullptr;
    QPushButton* btnCopyBest = nullptr;
    QLabel* Label7 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLabel* TrackBar1Value = nullptr;  // the bar's probability, shown beside it
    QLabel* TrackBar2Value = nullptr;
    QLabel* Label8 = nullptr;
    QSlider* TrackBar2 = nullptr;
    WrapButton* ToolBRunGenOptim = nullptr;
    QPushButton* StopBtn = nullptr;
    QLabel* Label18 = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    QLabel* GenCounter = nullptr;  // the optimiser's count of recorded best members

    QSplitter* UpperSplitter = nullptr;
    QSplitter* LowerSplitter = nullptr;
    QSplitter* BodySplitter = nullptr;

private:
    void BuildTopArea(QWidget* host);
    QWidget* BuildPanel1(const QMainWindow* window);
    QWidget* BuildTabSheet1(const QMainWindow* window);
    QWidget* BuildTabSheet2(const QMainWindow* window);
    QTableView* BuildFailureList(FailureListModel* problems);
};

}  // namespace relan
