#pragma once
// Questions that answer nothing, for benchmarks that run without a question being asked.

#include "session/questions.h"

class SilentQuestions : public Questions {
 public:
  Answer ask(const Message&) override { return Answer::No; }
  bool chooseSaveFile(SaveDialog&) override { return false; }
  std::optional<std::string> chooseFolder(const std::string&, const std::string&) override { return std::nullopt; }
  AppendChoice askAppendOrReplace() override { return AppendChoice::Cancel; }
};
