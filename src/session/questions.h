#pragma once
// Everything the survey shows or asks goes through Questions: message boxes (with the control
// to focus once they are closed), the save dialog, the folder chooser and the append/replace
// question, and the long work run behind a progress dialog. The window answers with its
// dialogs; tests answer from a script.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "session/formstate.h"
#include "io/templates.h"

// Where the keyboard focus goes after a message: nowhere, a station field, or a grid cell.
struct FocusTarget {
  enum class Kind { None, Field, Cell };
  Kind kind = Kind::None;
  Field field = Field::ES;
  int col = 0;
  int row = 0;

  static FocusTarget none() { return {}; }
  static FocusTarget onField(Field f) { return {Kind::Field, f, 0, 0}; }
  static FocusTarget onCell(int col, int row) { return {Kind::Cell, Field::ES, col, row}; }
  bool operator==(const FocusTarget&) const = default;
};

// One message box. Texts are UTF-8.
struct Message {
  enum class Icon { None, Warning, Error, Question };
  enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, ReplaceSkipCancel };
  enum class Kind {
    Plain,  // caption, text, icon and buttons as given
    Simple,  // the application's title as caption
    Error,   // the error box: the application's title, error icon, OK, the full-stop rule
  };
  Kind kind = Kind::Plain;
  std::string caption;
  std::string text;
  Icon icon = Icon::None;
  Buttons buttons = Buttons::Ok;
  bool owned = true;     // owned by the input window (false: by the application)
  std::string details;   // extra text shown apart, such as the system's reason
  FocusTarget focus;     // applied after the box is closed

  static Message simple(std::string text, FocusTarget focus = {}) {
    Message m;
    m.kind = Kind::Simple;
    m.text = std::move(text);
    m.focus = focus;
    return m;
  }
  static Message error(std::string text) {
    Message m;
    m.kind = Kind::Error;
    m.text = std::move(text);
    return m;
  }
  static Message plain(std::string caption, std::string text, Icon icon, Buttons buttons) {
    Message m;
    m.caption = std::move(caption);
    m.text = std::move(text);
    m.icon = icon;
    m.buttons = buttons;
    return m;
  }
};

// The answer to the append/replace question, asked when the chosen sounding file exists.
enum class AppendChoice { Append, Replace, Cancel };

// The answer to a message box. A box closed without a button (Escape, the close box) answers
// Cancel where it has Cancel, No for Yes/No boxes and Ok for OK boxes.
enum class Answer { Ok, Cancel, Yes, No, Replace, Skip };

// The save dialog: what it keeps from one save to the next. Paths are the file system's bytes.
struct SaveDialog {
  std::string title = QT_TRANSLATE_NOOP("core", "保存输入的数据为...");
  // Items 1 and 2 of the filter, as "label|pattern" pairs.
  std::string filter = QT_TRANSLATE_NOOP("core", "QL电测深数据格式(*.ves)|*.ves|DZD测深数据文件(*.dat)|*.dat");
  int filterIndex = 1;  // 1-based, as the filter items are numbered
  std::string fileName;  // proposed before, chosen after the dialog
  std::string initialDir = ".";
  // The choice selected when the append/replace question opens: Replace when the chosen file is
  // the one the survey was opened from (or last written whole to), else Append.
  AppendChoice proposedChoice = AppendChoice::Append;
};

// How long work (reading, merging and writing a big file) is stopped: the work asks between
// its phases and stops, changing nothing more, once the user has cancelled.
class WorkControl {
 public:
  virtual ~WorkControl() = default;
  virtual bool cancelled() const = 0;
  // How far the work has come: done of total parts; shown by the progress dialog.
  virtual void progress(std::size_t done, std::size_t total) const {
    (void)done;
    (void)total;
  }
};

class Questions {
 public:
  virtual ~Questions() = default;
  virtual Answer ask(const Message& message) = 0;
  // Shows the save dialog; on OK stores the chosen name and filter item and returns true; on
  // cancel returns false and leaves the dialog's state as it was.
  virtual bool chooseSaveFile(SaveDialog& dialog) = 0;
  // A folder chooser; nothing when cancelled.
  virtual std::optional<std::string> chooseFolder(const std::string& title, const std::string& startDir) = 0;
  // The append/replace question, opened with the save dialog's proposedChoice selected.
  virtual AppendChoice askAppendOrReplace() = 0;
  // Runs work that may take long and returns when it has ended; label says what it does
  // (UTF-8). The window runs it on another thread behind a progress dialog with Cancel and
  // goes on painting meanwhile; a question the work asks then comes from that thread. The work
  // must not change the survey. An exception of the work leaves runWork. Here: at once, never
  // cancelled.
  virtual void runWork(const std::string& label, const std::function<void(const WorkControl&)>& work) {
    (void)label;
    struct Never : WorkControl {
      bool cancelled() const override { return false; }
    } never;
    work(never);
  }
};
