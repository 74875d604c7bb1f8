#include "shell/TSingleInstance.h"
#include "support/TempFolder.h"

#include <filesystem>

#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>

using namespace varnolux;
using varnolux::test::TempFolder;

namespace {

QString UniqueName()
{
    return "varnolux-test-" + QUuid::createUuid().toString(QUuid::Id128);
}

/// The desktop program, offscreen, with its lock and socket in a folder of its own.
std::unique_ptr<QProcess> StartProgram(const TempFolder& folder)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TMPDIR", QString::fromStdString(folder.Path().string()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process->setProcessEnvironment(environment);
    process->setProgram(VARNOLUX_PROGRAM);
    process->start();
    return process;
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ALaterStartAsksTheFirstToComeToTheFront()
    {
        const QString name = UniqueName();
        TSingleInstance first(name);
        QVERIFY(first.Start());
        QSignalSpy raised(&first, &TSingleInstance::RaiseRequested);

        TSingleInstance second(name);
        QVERIFY(!second.Start());
        QVERIFY(second.AskRunningInstanceToRaise());
        QTRY_COMPARE(raised.count(), 1);
    }

    void TheLockIsFreeAgainAfterTheFirstEnds()
    {
        const QString name = UniqueName();
        {
            TSingleInstance first(name);
            QVERIFY(first.Start());
        }
        TSingleInstance next(name);
        QVERIFY(next.Start());
    }

    void NobodyToAskWhenNoneRuns()
    {
        TSingleInstance lonely(UniqueName());
        QVERIFY(!lonely.AskRunningInstanceToRaise());
    }

    void ASecondProgramEndsAtOnce()
    {
        const TempFolder folder;
        const auto lockFile = folder.Path() / "Varnoluxdemo.lock";
        const auto first = StartProgram(folder);
        QVERIFY(first->waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(lockFile), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(folder.Path() / "Varnoluxdemo"), 20000);

        const auto second = StartProgram(folder);
        QVERIFY(second->waitForFinished(20000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);

        first->kill();
        QVERIFY(first->waitForFinished(20000));
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
