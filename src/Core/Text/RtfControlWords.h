#pragma once

#include <optional>
#include <string_view>

namespace quorrin::rtf {

// The control words the reader acts on; every other word is ignored.
enum class Word {
    Ansi, AnsiCodepage, Bin, Bold, Bullet, Cell, ColorBlue, ColorAlpha, ColorGreen, ColorRed, ColorTable,
    DefaultFont, EmDash, EmSpace, EnDash, EnSpace, FirstIndent, Font, FontCharset, FontSize, FontTable, Italic,
    LeftDoubleQuote, LeftIndent, LeftQuote, Line, LineLeading, LtrMark, Mac, NeXTGraphic, NumberAttribute,
    NumbersAttribute,
    Page, Paragraph, ParagraphDefaults, Pc, Pca, Plain, AlignCenter, AlignJustified, AlignLeft, AlignRight,
    QmSpace, RightDoubleQuote, RightIndent, RightQuote, Row, RtlMark, Section, SkipDestination, SpaceAfter,
    SpaceBefore, Strike, StrikeDouble, StrikeStyle, StringAttribute, Tab, TextColor, Unicode, UnicodeSkip,
    Underline, UnderlineDouble, UnderlineNone, UnderlineStyle, UnderlineThick, ZeroWidthJoiner,
    ZeroWidthNonJoiner,
    Picture, ShapePicture, PngBlip, JpegBlip, EmfBlip, WmfBlip, DibBlip, DeviceBitmapBlip, MacPictBlip,
    Os2MetafileBlip,
};

// The word of a control word's name, or nothing for a word the reader ignores.
std::optional<Word> lookUp(std::string_view name);

} // namespace quorrin::rtf
