#include "tools/TFormFullImage.h"

#include "ToolTestSupport.h"
#include "tools/TPictureView.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>

using namespace varnolux;
using varnolux::test::PanelText;
using varnolux::test::Part;
using varnolux::test::Plain;

class TFormFullImageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ShowsThePictureAtTheChosenZoom_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("zoom");
        QTest::newRow("blanks around") << " 50% " << 50;
        QTest::newRow("no number") << "big" << 100;
        QTest::newRow("zero") << "0" << 100;
        QTest::newRow("item") << "200%" << 200;
    }
    void ShowsThePictureAtTheChosenZoom()
    {
        QFETCH(QString, text);
        QFETCH(int, zoom);
        TFormFullImage viewer;
        viewer.SetPicture(Plain(300, 200));
        viewer.show();
        QCOMPARE(Part<QComboBox>(viewer, "ComboBoxZoom").currentText(), QString("100%"));
        Part<QComboBox>(viewer, "ComboBoxZoom").setEditText(text);
        QCOMPARE(Part<TPictureView>(viewer, "ScrollBoxImage").Zoom(), zoom);
        QCOMPARE(Part<TPictureView>(viewer, "ScrollBoxImage").ZoomedWidth(),
                 qint64(300 * zoom / 100));
        QCOMPARE(PanelText(viewer, "StatusBar", 0), "Zoom: " + QString::number(zoom) + "%");
    }

    void DraggingMovesThePicture()
    {
        TFormFullImage viewer;
        viewer.SetPicture(Plain(2000, 2000));
        viewer.show();
        Part<TPictureView>(viewer, "ScrollBoxImage").horizontalScrollBar()->setValue(100);
        QTest::mousePress(&Part<QWidget>(viewer, "Image"), Qt::LeftButton, {}, {50, 50});
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BitmapCursor);
        QTest::mouseMove(&Part<QWidget>(viewer, "Image"), {80, 50});
        QCOMPARE(Part<TPictureView>(viewer, "ScrollBoxImage").horizontalScrollBar()->value(), 70);
        QTest::mouseRelease(&Part<QWidget>(viewer, "Image"), Qt::LeftButton, {}, {80, 50});
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void ClosingFreesTheWindowAndTheCursor()
    {
        QPointer<TFormFullImage> viewer = new TFormFullImage;
        viewer->SetPicture(Plain(2000, 2000));
        viewer->show();
        QTest::mousePress(&Part<QWidget>(*viewer, "Image"), Qt::LeftButton, {}, {50, 50});
        Part<QPushButton>(*viewer, "ButtonClose").click();
        QVERIFY(!QGuiApplication::overrideCursor());
        QTRY_VERIFY(viewer.isNull());
    }
};

QTEST_MAIN(TFormFullImageTest)
#include "TFormFullImageTest.moc"
