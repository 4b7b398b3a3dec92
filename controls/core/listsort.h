// The framed list view's portable rules: the column sort order and the width
// the last column takes to fill the client area.
#pragma once

#include <string_view>
#include <vector>

// ASCII letters folded to one case, every other byte by its code; an empty
// text sorts after every non-empty one.
int CompareColumnTexts(std::string_view a, std::string_view b);

// The last column's new width, or `current` when the others already fill the
// available width. `scrollBarWidth` is subtracted only when the list is empty.
int FittedLastColumnWidth(const std::vector<int>& widths, int clientWidth, bool hasItems, int scrollBarWidth);
