// The result fields and curves shown from a result value, without the main window or
// an analysis.

#include "analysis/TAnalysisResult.h"
#include "chart/Tsp_XYLine.h"
#include "chart/Tsp_XYPlot.h"
#include "shell/TLabeledEdit.h"
#include "shell/TResultDisplay.h"

#include <QTest>

using namespace varnolux;

namespace {

/// The views the main window lays out, on a plain window.
struct TDisplayWindow {
    TDisplayWindow()
    {
        for (auto*& field : views.Fields)
            field = new TLabeledEdit(&window, "LabeledEditResult", "Result");
        views.Chart = new Tsp_XYPlot(&window);
        for (auto*& line : views.Curves) {
            line = new Tsp_XYLine(views.Chart);
            line->SetPlot(views.Chart);
        }
    }

    QStringList FieldTexts() const
    {
        QStringList texts;
        for (const TLabeledEdit* field : views.Fields)
            texts << field->text();
        return texts;
    }

    QWidget window;
    TResultDisplay::TViews views;
};

/// A complete result whose fields and curve points all differ; tag tells two apart.
TAnalysisResult KnownResult(int tag)
{
    TAnalysisResult result;
    result.Complete = true;
    const QString t = QString::number(tag);
    result.Fields = {("1" + t).toStdString(), ("2" + t).toStdString(), ("3" + t).toStdString(),
                     ("4" + t).toStdString(), ("5" + t).toStdString(), ("6" + t).toStdString(),
                     ("7" + t).toStdString(), ("8" + t).toStdString()};
    for (size_t channel = 0; channel < result.Curves.size(); ++channel)
        for (size_t k = 0; k < result.Curves[channel].size(); ++k)
            result.Curves[channel][k] = tag + double(channel) + double(k) / 256;
    return result;
}

} // namespace

class ResultDisplayTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fieldsAndCurvesOfAResultInTheirOrder()
    {
        TDisplayWindow window;
        TResultDisplay display(window.views);
        display.Show(KnownResult(0));
        // AnaArea, AreaPixel, Count, MeanSize, Percent, AreaCM, AnaAreaCM, MeanSizeCM.
        QCOMPARE(window.FieldTexts(),
                 QStringList({"10", "20", "30", "40", "50", "60", "70", "80"}));
        QCOMPARE(window.views.Chart->LeftAxis().Max(), 1.1);
        for (size_t channel = 0; channel < window.views.Curves.size(); ++channel) {
            const Tsp_XYLine& line = *window.views.Curves[channel];
            QCOMPARE(line.Count(), 256);
            for (int k : {0, 1, 128, 255}) {
                QCOMPARE(line.GetX(k), double(k));
                QCOMPARE(line.GetY(k), double(channel) + double(k) / 256);
            }
        }
    }

    void aNewResultReplacesTheCurvesItDoesNotAddToThem()
    {
        TDisplayWindow window;
        TResultDisplay display(window.views);
        display.Show(KnownResult(0));
        display.Show(KnownResult(5));
        QCOMPARE(window.FieldTexts().front(), QString("15"));
        QCOMPARE(window.views.Curves[2]->Count(), 256);
        QCOMPARE(window.views.Curves[2]->GetY(0), 7.0);
    }

    void anIncompleteResultOrClearShowsNothing_data()
    {
        QTest::addColumn<bool>("clear");
        QTest::newRow("incomplete result") << false;
        QTest::newRow("Clear") << true;
    }

    void anIncompleteResultOrClearShowsNothing()
    {
        QFETCH(bool, clear);
        TDisplayWindow window;
        TResultDisplay display(window.views);
        display.Show(KnownResult(0));
        TAnalysisResult incomplete = KnownResult(1);
        incomplete.Complete = false;
        if (clear)
            display.Clear();
        else
            display.Show(incomplete);
        QCOMPARE(window.FieldTexts(), QStringList(8, QString()));
        for (const Tsp_XYLine* line : window.views.Curves)
            QCOMPARE(line->Count(), 0);
    }
};

QTEST_MAIN(ResultDisplayTest)
#include "ResultDisplayTest.moc"
