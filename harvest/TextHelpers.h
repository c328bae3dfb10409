// The small text functions that read values out of pages by fixed markers and clean values before
// they are written. All are pure, exact (case-sensitive, code unit by code unit) and never fail.
#pragma once

#include <QString>

namespace quillorn {

// What stands between the first occurrence of startMarker and the first occurrence of endMarker
// that begins at or after the end of that start marker. An empty startMarker matches at the
// beginning, an empty endMarker at the end of the text. Empty when either marker is missing; only
// the first start marker is ever considered.
QString ExtractBetween(const QString& text, const QString& startMarker, const QString& endMarker);

// text with every occurrence of oldPattern replaced by newPattern, scanning left to right without
// overlap and never rescanning replaced text (so replacing two backslashes by one turns a run of
// three into two, and a run of four into two). An empty oldPattern replaces nothing.
QString ReplaceAll(const QString& text, const QString& oldPattern, const QString& newPattern);

// Every double quote (U+0022) replaced by an apostrophe (U+0027).
QString QuotesToApostrophes(const QString& text);

}  // namespace quillorn
