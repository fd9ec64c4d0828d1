#pragma once
// Putting a port alias in place: a link made beside the name and renamed onto it, so that comN
// never points nowhere in between, and nothing but a link is ever replaced, not even something
// put there a moment before (the rename exchanges the two names where the kernel can, and
// exchanges them back when what it found is no link). Free of Qt.
#include <sys/types.h>

#include <string>

namespace commapi {

enum class AliasPlaced {
    Done,
    Exists,    // a link holds the name and replacing was not asked for (found: S_IFLNK)
    NotALink,  // something else holds the name (found: its mode); it is left as it was
    Failed,    // errno says why
};

// Links alias -> target; replace: an existing link gives way.
AliasPlaced placeAliasLink(const std::string& alias, const std::string& target, bool replace, mode_t& found);

// Why what is found under an alias's name is not replaced: "<alias> is a regular file, not an
// alias; it is left as it is".
std::string notAnAliasText(const std::string& alias, mode_t found);

}  // namespace commapi
