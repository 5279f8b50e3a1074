#include "session/batch.h"

#include <cmath>
#include <new>
#include <optional>
#include <string_view>

#include "interp/stationmodel.h"
#include "io/atomicfile.h"
#include "io/csvexport.h"
#include "io/filekind.h"
#include "io/messages.h"
#include "io/templates.h"
#include "io/textconv.h"
#include "io/vesfile.h"
#include "session/formstate.h"

namespace {

const char* const kOneCommand = QT_TRANSLATE_NOOP("core", "只能给出一个命令：--fit 或 --export-csv。");
const char* const kNoOutput = QT_TRANSLATE_NOOP("core", "缺少输出文件：请用 -o 给出。");
const char* const kFitOptionsOnly = QT_TRANSLATE_NOOP("core", "--layers 和 --error 只用于 --fit。");
const char* const kSeeHelp = QT_TRANSLATE_NOOP("core", "用法见 fieldinput --help。");
const char* const kNothingToExport = QT_TRANSLATE_NOOP("core", "文件中没有测点，没有导出。");
const char* const kOutOfMemory = QT_TRANSLATE_NOOP("core", "内存不足，命令没有完成，没有写出文件。");
const char* const kNotVes = QT_TRANSLATE_NOOP("core", "这不是 VES 测深文件：只能拟合 .ves 文件的测点。");

// "--name=value" split into name and value; other arguments as they are.
struct Argument {
  std::string name;
  std::optional<std::string> value;
};

Argument Split(const std::string& arg) {
  if (arg.rfind("--", 0) == 0)
    if (const std::size_t eq = arg.find('='); eq != std::string::npos) return {arg.substr(0, eq), arg.substr(eq + 1)};
  return {arg, std::nullopt};
}

std::optional<int> LayersOf(const std::string& text) {
  if (text == "auto") return 0;
  std::int32_t n = 0;
  if (!TryStrToInt(text, n) || n < 1 || n > kMaxFitLayers) return std::nullopt;
  return n;
}

std::optional<double> ErrorOf(const std::string& text) {
  float e = 0.0f;
  if (!TryStrToFloat(text, e) || !std::isfinite(e) || e <= 0.0f || e > 100.0f) return std::nullopt;
  return e;
}

// The open result's message without the window's closing question.
std::string WithoutQuestion(const OpenResult& opened) {
  const std::size_t question = opened.message.rfind("\n\n");
  if (opened.status != ReadStatus::Partial || question == std::string::npos) return opened.message;
  return opened.message.substr(0, question);
}

// Reads a survey file for a command; the repairs the readers made are told, a file that is not
// read whole ends the command.
std::optional<OpenResult> OpenForCommand(const std::string& path, BatchOutcome& outcome) {
  OpenResult opened = ReadSurveyFileAt(path);
  for (const Notice& n : opened.notices) outcome.messages.push_back(Fill(tmpl::kNamedFile, {path, n.text}));
  if (opened.status == ReadStatus::Complete) return opened;
  outcome.status = kBatchFailed;
  outcome.messages.push_back(Fill(tmpl::kNamedFile, {path, WithoutQuestion(opened)}));
  return std::nullopt;
}

bool WriteOutput(const std::string& path, const std::string& bytes, BatchOutcome& outcome) {
  std::string error;
  if (SaveFileAtomically(path, bytes, error)) return true;
  outcome.status = kBatchFailed;
  outcome.messages.push_back(Fill(tmpl::kBatchWriteFailed, {path, error}));
  return false;
}

}  // namespace

BatchCommand ParseBatchCommand(const std::vector<std::string>& args) {
  BatchCommand c;
  bool help = false;
  bool fitOptions = false;
  std::string problem;
  auto fail = [&problem](std::string text) {
    if (problem.empty()) problem = std::move(text);
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const Argument a = Split(args[i]);
    // The value of an option: after '=' or the next argument.
    auto value = [&]() -> std::optional<std::string> {
      if (a.value) return a.value;
      if (i + 1 < args.size()) return args[++i];
      fail(Fill(tmpl::kBatchMissingValue, {a.name}));
      return std::nullopt;
    };
    if (a.name == "--help" || a.name == "-h") {
      help = true;
    } else if (a.name == "--fit" || a.name == "--export-csv") {
      const BatchAction action = a.name == "--fit" ? BatchAction::Fit : BatchAction::ExportCsv;
      if (c.action != BatchAction::None && c.action != action) fail(kOneCommand);
      c.action = action;
      if (std::optional<std::string> v = value()) c.input = *v;
    } else if (a.name == "-o" || a.name == "--output") {
      if (std::optional<std::string> v = value()) c.output = *v;
    } else if (a.name == "--layers") {
      fitOptions = true;
      if (std::optional<std::string> v = value()) {
        if (std::optional<int> n = LayersOf(*v)) c.layers = *n;
        else fail(Fill(tmpl::kBatchBadLayers, {*v, std::to_string(kMaxFitLayers)}));
      }
    } else if (a.name == "--error") {
      fitOptions = true;
      if (std::optional<std::string> v = value()) {
        if (std::optional<double> e = ErrorOf(*v)) c.errorPercent = *e;
        else fail(Fill(tmpl::kBatchBadError, {*v}));
      }
    } else if (!a.name.empty() && a.name.front() == '-') {
      fail(Fill(tmpl::kBatchUnknownOption, {args[i]}));
    } else {
      fail(Fill(tmpl::kBatchExtraArgument, {args[i]}));
    }
  }
  if (help) {
    BatchCommand h;
    h.action = BatchAction::Help;
    return h;
  }
  // Without a command the arguments are files for the window.
  if (c.action == BatchAction::None) return BatchCommand{};
  if (problem.empty() && c.output.empty()) fail(kNoOutput);
  if (problem.empty() && fitOptions && c.action != BatchAction::Fit) fail(kFitOptionsOnly);
  if (!problem.empty()) {
    c.action = BatchAction::Bad;
    c.problem = std::move(problem);
  }
  return c;
}

BatchOutcome ExportCsvFile(const std::string& input, const std::string& output) {
  BatchOutcome outcome;
  try {
    const std::optional<OpenResult> opened = OpenForCommand(input, outcome);
    if (!opened) return outcome;
    if (opened->stations.empty()) {
      outcome.status = kBatchFailed;
      outcome.messages.push_back(Fill(tmpl::kNamedFile, {input, kNothingToExport}));
      return outcome;
    }
    std::string bytes;
    try {
      bytes = BuildCsvExport(opened->type, opened->stations);
    } catch (const GbkError& e) {
      outcome.status = kBatchFailed;
      outcome.messages.push_back(Fill(tmpl::kBatchNotGbk, {input, e.what()}));
      return outcome;
    }
    WriteOutput(output, bytes, outcome);
  } catch (const std::bad_alloc&) {
    outcome.status = kBatchFailed;
    outcome.messages.push_back(kOutOfMemory);
  }
  return outcome;
}

BatchOutcome FitVesFile(const std::string& input, const std::string& output, int layers,
                        std::optional<double> errorPercent) {
  BatchOutcome outcome;
  try {
    std::optional<OpenResult> opened = OpenForCommand(input, outcome);
    if (!opened) return outcome;
    if (opened->kind != FileKind::Ves) {
      outcome.status = kBatchFailed;
      outcome.messages.push_back(Fill(tmpl::kNamedFile, {input, kNotVes}));
      return outcome;
    }
    FitOptions options;
    options.layers = layers;
    if (errorPercent) options.relativeError = *errorPercent / 100.0;
    for (sdata& station : opened->stations) {
      const FitResult fit = FitStation(station, options);
      if (fit.ok) {
        station.Model = StationModelFrom(fit.model, ModelOrigin::Fitted);
        continue;
      }
      outcome.status = kBatchStationsLeft;
      outcome.messages.push_back(Fill(tmpl::kBatchNotFitted, {ShownText(station.Name), fit.reason}));
    }
    if (!WriteOutput(output, BuildVesFile(std::move(opened->stations)), outcome)) return outcome;
  } catch (const std::bad_alloc&) {
    outcome.status = kBatchFailed;
    outcome.messages.push_back(kOutOfMemory);
  }
  return outcome;
}

BatchOutcome RunBatchCommand(const BatchCommand& command) {
  switch (command.action) {
    case BatchAction::Fit: return FitVesFile(command.input, command.output, command.layers, command.errorPercent);
    case BatchAction::ExportCsv: return ExportCsvFile(command.input, command.output);
    case BatchAction::Bad: {
      BatchOutcome bad;
      bad.status = kBatchFailed;
      bad.messages = {command.problem, kSeeHelp};
      return bad;
    }
    default: return BatchOutcome{};
  }
}
