#pragma once
// Questions answered from a script: the survey's tests queue the answers in advance and read
// back everything that was shown. A box without a scripted answer gets the answer of a box
// closed without a button: Ok for OK boxes, Cancel where there is Cancel, No for Yes/No.

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "session/questions.h"

class ScriptedQuestions : public Questions {
 public:
  struct FolderRequest {
    std::string title;
    std::string startDir;
  };

  // ---- The script ----
  void answer(Answer a) { answers_.push_back(a); }
  // The next save dialog is closed with OK on this path.
  void saveAs(std::string path) { saveFiles_.emplace_back(std::move(path)); }
  void cancelSave() { saveFiles_.emplace_back(std::nullopt); }
  // The next folder chooser picks this folder.
  void folder(std::string path) { folders_.emplace_back(std::move(path)); }
  void cancelFolder() { folders_.emplace_back(std::nullopt); }
  void appendChoice(AppendChoice c) { appendChoices_.push_back(c); }
  // The next long work is cancelled once it has asked whether it was this many times (0: at
  // its first question), as if the user pressed Cancel meanwhile.
  void cancelWorkAfter(int checks) { cancelAfter_ = checks; }
  // Whether every scripted step was used.
  bool scriptUsed() const {
    return answers_.empty() && saveFiles_.empty() && folders_.empty() && appendChoices_.empty();
  }

  // Boxes without a scripted answer are answered with Ok, Yes or Replace instead of as if
  // closed: a test that goes along with every question.
  bool acceptAll = false;

  // ---- What was shown ----
  std::vector<Message> messages;
  std::vector<SaveDialog> saveDialogs;  // each as it was when shown
  std::vector<FolderRequest> folderRequests;
  int appendQuestions = 0;
  std::vector<std::string> workLabels;  // of each long work run
  int workChecks = 0;                    // how often the last long work asked whether it was cancelled

  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const Message& m : messages) out.push_back(m.text);
    return out;
  }
  // Forgets what was shown and the rest of the script.
  void clear() {
    answers_.clear();
    saveFiles_.clear();
    folders_.clear();
    appendChoices_.clear();
    messages.clear();
    saveDialogs.clear();
    folderRequests.clear();
    appendQuestions = 0;
    workLabels.clear();
    cancelAfter_.reset();
  }

  // ---- Questions ----
  Answer ask(const Message& message) override {
    messages.push_back(message);
    if (answers_.empty()) return acceptAll ? AcceptingAnswer(message.buttons) : ClosedAnswer(message.buttons);
    const Answer a = answers_.front();
    answers_.pop_front();
    EXPECT_TRUE(Offers(message.buttons, a)) << "the scripted answer is not a button of the box: " << message.text;
    return a;
  }

  bool chooseSaveFile(SaveDialog& dialog) override {
    saveDialogs.push_back(dialog);
    if (saveFiles_.empty()) return false;
    const std::optional<std::string> chosen = saveFiles_.front();
    saveFiles_.pop_front();
    if (!chosen) return false;
    dialog.fileName = *chosen;
    return true;
  }

  std::optional<std::string> chooseFolder(const std::string& title, const std::string& startDir) override {
    folderRequests.push_back({title, startDir});
    if (folders_.empty()) return std::nullopt;
    std::optional<std::string> chosen = folders_.front();
    folders_.pop_front();
    return chosen;
  }

  void runWork(const std::string& label, const std::function<void(const WorkControl&)>& work) override {
    workLabels.push_back(label);
    struct Control : WorkControl {
      std::optional<int> left;
      int* checks = nullptr;
      bool cancelled() const override {
        const int asked = (*checks)++;
        return left && asked >= *left;
      }
    } control;
    control.left = cancelAfter_;
    workChecks = 0;
    control.checks = &workChecks;
    cancelAfter_.reset();
    work(control);
  }

  AppendChoice askAppendOrReplace() override {
    ++appendQuestions;
    if (appendChoices_.empty()) return AppendChoice::Cancel;
    const AppendChoice c = appendChoices_.front();
    appendChoices_.pop_front();
    return c;
  }

 private:
  static Answer ClosedAnswer(Message::Buttons buttons) {
    switch (buttons) {
      case Message::Buttons::Ok: return Answer::Ok;
      case Message::Buttons::YesNo: return Answer::No;
      case Message::Buttons::OkCancel:
      case Message::Buttons::YesNoCancel:
      case Message::Buttons::ReplaceSkipCancel: return Answer::Cancel;
    }
    return Answer::Cancel;
  }

  static Answer AcceptingAnswer(Message::Buttons buttons) {
    switch (buttons) {
      case Message::Buttons::Ok:
      case Message::Buttons::OkCancel: return Answer::Ok;
      case Message::Buttons::YesNo:
      case Message::Buttons::YesNoCancel: return Answer::Yes;
      case Message::Buttons::ReplaceSkipCancel: return Answer::Replace;
    }
    return Answer::Ok;
  }

  static bool Offers(Message::Buttons buttons, Answer a) {
    switch (buttons) {
      case Message::Buttons::Ok: return a == Answer::Ok;
      case Message::Buttons::OkCancel: return a == Answer::Ok || a == Answer::Cancel;
      case Message::Buttons::YesNo: return a == Answer::Yes || a == Answer::No;
      case Message::Buttons::YesNoCancel: return a == Answer::Yes || a == Answer::No || a == Answer::Cancel;
      case Message::Buttons::ReplaceSkipCancel: return a == Answer::Replace || a == Answer::Skip || a == Answer::Cancel;
    }
    return false;
  }

  std::optional<int> cancelAfter_;
  std::deque<Answer> answers_;
  std::deque<std::optional<std::string>> saveFiles_;
  std::deque<std::optional<std::string>> folders_;
  std::deque<AppendChoice> appendChoices_;
};
