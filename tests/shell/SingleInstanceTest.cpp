#include "shell/TSingleInstance.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>

using namespace varnolux;
using varnolux::test::ScopedEnvironment;
using varnolux::test::TempFolder;

namespace {

QString UniqueName()
{
    return "varnolux-test-" + QUuid::createUuid().toString(QUuid::Id128);
}

QString PathOf(const TempFolder& folder)
{
    return QString::fromStdString(folder.Path().string());
}

/// The desktop program, offscreen, as a user whose runtime folder is the folder.
std::unique_ptr<QProcess> StartProgram(const TempFolder& runtimeFolder,
                                       const QStringList& parameters = {})
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", PathOf(runtimeFolder));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process->setProcessEnvironment(environment);
    process->setProgram(VARNOLUX_PROGRAM);
    process->setArguments(parameters);
    process->start();
    return process;
}

/// Waits until the program holds its lock and listens in the runtime folder.
bool Listens(const TempFolder& runtimeFolder)
{
    return QTest::qWaitFor(
        [&] {
            return std::filesystem::exists(runtimeFolder.Path() / "Varnoluxdemo.lock") &&
                   std::filesystem::exists(runtimeFolder.Path() / "Varnoluxdemo");
        },
        20000);
}

void Stop(QProcess& program)
{
    program.kill();
    program.waitForFinished(20000);
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ALaterStartAsksTheFirstToComeToTheFront()
    {
        const TempFolder folder;
        const QString name = UniqueName();
        TSingleInstance first(name, PathOf(folder));
        QVERIFY(first.Start());
        QSignalSpy raised(&first, &TSingleInstance::RaiseRequested);

        TSingleInstance second(name, PathOf(folder));
        QVERIFY(!second.Start());
        QVERIFY(second.AskRunningInstanceToRaise());
        QTRY_COMPARE(raised.count(), 1);
    }

    void TheLockIsFreeAgainAfterTheFirstEnds()
    {
        const TempFolder folder;
        const QString name = UniqueName();
        {
            TSingleInstance first(name, PathOf(folder));
            QVERIFY(first.Start());
        }
        TSingleInstance next(name, PathOf(folder));
        QVERIFY(next.Start());
    }

    void NobodyToAskWhenNoneRuns()
    {
        const TempFolder folder;
        TSingleInstance lonely(UniqueName(), PathOf(folder));
        QVERIFY(!lonely.AskRunningInstanceToRaise());
    }

    void OnlyAFolderOfTheUserClosedToOthersIsUsed()
    {
        const TempFolder folder;
        const auto make = [&](const char* name, mode_t mode) {
            const auto path = folder.Path() / name;
            std::filesystem::create_directory(path);
            ::chmod(path.c_str(), mode);
            return QString::fromStdString(path.string());
        };
        const QString closed = make("closed", 0700);
        const QString readable = make("readable", 0755);
        const QString open = make("open", 0777);
        std::filesystem::create_directory_symlink(closed.toStdString(), folder.Path() / "link");
        test::WriteFile(folder.File("file"), "");
        QVERIFY(TSingleInstance::IsPrivateFolder(closed));
        for (const QString& unsafe :
             {readable, open, PathOf(folder) + "/link", PathOf(folder) + "/file",
              PathOf(folder) + "/missing", QString(), QString("/")})
            QVERIFY2(!TSingleInstance::IsPrivateFolder(unsafe), qPrintable(unsafe));

        {
            const ScopedEnvironment runtime("XDG_RUNTIME_DIR", closed.toStdString());
            QCOMPARE(TSingleInstance::RuntimeFolder(), closed);
        }
        // Anybody could put a lock there: another folder of the user is taken instead.
        const ScopedEnvironment runtime("XDG_RUNTIME_DIR", open.toStdString());
        const QString chosen = TSingleInstance::RuntimeFolder();
        QVERIFY(chosen != open);
        QVERIFY(chosen.isEmpty() || TSingleInstance::IsPrivateFolder(chosen));
    }

    void WithoutAFolderTheProgramStillStarts()
    {
        TSingleInstance unguarded(UniqueName(), QString());
        QVERIFY(!unguarded.Enforced());
        QVERIFY(unguarded.Start());
        QVERIFY(!unguarded.AskRunningInstanceToRaise());
    }

    void ASecondProgramEndsAtOnce()
    {
        const TempFolder runtime;
        const auto first = StartProgram(runtime);
        QVERIFY(first->waitForStarted());
        QVERIFY(Listens(runtime));

        const auto second = StartProgram(runtime);
        QVERIFY(second->waitForFinished(20000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);
        Stop(*first);
    }

    void ASecondStartWithWorkSaysItWasNotDone()
    {
        const TempFolder runtime;
        const auto first = StartProgram(runtime);
        QVERIFY(first->waitForStarted());
        QVERIFY(Listens(runtime));

        const QString interfaceFile = PathOf(runtime) + "/robot.ini";
        const auto second = StartProgram(runtime, {interfaceFile});
        QVERIFY(second->waitForFinished(20000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 1);
        const QString messages = QString::fromLocal8Bit(second->readAllStandardError());
        QVERIFY2(messages.contains(interfaceFile + " was not processed"), qPrintable(messages));
        QCOMPARE(first->state(), QProcess::Running);
        Stop(*first);
    }

    void TwoUsersEachHaveTheirOwnProgram()
    {
        const TempFolder firstUser;
        const TempFolder secondUser;
        const auto first = StartProgram(firstUser);
        const auto second = StartProgram(secondUser);
        QVERIFY(first->waitForStarted());
        QVERIFY(second->waitForStarted());
        QVERIFY(Listens(firstUser));
        QVERIFY(Listens(secondUser));
        QCOMPARE(first->state(), QProcess::Running);
        QCOMPARE(second->state(), QProcess::Running);
        Stop(*first);
        Stop(*second);
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
