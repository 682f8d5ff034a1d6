#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace verdo {

// One column of a list's format, as in "48R(2)|M~Resource #~C(0)@n-14@": the width in
// dialog units, the alignment of the values with their indent, the right-hand
// separator, whether the user may resize it, the header with its own alignment, and
// the display picture of its values.
struct ListColumn {
    int Width = 0;
    char Align = 'L';          // 'L', 'R', 'C' or 'D' (decimal, shown right-aligned)
    int Indent = 0;            // dialog units from the aligned edge
    bool RightBorder = false;  // '|'
    bool Resizable = false;    // 'M'
    bool Underline = false;    // '_'
    bool HasHeader = false;
    std::string Header;
    char HeaderAlign = 'L';
    int HeaderIndent = 0;
    std::string Picture;       // "@n-14", "@s255", "@D17B"
    std::string Rest;          // the column's text after its width, kept for writing it back
};

// Reads and writes list formats. A format is only taken whole: a text with any column
// that does not read (no width, an unknown flag, no picture, an unknown picture) is no
// format at all.
class ListFormat {
public:
    static constexpr int MinimumWidth = 2;
    static constexpr int MaximumWidth = 4000;

    // False, with `columns` left empty, when the text is not a format.
    static bool Parse(std::string_view text, std::vector<ListColumn>& columns);
    // The format text with the columns' current widths.
    static std::string Compose(const std::vector<ListColumn>& columns);
};

// Whether a display picture is one the program knows: "@n", "@s", "@d", "@D", "@t", "@T"
// followed by its width and options.
bool IsDisplayPicture(std::string_view picture);

}  // namespace verdo
