#include "ui/helpwindow.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSplitter>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

namespace {
const QString kStampName = QStringLiteral("fieldinput-help-version");
// A help document is some tens of kilobytes; a file far beyond that is not one.
constexpr qint64 kMaxHelpFileBytes = qint64{8} << 20;
// Item data of the contents list: the heading's id and its block in the document.
constexpr int kIdRole = Qt::UserRole;
constexpr int kBlockRole = Qt::UserRole + 1;
// The look of every help document, the built-in ones and those of the Help folder alike.
const QString kStyle = QStringLiteral(
    "body { font-size: 11pt; }"
    "h1 { font-size: 17pt; }"
    "h2 { font-size: 14pt; margin-top: 18px; }"
    "h3 { font-size: 12pt; margin-top: 12px; }"
    "td, th { padding: 3px 6px; }"
    "th { background-color: #e8e8e8; }"
    "code { font-family: monospace; }");

// The value of an attribute of one tag's text, or nothing when the tag has no such attribute.
std::optional<QString> AttributeOf(const QString& tag, const QString& name) {
  const QRegularExpression attribute(
      QStringLiteral("\\b%1\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')").arg(QRegularExpression::escape(name)),
      QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch m = attribute.match(tag);
  if (!m.hasMatch()) return std::nullopt;
  return m.capturedStart(1) >= 0 ? m.captured(1) : m.captured(2);
}
}  // namespace

std::optional<int> HelpDocumentVersion(const QString& html) {
  static const QRegularExpression metaTag(QStringLiteral("<meta\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression number(QStringLiteral("^\\s*([0-9]{1,9})\\s*$"));
  for (auto it = metaTag.globalMatch(html); it.hasNext();) {
    const QString tag = it.next().captured(0);
    const std::optional<QString> name = AttributeOf(tag, QStringLiteral("name"));
    if (!name || name->trimmed().compare(kStampName, Qt::CaseInsensitive) != 0) continue;
    const std::optional<QString> content = AttributeOf(tag, QStringLiteral("content"));
    if (!content) return std::nullopt;
    const QRegularExpressionMatch m = number.match(*content);
    if (!m.hasMatch()) return std::nullopt;
    return m.captured(1).toInt();
  }
  return std::nullopt;
}

HelpDocument ChooseHelpDocument(const QString& builtIn, const std::optional<QByteArray>& overrideBytes) {
  HelpDocument builtInDocument{builtIn, false};
  if (!overrideBytes) return builtInDocument;
  // Stateless: a character cut off at the end of the file is an error, not one left pending.
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder.decode(*overrideBytes);
  if (decoder.hasError() || text.trimmed().isEmpty()) return builtInDocument;
  const std::optional<int> version = HelpDocumentVersion(text);
  if (!version) return builtInDocument;
  // A built-in document always carries its stamp; without one, any stamped file is newer.
  const int builtInVersion = HelpDocumentVersion(builtIn).value_or(-1);
  if (*version <= builtInVersion) return builtInDocument;
  return {text, true};
}

QString HelpLanguage(const QString& code) {
  return code.trimmed().compare(QStringLiteral("en"), Qt::CaseInsensitive) == 0 ? QStringLiteral("en")
                                                                                 : QStringLiteral("zh");
}

QString BuiltInHelp(const QString& code) {
  QFile file(QStringLiteral(":/help/help_%1.html").arg(HelpLanguage(code)));
  if (!file.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(file.readAll());
}

HelpDocument LoadHelpDocument(const QString& code, const QString& helpFolder) {
  const QString builtIn = BuiltInHelp(code);
  if (helpFolder.isEmpty()) return {builtIn, false};
  const QString path = QDir(helpFolder).filePath(QStringLiteral("help_%1.html").arg(HelpLanguage(code)));
  // Only a regular file is opened: a pipe or device there would hold the window.
  const QFileInfo info(path);
  if (!info.isFile() || info.size() > kMaxHelpFileBytes) return {builtIn, false};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {builtIn, false};
  QByteArray bytes = file.read(kMaxHelpFileBytes + 1);
  if (file.error() != QFileDevice::NoError || bytes.size() > kMaxHelpFileBytes) return {builtIn, false};
  return ChooseHelpDocument(builtIn, bytes);
}

HelpWindow::HelpWindow(const QString& language, const QString& helpFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), helpFolder_(helpFolder) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(tr("帮助 - 手工输入野外电法观测数据"));

  auto* layout = new QVBoxLayout(this);
  auto* searchRow = new QHBoxLayout();
  auto* searchLabel = new QLabel(tr("查找(&F)："), this);
  search_ = new QLineEdit(this);
  search_->setObjectName(QStringLiteral("HelpSearch"));
  search_->setPlaceholderText(tr("输入要查找的文字，按 Enter 查找下一处"));
  search_->setClearButtonEnabled(true);
  searchLabel->setBuddy(search_);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("HelpStatus"));
  searchRow->addWidget(searchLabel);
  searchRow->addWidget(search_, 1);
  searchRow->addWidget(status_, 1);
  layout->addLayout(searchRow);

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->setObjectName(QStringLiteral("HelpSplitter"));
  splitter->setChildrenCollapsible(false);
  contents_ = new QListWidget(splitter);
  contents_->setObjectName(QStringLiteral("HelpContents"));
  view_ = new QTextBrowser(splitter);
  view_->setObjectName(QStringLiteral("HelpView"));
  view_->setOpenExternalLinks(true);
  view_->document()->setDefaultStyleSheet(kStyle);
  splitter->addWidget(contents_);
  splitter->addWidget(view_);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  layout->addWidget(splitter, 1);

  connect(contents_, &QListWidget::itemClicked, this, &HelpWindow::showItem);
  connect(contents_, &QListWidget::itemActivated, this, &HelpWindow::showItem);
  connect(search_, &QLineEdit::returnPressed, this, [this] { findNext(); });
  connect(search_, &QLineEdit::textEdited, this, [this] { setStatus(QString(), false); });

  resize(960, 660);
  setLanguage(language);
}

void HelpWindow::setLanguage(const QString& language) {
  language_ = HelpLanguage(language);
  load();
}

void HelpWindow::load() {
  const HelpDocument document = LoadHelpDocument(language_, helpFolder_);
  fromHelpFolder_ = document.fromHelpFolder;
  view_->setHtml(document.html);
  buildContents();
  view_->moveCursor(QTextCursor::Start);
  view_->verticalScrollBar()->setValue(0);
  setStatus(QString(), false);
}

void HelpWindow::buildContents() {
  contents_->clear();
  const QTextDocument* document = view_->document();
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    const int level = block.blockFormat().headingLevel();
    // The document's title (level 1) heads the view itself; sections and their parts are listed.
    if (level < 2 || level > 3) continue;
    const QString title = block.text().trimmed();
    if (title.isEmpty()) continue;
    QString id;
    for (auto it = block.begin(); !it.atEnd() && id.isEmpty(); ++it) {
      const QStringList names = it.fragment().charFormat().anchorNames();
      if (!names.isEmpty()) id = names.constFirst();
    }
    auto* item = new QListWidgetItem(level == 3 ? QStringLiteral("    ") + title : title, contents_);
    item->setData(kIdRole, id);
    item->setData(kBlockRole, block.blockNumber());
    if (level == 2) {
      QFont bold = item->font();
      bold.setBold(true);
      item->setFont(bold);
    }
  }
  // The list is as wide as its longest entry, within reason; the document takes the rest.
  const int wanted = contents_->sizeHintForColumn(0) + 2 * contents_->frameWidth() +
                     contents_->verticalScrollBar()->sizeHint().width() + 8;
  if (auto* splitter = qobject_cast<QSplitter*>(contents_->parentWidget())) {
    const int total = std::max(width(), 600);
    const int list = std::clamp(wanted, 150, total / 2);
    splitter->setSizes({list, total - list});
  }
}

bool HelpWindow::showSection(const QString& id) {
  for (int i = 0; i < contents_->count(); ++i) {
    QListWidgetItem* item = contents_->item(i);
    if (item->data(kIdRole).toString() != id) continue;
    contents_->setCurrentItem(item);
    showItem(item);
    return true;
  }
  return false;
}

void HelpWindow::showItem(QListWidgetItem* item) {
  if (item == nullptr) return;
  const QTextBlock block = view_->document()->findBlockByNumber(item->data(kBlockRole).toInt());
  if (!block.isValid()) return;
  // The cursor goes to the heading, so that a search goes on from the section shown; the
  // heading is scrolled to the top of the view.
  view_->setTextCursor(QTextCursor(block));
  const QRectF box = view_->document()->documentLayout()->blockBoundingRect(block);
  view_->verticalScrollBar()->setValue(static_cast<int>(box.top()));
}

bool HelpWindow::findNext() {
  const QString text = search_->text();
  if (text.isEmpty()) {
    setStatus(QString(), false);
    return false;
  }
  if (view_->find(text)) {
    setStatus(QString(), false);
    return true;
  }
  const QTextCursor before = view_->textCursor();
  const int scrolled = view_->verticalScrollBar()->value();
  view_->moveCursor(QTextCursor::Start);
  if (view_->find(text)) {
    setStatus(tr("已到文档末尾，从开头继续查找。"), false);
    return true;
  }
  // Nothing found: the view stays as the user had it.
  view_->setTextCursor(before);
  view_->verticalScrollBar()->setValue(scrolled);
  setStatus(tr("找不到“%1”。").arg(text), true);
  return false;
}

void HelpWindow::setStatus(const QString& text, bool problem) {
  status_->setText(text);
  status_->setStyleSheet(problem ? QStringLiteral("color: #b00000; font-weight: bold;") : QString());
  status_->setProperty("notFound", problem);
}
