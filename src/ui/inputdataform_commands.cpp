// The window's commands hand over to the survey; the survey's questions come back here and are
// answered with the dialogs.
#include <QCoreApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMimeData>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QThread>
#include <QUrl>
#include <algorithm>

#include "io/folders.h"
#include "ui/coretext.h"
#include "ui/helpwindow.h"
#include "ui/language.h"
#include "ui/modelstate.h"
#include "ui/inputdataform.h"
#include "ui/stringgrid.h"
#include "ui/tabout.h"
#include "ui/uitext.h"
#include "ui/widgets.h"
#include "ui/workprogress.h"

void TInputDataForm::finishEditing() { SG->commitEdit(); }

// ---- Commands ----

void TInputDataForm::chooseDataType() {
  finishEditing();
  // A switch that was not made (the user stayed, or the save did not complete) shows the
  // type the survey still has.
  if (!survey_->switchType(DataTypeOfItem(DataType->itemIndex()))) DataType->setItemIndex(survey_->type());
}

void TInputDataForm::commitStation() {
  finishEditing();
  if (!survey_->commit()) return;
  // The next station's first reading goes into the first reading cell, wherever the cursor was.
  const std::vector<int>& measured = survey_->spec().measuredColumns;
  if (!measured.empty() && SG->rowCount() > 1) SG->setCurrentCell(measured.front(), 1);
}

void TInputDataForm::updateStation() {
  finishEditing();
  survey_->update();
}

void TInputDataForm::deleteStation() {
  finishEditing();
  survey_->deleteStation();
}

void TInputDataForm::showPrevious() {
  finishEditing();
  survey_->previous();
}

void TInputDataForm::showNext() {
  finishEditing();
  survey_->next();
}

void TInputDataForm::insertRow() {
  finishEditing();
  survey_->insertRow(SG->currentDataRow());
}

void TInputDataForm::deleteRow() {
  finishEditing();
  survey_->deleteRow(SG->currentDataRow());
}

void TInputDataForm::clearValues() {
  finishEditing();
  survey_->clearValues();
}

void TInputDataForm::fillDefaultSpacings() {
  finishEditing();
  survey_->defaultSpacings();
}

void TInputDataForm::branchChosen() {
  finishEditing();
  survey_->chooseBranch(AB->currentIndex());
}

void TInputDataForm::startNewLine() {
  finishEditing();
  survey_->newLine();
}

bool TInputDataForm::saveSurvey() {
  finishEditing();
  return survey_->save();
}

bool TInputDataForm::saveSurveyAs() {
  finishEditing();
  return survey_->saveAs();
}

void TInputDataForm::closeSurvey() {
  finishEditing();
  survey_->closeSurvey();
}

void TInputDataForm::quit() { close(); }

// ---- The grid's clipboard and the undo history ----

void TInputDataForm::pasteCells() {
  finishEditing();
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  const QString text = mime != nullptr && mime->hasText() ? mime->text() : QString();
  // The block's first cell goes to the selection's top-left cell, or the first value cell.
  const CellRange at = SG->selectedCells().value_or(CellRange{});
  if (const std::optional<CellRange> pasted = survey_->paste(at.left, at.top, text.toStdString()))
    SG->selectCells(*pasted);
}

void TInputDataForm::copyCells() { takeCells(false); }

void TInputDataForm::cutCells() { takeCells(true); }

void TInputDataForm::takeCells(bool cut) {
  finishEditing();
  const std::optional<CellRange> range = SG->selectedCells();
  if (!range) return;
  const std::string text = cut ? survey_->cut(*range) : survey_->copy(*range);
  if (!text.empty()) QGuiApplication::clipboard()->setText(Text(text));
}

void TInputDataForm::clearCells() {
  finishEditing();
  if (const std::optional<CellRange> range = SG->selectedCells()) survey_->clearCells(*range);
}

void TInputDataForm::undoStep() {
  finishEditing();
  survey_->undo();
}

void TInputDataForm::redoStep() {
  finishEditing();
  survey_->redo();
}

bool TInputDataForm::leaveX() { return survey_->checkX(); }
bool TInputDataForm::leaveY() { return survey_->checkY(); }
bool TInputDataForm::leaveCount() { return survey_->checkCount(); }
bool TInputDataForm::enterGrid() { return survey_->checkGridEntry(); }

// ---- The survey's questions ----

Answer TInputDataForm::ask(const Message& m) {
  if (QThread::currentThread() != thread()) {
    // Asked by long work from its own thread: shown by the window's.
    Answer answer = Answer::Cancel;
    QMetaObject::invokeMethod(this, [&] { answer = ask(m); }, Qt::BlockingQueuedConnection);
    return answer;
  }
  auto icon = [](Message::Icon i) {
    switch (i) {
      case Message::Icon::Warning: return Dialogs::Icon::Warning;
      case Message::Icon::Error: return Dialogs::Icon::Error;
      case Message::Icon::Question: return Dialogs::Icon::Question;
      case Message::Icon::None: break;
    }
    return Dialogs::Icon::None;
  };
  auto buttons = [](Message::Buttons b) {
    switch (b) {
      case Message::Buttons::OkCancel: return Dialogs::Buttons::OkCancel;
      case Message::Buttons::YesNo: return Dialogs::Buttons::YesNo;
      case Message::Buttons::YesNoCancel: return Dialogs::Buttons::YesNoCancel;
      case Message::Buttons::ReplaceSkipCancel: return Dialogs::Buttons::ReplaceSkipCancel;
      case Message::Buttons::Ok: break;
    }
    return Dialogs::Buttons::Ok;
  };
  Dialogs::Answer answer = Dialogs::Answer::Ok;
  switch (m.kind) {
    case Message::Kind::Error: showError(CoreText(m.text), CoreText(m.details)); break;
    case Message::Kind::Simple:
      answer = dialogs_.message(this, AppTitle(), CoreText(m.text), icon(m.icon), buttons(m.buttons), CoreText(m.details));
      break;
    case Message::Kind::Plain:
      answer = dialogs_.message(m.owned ? this : nullptr, CoreText(m.caption), CoreText(m.text), icon(m.icon),
                                buttons(m.buttons), CoreText(m.details));
      break;
  }
  // The message names what to correct: the focus goes there once it is read.
  switch (m.focus.kind) {
    case FocusTarget::Kind::Field: edit(m.focus.field)->setFocus(); break;
    case FocusTarget::Kind::Cell:
      SG->setFocus();
      SG->setCurrentCell(m.focus.col, m.focus.row);
      break;
    case FocusTarget::Kind::None: break;
  }
  switch (answer) {
    case Dialogs::Answer::Ok: return Answer::Ok;
    case Dialogs::Answer::Cancel: return Answer::Cancel;
    case Dialogs::Answer::Yes: return Answer::Yes;
    case Dialogs::Answer::No: return Answer::No;
    case Dialogs::Answer::Replace: return Answer::Replace;
    case Dialogs::Answer::Skip: return Answer::Skip;
  }
  return Answer::Cancel;
}

bool TInputDataForm::chooseSaveFile(SaveDialog& dialog) {
  SaveDialogState state;
  state.title = CoreText(dialog.title);
  state.filter = CoreText(dialog.filter);
  state.filterIndex = dialog.filterIndex;
  state.fileName = ShownPath(dialog.fileName);
  state.initialDir = ShownPath(dialog.initialDir);
  if (!dialogs_.saveFile(this, state)) return false;
  dialog.fileName = DiskPath(state.fileName);
  dialog.filterIndex = state.filterIndex;
  return true;
}

std::optional<std::string> TInputDataForm::chooseFolder(const std::string& title, const std::string& startDir) {
  const QString folder = dialogs_.chooseFolder(this, CoreText(title), ShownPath(startDir));
  if (folder.isEmpty()) return std::nullopt;
  return DiskPath(folder);
}

AppendChoice TInputDataForm::askAppendOrReplace() {
  const bool replace = survey_->saveDialog().proposedChoice == AppendChoice::Replace;
  switch (dialogs_.askAppendOrReplace(replace ? Dialogs::AppendChoice::Replace : Dialogs::AppendChoice::Append)) {
    case Dialogs::AppendChoice::Append: return AppendChoice::Append;
    case Dialogs::AppendChoice::Replace: return AppendChoice::Replace;
    case Dialogs::AppendChoice::Cancel: break;
  }
  return AppendChoice::Cancel;
}

void TInputDataForm::runWork(const std::string& label, const std::function<void(const WorkControl&)>& work) {
  ++working_;
  struct Done {
    int& count;
    ~Done() { --count; }
  } done{working_};
  RunWork(this, Text(label), work);
}

// ---- Help and About ----

void TInputDataForm::showHelp() {
  // One help window, kept while the program runs: opened again it comes to the front as the
  // user left it. A newer document in the Help folder beside the program's folder is shown
  // instead of the built-in one.
  if (helpWindow_ == nullptr)
    helpWindow_ = new HelpWindow(LanguageCode(CurrentLanguage()), ShownPath(HelpDir(DiskPath(programPath_))), this);
  helpWindow_->show();
  helpWindow_->raise();
  helpWindow_->activateWindow();
}

void TInputDataForm::showAbout() {
  TAbout about(this);
  about.setWindowTitle(QCoreApplication::translate("TInputDataForm", "电法勘探数据处理软件..."));
  about.exec();
}

// ---- Interpretation ----

namespace {
const char* const kFitAllCaption = QT_TRANSLATE_NOOP("TInputDataForm", "拟合全部测点");
const char* const kFitAllProfile = QT_TRANSLATE_NOOP("TInputDataForm", "剖面数据没有层状模型。");
const char* const kFitAllNone = QT_TRANSLATE_NOOP("TInputDataForm", "还没有插入的测点。");
const char* const kFitAllWhich = QT_TRANSLATE_NOOP(
    "TInputDataForm", "有些测点已经有模型。是否也重新拟合它们？\n\n是：拟合全部测点\n否：只拟合没有模型的测点");
}  // namespace

void TInputDataForm::fitAllStations() {
  finishEditing();
  auto tr = [](const char* text) { return QCoreApplication::translate("TInputDataForm", text); };
  const QString caption = tr(kFitAllCaption);
  if (!IsSoundingType(survey_->type())) {
    dialogs_.message(this, caption, tr(kFitAllProfile), Dialogs::Icon::None, Dialogs::Buttons::Ok);
    return;
  }
  const std::vector<sdata>& stations = survey_->stations();
  if (stations.empty()) {
    dialogs_.message(this, caption, tr(kFitAllNone), Dialogs::Icon::None, Dialogs::Buttons::Ok);
    return;
  }
  // Stations that have a model keep it unless the user asks to fit them again.
  bool every = true;
  if (std::any_of(stations.begin(), stations.end(), [](const sdata& s) { return !s.Model.empty(); })) {
    const Dialogs::Answer a =
        dialogs_.message(this, caption, tr(kFitAllWhich), Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel);
    if (a == Dialogs::Answer::Cancel) return;
    every = a == Dialogs::Answer::Yes;
  }
  FitOptions options;
  options.layers = Model->layers();
  survey_->fitAllStations(every, options);
}
