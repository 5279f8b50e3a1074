#include "io/atomicfile.h"

bool SaveFileAtomically(const std::string& path, std::string_view bytes, std::string& error, FileOps* ops) {
  SaveOptions options;
  options.ops = ops;
  SaveTransaction save(path, options);
  if (save.begin() && save.commit(bytes) == SaveTransaction::Commit::Saved) return true;
  error = DescribeProblem(save.problem());
  return false;
}
