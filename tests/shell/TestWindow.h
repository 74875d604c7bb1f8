#pragma once

#include "chart/Tsp_XYPlot.h"
#include "shell/TLabeledEdit.h"
#include "shell/TValueListEditor.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

namespace varnolux::test {

/// A window with one component of every kind a language file can translate, each
/// with a known text, and a dialog of its own that it parents.
struct TestWindow {
    TestWindow()
    {
        Window.setObjectName("FormTest");
        Window.setWindowTitle("Test window");

        Label = Make<QLabel>("LabelA", &Window);
        Label->setText("Alpha");
        Button = Make<QPushButton>("ButtonOk", &Window);
        Button->setText("OK");
        CheckBox = Make<QCheckBox>("CheckBoxUnits", &Window);
        CheckBox->setText("Units");

        GroupBox = Make<QGroupBox>("GroupBoxSave", &Window);
        GroupBox->setTitle("Save");
        InnerLabel = Make<QLabel>("LabelInside", GroupBox);
        InnerLabel->setText("Inside");

        RadioGroup = Make<QGroupBox>("RadioGroupMode", &Window);
        RadioGroup->setTitle("Mode");
        for (const char* item : {"One", "Two", "Three"})
            new QRadioButton(item, RadioGroup);
        NamedRadios = Make<QGroupBox>("GroupBoxNamed", &Window);
        NamedRadio = Make<QRadioButton>("RadioButtonA", NamedRadios);
        NamedRadio->setText("A");

        Memo = Make<QPlainTextEdit>("MemoInfo", &Window);
        Memo->setPlainText("m1\nm2\nm3");

        CheckList = Make<QListWidget>("CheckListBoxSteps", &Window);
        PlainList = Make<QListWidget>("ListBoxPlain", &Window);
        for (const char* item : {"c1", "c2", "c3"}) {
            auto* checked = new QListWidgetItem(item, CheckList);
            checked->setCheckState(Qt::Unchecked);
            new QListWidgetItem(item, PlainList);
        }

        Combo = Make<QComboBox>("ComboBoxZoom", &Window);
        Combo->addItems({"400%", "200%", "150%", "100%", "75%", "50%", "10%"});

        ValueList = Make<TValueListEditor>("ValueListEditorNames", &Window);
        ValueList->SetValue("a", "1");

        LabeledEdit = Make<TLabeledEdit>("LabeledEditHMin", &Window);
        LabeledEdit->EditLabel()->setText("Hue min");
        PlainEdit = Make<QLineEdit>("EditPlain", &Window);
        PlainEdit->setText("plain");

        Plot = Make<Tsp_XYPlot>("sp_XYPlot", &Window);
        Plot->SetBottomAxisCaption("x");

        Tabs = Make<QTabWidget>("PageControlPlasma", &Window);
        for (const char* page : {"TabSheetChart", "TabSheetH"})
            Tabs->addTab(Make<QWidget>(page, Tabs), QString(page).mid(8));

        Action = Make<QAction>("ActionOpen", &Window);
        Action->setText("Open");
        Menu = Make<QMenu>("MenuFile", &Window);
        Menu->setTitle("File");
        Menu->addAction(Action);
        Timer = Make<QTimer>("Timer1", &Window);

        Child = Make<QDialog>("FormChild", &Window);
        Child->setWindowTitle("Child");
        ChildLabel = Make<QLabel>("LabelChild", Child);
        ChildLabel->setText("Child label");
    }

    /// A named component; the owner deletes it.
    template <typename T, typename Owner>
    static T* Make(const char* name, Owner* owner)
    {
        T* component = new T(owner);
        component->setObjectName(name);
        return component;
    }

    QWidget Window;
    QLabel* Label;
    QPushButton* Button;
    QCheckBox* CheckBox;
    QGroupBox* GroupBox;
    QLabel* InnerLabel;
    QGroupBox* RadioGroup;
    QGroupBox* NamedRadios;
    QRadioButton* NamedRadio;
    QPlainTextEdit* Memo;
    QListWidget* CheckList;
    QListWidget* PlainList;
    QComboBox* Combo;
    TValueListEditor* ValueList;
    TLabeledEdit* LabeledEdit;
    QLineEdit* PlainEdit;
    Tsp_XYPlot* Plot;
    QTabWidget* Tabs;
    QAction* Action;
    QMenu* Menu;
    QTimer* Timer;
    QDialog* Child;
    QLabel* ChildLabel;
};

} // namespace varnolux::test
