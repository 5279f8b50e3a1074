// Opening data files into the survey; the file, folders and default spacings the window
// remembers; the session as the recovery file keeps it.

#include "io/filekind.h"
#include "io/folders.h"
#include "io/textfile.h"
#include "session/survey.h"
#include "io/templates.h"

namespace {
const char* const kOpenCaption = QT_TRANSLATE_NOOP("core", "打开文件");
const char* const kOpeningLabel = QT_TRANSLATE_NOOP("core", "正在读取文件…");
// Said before the question whether to open what was read of a file read only in part.
const char* const kPartNotSaved = QT_TRANSLATE_NOOP("core", "以后保存时，文件中没有读入的部分不会写进保存的文件。");

// The message of a file read in part, with the warning before its closing question.
std::string PartialText(const std::string& message) {
  const std::size_t question = message.rfind("\n\n");
  if (question == std::string::npos) return message + "\n" + kPartNotSaved;
  return message.substr(0, question) + "\n" + kPartNotSaved + message.substr(question);
}

std::string PathList(const std::vector<std::string>& paths) {
  std::string list;
  for (const std::string& path : paths) list += (list.empty() ? "" : "\n") + path;
  return list;
}
}  // namespace

bool Survey::open(const std::vector<std::string>& paths) {
  Batch batch(*this);
  if (paths.empty()) return false;
  if (!mayDiscardList()) return false;
  // Read only now: a save asked for above may have written the very file being opened.
  // Read off the window's thread, piece by piece, asking before each piece whether the user
  // has cancelled; cancelled, nothing is opened.
  OpenResult opened;
  bool cancelled = false;
  runWork(kOpeningLabel, [&](const WorkControl& control) {
    OpenControl reading;
    reading.stop = [&control] { return control.cancelled(); };
    opened = ReadSurveyFilesAt(paths, reading);
    cancelled = opened.cancelled || control.cancelled();
  });
  if (cancelled) return false;
  switch (opened.status) {
    case ReadStatus::Complete: break;
    case ReadStatus::Partial: {
      Message m = Message::plain(kOpenCaption, PartialText(opened.message), Message::Icon::Warning,
                                 Message::Buttons::YesNo);
      m.details = PathList(paths);
      if (ask(m) != Answer::Yes) return false;
      break;
    }
    default: {
      Message m = Message::plain(kOpenCaption, opened.message, Message::Icon::Warning, Message::Buttons::Ok);
      m.details = PathList(paths);
      ask(m);
      return false;
    }
  }
  load(opened.type, std::move(opened.stations), 0, true);
  if (!stations_.empty()) showStation(0);
  file_ = paths.front();
  // Every unit read is in the list (what could not be read was declined or accepted as lost):
  // a save into the file replaces it.
  replaceProposed_ = true;
  setLastFolder(type_, FolderOf(file_));
  saveDialog_.fileName = file_;
  if (spec().save == SaveFormat::Ves) saveDialog_.filterIndex = 1;
  touch(change::kSaved);
  for (const Notice& n : opened.notices) ask(noticeMessage(n));
  return true;
}

void Survey::rememberSavedFile(const std::string& path, bool whole) {
  file_ = path;
  replaceProposed_ = whole;
  setLastFolder(type_, FolderOf(path));
  touch(change::kSaved);
}

void Survey::forgetFile() {
  if (file_.empty() && !replaceProposed_) return;
  file_.clear();
  replaceProposed_ = false;
  touch(change::kSaved);
}

const std::string& Survey::lastFolder(DataType type) const {
  return folders_[static_cast<std::size_t>(DataTypeOfItem(type))];
}

void Survey::setLastFolder(DataType type, std::string folder) {
  folders_[static_cast<std::size_t>(DataTypeOfItem(type))] = std::move(folder);
}

std::string Survey::saveStartFolder() const {
  if (std::string folder = FolderOf(file_); !folder.empty()) return folder;
  if (!lastFolder(type_).empty()) return lastFolder(type_);
  return DataDir(programPath_);
}

bool Survey::setDefaultSpacings(std::vector<std::string> spacings) {
  if (!checkSpacingList(spacings).empty()) return false;
  defaultSpacings_ = std::move(spacings);
  return true;
}

SessionState Survey::sessionState() const {
  SessionState state;
  state.type = type_;
  state.currentIndex = currentIndex_;
  state.saved = saved_;
  state.browsing = browsing_;
  state.status = status_;
  state.form = form_;
  if (browsing_) state.shownForm = shownForm_;
  state.file = file_;
  state.replaceProposed = replaceProposed_;
  return state;
}

void Survey::restore(SessionState state, StationList stations) {
  Batch batch(*this);
  type_ = DataTypeOfItem(state.type);
  stations_ = std::move(stations);
  noteStations(StationListChange::Kind::Whole, stations_.size());
  currentIndex_ = state.currentIndex;
  saved_ = state.saved;
  browsing_ = state.browsing;
  status_ = std::move(state.status);
  form_ = std::move(state.form);
  shownForm_ = std::move(state.shownForm);
  file_ = std::move(state.file);
  replaceProposed_ = state.replaceProposed;
  noteWholeGrid();
  touch(change::kAll);
  // What was done before the crash cannot be taken back: the history starts at the restored state.
  forgetHistory(saved_);
}
