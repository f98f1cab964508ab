#pragma once

#include <Qt>

class QFontMetricsF;
class QPainter;
class QRectF;
class QString;

// Draws one line of text in box as QPainter::drawText(box, alignment, text)
// places it (left, right or centred; top, bottom or centred; no wrapping),
// with the painter's font, whose metrics are given. It draws at a computed
// baseline point instead: the box form lays every text out as a paragraph,
// which costs a PDF page more than its glyphs (a report page holds about a
// hundred labels).
void DrawPlacedText(QPainter& painter, const QFontMetricsF& metrics, const QRectF& box, Qt::Alignment align,
                    const QString& text);
