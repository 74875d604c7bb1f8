#include "MainWindowFixture.h"
#include "shell/TPlasmaForm.h"
#include "shell/TProgramControl.h"
#include "shell/TStatusBar.h"

#include <QAction>
#include <QGuiApplication>

using namespace varnolux;
using varnolux::test::MainWindowFixture;
using varnolux::test::Part;

namespace {

// 1 enabled, 0 disabled, - unchanged; states 1, 2, 3, 4, 5, 6, 12.
struct TExpectedRow {
    const char* action;
    const char* settings;
};

const TExpectedRow ExpectedTable[] = {
    {"ActionOpen", "1101011"},          {"ActionClose", "1101011"},
    {"ActionPrint", "0000010"},         {"ActionSaveImage", "0000010"},
    {"ActionSaveResult", "0-00010"},    {"ActionVerifyResultFile", "1101011"},
    {"ActionOptions", "0001011"},       {"ActionInfo", "1111111"},
    {"ActionProcess", "0001011"},       {"ActionColorSelection", "0001011"},
    {"ActionMeasure", "0001011"},       {"ActionRegionSelect", "0001011"},
    {"ActionEditRoport", "0000010"},    {"ActionShowSHA", "0000010"},
    {"ActionLoadOptions", "1101011"},   {"ActionLoadDefaultOptions", "1101011"},
    {"ActionSaveOptions", "------0"}, // the options file is the default file
    {"ActionSaveOptionsAs", "------1"},
};
const int States[] = {1, 2, 3, 4, 5, 6, 12};

} // namespace

class ProgramControlTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { fixture = std::make_unique<MainWindowFixture>(); }
    void cleanup() { fixture.reset(); }

    void EachStateSetsEachAction_data()
    {
        QTest::addColumn<int>("column");
        for (int column = 0; column < 7; ++column)
            QTest::newRow(QByteArray::number(States[column])) << column;
    }

    // Every action starts from the opposite of what the state would set, so that both
    // directions and the unchanged ones show.
    void EachStateSetsEachAction()
    {
        QFETCH(int, column);
        TFormMain& main = fixture->Main();
        for (const bool before : {false, true}) {
            for (const TExpectedRow& row : ExpectedTable)
                main.ActionByName(row.action)->setEnabled(before);
            main.ProgramControl->SetState(TProgramState(States[column]));
            for (const TExpectedRow& row : ExpectedTable) {
                const char setting = row.settings[column];
                const bool expected = setting == '-' ? before : setting == '1';
                QVERIFY2(main.ActionByName(row.action)->isEnabled() == expected, row.action);
            }
            QCOMPARE(main.ProgramControl->State(), States[column]);
        }
    }

    void WorkShowsTheHourglass()
    {
        TFormMain& main = fixture->Main();
        for (const int state : States) {
            main.ProgramControl->SetState(TProgramState(state));
            const bool busy = state == 3 || state == 4 || state == 5;
            QCOMPARE(QGuiApplication::overrideCursor() != nullptr, busy);
        }
        main.ProgramControl->SetState(StateAnalysing);
        main.ProgramControl->SetState(StateAnalysing);
        main.ProgramControl->SetState(StateAnalysed);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void NoImageClearsTheFileInformation()
    {
        TStatusBar& status = Part<TStatusBar>(fixture->Main(), "StatusBarMain");
        for (int panel = 0; panel < 6; ++panel)
            status.SetPanelText(panel, "x");
        fixture->Main().ProgramControl->SetState(StateNoImage);
        for (int panel = 0; panel < 4; ++panel)
            QCOMPARE(status.PanelText(panel), QString());
        QCOMPARE(status.PanelText(4), QString("x"));
    }

    void ClosingStopsTheTimersAndThePalette()
    {
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->windows->PlasmaForm->Running());
        QSignalSpy settled(&fixture->Range(), &TColourRangeController::RangeSettled);
        fixture->Bar(SMax).setValue(100);
        QVERIFY(fixture->Range().Waiting());
        main.ProgramControl->SetState(StateClosing);
        QVERIFY(!Part<QTimer>(main, "Timer1").isActive());
        QVERIFY(!fixture->Range().Waiting());
        QVERIFY(!settled.wait(2 * TColourRangeController::QuietTime.count()));
        QVERIFY(!fixture->windows->PlasmaForm->Running());
    }

    void MarkingOptionsChangedKeepsTheState_data()
    {
        QTest::addColumn<bool>("defaultFile");
        QTest::addColumn<QString>("panelText");
        QTest::addColumn<bool>("saveEnabled");
        QTest::newRow("default file") << true << "* - DEFAULT OPTIONS -" << false;
        QTest::newRow("other file") << false << "* mine.ini" << true;
    }

    void MarkingOptionsChangedKeepsTheState()
    {
        QFETCH(bool, defaultFile);
        QFETCH(QString, panelText);
        QFETCH(bool, saveEnabled);
        TFormMain& main = fixture->Main();
        if (!defaultFile)
            main.OptionsFiles().SetFile(fixture->folder.File("mine.ini"));
        main.ProgramControl->SetState(StateNoImage);
        Part<QAction>(main, "ActionSaveOptionsAs").setEnabled(false);
        main.MarkOptionsChanged();
        QCOMPARE(main.ProgramControl->State(), 2);
        QVERIFY(main.OptionsFiles().Changed());
        QCOMPARE(Part<TStatusBar>(main, "StatusBarMain").PanelText(TFormMain::StatusPanelOptions),
                 panelText);
        QCOMPARE(Part<QAction>(main, "ActionSaveOptions").isEnabled(), saveEnabled);
        QVERIFY(Part<QAction>(main, "ActionSaveOptionsAs").isEnabled());
        // The columns of state 2 are back.
        QVERIFY(!Part<QAction>(main, "ActionProcess").isEnabled());
        QVERIFY(Part<QAction>(main, "ActionOpen").isEnabled());
    }

    void MovingABarWithoutAnImageOnlyMarksTheOptions()
    {
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QSignalSpy analyses(&main, &TFormMain::AnalysisFinished);
        fixture->Bar(SMax).setValue(100);
        QCOMPARE(main.ProgramControl->State(), 2);
        QCOMPARE(Part<TStatusBar>(main, "StatusBarMain").PanelText(TFormMain::StatusPanelOptions),
                 QString("* - DEFAULT OPTIONS -"));
        QVERIFY(Part<QAction>(main, "ActionSaveOptionsAs").isEnabled());
        QVERIFY(!Part<QAction>(main, "ActionSaveOptions").isEnabled());
        QSignalSpy settled(&fixture->Range(), &TColourRangeController::RangeSettled);
        QTRY_COMPARE(settled.count(), 1);
        QCOMPARE(analyses.count(), 0);
    }

private:
    std::unique_ptr<MainWindowFixture> fixture;
};

QTEST_MAIN(ProgramControlTest)
#include "ProgramControlTest.moc"
