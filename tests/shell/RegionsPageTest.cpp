#include "MainWindowFixture.h"
#include "shell/TImageWidget.h"
#include "shell/TLabeledEdit.h"
#include "shell/TRegionsPage.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>

using namespace varnolux;
using varnolux::test::MainWindowFixture;
using varnolux::test::Part;
using varnolux::test::ReadFile;
using varnolux::test::WriteFile;

namespace {

/// The red objects of the picture at scale 10: a 30 × 30 block, a 10 × 10 square and a
/// diagonal pair of squares.
void WriteRedOptions(MainWindowFixture& fixture, const std::string& regionFile)
{
    WriteFile(fixture.Main().OptionsFiles().DefaultFile(),
              "[FormMain]\nLabeledEditHMin=0\nLabeledEditHMax=10\nLabeledEditSMin=100\n"
              "LabeledEditSMax=255\nLabeledEditVMin=0\nLabeledEditVMax=255\n"
              "[FormOptions]\nEditMinRegion=2\nEditRegionFile=" +
                  regionFile + "\n");
}

QString Cell(const QTableView& view, int row, int column)
{
    return view.model()->index(row, column).data().toString();
}

/// The visible column of a table column name.
int Column(const char* name)
{
    const auto& names = TRegionTable::ColumnNames();
    return int(std::find_if(names.begin(), names.end(),
                            [name](const char* each) { return std::string(each) == name; }) -
               names.begin()) -
           TRegionTable::ColumnRegion;
}

} // namespace

class RegionsPageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rowsAppearAfterAnAnalysisAndSort()
    {
        MainWindowFixture fixture;
        WriteRedOptions(fixture, "");
        QVERIFY(fixture.Start());
        auto* page = fixture.Find<TRegionsPage>("TabSheetRegions");
        QVERIFY(page);
        auto* pages = fixture.Find<QTabWidget>("PageControlPlasma");
        QCOMPARE(pages->tabText(pages->indexOf(page)), QString("Regions"));
        QTableView& view = Part<QTableView>(*page, "TableViewRegions");
        QCOMPARE(view.model()->rowCount(), 0);

        // Measured while the page shows: coming up, it has the analysis run again.
        QVERIFY(fixture.OpenObjects());
        QCOMPARE(view.model()->rowCount(), 0);
        pages->setCurrentWidget(page);
        QTRY_COMPARE(view.model()->rowCount(), 3);
        QCOMPARE(QString::number(view.model()->rowCount()), fixture.Text("LabeledEditCount"));
        QCOMPARE(view.model()->rowCount(), 3);
        QCOMPARE(view.model()->headerData(Column("AreaPixel"), Qt::Horizontal).toString(),
                 QString("Area [pixels]"));
        // In region order: the block (x from 20), the square (x 100), the pair (x 140).
        QCOMPARE(Cell(view, 0, Column("Region")), QString("1"));
        QCOMPARE(Cell(view, 0, Column("AreaPixel")), QString("900"));
        QCOMPARE(Cell(view, 0, Column("CentreX")), QString("34.5"));
        QCOMPARE(Cell(view, 1, Column("AreaPixel")), QString("100"));
        QCOMPARE(Cell(view, 2, Column("Orientation")), QString("-45"));

        // Sorted by number, not by text: 100 < 200.25 < 900.
        view.sortByColumn(Column("AreaPixel"), Qt::AscendingOrder);
        QCOMPARE(Cell(view, 0, Column("Region")), QString("2"));
        QCOMPARE(Cell(view, 1, Column("Region")), QString("3"));
        QCOMPARE(Cell(view, 2, Column("Region")), QString("1"));
        view.horizontalHeader()->setSortIndicator(Column("AreaPixel"), Qt::DescendingOrder);
        QCOMPARE(Cell(view, 0, Column("Region")), QString("1"));

        // A new analysis keeps measuring while the page shows.
        Part<QAction>(fixture.Main(), "ActionProcess").trigger();
        QVERIFY(fixture.WaitIdle());
        QCOMPARE(view.model()->rowCount(), 3);

        // A failed open leaves no rows of the previous image.
        fixture.Open(fixture.folder.File("missing.bmp"));
        QCOMPARE(view.model()->rowCount(), 0);
    }

    void aClickOnARowOutlinesItsRegion()
    {
        MainWindowFixture fixture;
        WriteRedOptions(fixture, "");
        QVERIFY(fixture.Start());
        auto& page = *fixture.Find<TRegionsPage>("TabSheetRegions");
        fixture.Find<QTabWidget>("PageControlPlasma")->setCurrentWidget(&page);
        QVERIFY(fixture.OpenObjects());
        TImageWidget& analysed = Part<TImageWidget>(fixture.Main(), "ImageAnalyse");
        QVERIFY(analysed.Overlay().isEmpty());

        QTableView& view = Part<QTableView>(page, "TableViewRegions");
        view.sortByColumn(Column("AreaPixel"), Qt::DescendingOrder);
        const QModelIndex second = view.model()->index(1, Column("Pixels"));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(second).center());
        // The second row by area is region 3, the diagonal pair: (140..149, 10..19) and
        // (150..159, 20..29).
        QTRY_COMPARE(page.OutlinedRegion(), 2);
        QCOMPARE(analysed.Overlay().boundingRect(), QRectF(140, 10, 20, 20));
        // The 4 · 10 pixel sides around each square, a line each.
        QCOMPARE(analysed.Overlay().elementCount(), 2 * 2 * 4 * 10);

        QTest::keyClick(view.viewport(), Qt::Key_Up);
        QTRY_COMPARE(page.OutlinedRegion(), 0);
        QCOMPARE(analysed.Overlay().boundingRect(), QRectF(20, 20, 30, 30));

        // A new analysis shows new rows and no outline of an old one.
        Part<QAction>(fixture.Main(), "ActionProcess").trigger();
        QTRY_VERIFY(analysed.Overlay().isEmpty());
        QCOMPARE(page.OutlinedRegion(), -1);
    }

    void saveRegionsAppendsToTheFileOfTheOptions()
    {
        MainWindowFixture fixture;
        const std::string regions = fixture.folder.File("regions.txt");
        WriteRedOptions(fixture, regions);
        QVERIFY(fixture.Start());
        TFormMain& main = fixture.Main();
        QAction& save = fixture.Action("ActionSaveRegions");
        QVERIFY(main.findChild<QMenu*>("MenuAnalysis")->actions().contains(&save));
        QVERIFY2(!save.isEnabled(), "nothing analysed yet");
        QVERIFY(fixture.OpenObjects());
        QVERIFY(save.isEnabled());
        // Measured for the regions file, with the page unseen.
        QCOMPARE(fixture.Find<TRegionsPage>("TabSheetRegions")->Regions().RowCount(), 3);
        save.trigger();
        save.trigger();
        const std::vector<std::string> lines = test::FileLines(regions);
        QCOMPARE(lines.size(), std::size_t(1 + 3 + 3));
        QCOMPARE(lines[0], TRegionTable::HeaderLine());
        QVERIFY(lines[1].find("\tobjects.bmp\t1\t900\t") != std::string::npos);
        QVERIFY(lines[1].ends_with(main.ShownResult().Items.GetValueText("SHAResult")));
        QCOMPARE(fixture.StatusBar().Message(),
                 QString::fromStdString("3 regions appended to " + regions));
        QVERIFY(fixture.reporter.messages.empty());

        // Without a regions file the action is off.
        Part<QLineEdit>(fixture.Options(), "EditRegionFile").clear();
        Part<QAction>(main, "ActionProcess").trigger();
        QTRY_VERIFY(!save.isEnabled());
    }

    void textsComeFromTheLanguageFile()
    {
        MainWindowFixture fixture(test::ShippedLanguageFile("de"));
        WriteRedOptions(fixture, "");
        QVERIFY(fixture.Start());
        auto& page = *fixture.Find<TRegionsPage>("TabSheetRegions");
        auto* pages = fixture.Find<QTabWidget>("PageControlPlasma");
        QCOMPARE(pages->tabText(pages->indexOf(&page)), QString("Regionen"));
        QCOMPARE(Part<QTableView>(page, "TableViewRegions")
                     .model()
                     ->headerData(Column("MajorAxis"), Qt::Horizontal)
                     .toString(),
                 QString("Hauptachse"));
        QCOMPARE(fixture.Action("ActionSaveRegions").text(), QString("Regionen speichern"));
    }
};

QTEST_MAIN(RegionsPageTest)
#include "RegionsPageTest.moc"
