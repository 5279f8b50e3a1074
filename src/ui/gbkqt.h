#pragma once
// The window's edge between Qt's Unicode text and the GBK bytes of the model and the files.

#include <QString>
#include <string>

// Throws GbkError when a character has no GBK form.
std::string ToGbk(const QString& text);
// Whether the text can be held in GBK.
bool FitsGbk(const QString& text);
// GBK bytes to Unicode; bytes that are not valid GBK show as U+FFFD.
QString FromGbk(const std::string& bytes);
