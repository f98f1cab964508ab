#include "report/PlacedText.h"

#include <QPaintEngine>
#include <QPainter>
#include <QRawFont>
#include <QRectF>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <string_view>

namespace {

constexpr char NumberText[] = "0123456789.-+";

int NumberIndex(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u == u'.') return 10;
    if (u == u'-') return 11;
    if (u == u'+') return 12;
    return -1;
}

// Qt keeps text positions and widths in whole 1/64 units, cut toward zero
// from the coordinates it is given.
double OnGlyphGrid(double x) {
    return std::trunc(x * 64.0) / 64.0;
}

// Whether text lays out as one line, left to right, the way drawText draws
// it: no right-to-left characters, direction or format controls, control
// characters (tabs, line breaks, U+009C) or separators. A character beyond
// 16 bits counts as one that might be right to left.
bool PlainLine(const QString& text) {
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        if (c.isSurrogate()) return true;
        switch (c.category()) {
            case QChar::Other_Control:
            case QChar::Other_Format:
            case QChar::Separator_Line:
            case QChar::Separator_Paragraph:
                return true;
            default:
                break;
        }
        switch (c.direction()) {
            case QChar::DirR:
            case QChar::DirAL:
            case QChar::DirAN:
            case QChar::DirRLE:
            case QChar::DirRLO:
            case QChar::DirRLI:
            case QChar::DirLRE:
            case QChar::DirLRO:
            case QChar::DirPDF:
            case QChar::DirLRI:
            case QChar::DirFSI:
            case QChar::DirPDI:
                return true;
            default:
                return false;
        }
    });
}

// The texts kept at most: a long report's labels that come once (file
// names, dates) must not pile up.
constexpr qsizetype MaxShaped = 1024;

}  // namespace

PlacedFont::PlacedFont(const QFont& font, QPaintDevice* device)
    : font_(font),
      device_(device),
      metrics_(font, device),
      ascent_(metrics_.ascent()),
      descent_(metrics_.descent()) {}

PlacedFont::Line PlacedFont::Shape(const QString& text) const {
    Line shaped;
    shaped.Glyphs = PlainLine(text);
    if (!shaped.Glyphs) {
        shaped.Advance = metrics_.horizontalAdvance(text);
        return shaped;
    }
    // As QPainter::drawText lays it out: one line, left to right; its
    // advance is the metrics' one.
    QTextLayout layout(text, font_, device_);
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid()) return shaped;
    shaped.Advance = line.horizontalAdvance();
    const QPointF baseline(0.0, line.y() + line.ascent());
    for (QGlyphRun run : layout.glyphRuns()) {
        QList<QPointF> positions = run.positions();
        for (QPointF& p : positions)
            p -= baseline;
        run.setPositions(positions);
        shaped.Runs.push_back(run);
    }
    return shaped;
}

void PlacedFont::MeasureNumbers() {
    numbersMeasured_ = true;
    // Every ordered pair of the characters side by side ("0001...0+1011...")
    // gives each character's glyph and its step to each next character.
    QString pairs;
    for (const char a : std::string_view(NumberText))
        for (const char b : std::string_view(NumberText))
            pairs.append(QLatin1Char(a)).append(QLatin1Char(b));
    const Line line = Shape(pairs);
    if (line.Runs.size() != 1) return;
    const QList<quint32> glyphs = line.Runs.front().glyphIndexes();
    const QList<QPointF> positions = line.Runs.front().positions();
    if (glyphs.size() != pairs.size() || positions.size() != pairs.size() || positions.front() != QPointF())
        return;
    std::array<bool, NumberChars> glyphSeen{};
    std::array<std::array<bool, NumberChars>, NumberChars> stepSeen{};
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        const int c = NumberIndex(pairs[i]);
        if (positions[i].y() != 0.0 || (glyphSeen[c] && numberGlyph_[c] != glyphs[i])) return;
        glyphSeen[c] = true;
        numberGlyph_[c] = glyphs[i];
        if (i + 1 == pairs.size()) break;
        const int next = NumberIndex(pairs[i + 1]);
        const double step = positions[i + 1].x() - positions[i].x();
        if (stepSeen[c][next] && numberStep_[c][next] != step) return;
        stepSeen[c][next] = true;
        numberStep_[c][next] = step;
    }
    for (int c = 0; c < NumberChars; ++c)
        numberAdvance_[c] = metrics_.horizontalAdvance(QString(QLatin1Char(NumberText[c])));
    // The advance of a text is the sum of its glyphs' advances; the steps add
    // up to it unless the font shifts glyphs off their advances.
    if (positions.back().x() + numberAdvance_[NumberIndex(pairs.back())] != line.Advance) return;
    number_.Runs.assign(1, QGlyphRun());
    number_.Runs.front().setRawFont(line.Runs.front().rawFont());
    numbersUsable_ = true;
}

const PlacedFont::Line& PlacedFont::Layout(const QString& text) {
    const bool number =
        !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return NumberIndex(c) >= 0; });
    if (number && !numbersMeasured_) MeasureNumbers();
    if (number && numbersUsable_) {
        const auto n = static_cast<std::size_t>(text.size());
        glyphs_.resize(n);
        positions_.resize(n);
        double x = 0.0;  // whole 1/64 units, so the sums are exact
        for (std::size_t i = 0; i < n; ++i) {
            const int c = NumberIndex(text[static_cast<qsizetype>(i)]);
            glyphs_[i] = numberGlyph_[c];
            positions_[i] = QPointF(x, 0.0);
            x += i + 1 < n ? numberStep_[c][NumberIndex(text[static_cast<qsizetype>(i + 1)])]
                           : numberAdvance_[c];
        }
        number_.Advance = x;
        number_.Runs.front().setRawData(glyphs_.data(), positions_.data(), static_cast<int>(n));
        return number_;
    }
    const auto kept = shaped_.constFind(text);
    if (kept != shaped_.constEnd()) return *kept;
    if (shaped_.size() >= MaxShaped) shaped_.clear();
    return *shaped_.insert(text, Shape(text));
}

QString PlacedFont::ElidedMiddle(const QString& text, double width) {
    // elidedText keeps a text of one character, and one whose advance fits
    // the width; U+009C separates variants of a text, which it measures one
    // by one.
    if (text.contains(QChar(0x9C))) return metrics_.elidedText(text, Qt::ElideMiddle, width);
    if (text.size() <= 1 || Layout(text).Advance <= OnGlyphGrid(width)) return text;
    return metrics_.elidedText(text, Qt::ElideMiddle, width);
}

void PlacedFont::Draw(QPainter& painter, const QPointF& origin, const QString& text, const Line& line) const {
    // A PDF engine writes glyph indexes whether it gets text or glyphs (a
    // text extractor reads them back through the embedded font's map); an
    // SVG, say, keeps text as text only when it is given characters.
    if (!line.Glyphs || painter.paintEngine()->type() != QPaintEngine::Pdf ||
        painter.layoutDirection() == Qt::RightToLeft) {
        painter.drawText(origin, text);
        return;
    }
    // drawText starts the line at its origin put on the grid; the glyphs'
    // offsets are on it already, so each lands where drawText puts it.
    const QPointF start(OnGlyphGrid(origin.x()), origin.y());
    for (const QGlyphRun& run : line.Runs)
        painter.drawGlyphRun(start, run);
}

PlacedFont& PlacedFonts::Get(const QFont& font) {
    for (const std::unique_ptr<PlacedFont>& placed : fonts_)
        if (placed->Font() == font) return *placed;
    fonts_.push_back(std::make_unique<PlacedFont>(font, device_));
    return *fonts_.back();
}

void DrawPlacedText(QPainter& painter, PlacedFont& font, const QRectF& box, Qt::Alignment align,
                    const QString& text) {
    if (text.isEmpty()) return;
    const PlacedFont::Line& line = font.Layout(text);
    double x = box.left();
    if (align & (Qt::AlignRight | Qt::AlignHCenter))
        x = (align & Qt::AlignRight) ? box.right() - line.Advance : box.center().x() - line.Advance / 2.0;
    // The line is ascent + descent high, as the box form stacks it.
    double baseline = box.top() + (box.height() - (font.Ascent() + font.Descent())) / 2.0 + font.Ascent();
    if (align & Qt::AlignTop)
        baseline = box.top() + font.Ascent();
    else if (align & Qt::AlignBottom)
        baseline = box.bottom() - font.Descent();
    font.Draw(painter, QPointF(x, baseline), text, line);
}
