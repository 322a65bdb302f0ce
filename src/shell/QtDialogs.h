#pragma once
#include "store/Dialogs.h"

namespace pelsid {

/// Dialogs shown as Qt message boxes, file and colour dialogs.
class QtDialogs : public Dialogs {
  public:
    bool question(const std::string& title, const std::string& text) override;
    void message(Icon icon, const std::string& title, const std::string& text) override;
    std::string openFileName(const std::string& title, const std::string& folder) override;
    std::uint32_t chooseColor(std::uint32_t initial) override;
    std::string saveCaptureFileName(const std::string& title, const std::string& folder) override;
    int choose(const std::string& title, const std::string& text,
               const std::vector<std::string>& choices) override;
    std::string askText(const std::string& title, const std::string& label) override;
};

/// Dialogs for runs without a user: messages go to standard error, questions
/// are answered Yes, choosers return nothing new.
class ConsoleDialogs : public Dialogs {
  public:
    bool question(const std::string& title, const std::string& text) override;
    void message(Icon icon, const std::string& title, const std::string& text) override;
    std::string openFileName(const std::string&, const std::string&) override { return {}; }
    std::uint32_t chooseColor(std::uint32_t initial) override { return initial; }
    /// True once a Critical message was given.
    bool failed = false;
};

}  // namespace pelsid
