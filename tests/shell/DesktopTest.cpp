// The program on a desktop: its icons, Help -> web page, an image given on the command
// line or handed over by a later start.

#include "MainWindowFixture.h"
#include "tools/TAboutBox.h"

#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QRegularExpression>
#include <QToolBar>
#include <QUrl>

using namespace varnolux;
using namespace varnolux::test;

namespace {

/// Takes the addresses QDesktopServices would hand to the desktop.
class TUrlRecorder : public QObject {
    Q_OBJECT

public:
    TUrlRecorder()
    {
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~TUrlRecorder() override
    {
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::unsetUrlHandler(scheme);
    }

    QList<QUrl> opened;

public Q_SLOTS:
    void Open(const QUrl& url) { opened.append(url); }
};

/// The icon as the toolbar draws it.
QImage Drawn(const QAction& action)
{
    return action.icon().pixmap(22, 22).toImage().convertToFormat(QImage::Format_ARGB32);
}

bool HasVisiblePixels(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
    return false;
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        // As on a build machine: no icon theme at all.
        QIcon::setThemeSearchPaths({});
        QIcon::setThemeName({});
    }
    void cleanup() { fixture.reset(); }

    void EveryActionHasAnIconOfItsOwn()
    {
        fixture = std::make_unique<MainWindowFixture>();
        const QList<QAction*> actions = fixture->Main().findChildren<QAction*>(
            QRegularExpression("^Action"), Qt::FindDirectChildrenOnly);
        QVERIFY(actions.size() >= 22);
        std::vector<std::pair<QString, QImage>> drawn;
        for (const QAction* action : actions) {
            const QImage image = Drawn(*action);
            QVERIFY2(!image.isNull() && HasVisiblePixels(image), qPrintable(action->objectName()));
            for (const auto& [name, other] : drawn)
                QVERIFY2(image != other, qPrintable(action->objectName() + " looks like " + name));
            drawn.emplace_back(action->objectName(), image);
        }
        const QToolBar& toolBar = *fixture->Find<QToolBar>("ToolBar1");
        QCOMPARE(toolBar.iconSize(), QSize(22, 22));
    }

    void TheWebPageIsASetting_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<bool>("reported");
        QTest::newRow("none") << ""
                              << "manual" << false;
        QTest::newRow("blank") << "   "
                               << "manual" << false;
        QTest::newRow("https") << "https://lab.example/varnolux"
                               << "https://lab.example/varnolux" << false;
        QTest::newRow("http, spaces") << " http://lab.example/ "
                                      << "http://lab.example/" << false;
        QTest::newRow("a file") << "file:///etc/passwd"
                                << "" << true;
        QTest::newRow("no address") << "lab.example"
                                    << "" << true;
        QTest::newRow("another scheme") << "javascript:alert(1)"
                                        << "" << true;
    }

    void TheWebPageIsASetting()
    {
        QFETCH(QString, setting);
        QFETCH(QString, opened);
        QFETCH(bool, reported);
        fixture = std::make_unique<MainWindowFixture>();
        const TProgramFiles files = TProgramFiles::InFolder(fixture->Folder());
        WriteFile(files.SettingsFile, "[Program]\nWebPage=" + setting.toStdString() + "\n");
        WriteFile(files.ManualFile, "%PDF-1.4\n");
        QVERIFY(fixture->Start());
        const TUrlRecorder desktop;
        Part<QAction>(fixture->Main(), "ActionWWW").trigger();

        const QList<QUrl> expected =
            opened.isEmpty() ? QList<QUrl>()
            : opened == "manual"
                ? QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(files.ManualFile))}
                : QList<QUrl>{QUrl(opened)};
        QCOMPARE(desktop.opened, expected);
        QCOMPARE(fixture->reporter.messages.size(), size_t(reported ? 1 : 0));
        if (reported)
            QVERIFY(fixture->reporter.messages[0].find(files.SettingsFile) != std::string::npos);

        // The about box links to the page, and has no Internet line without one.
        WhenModal<TAboutBox>([](TAboutBox& about) { about.accept(); });
        Part<QAction>(fixture->Main(), "ActionInfo").trigger();
        const TAboutBox& about = *fixture->windows->AboutBox;
        const bool linked = opened.startsWith("http");
        QCOMPARE(Part<QLabel>(about, "LabelURL").isVisibleTo(&about), linked);
        if (linked)
            QVERIFY(Part<QLabel>(about, "LabelURL").text().contains(opened));
    }

    void AnImageOnTheCommandLineIsOpenedAndAnalysed()
    {
        const TempFolder images;
        // Any name will do: the contents make it an image.
        const std::string image = images.File("objects");
        WriteBmpFile(Picture(ObjectRows), image);
        fixture = std::make_unique<MainWindowFixture>(ShippedLanguageFile("en"),
                                                      std::vector<std::string>{image});
        QVERIFY(fixture->Start());
        QVERIFY(fixture->WaitIdle());
        TFormMain& main = fixture->Main();
        QCOMPARE(main.ProgramControl->State(), StateAnalysed);
        QCOMPARE(main.ShownResult().Items.GetValueText("Name"), std::string("objects"));
        QVERIFY(Part<QAction>(main, "ActionOpen").isVisible());
        QVERIFY(main.isVisible());
        QCOMPARE(fixture->reporter.messages, std::vector<std::string>());
    }

    void ARelativeImageNameIsTheWorkingFolders()
    {
        const TempFolder images;
        WriteBmpFile(Picture(ObjectRows), images.File("cells.bmp"));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(images.Path().string()));
        fixture = std::make_unique<MainWindowFixture>(ShippedLanguageFile("en"),
                                                      std::vector<std::string>{"cells.bmp"});
        QDir::setCurrent(previous);
        QVERIFY(fixture->Start());
        QVERIFY(fixture->WaitIdle());
        QCOMPARE(fixture->Main().ShownResult().Items.GetValueText("Path"),
                 images.Path().string() + "/");
    }

    void ADamagedImageOnTheCommandLineIsReportedAndTheProgramStays()
    {
        const TempFolder images;
        const std::string image = images.File("damaged.png");
        WriteFile(image, "not a picture");
        fixture = std::make_unique<MainWindowFixture>(ShippedLanguageFile("en"),
                                                      std::vector<std::string>{image});
        QVERIFY(fixture->Start());
        QVERIFY(fixture->WaitIdle());
        TFormMain& main = fixture->Main();
        QTRY_COMPARE(main.ProgramControl->State(), StateNoImage);
        QCOMPARE(fixture->reporter.messages.size(), size_t(1));
        QVERIFY(fixture->reporter.messages[0].find(image) != std::string::npos);
        QVERIFY(main.isVisible());
        QCOMPARE(main.ExitStatus(), 0);
    }

    void ALaterStartsImageOpensWhenTheProgramIsFree()
    {
        fixture = std::make_unique<MainWindowFixture>();
        TFormMain& main = fixture->Main();
        // Before the start-up step the program cannot take it.
        QVERIFY(!main.OpenImageOfLaterStart(fixture->WriteObjectsImage()));
        QVERIFY(fixture->Start());
        QTRY_COMPARE(fixture->reporter.messages.size(), size_t(1));
        QVERIFY(fixture->reporter.messages[0].find("objects.bmp was not opened") !=
                std::string::npos);

        fixture->reporter.messages.clear();
        const std::string image = fixture->WriteObjectsImage(2);
        QVERIFY(main.OpenImageOfLaterStart(image));
        QVERIFY(fixture->WaitIdle());
        QCOMPARE(main.ProgramControl->State(), StateAnalysed);

        // Not while a dialog waits for an answer, nor during an analysis.
        QDialog dialog(&main);
        dialog.setModal(true);
        dialog.show();
        QVERIFY(!main.OpenImageOfLaterStart(image));
        dialog.hide();
        QVERIFY(main.RunAnalysis());
        QVERIFY(!main.OpenImageOfLaterStart(image));
        QVERIFY(fixture->WaitIdle());
        QTRY_COMPARE(fixture->reporter.messages.size(), size_t(2));
        QCOMPARE(main.ProgramControl->State(), StateAnalysed);
    }

private:
    std::unique_ptr<MainWindowFixture> fixture;
};

QTEST_MAIN(DesktopTest)
#include "DesktopTest.moc"
