#include "ui/gbkqt.h"

#include "io/textconv.h"

std::string ToGbk(const QString& text) { return Utf8ToGbk(text.toStdString()); }

bool FitsGbk(const QString& text) {
  try {
    ToGbk(text);
    return true;
  } catch (const GbkError&) {
    return false;
  }
}

QString FromGbk(const std::string& bytes) {
  try {
    return QString::fromStdString(GbkToUtf8(bytes));
  } catch (const GbkError&) {
    // Keep what can be shown: convert byte by byte around the invalid ones.
    QString out;
    std::size_t i = 0;
    while (i < bytes.size()) {
      const auto lead = static_cast<unsigned char>(bytes[i]);
      const std::size_t len = (lead >= 0x81 && lead <= 0xFE && i + 1 < bytes.size()) ? 2 : 1;
      try {
        out += QString::fromStdString(GbkToUtf8(bytes.substr(i, len)));
      } catch (const GbkError&) {
        out += QChar(QChar::ReplacementCharacter);
      }
      i += len;
    }
    return out;
  }
}
