#include "app/commandline.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/version.h"
#include "interp/fit.h"
#include "session/batch.h"
#include "ui/coretext.h"
#include "ui/language.h"
#include "ui/settings.h"

namespace {

QString HelpText() {
  return QCoreApplication::translate("CommandLine",
            "用法：\n"
            "  fieldinput [--lang en|zh] [文件…]\n"
            "      打开输入窗口（可同时打开给出的数据文件）。\n"
            "  fieldinput --fit 输入.ves -o 输出.ves [--layers N|auto] [--error 百分数]\n"
            "      对输入文件的每个测点拟合层状模型，写出带拟合模型的 .ves 文件。\n"
            "      --layers：模型的层数（1 到 %1），auto 为自动选择（默认）。\n"
            "      --error：观测值的相对误差，百分数（默认 %2）。\n"
            "      拟合不了的测点保留原来的模型，并说明原因。\n"
            "  fieldinput --export-csv 输入文件 -o 输出.csv\n"
            "      把本程序能打开的数据文件（.ves、测深 .dat、四极剖面、联合剖面）导出为 CSV 表格，\n"
            "      与窗口中的“导出 CSV”相同。\n"
            "  fieldinput --help\n"
            "      显示这些说明。\n"
            "命令不需要图形界面。退出状态：0 全部完成；1 输出文件已写出，但有测点没能完成；\n"
            "2 没有写出文件（命令行有误、文件不能读取或写入，或文件中没有测点）。消息写到标准错误。\n")
      .arg(kMaxFitLayers)
      .arg(FitOptions{}.relativeError * 100.0);
}

void Print(std::FILE* stream, const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

}  // namespace

void NameApplication() {
  // Where the settings and the recovery files are kept.
  QCoreApplication::setOrganizationName(QStringLiteral("FieldInput"));
  QCoreApplication::setApplicationName(QStringLiteral("fieldinput"));
  // The About box shows this version.
  QCoreApplication::setApplicationVersion(QStringLiteral(FIELDINPUT_VERSION));
}

std::optional<int> RunCommandLine(int& argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QFile::decodeName(argv[i]);
  const LanguageOption option = TakeLanguageOption(arguments);
  std::vector<std::string> args;
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(QFile::encodeName(arguments[i]).toStdString());
  const BatchCommand command = ParseBatchCommand(args);
  if (command.action == BatchAction::None) return std::nullopt;

  QCoreApplication app(argc, argv);
  NameApplication();
  if (!option.warning.isEmpty()) Print(stderr, option.warning + QLatin1Char('\n'));
  QSettings stored;
  const AppSettings settings(stored);
  InstallLanguage(app, ChooseLanguage(option.language, settings.language(), MessagesLocale()));

  if (command.action == BatchAction::Help) {
    Print(stdout, HelpText());
    return kBatchDone;
  }
  BatchOutcome outcome;
  try {
    outcome = RunBatchCommand(command);
  } catch (const std::exception& e) {
    // What the commands do not foresee ends them as a failure, never as a crash.
    outcome.status = kBatchFailed;
    outcome.messages.emplace_back(e.what());
  }
  for (const std::string& message : outcome.messages)
    Print(stderr, QStringLiteral("fieldinput: ") + CoreText(message) + QLatin1Char('\n'));
  return outcome.status;
}
