#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QString>
#include <Qt>
#include <array>
#include <memory>
#include <vector>

class QPaintDevice;
class QPainter;
class QPointF;
class QRectF;

// The labels of one font on one paint device, each laid out once. A PDF
// page draws them from their glyphs, which its engine writes either way:
// QPainter::drawText and the font metrics shape a text anew at every call,
// which costs a report page more than writing its glyphs. The glyphs,
// positions and advances are the ones those calls give:
// - a text is shaped once and kept (row names, headings, axis titles ...);
// - a number (digits, '.', '-', '+') is put together from each character's
//   glyph and its step to the next character, kerning included, measured
//   for every pair of them in one shaped line.
class PlacedFont {
public:
    // A text's glyphs from the left end of its baseline, and its advance.
    // Without glyphs (a text with right-to-left characters, controls or
    // separators, which drawText orders or spaces itself) it is drawn as
    // text.
    struct Line {
        std::vector<QGlyphRun> Runs;
        double Advance = 0.0;
        bool Glyphs = true;
    };

    PlacedFont(const QFont& font, QPaintDevice* device);

    const QFont& Font() const { return font_; }
    const QFontMetricsF& Metrics() const { return metrics_; }
    // The metrics' ascent and descent, which look the font up at every call.
    double Ascent() const { return ascent_; }
    double Descent() const { return descent_; }

    // The line of text, valid until the next call; its advance is
    // QFontMetricsF::horizontalAdvance(text).
    const Line& Layout(const QString& text);

    // As QFontMetricsF::elidedText(text, Qt::ElideMiddle, width).
    QString ElidedMiddle(const QString& text, double width);

    // Draws text, laid out as line, as QPainter::drawText(origin, text) does
    // with this font set (as the painter's font must be: devices other than
    // a PDF page, and a painter set to right to left, get the text).
    void Draw(QPainter& painter, const QPointF& origin, const QString& text, const Line& line) const;

private:
    static constexpr int NumberChars = 13;  // "0123456789.-+"

    Line Shape(const QString& text) const;
    void MeasureNumbers();

    QFont font_;
    QPaintDevice* device_;
    QFontMetricsF metrics_;
    double ascent_;
    double descent_;
    QHash<QString, Line> shaped_;

    // The numbers' glyphs; usable once measured, unless the font changes a
    // glyph by its neighbours or moves it off the baseline.
    bool numbersMeasured_ = false;
    bool numbersUsable_ = false;
    std::array<quint32, NumberChars> numberGlyph_{};
    std::array<std::array<double, NumberChars>, NumberChars> numberStep_{};
    std::array<double, NumberChars> numberAdvance_{};  // of a number's last character
    // The number laid out last: Runs holds one run over these arrays.
    std::vector<quint32> glyphs_;
    std::vector<QPointF> positions_;
    Line number_;
};

// The fonts of the labels drawn on one paint device; a writer keeps one for
// all the pages of its file, so every label is laid out once per file.
class PlacedFonts {
public:
    explicit PlacedFonts(QPaintDevice* device) : device_(device) {}

    // The labels of font; the reference stays valid as long as this object.
    PlacedFont& Get(const QFont& font);

private:
    QPaintDevice* device_;
    std::vector<std::unique_ptr<PlacedFont>> fonts_;
};

// Draws one line of text in box as QPainter::drawText(box, alignment, text)
// places it (left, right or centred; top, bottom or centred; no wrapping),
// with font, which is the painter's font. It draws at a computed baseline
// point instead: the box form lays every text out as a paragraph, which
// costs a PDF page more than its glyphs (a report page holds about a
// hundred labels).
void DrawPlacedText(QPainter& painter, PlacedFont& font, const QRectF& box, Qt::Alignment align,
                    const QString& text);
