#pragma once
// The help window: the program's own help document (Chinese or English, built in as Qt
// resources at :/help/help_<language>.html) with a contents list made from its headings and a
// search field. A newer document in the Help folder beside the program's folder is shown
// instead of the built-in one (ChooseHelpDocument); anything wrong with that file quietly
// leaves the built-in help in place.

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTextBrowser;

// The version stamp of a help document, <meta name="fieldinput-help-version" content="N">
// (attributes in either order, quotes ' or "), N a non-negative decimal integer; nothing when
// the document has no such stamp or its content is not such a number.
std::optional<int> HelpDocumentVersion(const QString& html);

// The help document shown for a language.
struct HelpDocument {
  QString html;
  bool fromHelpFolder = false;  // the file in the Help folder, not the built-in document
};

// The document to show: the Help folder's file when its bytes were read (overrideBytes set),
// are valid UTF-8 (a byte-order mark allowed), hold more than white space, and carry a version
// stamp higher than the built-in document's; in every other case the built-in document.
HelpDocument ChooseHelpDocument(const QString& builtIn, const std::optional<QByteArray>& overrideBytes);

// "en" for English; any other code is Chinese, "zh", the program's own language.
QString HelpLanguage(const QString& code);

// The built-in document of a language (HelpLanguage(code)), from the resources.
QString BuiltInHelp(const QString& code);

// The document shown for a language: BuiltInHelp, or the newer file help_<language>.html in
// helpFolder (empty: none). A file that is missing, cannot be read, or is larger than a help
// document can reasonably be is not used.
HelpDocument LoadHelpDocument(const QString& code, const QString& helpFolder);

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  // language: "zh" or "en" (see HelpLanguage); helpFolder: the Help folder beside the
  // program's folder, where a newer document may be found (empty: only the built-in ones).
  explicit HelpWindow(const QString& language, const QString& helpFolder = QString(), QWidget* parent = nullptr);

  // Loads the document of another language, builds the contents again and shows the top.
  void setLanguage(const QString& language);
  QString language() const { return language_; }
  // Whether the shown document came from the Help folder.
  bool usesHelpFolder() const { return fromHelpFolder_; }

  // Shows the section whose heading has the given id; false when there is none.
  bool showSection(const QString& id);
  // Finds the next occurrence of the search field's text after the cursor, starting again at
  // the top when there is none below; says in the status label when there is none at all.
  // True when found.
  bool findNext();

  QListWidget* contents() const { return contents_; }
  QTextBrowser* view() const { return view_; }
  QLineEdit* searchField() const { return search_; }
  QLabel* statusLabel() const { return status_; }

 private:
  void load();
  void buildContents();
  void showItem(QListWidgetItem* item);
  void setStatus(const QString& text, bool problem);

  QString language_;
  QString helpFolder_;
  bool fromHelpFolder_ = false;
  QListWidget* contents_ = nullptr;
  QTextBrowser* view_ = nullptr;
  QLineEdit* search_ = nullptr;
  QLabel* status_ = nullptr;
};
