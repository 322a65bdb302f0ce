#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pelsid {

/// Every modal question, message and chooser the program puts to its user.
/// Production code uses the Qt implementation; tests script the answers.
class Dialogs {
  public:
    enum class Icon { None, Information, Warning, Critical };

    virtual ~Dialogs() = default;

    /// Yes/No question with the warning icon; true means Yes.
    virtual bool question(const std::string& title, const std::string& text) = 0;
    /// A message with an OK button.
    virtual void message(Icon icon, const std::string& title, const std::string& text) = 0;
    /// File-open dialog; an empty result means the user cancelled.
    virtual std::string openFileName(const std::string& title, const std::string& folder) = 0;
    /// Colour chooser started from `initial` (red in the low byte); cancel returns `initial`.
    virtual std::uint32_t chooseColor(std::uint32_t initial) = 0;
    /// File-save dialog for a capture file (pcap or pcapng); an empty result
    /// means the user cancelled. Asks before replacing an existing file.
    virtual std::string saveCaptureFileName(const std::string& title, const std::string& folder) {
        (void)title, (void)folder;
        return {};
    }
    /// A line of text asked for with `label`; empty when cancelled.
    virtual std::string askText(const std::string& title, const std::string& label) {
        (void)title, (void)label;
        return {};
    }
    /// A question with one button per choice and Cancel: the index of the
    /// choice taken, or -1 for Cancel.
    virtual int choose(const std::string& title, const std::string& text,
                       const std::vector<std::string>& choices) {
        (void)title, (void)text, (void)choices;
        return -1;
    }
};

}  // namespace pelsid
