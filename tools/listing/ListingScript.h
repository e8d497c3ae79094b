#pragma once

#include "shortcuts/DirectoryLister.h"

#include <optional>
#include <string>
#include <string_view>

// What a listing script asks for: every *.url file under `directory`, written to `outputPath`.
struct ListingCommand {
    std::string directory; // as written in the script; empty means the root folder
    std::string outputPath;
    ListingOrder order = ListingOrder::ByName;

    bool operator==(const ListingCommand&) const = default;
};

// Parses the two-line batch script the program writes:
//   @echo off
//   dir "<directory>/*.url" /s /b /o:<d|n>  > "<output>"
// Lines may end in CR LF or LF, the last line end may be missing and blank lines are ignored.
// Returns nothing for any other script.
std::optional<ListingCommand> parseListingScript(std::string_view bytes);
