#pragma once
#include <deque>
#include <string>
#include <vector>

#include "store/Dialogs.h"

namespace pelsid::test {

/// Dialogs answered from a script, recording everything asked, so no test
/// ever waits on a real dialog.
class ScriptedDialogs : public Dialogs {
  public:
    struct Shown {
        Icon icon;
        std::string title;
        std::string text;
    };

    std::deque<bool> answers;           // Yes/No answers in order; Yes when empty
    std::deque<std::string> files;      // file dialog results in order; cancel when empty
    std::deque<std::uint32_t> colors;   // chosen colours; cancel when empty
    std::deque<std::string> saveFiles;  // save dialog results in order; cancel when empty
    std::deque<int> choices;            // choices taken in order; Cancel (-1) when empty
    std::deque<std::string> texts;      // text typed when asked; cancel when empty
    std::vector<Shown> questions;
    std::vector<Shown> messages;
    std::vector<std::string> fileFolders;

    bool question(const std::string& title, const std::string& text) override {
        questions.push_back({Icon::Warning, title, text});
        return next(answers, true);
    }
    void message(Icon icon, const std::string& title, const std::string& text) override {
        messages.push_back({icon, title, text});
    }
    std::string openFileName(const std::string& title, const std::string& folder) override {
        questions.push_back({Icon::None, title, folder});
        fileFolders.push_back(folder);
        return next(files, std::string());
    }
    std::string saveCaptureFileName(const std::string& title, const std::string& folder) override {
        questions.push_back({Icon::None, title, folder});
        fileFolders.push_back(folder);
        return next(saveFiles, std::string());
    }
    int choose(const std::string& title, const std::string& text,
               const std::vector<std::string>& offered) override {
        std::string all = text;
        for (const std::string& c : offered) all += "\n[" + c + "]";
        questions.push_back({Icon::Information, title, all});
        return next(choices, -1);
    }
    std::uint32_t chooseColor(std::uint32_t initial) override { return next(colors, initial); }
    std::string askText(const std::string& title, const std::string& label) override {
        questions.push_back({Icon::None, title, label});
        return next(texts, std::string());
    }

  private:
    /// The next scripted answer, or `otherwise` when the script has run out.
    template <class T>
    static T next(std::deque<T>& script, T otherwise) {
        if (script.empty()) return otherwise;
        T answer = std::move(script.front());
        script.pop_front();
        return answer;
    }
};

}  // namespace pelsid::test
