#include "shell/TSingleInstance.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
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

/// The running instance on a thread of its own, so that a later start here can wait
/// for its answers. It opens what the handler takes.
class TRunningInstance {
public:
    TRunningInstance(const QString& name, const QString& folder,
                     std::function<bool(const QString&)> handler)
    {
        thread_.reset(QThread::create([this, name, folder, handler] {
            TSingleInstance instance(name, folder);
            if (handler)
                instance.SetOpenHandler([this, handler](const QString& image) {
                    const std::lock_guard lock(mutex_);
                    handedOver_.append(image);
                    return handler(image);
                });
            started_ = instance.Start();
            ready_.release();
            QEventLoop loop;
            loop.exec();
        }));
        thread_->start();
        ready_.acquire();
    }
    ~TRunningInstance()
    {
        thread_->quit();
        thread_->wait();
    }

    bool Started() const { return started_; }
    QStringList HandedOver()
    {
        const std::lock_guard lock(mutex_);
        return handedOver_;
    }

private:
    std::unique_ptr<QThread> thread_;
    QSemaphore ready_;
    std::atomic<bool> started_ = false;
    std::mutex mutex_;
    QStringList handedOver_;
};

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

    void AnImageIsHandedOverWithItsAnswer()
    {
        const TempFolder folder;
        const QString name = UniqueName();
        // Any byte a file name may hold, a line break too, reaches the running instance.
        const QString odd = PathOf(folder) + "/a b\nä%20#?.png";
        const QString refused = PathOf(folder) + "/busy.png";
        TRunningInstance running(name, PathOf(folder),
                                 [&](const QString& image) { return image != refused; });
        QVERIFY(running.Started());

        TSingleInstance later(name, PathOf(folder));
        QVERIFY(!later.Start());
        QCOMPARE(later.AskRunningInstanceToOpen(odd), TSingleInstance::THandOver::Opened);
        QCOMPARE(later.AskRunningInstanceToOpen(refused), TSingleInstance::THandOver::Refused);
        QCOMPARE(running.HandedOver(), QStringList({odd, refused}));
    }

    void WithoutAHandlerOrAnInstanceNothingIsOpened()
    {
        const TempFolder folder;
        const QString name = UniqueName();
        {
            TSingleInstance lonely(name, PathOf(folder));
            QCOMPARE(lonely.AskRunningInstanceToOpen("/data/a.png"),
                     TSingleInstance::THandOver::NoAnswer);
        }
        TRunningInstance running(name, PathOf(folder), {});
        TSingleInstance later(name, PathOf(folder));
        QCOMPARE(later.AskRunningInstanceToOpen("/data/a.png"),
                 TSingleInstance::THandOver::Refused);
    }

    void ASecondStartWithAnImageHasTheFirstOpenIt()
    {
        const TempFolder runtime;
        const auto first = StartProgram(runtime);
        QVERIFY(first->waitForStarted());
        QVERIFY(Listens(runtime));

        // A damaged image: the first program's message shows that it tried to open it.
        const QString image = PathOf(runtime) + "/damaged.png";
        test::WriteFile(image.toStdString(), "no picture");
        // Until its start-up step has run, the first program refuses.
        QVERIFY(QTest::qWaitFor(
            [&] {
                const auto second = StartProgram(runtime, {image});
                return second->waitForFinished(20000) && second->exitCode() == 0;
            },
            20000));
        QString messages;
        QTRY_VERIFY((messages += QString::fromLocal8Bit(first->readAllStandardError()))
                        .contains("\"" + image + "\" : Unrecognized file format"));
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
