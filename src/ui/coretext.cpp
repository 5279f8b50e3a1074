#include "ui/coretext.h"

#include <QCoreApplication>
#include <QList>
#include <QRegularExpression>
#include <algorithm>

#include "io/templates.h"
#include "session/datatypespec.h"

namespace {
constexpr const char* kContext = "core";

struct Pattern {
  const char* source;         // the template, as the core fills it
  QRegularExpression match;   // the template with each %n a lazy group, anchored
  QList<int> order;           // the argument number of each group, in the order they appear
};

// The templates from the most specific (most fixed text) to the least, so that a text filled
// from a template that contains another is read with the longer one.
const QList<Pattern>& Patterns() {
  static const QList<Pattern> patterns = [] {
    QList<Pattern> list;
    for (const char* source : tmpl::kAll) {
      const QString text = QString::fromUtf8(source);
      static const QRegularExpression placeholder(QStringLiteral("%([1-9])"));
      QString expression = QStringLiteral("^");
      QList<int> order;
      qsizetype at = 0;
      for (auto it = placeholder.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        expression += QRegularExpression::escape(text.mid(at, m.capturedStart() - at)) + QStringLiteral("(.*?)");
        order << m.captured(1).toInt();
        at = m.capturedEnd();
      }
      expression += QRegularExpression::escape(text.mid(at)) + QStringLiteral("$");
      list.append({source, QRegularExpression(expression, QRegularExpression::DotMatchesEverythingOption), order});
    }
    auto fixedLength = [](const Pattern& p) {
      return QString::fromUtf8(p.source).remove(QRegularExpression(QStringLiteral("%[1-9]"))).size();
    };
    std::stable_sort(list.begin(), list.end(),
                     [&](const Pattern& a, const Pattern& b) { return fixedLength(a) > fixedLength(b); });
    return list;
  }();
  return patterns;
}

bool Known(const QString& text, QString& translated) {
  const QByteArray source = text.toUtf8();
  translated = QCoreApplication::translate(kContext, source.constData());
  return translated != text;
}

QString Translate(const QString& text, int depth);

// A text filled from a template, translated whole; false when no template made it.
bool FromTemplate(const QString& text, int depth, QString& translated) {
  for (const Pattern& p : Patterns()) {
    const QRegularExpressionMatch m = p.match.match(text);
    if (!m.hasMatch()) continue;
    QString result = QCoreApplication::translate(kContext, p.source);
    // Each argument is put in once, by number: a part that itself holds "%1" is not filled again.
    QList<QString> parts(p.order.size());
    for (qsizetype i = 0; i < p.order.size(); ++i) parts[i] = Translate(m.captured(static_cast<int>(i + 1)), depth + 1);
    QString out;
    for (qsizetype i = 0; i < result.size(); ++i) {
      if (result[i] == QLatin1Char('%') && i + 1 < result.size() && result[i + 1] >= QLatin1Char('1') &&
          result[i + 1] <= QLatin1Char('9')) {
        const qsizetype k = p.order.indexOf(result[i + 1].digitValue());
        if (k >= 0) {
          out += parts[k];
          ++i;
          continue;
        }
      }
      out += result[i];
    }
    translated = out;
    return true;
  }
  return false;
}

QString Translate(const QString& text, int depth) {
  if (text.isEmpty()) return text;
  QString translated;
  if (Known(text, translated)) return translated;
  // Parts of parts are looked up whole only: a station name is not read as a template.
  if (depth > 2) return text;
  if (FromTemplate(text, depth, translated)) return translated;
  if (text.contains(QLatin1Char('\n'))) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) line = Translate(line, depth + 1);
    return lines.join(QLatin1Char('\n'));
  }
  return text;
}

// Whether a translation of the core's texts is installed: in the Chinese interface every text
// stays as it is, and nothing needs matching.
bool Translating() { return QCoreApplication::translate(kContext, tmpl::kStationCount) != QString::fromUtf8(tmpl::kStationCount); }
}  // namespace

QString CoreText(const QString& text) { return Translating() ? Translate(text, 0) : text; }

QString CoreText(const std::string& utf8) {
  return CoreText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

QString ColumnHeading(const DataTypeSpec& spec, int k) {
  const int g = GridColumnOf(spec.layout, k);
  if (g < 0 || static_cast<std::size_t>(g) >= spec.headers.size()) return QString();
  return CoreText(spec.headers[static_cast<std::size_t>(g)]);
}

QString AxisTitle(const DataTypeSpec& spec, int k) {
  const QString heading = ColumnHeading(spec, k);
  const QString unit = QString::fromUtf8(UnitOfColumn(k));
  return heading.isEmpty() || unit.isEmpty() ? heading : QStringLiteral("%1 (%2)").arg(heading, unit);
}
