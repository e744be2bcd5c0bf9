#include "Core/Text/RtfControlWords.h"

#include <algorithm>
#include <array>

namespace quorrin::rtf {

namespace {

struct WordEntry {
    std::string_view name;
    Word word;
};

// Sorted by name for binary search.
constexpr std::array wordTable = {
    WordEntry{"NeXTGraphic", Word::NeXTGraphic}, WordEntry{"annotation", Word::SkipDestination},
    WordEntry{"ansi", Word::Ansi}, WordEntry{"ansicpg", Word::AnsiCodepage},
    WordEntry{"atnauthor", Word::SkipDestination}, WordEntry{"atnid", Word::SkipDestination},
    WordEntry{"author", Word::SkipDestination}, WordEntry{"b", Word::Bold}, WordEntry{"bin", Word::Bin},
    WordEntry{"bkmkend", Word::SkipDestination}, WordEntry{"bkmkstart", Word::SkipDestination},
    WordEntry{"blue", Word::ColorBlue}, WordEntry{"bullet", Word::Bullet}, WordEntry{"cell", Word::Cell},
    WordEntry{"cf", Word::TextColor}, WordEntry{"colorschememapping", Word::SkipDestination},
    WordEntry{"colortbl", Word::ColorTable}, WordEntry{"comment", Word::SkipDestination},
    WordEntry{"datastore", Word::SkipDestination}, WordEntry{"deff", Word::DefaultFont},
    WordEntry{"dibitmap", Word::DibBlip}, WordEntry{"docvar", Word::SkipDestination},
    WordEntry{"emdash", Word::EmDash}, WordEntry{"emfblip", Word::EmfBlip}, WordEntry{"emspace", Word::EmSpace},
    WordEntry{"endash", Word::EnDash}, WordEntry{"enspace", Word::EnSpace}, WordEntry{"f", Word::Font},
    WordEntry{"falt", Word::SkipDestination}, WordEntry{"fcharset", Word::FontCharset},
    WordEntry{"fi", Word::FirstIndent}, WordEntry{"filetbl", Word::SkipDestination},
    WordEntry{"fldinst", Word::SkipDestination}, WordEntry{"fonttbl", Word::FontTable},
    WordEntry{"footer", Word::SkipDestination}, WordEntry{"footerf", Word::SkipDestination},
    WordEntry{"footerl", Word::SkipDestination}, WordEntry{"footerr", Word::SkipDestination},
    WordEntry{"footnote", Word::SkipDestination}, WordEntry{"fs", Word::FontSize},
    WordEntry{"generator", Word::SkipDestination}, WordEntry{"green", Word::ColorGreen},
    WordEntry{"header", Word::SkipDestination}, WordEntry{"headerf", Word::SkipDestination},
    WordEntry{"headerl", Word::SkipDestination}, WordEntry{"headerr", Word::SkipDestination},
    WordEntry{"i", Word::Italic}, WordEntry{"info", Word::SkipDestination}, WordEntry{"jpegblip", Word::JpegBlip},
    WordEntry{"latentstyles", Word::SkipDestination}, WordEntry{"ldblquote", Word::LeftDoubleQuote},
    WordEntry{"li", Word::LeftIndent}, WordEntry{"line", Word::Line},
    WordEntry{"listoverridetable", Word::SkipDestination}, WordEntry{"listtable", Word::SkipDestination},
    WordEntry{"lquote", Word::LeftQuote}, WordEntry{"ltrmark", Word::LtrMark}, WordEntry{"mac", Word::Mac},
    WordEntry{"macpict", Word::MacPictBlip}, WordEntry{"mmathPr", Word::SkipDestination},
    WordEntry{"nonshppict", Word::SkipDestination}, WordEntry{"objdata", Word::SkipDestination},
    WordEntry{"object", Word::SkipDestination}, WordEntry{"operator", Word::SkipDestination},
    WordEntry{"page", Word::Page}, WordEntry{"panose", Word::SkipDestination}, WordEntry{"par", Word::Paragraph},
    WordEntry{"pard", Word::ParagraphDefaults}, WordEntry{"pc", Word::Pc}, WordEntry{"pca", Word::Pca},
    WordEntry{"pgdsctbl", Word::SkipDestination}, WordEntry{"pict", Word::Picture}, WordEntry{"plain", Word::Plain},
    WordEntry{"pmmetafile", Word::Os2MetafileBlip}, WordEntry{"pn", Word::SkipDestination},
    WordEntry{"pngblip", Word::PngBlip}, WordEntry{"pntxta", Word::SkipDestination},
    WordEntry{"pntxtb", Word::SkipDestination}, WordEntry{"qc", Word::AlignCenter},
    WordEntry{"qj", Word::AlignJustified}, WordEntry{"ql", Word::AlignLeft}, WordEntry{"qmspace", Word::QmSpace},
    WordEntry{"qr", Word::AlignRight}, WordEntry{"quorrinalpha", Word::ColorAlpha},
    WordEntry{"quorrinattrnumber", Word::NumberAttribute}, WordEntry{"quorrinattrnumbers", Word::NumbersAttribute},
    WordEntry{"quorrinattrstring", Word::StringAttribute}, WordEntry{"quorrinstrikestyle", Word::StrikeStyle},
    WordEntry{"quorrinulstyle", Word::UnderlineStyle}, WordEntry{"rdblquote", Word::RightDoubleQuote},
    WordEntry{"red", Word::ColorRed}, WordEntry{"revtbl", Word::SkipDestination}, WordEntry{"ri", Word::RightIndent},
    WordEntry{"row", Word::Row}, WordEntry{"rquote", Word::RightQuote}, WordEntry{"rsidtbl", Word::SkipDestination},
    WordEntry{"rtlmark", Word::RtlMark}, WordEntry{"sa", Word::SpaceAfter}, WordEntry{"sb", Word::SpaceBefore},
    WordEntry{"sect", Word::Section}, WordEntry{"shp", Word::SkipDestination},
    WordEntry{"shpinst", Word::SkipDestination}, WordEntry{"shppict", Word::ShapePicture},
    WordEntry{"slleading", Word::LineLeading}, WordEntry{"strike", Word::Strike},
    WordEntry{"striked", Word::StrikeDouble}, WordEntry{"stylesheet", Word::SkipDestination},
    WordEntry{"subject", Word::SkipDestination}, WordEntry{"tab", Word::Tab}, WordEntry{"tc", Word::SkipDestination},
    WordEntry{"template", Word::SkipDestination}, WordEntry{"themedata", Word::SkipDestination},
    WordEntry{"title", Word::SkipDestination}, WordEntry{"txe", Word::SkipDestination}, WordEntry{"u", Word::Unicode},
    WordEntry{"uc", Word::UnicodeSkip}, WordEntry{"ul", Word::Underline}, WordEntry{"uld", Word::Underline},
    WordEntry{"uldash", Word::Underline}, WordEntry{"uldashd", Word::Underline},
    WordEntry{"uldashdd", Word::Underline}, WordEntry{"uldb", Word::UnderlineDouble},
    WordEntry{"ulhwave", Word::Underline}, WordEntry{"ulldash", Word::Underline},
    WordEntry{"ulnone", Word::UnderlineNone}, WordEntry{"ulth", Word::UnderlineThick},
    WordEntry{"ulw", Word::Underline}, WordEntry{"ulwave", Word::Underline},
    WordEntry{"userprops", Word::SkipDestination}, WordEntry{"wbitmap", Word::DeviceBitmapBlip},
    WordEntry{"wmetafile", Word::WmfBlip}, WordEntry{"xe", Word::SkipDestination},
    WordEntry{"xmlnstbl", Word::SkipDestination}, WordEntry{"zwj", Word::ZeroWidthJoiner},
    WordEntry{"zwnj", Word::ZeroWidthNonJoiner},
};
static_assert(std::is_sorted(wordTable.begin(), wordTable.end(),
                             [](const WordEntry& a, const WordEntry& b) { return a.name < b.name; }));

} // namespace

std::optional<Word> lookUp(std::string_view name)
{
    const auto found = std::lower_bound(wordTable.begin(), wordTable.end(), name,
                                        [](const WordEntry& entry, std::string_view key) { return entry.name < key; });
    if (found == wordTable.end() || found->name != name)
        return std::nullopt;
    return found->word;
}

} // namespace quorrin::rtf
