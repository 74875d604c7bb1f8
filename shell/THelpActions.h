#pragma once

#include "shell/TProgramFiles.h"

#include <string>

#include <QObject>

class QWidget;

namespace varnolux {

class TAboutBox;
class TPlasmaForm;

/// The Help menu: the manual, the web page the program settings name, the about box.
class THelpActions : public QObject {
    Q_OBJECT

public:
    /// Where the program settings file holds the address Help -> web page opens.
    static constexpr const char* WebPageSection = "Program";
    static constexpr const char* WebPageKey = "WebPage";

    /// window: the about box is shown over it.
    THelpActions(const TProgramFiles& files, QWidget& window, TAboutBox& aboutBox,
                 TPlasmaForm* palette, QObject* parent = nullptr);

    /// The manual in the system's viewer; without one, a message that says so.
    void ShowManual();
    /// Opens the web page of the program settings; without one, the manual.
    void ShowWebPage();
    void ShowInfo();

private:
    /// The web page address in the program settings, empty when there is none.
    std::string WebPageAddress() const;

    TProgramFiles files_;
    QWidget& window_;
    TAboutBox& aboutBox_;
    TPlasmaForm* palette_;
};

} // namespace varnolux
