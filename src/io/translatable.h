#pragma once
// Core texts that the window shows. They stay plain UTF-8 Chinese here (the tests of the core
// compare them); QT_TRANSLATE_NOOP("core", ...) only marks them for lupdate, which collects
// them into the window's translation, and the window translates them where it shows them
// (src/ui/coretext.h). A text composed from parts is one template with %1, %2 ... filled by
// Fill, so that the window can recognise it (CoreTemplates) and translate it whole. Texts
// written to files and the printed listing are not marked: they never change with the
// interface language.

#include <initializer_list>
#include <string>
#include <string_view>

#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, text) text
#endif

// tmpl with %1 ... %9 replaced by the arguments in order; a % not followed by the number of an
// argument stays as it is.
inline std::string Fill(std::string_view tmpl, std::initializer_list<std::string> args) {
  std::string out;
  out.reserve(tmpl.size() + 16);
  for (std::size_t i = 0; i < tmpl.size(); ++i) {
    if (tmpl[i] == '%' && i + 1 < tmpl.size() && tmpl[i + 1] >= '1' && tmpl[i + 1] <= '9') {
      const auto n = static_cast<std::size_t>(tmpl[i + 1] - '1');
      if (n < args.size()) {
        out += *(args.begin() + n);
        ++i;
        continue;
      }
    }
    out += tmpl[i];
  }
  return out;
}
