#include "tools/TFormMeasure.h"

#include "settings/ProgramInfo.h"
#include "tools/TAboutBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace varnolux;

class TFormMeasureTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void StartsWithoutUnits()
    {
        TFormMeasure form;
        QVERIFY(!form.CheckBoxUnits->isChecked());
        QCOMPARE(form.ComboBoxUnits->currentText(), QString("cm"));
        QCOMPARE(form.ComboBoxZoom->currentIndex(), -1);
        QCOMPARE(form.ComboBoxZoom->currentText(), QString("100%"));
        QVERIFY(!form.EditMeasure->isEnabled());
        form.CheckBoxUnits->setChecked(true);
        QVERIFY(form.EditMeasure->isEnabled());
        QVERIFY(form.ComboBoxUnits->isEnabled());
    }

    void UnitCaptionsCarryTheUnit()
    {
        TFormMeasure form;
        form.ComboBoxUnits->setCurrentIndex(1);
        form.EditMeasure->setText("25.00");
        const TUnitCaptions on = form.UnitCaptions(true);
        QCOMPARE(on.AreaLabel, std::string("Object area [µm²]"));
        QCOMPARE(on.AnaAreaLabel, std::string("Analysis area [µm²]"));
        QCOMPARE(on.MeanSizeLabel, std::string("Mean size [µm²]"));
        QCOMPARE(on.MeasureLabel, std::string("Measure [pixel/µm]"));
        QCOMPARE(on.MeasureValue, std::string("25.00"));
        QCOMPARE(on.MinSizeLabel, std::string("Minimum object size [µm²]"));
    }

    void WithoutUnitsTheBracketsStayEmpty()
    {
        TFormMeasure form;
        form.EditMeasure->setText("25.00");
        const TUnitCaptions off = form.UnitCaptions(false);
        QCOMPARE(off.AreaLabel, std::string("Object area []"));
        QCOMPARE(off.MeasureLabel, std::string("Measure []"));
        QCOMPARE(off.MeasureValue, std::string());
        QCOMPARE(off.MinSizeLabel, std::string("Minimum object size[pixel]"));
    }

    void SetUnitCaptionsSendsThem()
    {
        TFormMeasure form;
        TUnitCaptions received;
        connect(&form, &TFormMeasure::UnitCaptionsChanged,
                [&received](const TUnitCaptions& captions) { received = captions; });
        form.SetUnitCaptions(true);
        QCOMPARE(received, form.UnitCaptions(true));
    }

    void TheAboutBoxShowsTheVersion()
    {
        TAboutBox about;
        about.ButtonUpdate->show();
        about.show();
        QCOMPARE(about.LabelBuild->text().toStdString(), ProgramVersionText());
        QVERIFY(!about.ButtonUpdate->isVisible());
        QVERIFY(about.LabelURL->text().contains("https://varnolux.invalid/"));
    }
};

QTEST_MAIN(TFormMeasureTest)
#include "TFormMeasureTest.moc"
