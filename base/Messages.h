#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varnolux {

/// The layout's text of a message label of the language form ("FileNotFound" →
/// "File %s not found."); the label name itself for an unknown label.
std::string DefaultMessageText(std::string_view label);

/// Replaces each "%s" of format by the next argument (missing ones are empty);
/// every other character, "%" included, is copied as it is.
std::string FormatMessage(std::string_view format, const std::vector<std::string>& args);

/// A message for the user as a value: a message label of the language form with its
/// arguments; without a label, a finished text (its one argument).
struct TMessage {
    std::string Label;
    std::vector<std::string> Args;

    bool operator==(const TMessage&) const = default;
};

/// Where messages meant for the user go: message boxes in the desktop program,
/// standard error in headless runs. A reporter only tells; questions are the windows'
/// (shell/TQuestions.h).
class TReporter {
public:
    virtual ~TReporter() = default;

    /// A plain message with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;

    /// A message of the language form: LanguageMessageText(label) used as format.
    virtual void ShowLanguageMessage(std::string_view label, const std::vector<std::string>& args);

    /// The current text of a message label, for messages that are formatted by the
    /// caller (a Yes/No question); the layout's text unless the language form is there.
    virtual std::string LanguageMessageText(std::string_view label);
};

/// Keeps the messages of work done on one thread, to be shown on another.
class TMessageList : public TReporter {
public:
    void ShowMessage(const std::string& text) override;
    void ShowLanguageMessage(std::string_view label, const std::vector<std::string>& args) override;
    /// The messages kept so far, in order; the list is empty afterwards.
    std::vector<TMessage> Take();

private:
    std::vector<TMessage> messages_;
};

/// Shows messages kept by a TMessageList, in their order.
void ShowMessages(TReporter& reporter, const std::vector<TMessage>& messages);

/// Writes every message as one line to standard error, prefixed by a context
/// (the image being worked on).
class TStderrReporter : public TReporter {
public:
    void SetContext(std::string context) { context_ = std::move(context); }
    void ShowMessage(const std::string& text) override;

protected:
    /// Writes one finished line (without its line end); to standard error here.
    virtual void WriteLine(const std::string& line);

private:
    std::string context_;
};

/// The reporter of the calling thread: the one installed by the innermost
/// TScopedReporter, else a process-wide TStderrReporter.
TReporter& CurrentReporter();

/// Installs a reporter for the calling thread while it lives.
class TScopedReporter {
public:
    explicit TScopedReporter(TReporter& reporter);
    ~TScopedReporter();
    TScopedReporter(const TScopedReporter&) = delete;
    TScopedReporter& operator=(const TScopedReporter&) = delete;

private:
    TReporter* previous_;
};

} // namespace varnolux
