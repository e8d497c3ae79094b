#include "ListingScript.h"

#include <array>

namespace {

constexpr std::string_view kEchoOff = "@echo off";
constexpr std::string_view kDirCommand = "dir \"";
constexpr std::string_view kByNameSeparator = "/*.url\" /s /b /o:n  > \"";
constexpr std::string_view kByDateSeparator = "/*.url\" /s /b /o:d  > \"";
static_assert(kByNameSeparator.size() == kByDateSeparator.size());

std::string_view takeLine(std::string_view& rest) {
    const auto end = rest.find('\n');
    auto line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return line;
}

// A CR left inside a line or a NUL cannot be part of a usable path.
bool isUsablePath(std::string_view path) {
    return path.find_first_of(std::string_view("\r\0", 2)) == std::string_view::npos;
}

} // namespace

std::optional<ListingCommand> parseListingScript(std::string_view bytes) {
    std::array<std::string_view, 2> lines;
    std::size_t count = 0;
    while (!bytes.empty()) {
        const auto line = takeLine(bytes);
        if (line.empty()) {
            continue;
        }
        if (count == lines.size()) {
            return std::nullopt;
        }
        lines[count++] = line;
    }
    if (count != lines.size() || lines[0] != kEchoOff) {
        return std::nullopt;
    }
    const auto command = lines[1];
    if (!command.starts_with(kDirCommand) || command.size() <= kDirCommand.size() ||
        !command.ends_with('"')) {
        return std::nullopt;
    }

    // Both paths are inserted unquoted, so either may hold the separator text itself. The
    // separator is taken to be its LAST occurrence: the output path (chosen by the program)
    // never holds it, while the directory (typed by the user) may hold anything but a line end.
    const auto body = command.substr(kDirCommand.size(), command.size() - kDirCommand.size() - 1);
    const auto byName = body.rfind(kByNameSeparator);
    const auto byDate = body.rfind(kByDateSeparator);
    if (byName == std::string_view::npos && byDate == std::string_view::npos) {
        return std::nullopt;
    }
    const bool isByDate =
        byName == std::string_view::npos || (byDate != std::string_view::npos && byDate > byName);
    const auto separator = isByDate ? byDate : byName;
    const auto directory = body.substr(0, separator);
    const auto output = body.substr(separator + kByNameSeparator.size());
    if (output.empty() || !isUsablePath(directory) || !isUsablePath(output)) {
        return std::nullopt;
    }
    return ListingCommand{std::string(directory), std::string(output),
                          isByDate ? ListingOrder::ByDate : ListingOrder::ByName};
}
