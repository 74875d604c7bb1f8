// A calling program starts the desktop program with an interface file and waits for
// it to end: the analysed image and the result file come back, with no display.

#include "imaging/BmpFile.h"
#include "settings/IniDocument.h"
#include "support/Pictures.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <memory>
#include <string>

#include <QProcess>
#include <QTest>

using namespace varnolux;
using varnolux::test::ReadFile;
using varnolux::test::TempFolder;
using varnolux::test::WriteFile;

namespace {

// Red objects of at least 5 pixels on a blue background.
const char* const RedOptions = "[FormMain]\n"
                               "LabeledEditHMin=0\nLabeledEditHMax=10\nLabeledEditSMin=100\n"
                               "LabeledEditSMax=255\nLabeledEditVMin=0\nLabeledEditVMax=255\n"
                               "[FormOptions]\nEditMinRegion=5\nColorBack=16711680\n";
const TColour Background = MakeColour(0, 0, 255);

/// The program in a folder of its own, with its language file and default options, so
/// that it keeps its files there; its temporary files and its single-instance lock go
/// into other folders, where they never meet a user's instance.
class TProgramCopy {
public:
    TProgramCopy()
    {
        std::filesystem::create_directory(ProgramFolder());
        std::filesystem::create_directory(TempFiles());
        std::filesystem::create_directory(RuntimeFolder());
        std::filesystem::permissions(RuntimeFolder(), std::filesystem::perms::owner_all);
        std::error_code error;
        std::filesystem::create_hard_link(VARNOLUX_PROGRAM, Program(), error);
        if (error)
            std::filesystem::copy_file(VARNOLUX_PROGRAM, Program());
        std::filesystem::copy_file(std::string(VARNOLUX_LANGUAGE_FOLDER) + "/VXLang-en.ini",
                                   ProgramFolder() / "VXLang.ini");
        WriteFile((ProgramFolder() / "VXDefault.ini").string(), RedOptions);
    }

    std::filesystem::path ProgramFolder() const { return folder.Path() / "program"; }
    std::filesystem::path TempFiles() const { return folder.Path() / "tmp"; }
    std::filesystem::path RuntimeFolder() const { return folder.Path() / "runtime"; }
    std::filesystem::path Program() const { return ProgramFolder() / "varnolux"; }
    std::string File(const std::string& name) const { return folder.File(name); }

    /// Starts the program with the parameters and waits until it ends by itself.
    bool Run(const QStringList& parameters, int milliseconds = 60000)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TMPDIR", QString::fromStdString(TempFiles().string()));
        environment.insert("TEMP", QString::fromStdString(TempFiles().string()));
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(RuntimeFolder().string()));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(environment);
        process.start(QString::fromStdString(Program().string()), parameters);
        if (process.waitForFinished(milliseconds))
            return true;
        process.kill();
        process.waitForFinished();
        return false;
    }

    TempFolder folder;
    QProcess process;
};

std::string InterfaceFile(const std::string& image, const std::string& resultImageDirectory,
                          const std::string& callerResultFile)
{
    return "[General]\nSender=Robot\nReceiver=Varnolux\nCount=1\n"
           "[Image0]\nImage=" +
           image + "\nResultFileDB=" + callerResultFile +
           "\n[Subject0]\nName=Muster\nFirstname=Eva\nBirthdate=1970-01-01\n"
           "[Analysis]\nAutomatic=1\nResultImage=1\nStoppAtEnd=0\nResultImageDirectory=" +
           resultImageDirectory + "\n";
}

void CheckCallerResultFile(const std::string& fileName)
{
    const TIniDocument result = TIniDocument::Parse(ReadFile(fileName));
    QCOMPARE(result.Value("General", "ProgramName"), std::optional<std::string>("Lamivex"));
    QCOMPARE(result.Value("General", "ResultCount"), std::optional<std::string>("2"));
    QVERIFY(!result.Value("General", "Version").value_or("").empty());
    for (const auto& [section, item] :
         {std::pair{"Result1", "Contrast"}, {"Result2", "Brightness"}}) {
        QCOMPARE(result.Keys(section),
                 (std::vector<std::string>{"Name", "Caption", "Priority", "Value", "Type"}));
        QCOMPARE(result.Value(section, "Name"), std::optional<std::string>(item));
        QCOMPARE(result.Value(section, "Caption"), std::optional<std::string>(item));
        QCOMPARE(result.Value(section, "Priority"), std::optional<std::string>("0"));
        // The analysis has no items of these names.
        QCOMPARE(result.Value(section, "Value"), std::optional<std::string>(""));
        QCOMPARE(result.Value(section, "Type"), std::optional<std::string>("string"));
    }
}

} // namespace

class InterfaceRunTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void TheRobotGetsTheAnalysedImageAndTheResultFile()
    {
        TProgramCopy program;
        const std::string image = program.File("objects.bmp");
        WriteBmpFile(test::Picture(test::ObjectRows), image);
        std::filesystem::create_directory(program.File("out"));
        const std::string callerResult = program.File("caller.ini");
        const std::string interfaceFile = program.File("interface.ini");
        // A folder given without its trailing "/" still takes the image.
        WriteFile(interfaceFile, InterfaceFile(image, program.File("out"), callerResult));

        QVERIFY(program.Run({QString::fromStdString(interfaceFile)}));
        QCOMPARE(program.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.process.exitCode(), 0);
        QCOMPARE(program.process.readAllStandardError().contains("Sprachdatei"), false);

        const TBitmap24 analysed = ReadBmpFile(program.File("out/Lamivex_objects.bmp.bmp"));
        QCOMPARE(analysed.Width(), 20);
        QCOMPARE(analysed.Height(), 8);
        QCOMPARE(analysed.Pixel(3, 3), MakeColour(255, 0, 0)); // in the 3 × 3 block
        QCOMPARE(analysed.Pixel(10, 4), Background);           // a red pixel too small
        QCOMPARE(analysed.Pixel(16, 5), Background);           // green
        QCOMPARE(analysed.Pixel(0, 0), Background);            // grey
        CheckCallerResultFile(callerResult);
        // The program kept its own files in its folder.
        QVERIFY(std::filesystem::exists(program.ProgramFolder() / "VXDefault.ini"));
    }

    void AFailedSaveIsReportedAndTheProgramStillEnds()
    {
        TProgramCopy program;
        const std::string image = program.File("objects.bmp");
        WriteBmpFile(test::Picture(test::ObjectRows), image);
        const std::string callerResult = program.File("caller.ini");
        const std::string interfaceFile = program.File("interface.ini");
        WriteFile(interfaceFile,
                  InterfaceFile(image, program.File("missing/folder"), callerResult));

        QVERIFY(program.Run({QString::fromStdString(interfaceFile)}));
        QCOMPARE(program.process.exitCode(), 1);
        const QByteArray messages = program.process.readAllStandardError();
        QVERIFY2(messages.contains("The analysed image could not be saved to " +
                                   QByteArray::fromStdString(program.File("missing/folder/"))),
                 messages.constData());
        QVERIFY(!std::filesystem::exists(program.File("missing")));
        CheckCallerResultFile(callerResult);
    }

    void AnImageThatCannotBeLoadedStillEndsTheRun()
    {
        TProgramCopy program;
        const std::string image = program.File("missing.bmp");
        const std::string callerResult = program.File("caller.ini");
        const std::string interfaceFile = program.File("interface.ini");
        std::filesystem::create_directory(program.File("out"));
        WriteFile(interfaceFile, InterfaceFile(image, program.File("out"), callerResult));

        QVERIFY(program.Run({QString::fromStdString(interfaceFile)}));
        QCOMPARE(program.process.exitCode(), 1);
        QVERIFY(program.process.readAllStandardError().contains(
            QByteArray::fromStdString("File " + image + " not found.")));
        QVERIFY(std::filesystem::is_empty(program.File("out")));
        // No analysis finished: the file names only the program.
        const TIniDocument result = TIniDocument::Parse(ReadFile(callerResult));
        QCOMPARE(result.Value("General", "ResultCount"), std::optional<std::string>("0"));
        QVERIFY(!result.HasSection("Result1"));
    }

    void AnInterfaceFileWithoutAnImageEndsTheRunWithAFailure_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QByteArray>("message");
        const QByteArray robot = "[Analysis]\nAutomatic=1\nStoppAtEnd=0\n";
        const QByteArray image = "[Image0]\nImage=/nonexistent/a.bmp\n";
        const QByteArray names = "names no image";
        QTest::newRow("Count -1") << "[General]\nSender=Robot\nCount=-1\n" + image + robot
                                  << QByteArray("gives the image count -1");
        QTest::newRow("Count 1001") << "[General]\nSender=Robot\nCount=1001\n" + image + robot
                                    << QByteArray("hands over 1001 images");
        QTest::newRow("Count 0") << "[General]\nSender=Robot\nCount=0\n" + image + robot << names;
        QTest::newRow("Count text")
            << "[General]\nSender=Robot\nCount=one\n" + image + robot << names;
        QTest::newRow("no Count") << "[General]\nSender=Robot\n" + image + robot << names;
        QTest::newRow("no General") << image + robot << names;
        QTest::newRow("empty") << QByteArray() << QByteArray("it is empty");
        QTest::newRow("binary") << QByteArray("[General]\nSender=Robot\n\0\x01\xff garbage\n", 35)
                                << QByteArray("it holds binary data (line 3)");
    }

    void AnInterfaceFileWithoutAnImageEndsTheRunWithAFailure()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QByteArray, message);
        TProgramCopy program;
        const std::string interfaceFile = program.File("interface.ini");
        WriteFile(interfaceFile, contents.toStdString());
        // Seconds, not the minute Run allows: nothing may wait for anybody.
        QVERIFY(program.Run({QString::fromStdString(interfaceFile)}, 20000));
        QCOMPARE(program.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.process.exitCode(), 1);
        const QByteArray messages = program.process.readAllStandardError();
        QVERIFY2(messages.contains(message), messages.constData());
    }

    void AMissingOrUnreadableInterfaceFileEndsTheRunWithAFailure()
    {
        TProgramCopy program;
        for (const std::string& name : {std::string("missing.ini"), std::string("a folder")}) {
            if (name == "a folder")
                std::filesystem::create_directory(program.File(name));
            QVERIFY(program.Run({QString::fromStdString(program.File(name))}, 20000));
            QCOMPARE(program.process.exitCode(), 1);
            const QByteArray messages = program.process.readAllStandardError();
            QVERIFY2(messages.contains("cannot be used"), messages.constData());
        }
    }

    void TheCallersResultFileNeverReplacesItsOwnFiles()
    {
        TProgramCopy program;
        const std::string image = program.File("objects.bmp");
        WriteBmpFile(test::Picture(test::ObjectRows), image);
        const std::string imageBytes = ReadFile(image);
        const std::string interfaceFile = program.File("interface.ini");
        std::filesystem::create_directory(program.File("out"));
        for (const std::string& target : {image, interfaceFile}) {
            const std::string contents = InterfaceFile(image, program.File("out"), target);
            WriteFile(interfaceFile, contents);
            QVERIFY(program.Run({QString::fromStdString(interfaceFile)}));
            QCOMPARE(program.process.exitCode(), 1);
            const QByteArray messages = program.process.readAllStandardError();
            QVERIFY2(messages.contains("it is the interface file or an image it names"),
                     messages.constData());
            QCOMPARE(ReadFile(image), imageBytes);
            QCOMPARE(ReadFile(interfaceFile), contents);
        }
    }
};

QTEST_MAIN(InterfaceRunTest)
#include "InterfaceRunTest.moc"
