#include "Editor/PastedText.h"

#include "Editor/LinkDetection.h"
#include "Editor/TextFormatTarget.h"

#include <QFont>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <vector>

namespace quorrin::pastedtext {
namespace {

const QString richTextType = QStringLiteral("application/x-qrichtext");

// The size the markup gives a fragment, at the half points a note stores
// and within 9...48 points; unsized text keeps the size it goes into. The
// markup's default font has that size, so relative sizes (<h1>, <big>,
// "x-large") scale it as the text system scales its default font.
double sizeOf(const QTextCharFormat& format, double baseSize)
{
    if (!format.hasProperty(QTextFormat::FontPointSize) && !format.hasProperty(QTextFormat::FontPixelSize)
        && !format.hasProperty(QTextFormat::FontSizeAdjustment))
        return baseSize;
    const QFont font = format.font();
    double size = baseSize;
    if (font.pointSizeF() > 0)
        size = font.pointSizeF();
    else if (font.pixelSize() > 0)
        size = font.pixelSize() * 0.75;
    return std::clamp(std::round(size * 2) / 2, textformat::minimumSize, textformat::maximumSize);
}

TextAttributes attributesOf(const QTextCharFormat& format, const TextAttributes& base)
{
    TextAttributes a = base;
    TextFont font = base.font.value_or(TextFont::system(14));
    font.pointSize = sizeOf(format, font.pointSize);
    font.bold = format.fontWeight() >= QFont::DemiBold;
    font.italic = format.fontItalic();
    a.font = font;
    // A link looks like the note's own links: the colour and underline the
    // text system gives every anchor are not the page's.
    const QString href = format.isAnchor() ? format.anchorHref() : QString();
    const bool anchor = !href.isEmpty();
    const bool coloured = format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush;
    if (!anchor && coloured) {
        const QColor c = format.foreground().color();
        a.foreground = TextColor::fixed(Rgba{c.redF(), c.greenF(), c.blueF(), c.alphaF()});
    }
    const bool underlined = format.fontUnderline()
        || (format.hasProperty(QTextFormat::TextUnderlineStyle) && format.underlineStyle() != QTextCharFormat::NoUnderline);
    a.underlineStyle = !anchor && underlined ? 1 : 0;
    a.strikethroughStyle = format.fontStrikeOut() ? 1 : 0;
    a.custom.erase(links::attribute);
    if (anchor && links::isOpenable(QUrl(href)))
        a.custom[links::attribute] = href;
    return a;
}

// The text of one paragraph of the markup, without pictures or other objects.
AttributedString lineOf(const QTextBlock& block, const TextAttributes& base)
{
    AttributedString line;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (format.objectType() != QTextFormat::NoObject)
            continue;
        QString piece = fragment.text();
        piece.remove(QChar::ObjectReplacementCharacter);
        if (!piece.isEmpty())
            line.append(piece, attributesOf(format, base));
    }
    return line;
}

struct Line {
    AttributedString text;
    bool isTable = false;
};

void appendFrame(const QTextFrame& frame, const TextAttributes& plain, std::vector<Line>& lines);

AttributedString joined(const std::vector<Line>& lines, const QString& separator, const TextAttributes& plain)
{
    AttributedString text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text.append(separator, plain);
        text.append(lines[i].text);
    }
    return text;
}

// A table arrives row by row, its cells separated by tabs; what a cell holds
// in several paragraphs stays on its row.
void appendTable(const QTextTable& table, const TextAttributes& plain, std::vector<Line>& lines)
{
    for (int row = 0; row < table.rows(); ++row) {
        std::vector<Line> cells;
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (!cell.isValid() || cell.row() != row || cell.column() != column)
                continue; // covered by a cell spanning rows or columns
            std::vector<Line> inside;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (const QTextFrame* child = it.currentFrame())
                    appendFrame(*child, plain, inside);
                else
                    inside.push_back({lineOf(it.currentBlock(), plain)});
            }
            cells.push_back({joined(inside, QStringLiteral(" "), plain)});
        }
        lines.push_back({joined(cells, QStringLiteral("\t"), plain), true});
    }
}

void appendFrame(const QTextFrame& frame, const TextAttributes& plain, std::vector<Line>& lines)
{
    for (auto it = frame.begin(); !it.atEnd(); ++it) {
        if (const QTextFrame* child = it.currentFrame()) {
            if (const auto* table = qobject_cast<const QTextTable*>(child))
                appendTable(*table, plain, lines);
            else
                appendFrame(*child, plain, lines);
        } else {
            lines.push_back({lineOf(it.currentBlock(), plain)});
        }
    }
}

} // namespace

AttributedString fromHtml(const QString& html, const TextAttributes& base)
{
    QTextDocument markup;
    QFont font = markup.defaultFont();
    font.setPointSizeF(base.font ? base.font->pointSize : 14);
    markup.setDefaultFont(font);
    markup.setHtml(html);
    const TextAttributes plain = attributesOf(QTextCharFormat(), base);
    std::vector<Line> lines;
    appendFrame(*markup.rootFrame(), plain, lines);
    // The text system keeps an empty paragraph on each side of a table.
    std::vector<Line> kept;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool besideTable = (i > 0 && lines[i - 1].isTable) || (i + 1 < lines.size() && lines[i + 1].isTable);
        if (!(lines[i].text.isEmpty() && !lines[i].isTable && besideTable))
            kept.push_back(std::move(lines[i]));
    }
    return joined(kept, QStringLiteral("\n"), plain);
}

AttributedString fromPlainText(QString text, const TextAttributes& base)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.remove(QChar::ObjectReplacementCharacter);
    return AttributedString(text, base);
}

std::optional<QString> markup(const QMimeData& data)
{
    if (data.hasFormat(richTextType))
        return QString::fromUtf8(data.data(richTextType));
    if (data.hasHtml())
        return data.html();
    return std::nullopt;
}

} // namespace quorrin::pastedtext
