#pragma once

#include <string>

namespace varnolux {

/// Where the desktop program's windows ask the user to decide: message boxes while
/// somebody works at the screen. Only windows and the programs' main() ask; the core
/// reports and leaves the decision to them.
class TQuestions {
public:
    virtual ~TQuestions() = default;

    /// A warning with the buttons Abort and Ignore; true when the user chose Abort.
    virtual bool AskAbort(const std::string& text) = 0;

    /// A question with the buttons Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;

    enum class TAnswer { Yes, No, Cancel };
    /// A question with the buttons Yes, No and Cancel.
    virtual TAnswer AskYesNoCancel(const std::string& text) = 0;
};

/// For where nobody can answer (no display, a run that ends by itself): every question
/// is reported as a message through the calling thread's reporter and answered at once,
/// Abort/Ignore with Ignore, Yes/No and Yes/No/Cancel with No.
class TUnansweredQuestions final : public TQuestions {
public:
    bool AskAbort(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    TAnswer AskYesNoCancel(const std::string& text) override;
};

/// The questions of the calling thread: those installed by the innermost
/// TScopedQuestions, else a process-wide TUnansweredQuestions, so that nothing waits
/// for an answer unless somebody was put there to give it.
TQuestions& CurrentQuestions();

/// Installs where the calling thread's questions go while it lives.
class TScopedQuestions {
public:
    explicit TScopedQuestions(TQuestions& questions);
    ~TScopedQuestions();
    TScopedQuestions(const TScopedQuestions&) = delete;
    TScopedQuestions& operator=(const TScopedQuestions&) = delete;

private:
    TQuestions* previous_;
};

} // namespace varnolux
