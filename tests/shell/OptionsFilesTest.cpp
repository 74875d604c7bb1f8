// The options files on their own: a holder of options values instead of the windows,
// a status bar and the actions it switches.

#include "settings/SettingsAccess.h"
#include "shell/TOptionsFiles.h"
#include "shell/TStatusBar.h"
#include "support/RecordingQuestions.h"
#include "support/RecordingReporter.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QFileDialog>
#include <QSignalSpy>
#include <QTest>

using namespace varnolux;
using test::RecordingQuestions;
using test::RecordingReporter;

namespace {

/// The options the windows would hold, and what was put into them.
class TTestOptions : public TOptionsHolder {
public:
    TOptions CurrentOptions() const override { return options; }
    void ApplyOptions(const TOptions& applied) override
    {
        options = applied;
        ++applyCount;
    }

    TOptions options = TOptions::Initial();
    int applyCount = 0;
};

/// The options files of a program in a temporary folder.
struct TOptionsFixture {
    TOptionsFixture()
        : files(TProgramFiles::InFolder(folder.Path().string() + "/"))
    {
        parts.StatusBar = new TStatusBar(&window, "StatusBarMain", {250, 130, 70, 80, 200, 50});
        parts.OpenDialog = new QFileDialog(&window);
        parts.SaveDialog = new QFileDialog(&window);
        parts.Save = new QAction(&window);
        parts.SaveAs = new QAction(&window);
        optionsFiles = std::make_unique<TOptionsFiles>(files, holder, parts);
    }

    QString ShownName() const { return parts.StatusBar->PanelText(TOptionsFiles::StatusPanel); }

    test::TempFolder folder;
    RecordingReporter reporter;
    RecordingQuestions questions;
    TProgramFiles files;
    QWidget window;
    TOptionsFiles::TParts parts;
    TTestOptions holder;
    std::unique_ptr<TOptionsFiles> optionsFiles;
};

} // namespace

class OptionsFilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void savedOptionsComeBackIntoTheWindows()
    {
        TOptionsFixture fixture;
        TOptionsFiles& files = *fixture.optionsFiles;
        const std::string file = fixture.folder.File("lab.ini");
        fixture.holder.options.rangeTexts[1] = "42";
        fixture.holder.options.EditMinRegion = "7";
        const TOptions saved = fixture.holder.options;
        QVERIFY(files.Save(file));
        QCOMPARE(fixture.ShownName(), QString("lab.ini"));
        QVERIFY(!fixture.parts.StatusBar->Message().isEmpty());

        fixture.holder.options = TOptions::Initial();
        QVERIFY(files.Load(file));
        QCOMPARE(fixture.holder.options, saved);
        QVERIFY(!files.Changed());
        QVERIFY(fixture.reporter.messages.empty());
        // Loading a file by name does not make it the current one.
        QCOMPARE(files.File(), files.DefaultFile());
    }

    void theChangeMarkNamesTheFileAndSwitchesSave()
    {
        TOptionsFixture fixture;
        TOptionsFiles& files = *fixture.optionsFiles;
        QVERIFY(!fixture.parts.Save->isEnabled());
        files.MarkChanged();
        QVERIFY(files.Changed());
        QCOMPARE(fixture.ShownName(), QString("* - DEFAULT OPTIONS -"));
        // The default options are saved only by their own command.
        QVERIFY(!fixture.parts.Save->isEnabled());
        QVERIFY(fixture.parts.SaveAs->isEnabled());

        files.SetFile(fixture.folder.File("mine.ini"));
        files.MarkChanged();
        QCOMPARE(fixture.ShownName(), QString("* mine.ini"));
        QVERIFY(fixture.parts.Save->isEnabled());
        files.SaveToCurrent();
        QVERIFY(!files.Changed());
        QVERIFY(!fixture.parts.Save->isEnabled());
        QCOMPARE(fixture.ShownName(), QString("mine.ini"));
    }

    void theProgramsOwnFilesAreNoOptionsFiles()
    {
        TOptionsFixture fixture;
        for (const std::string& reserved : {fixture.files.SettingsFile, fixture.files.LanguageFile})
            QVERIFY(!fixture.optionsFiles->Save(reserved));
        QCOMPARE(fixture.reporter.messages.size(), size_t(2));
        QVERIFY(!std::filesystem::exists(fixture.files.SettingsFile));
    }

    void unsavedChangesAreSavedOnlyOnYes_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<bool>("saved");
        using TAnswer = TQuestions::TAnswer;
        QTest::newRow("unchanged") << false << int(TAnswer::Yes) << true << false;
        QTest::newRow("Yes") << true << int(TAnswer::Yes) << true << true;
        QTest::newRow("No") << true << int(TAnswer::No) << true << false;
        QTest::newRow("Cancel") << true << int(TAnswer::Cancel) << false << false;
    }

    void unsavedChangesAreSavedOnlyOnYes()
    {
        QFETCH(bool, changed);
        QFETCH(int, answer);
        QFETCH(bool, goesOn);
        QFETCH(bool, saved);
        TOptionsFixture fixture;
        TOptionsFiles& files = *fixture.optionsFiles;
        const std::string file = fixture.folder.File("mine.ini");
        files.SetFile(file);
        if (changed)
            files.MarkChanged();
        fixture.questions.yesNoCancelAnswer = TQuestions::TAnswer(answer);
        QCOMPARE(files.SaveChangesOnRequest(), goesOn);
        QCOMPARE(fixture.questions.asked.size(), size_t(changed ? 1 : 0));
        QCOMPARE(std::filesystem::exists(file), saved);
    }

    void defaultsWithoutAStoredSetAreTheBuiltInOptions()
    {
        TOptionsFixture fixture;
        TOptionsFiles& files = *fixture.optionsFiles;
        // A window position alone is no set of options.
        WriteConfigInteger(files.DefaultFile(), "FormMain", "FormMainLeft", 10);
        files.SetFile(fixture.folder.File("mine.ini"));
        fixture.holder.options.rangeTexts[0] = "99";
        QSignalSpy loaded(&files, &TOptionsFiles::OptionsLoaded);
        files.LoadDefault();
        QCOMPARE(fixture.holder.options, TOptions::Initial());
        QCOMPARE(files.File(), files.DefaultFile());
        QCOMPARE(fixture.ShownName(), QString("- DEFAULT OPTIONS -"));
        QCOMPARE(loaded.count(), 1);
        QCOMPARE(fixture.reporter.messages.size(), size_t(1));
    }

    void theWindowPositionGoesIntoTheCurrentFile()
    {
        TOptionsFixture fixture;
        TOptionsFiles& files = *fixture.optionsFiles;
        QWidget saved;
        saved.setObjectName("FormTest");
        saved.setGeometry(40, 50, 300, 200);
        files.SaveFormPosition(saved);
        QCOMPARE(ReadConfigInteger(files.File(), "FormTest", "FormTestWidth", 0), 300);
        QWidget restored;
        restored.setObjectName("FormTest");
        files.RestoreFormPosition(restored);
        QCOMPARE(restored.size(), QSize(300, 200));
        QCOMPARE(restored.pos(), saved.pos());
        QVERIFY(!TOptionsFiles::HoldsOptions(files.File()));
    }
};

QTEST_MAIN(OptionsFilesTest)
#include "OptionsFilesTest.moc"
