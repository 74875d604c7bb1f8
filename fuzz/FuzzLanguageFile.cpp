// Language files: any bytes applied to a window with a component of every kind the
// file can translate, and to the language form whose captions become messages.

#include "FuzzTarget.h"
#include "base/Messages.h"
#include "settings/IniDocument.h"
#include "shell/MessageLabels.h"
#include "shell/TFormLanguage.h"
#include "shell/TestWindow.h"

#include <QApplication>

namespace {

using namespace varnolux;

class TSilentReporter : public TReporter {
public:
    void ShowMessage(const std::string&) override {}
};

QApplication& Application()
{
    static int argc = 1;
    static char name[] = "fuzz_language_file";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *application;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Application();
    TSilentReporter silent;
    const TScopedReporter scope(silent);
    const TIniDocument file = TIniDocument::Parse(fuzz::Bytes(data, size));

    test::TestWindow window;
    TFormLanguage language;
    TFormLanguage::ApplyLanguageDocument(file, {&language, &window.Window});
    // Every caption is a format: only "%s" is filled, each argument at most once,
    // whatever else the caption holds. A byte read as Windows-1252 grows to 3 at most.
    const std::vector<std::string> arguments = {"%s%d%n", std::string(3000, 'x')};
    const std::size_t longest = 3 * size + 1024 + arguments[0].size() + arguments[1].size();
    for (const TMessageLabel& label : MessageLabels()) {
        const std::string text = FormatMessage(language.MessageText(label.name), arguments);
        fuzz::Check(text.size() <= longest, "a message longer than its caption and arguments");
    }
    return 0;
}
