// Opening files (文件 › 打开, the recent files, dropped files, the command line), the title with
// the file's name and the modified mark, and what is remembered between runs.
#include <QCoreApplication>
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "io/folders.h"
#include "ui/coretext.h"
#include "ui/inputdataform.h"
#include "ui/widgets.h"
#include "ui/settings.h"
#include "ui/uitext.h"

namespace {
QString Tr(const char* text) { return QCoreApplication::translate("TInputDataForm", text); }
const char* const kTitle = QT_TRANSLATE_NOOP("TInputDataForm", "输入野外数据...");
const char* const kOpenTitle = QT_TRANSLATE_NOOP("TInputDataForm", "打开数据文件");
const char* const kOpenFilter = QT_TRANSLATE_NOOP(
    "TInputDataForm", "野外数据文件 (*.ves *.dat *.VES *.DAT);;QL电测深数据格式 (*.ves *.VES);;数据文件 (*.dat *.DAT);;所有文件 (*)");

// A folder as the survey keeps it: with its closing separator.
std::string FolderPath(const QString& folder) {
  if (folder.isEmpty()) return std::string();
  return DiskPath(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

QStringList LocalFiles(const QMimeData* mime) {
  QStringList files;
  if (mime == nullptr || !mime->hasUrls()) return files;
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile()) files << url.toLocalFile();
  return files;
}
}  // namespace

void TInputDataForm::buildFileMenu() {
  OpenAction = new QAction(QCoreApplication::translate("TInputDataForm", "打开(&O)..."), this);
  OpenAction->setObjectName(QStringLiteral("OpenAction"));
  OpenAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  RecentMenu = new QMenu(QCoreApplication::translate("TInputDataForm", "最近打开的文件"), this);
  RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
  RecentMenu->setToolTipsVisible(true);
  SettingsAction = new QAction(QCoreApplication::translate("TInputDataForm", "默认极距设置(&T)..."), this);
  SettingsAction->setObjectName(QStringLiteral("SettingsAction"));
  // 打开 and the recent files head the menu; the settings stand before 退出.
  N1->insertAction(VES1, OpenAction);
  N1->insertMenu(VES1, RecentMenu);
  N1->insertSeparator(VES1);
  N1->insertAction(N7, SettingsAction);
  N1->insertSeparator(N7);
  connect(OpenAction, &QAction::triggered, this, [this] { guarded([this] { openFromDialog(); }); });
  connect(SettingsAction, &QAction::triggered, this, [this] { guarded([this] { editDefaultSpacings(); }); });
  setAcceptDrops(true);
  showRecentFiles();
  // The operator, instrument and work area are remembered as the user last typed them (not as
  // a station shown or a file opened puts them there).
  for (QLineEdit* e : {EO, EI, EW}) {
    connect(e, &QLineEdit::textEdited, this, [this, e](const QString& text) {
      const Field field = e == EO ? Field::EO : e == EI ? Field::EI : Field::EW;
      if (settings_ != nullptr) settings_->setFieldText(field, text);
    });
  }
}

// ---- Opening ----

bool TInputDataForm::openFiles(const QStringList& paths) {
  finishEditing();
  if (paths.isEmpty()) return false;
  QStringList absolute;
  std::vector<std::string> disk;
  for (const QString& path : paths) {
    absolute << QFileInfo(path).absoluteFilePath();
    disk.push_back(DiskPath(absolute.constLast()));
  }
  if (!survey_->open(disk)) return false;
  QStringList recent = recent_;
  for (auto it = absolute.crbegin(); it != absolute.crend(); ++it) recent = WithRecentFile(recent, *it);
  setRecentFiles(recent);
  return true;
}

void TInputDataForm::openFromDialog() {
  finishEditing();
  const std::string& folder = survey_->lastFolder(survey_->type());
  const QString dir = ShownPath(folder.empty() ? DataDir(programPath_.toStdString()) : folder);
  const QStringList chosen = dialogs_.openFiles(this, Tr(kOpenTitle), dir, Tr(kOpenFilter));
  if (!chosen.isEmpty()) openFiles(chosen);
}

void TInputDataForm::openRecent(const QString& path) {
  if (!QFileInfo::exists(path)) {
    QStringList recent = recent_;
    recent.removeAll(path);
    setRecentFiles(recent);
    dialogs_.message(this, AppTitle(), QCoreApplication::translate("TInputDataForm", "文件 %1 已不存在，已从最近打开的文件中删除。").arg(path),
                     Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
    return;
  }
  openFiles({path});
}

void TInputDataForm::dragEnterEvent(QDragEnterEvent* event) {
  if (!LocalFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TInputDataForm::dropEvent(QDropEvent* event) {
  const QStringList files = LocalFiles(event->mimeData());
  if (files.isEmpty()) return;
  event->acceptProposedAction();
  // Opened once the drop is over: the questions opening may ask must not hold the drag source.
  QTimer::singleShot(0, this, [this, files] { guarded([this, files] { openFiles(files); }); });
}

// ---- Recent files ----

void TInputDataForm::setRecentFiles(const QStringList& files) {
  recent_ = files;
  showRecentFiles();
  if (settings_ != nullptr) {
    settings_->setRecentFiles(recent_);
    settings_->sync();
  }
}

void TInputDataForm::showRecentFiles() {
  RecentMenu->clear();
  if (recent_.isEmpty()) {
    QAction* none = RecentMenu->addAction(QCoreApplication::translate("TInputDataForm", "（无）"));
    none->setObjectName(QStringLiteral("NoRecentFiles"));
    none->setEnabled(false);
    return;
  }
  for (int i = 0; i < recent_.size(); ++i) {
    const QString path = recent_[i];
    QAction* item = RecentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
    item->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
    item->setToolTip(path);
    item->setData(path);
    connect(item, &QAction::triggered, this, [this, path] { guarded([this, path] { openRecent(path); }); });
  }
}

// ---- Title ----

void TInputDataForm::showTitle() {
  const std::string& file = survey_->file();
  const QString title = file.empty() ? Tr(kTitle) + QStringLiteral("[*]")
                                     : QFileInfo(ShownPath(file)).fileName() + QStringLiteral("[*] - ") + Tr(kTitle);
  if (windowTitle() != title) setWindowTitle(title);
  setWindowModified(survey_->needsSaveBeforeDiscard());
}

// ---- Settings ----

void TInputDataForm::editDefaultSpacings() {
  finishEditing();
  auto texts = [](const std::vector<std::string>& list) {
    QStringList out;
    for (const std::string& s : list) out << QString::fromStdString(s);
    return out;
  };
  const QStringList builtIn = texts(DefaultSpacings());
  const std::optional<QStringList> chosen =
      dialogs_.editDefaultSpacings(this, texts(survey_->defaultSpacingTexts()), builtIn);
  if (!chosen) return;
  std::vector<std::string> list;
  for (const QString& s : *chosen) list.push_back(s.toStdString());
  if (!survey_->setDefaultSpacings(list)) {
    dialogs_.message(this, AppTitle(), CoreText(Survey::checkSpacingList(list)), Dialogs::Icon::Warning,
                     Dialogs::Buttons::Ok);
    return;
  }
  if (settings_ == nullptr) return;
  if (*chosen == builtIn) {
    settings_->resetDefaultSpacings();
  } else {
    settings_->setDefaultSpacings(*chosen);
  }
  settings_->sync();
}

void TInputDataForm::useSettings(AppSettings* settings) {
  settings_ = nullptr;  // nothing is written back while the remembered values are put in place
  if (settings == nullptr) return;
  if (const std::optional<QStringList> spacings = settings->defaultSpacings()) {
    std::vector<std::string> list;
    for (const QString& s : *spacings) list.push_back(s.toStdString());
    survey_->setDefaultSpacings(list);
  }
  for (int t = dtSounding; t <= dtCombinedProfile; ++t) {
    const auto type = static_cast<::DataType>(t);
    survey_->setLastFolder(type, FolderPath(settings->folder(type)));
  }
  if (const std::optional<::DataType> type = settings->dataType()) survey_->switchType(*type);
  if (survey_->spec().rows == RowTemplate::DefaultSpacings) survey_->defaultSpacings();
  // The count's arrows start from the number of default spacings; the labels stay as the
  // window was built unless the remembered type changed them.
  if (survey_->spec().rows == RowTemplate::DefaultSpacings)
    NUD->setPosition(static_cast<int>(survey_->defaultSpacingTexts().size()));
  for (int f = 0; f < static_cast<int>(kFieldCount); ++f) {
    const auto field = static_cast<Field>(f);
    if (const std::optional<QString> text = settings->fieldText(field)) survey_->editField(field, text->toStdString());
  }
  recent_ = settings->recentFiles();
  showRecentFiles();
  settings_ = settings;
}

void TInputDataForm::rememberSettings(unsigned changes) {
  if (settings_ == nullptr) return;
  bool sync = false;
  if ((changes & change::kType) && settings_->dataType() != survey_->type()) {
    settings_->setDataType(survey_->type());
    sync = true;
  }
  for (int t = dtSounding; t <= dtCombinedProfile; ++t) {
    const auto type = static_cast<::DataType>(t);
    const std::string& folder = survey_->lastFolder(type);
    if (!folder.empty() && FolderPath(settings_->folder(type)) != folder) {
      settings_->setFolder(type, ShownPath(folder));
      sync = true;
    }
  }
  if (sync) settings_->sync();
}

void TInputDataForm::chooseLanguage(UiLanguage language) {
  LanguageZh->setChecked(language == UiLanguage::Chinese);
  LanguageEn->setChecked(language == UiLanguage::English);
  if (settings_ != nullptr) {
    settings_->setLanguage(language);
    settings_->sync();
  }
  if (language == CurrentLanguage()) return;
  // Said in both languages: the user may not read the one the window is in.
  const QString text = language == UiLanguage::English
                           ? QStringLiteral("下次启动程序时，界面将改用英文。\nThe interface will be in English the next time the program starts.")
                           : QStringLiteral("下次启动程序时，界面将改用中文。\nThe interface will be in Chinese the next time the program starts.");
  dialogs_.message(this, QStringLiteral("语言/Language"), text, Dialogs::Icon::None, Dialogs::Buttons::Ok);
}
