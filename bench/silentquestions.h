#pragma once
// Questions that answer nothing: the survey benchmarks run without a question that matters.

#include <optional>
#include <string>

#include "session/questions.h"

namespace benchdata {

class SilentQuestions : public Questions {
 public:
  Answer ask(const Message&) override { return Answer::No; }
  bool chooseSaveFile(SaveDialog&) override { return false; }
  std::optional<std::string> chooseFolder(const std::string&, const std::string&) override { return std::nullopt; }
  AppendChoice askAppendOrReplace() override { return AppendChoice::Cancel; }
};

}  // namespace benchdata
