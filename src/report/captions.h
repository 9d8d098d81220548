#pragma once
// The captions of the regime card and the summary sheet: the full words of each measured
// input and result, where the editor and the results pane have only room for short ones.

#include <QString>
#include <QStringList>

namespace report {

// The caption of an input on the card: the editor's hint in correct spelling, with the
// chemical formulas in Latin letters (the hints mix Cyrillic "С" and "О" into them), and the
// furnace pressure named so that its sign reads right.
QString InputCaption(int input, bool economiser);

// The card's full caption of each results row; the pane's terse captions are for its narrow
// column. An unknown key keeps the pane's caption.
QString ResultCaption(const QString& key, const QString& paneCaption, bool steam);

// The keys of the results the summary sheet shows, after the load, in its column order.
QStringList SummaryKeys(bool steam);
// The summary's shorter caption of a result, or `fallback` for a key without one.
QString SummaryCaption(const QString& key, const QString& fallback);

}  // namespace report
