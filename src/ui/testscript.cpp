#include "ui/testscript.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSaveFile>
#include <QTimer>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "ui/autosave.h"
#include "ui/inputdataform.h"
#include "ui/stringgrid.h"
#include "ui/uitext.h"

namespace {

constexpr int kStepMs = 10;
constexpr int kAnswerWaitMs = 20000;

struct Script {
  TInputDataForm& form;
  Autosave* autosave;
  QStringList lines;
  int next = 0;
  int waited = 0;  // ms the current answer command has waited
};

[[noreturn]] void Fail(int line, const QString& reason) {
  std::fprintf(stderr, "script: line %d: %s\n", line, reason.toUtf8().constData());
  std::fflush(stderr);
  std::_Exit(3);
}

QString Floats(const std::vector<float>& values) {
  QStringList out;
  for (float v : values) out << QString::number(std::bit_cast<std::uint32_t>(v), 16);
  return out.join(QLatin1Char(' '));
}

QString Dump(TInputDataForm& form) {
  QStringList out;
  const Survey& s = form.survey();
  out << QStringLiteral("type %1 index %2 browsing %3 saved %4")
             .arg(s.type())
             .arg(s.currentIndex())
             .arg(s.browsing())
             .arg(s.saved());
  out << QStringLiteral("file ") + ShownPath(s.file());
  out << QStringLiteral("status ") + form.ST->text();
  out << QStringLiteral("title ") + form.windowTitle() + (form.isWindowModified() ? QStringLiteral(" modified") : QString());
  for (const sdata& st : s.stations()) {
    out << QStringLiteral("station %1|%2|%3|%4|%5 x %6 y %7 n %8")
               .arg(Text(ShownText(st.Name)), Text(ShownText(st.WorkArea)), Text(ShownText(st.Profile)),
                    Text(ShownText(st.Operator)), Text(ShownText(st.Instrument)))
               .arg(std::bit_cast<std::uint32_t>(st.X), 0, 16)
               .arg(std::bit_cast<std::uint32_t>(st.Y), 0, 16)
               .arg(st.SpacingCount);
    for (const auto& column : st.Columns) out << QStringLiteral("  ") + Floats(column);
  }
  for (const char* name : {"ES", "EP", "EW", "EX", "EY", "EO", "EI", "EAB"}) {
    const auto* edit = form.findChild<QLineEdit*>(QString::fromLatin1(name));
    out << QString::fromLatin1(name) + QLatin1Char(' ') + (edit != nullptr ? edit->text() : QStringLiteral("?"));
  }
  out << QStringLiteral("grid %1 x %2").arg(form.SG->rowCount()).arg(form.SG->colCount());
  for (int r = 0; r < form.SG->rowCount(); ++r) {
    QStringList row;
    for (int c = 0; c < form.SG->colCount(); ++c) row << form.SG->cell(c, r);
    out << row.join(QLatin1Char('|'));
  }
  return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// Runs the command of line number (1-based) n; false when it has to be tried again later.
bool Run(Script& script, int n, const QString& line) {
  const QString command = line.section(QLatin1Char(' '), 0, 0);
  const QString rest = line.section(QLatin1Char(' '), 1);
  TInputDataForm& form = script.form;
  // A message box nobody expected (a refused commit, a question) ends the script: every other
  // command would run under it.
  if (command != QLatin1String("answer")) {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      const auto* box = qobject_cast<QMessageBox*>(modal);
      Fail(n, QStringLiteral("a modal window is open: ") + (box != nullptr ? box->text() : modal->objectName()));
    }
  }
  if (command == QLatin1String("field")) {
    auto* edit = form.findChild<QLineEdit*>(rest.section(QLatin1Char(' '), 0, 0));
    if (edit == nullptr) Fail(n, QStringLiteral("no field ") + rest);
    edit->setText(rest.section(QLatin1Char(' '), 1));
  } else if (command == QLatin1String("cell")) {
    bool okCol = false;
    bool okRow = false;
    const int col = rest.section(QLatin1Char(' '), 0, 0).toInt(&okCol);
    const int row = rest.section(QLatin1Char(' '), 1, 1).toInt(&okRow);
    if (!okCol || !okRow || col < 1 || row < 1 || col >= form.SG->colCount() || row >= form.SG->rowCount())
      Fail(n, QStringLiteral("no cell ") + rest);
    form.SG->setCell(col, row, rest.section(QLatin1Char(' '), 2));
  } else if (command == QLatin1String("commit")) {
    form.guarded([&form] { form.commitStation(); });
  } else if (command == QLatin1String("flush")) {
    if (script.autosave == nullptr || !script.autosave->writeNow()) Fail(n, QStringLiteral("recovery file not written"));
  } else if (command == QLatin1String("answer")) {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      script.waited += kStepMs;
      if (script.waited > kAnswerWaitMs) Fail(n, QStringLiteral("no message box to answer"));
      return false;
    }
    script.waited = 0;
    // A standard button also answers to its English name in every language.
    static const std::pair<QMessageBox::StandardButton, const char*> kNames[] = {
        {QMessageBox::Yes, "Yes"}, {QMessageBox::No, "No"}, {QMessageBox::Ok, "OK"}, {QMessageBox::Cancel, "Cancel"}};
    for (QAbstractButton* button : box->buttons()) {
      bool named = false;
      for (const auto& [which, name] : kNames)
        named = named || (box->standardButton(button) == which && rest.compare(QLatin1String(name), Qt::CaseInsensitive) == 0);
      if (named || button->text().remove(QLatin1Char('&')).compare(rest, Qt::CaseInsensitive) == 0) {
        button->click();
        return true;
      }
    }
    Fail(n, QStringLiteral("no button ") + rest + QStringLiteral(" in \"") + box->text() + QLatin1Char('"'));
  } else if (command == QLatin1String("no-modal")) {
    // Checked above, as before every command.
  } else if (command == QLatin1String("dump")) {
    QSaveFile file(rest);
    if (!file.open(QIODevice::WriteOnly) || file.write(Dump(form).toUtf8()) < 0 || !file.commit())
      Fail(n, QStringLiteral("cannot write ") + rest);
  } else if (command == QLatin1String("print")) {
    std::printf("%s\n", rest.toUtf8().constData());
    std::fflush(stdout);
  } else if (command == QLatin1String("quit")) {
    form.close();
  } else {
    Fail(n, QStringLiteral("unknown command ") + command);
  }
  return true;
}

void Step(const std::shared_ptr<Script>& script) {
  while (script->next < script->lines.size()) {
    const int n = script->next + 1;
    const QString line = script->lines[script->next].trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
      ++script->next;
      continue;
    }
    // The next step is due before this command runs: a command that opens a modal window
    // returns only when it closes, and the commands after it have to close it.
    ++script->next;
    QTimer::singleShot(kStepMs, &script->form, [script] { Step(script); });
    if (!Run(*script, n, line)) --script->next;  // tried again at the next step
    return;
  }
}

}  // namespace

void StartTestScript(TInputDataForm& form, Autosave* autosave, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) Fail(0, QStringLiteral("cannot read ") + path);
  auto script = std::make_shared<Script>(Script{form, autosave, QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))});
  QTimer::singleShot(0, &form, [script] { Step(script); });
}
