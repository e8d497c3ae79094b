// Runs the listing script the program writes (see ListingScript.h) the way the Windows
// command interpreter would: `listing <script>`.
#include "ListingScript.h"
#include "shortcuts/DirectoryLister.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The script is two short lines; anything much larger is not one.
constexpr std::size_t kMaxScriptSize = 64 * 1024;

std::optional<std::string> readScript(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    std::string bytes(kMaxScriptSize + 1, '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        return std::nullopt;
    }
    return bytes;
}

// The walk holds one descriptor per directory level; allow as deep a tree as the system lets.
void raiseOpenFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: listing SCRIPT\n");
        return 1;
    }
    const auto script = readScript(argv[1]);
    if (!script) {
        std::fprintf(stderr, "listing: %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    const auto command =
        script->size() <= kMaxScriptSize ? parseListingScript(*script) : std::nullopt;
    if (!command) {
        std::fprintf(stderr, "listing: %s: not a supported listing script\n", argv[1]);
        return 1;
    }

    // Like the interpreter's redirection, the output file is emptied before the listing starts.
    // O_NONBLOCK: a FIFO in its place that nobody reads fails at once instead of blocking the
    // runner for good; the writes themselves block as usual.
    const int output = open(command->outputPath.c_str(),
                            O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    if (output < 0 || fcntl(output, F_SETFL, fcntl(output, F_GETFL) & ~O_NONBLOCK) != 0) {
        std::fprintf(stderr, "listing: %s: %s\n", command->outputPath.c_str(),
                     std::strerror(errno));
        return 1;
    }
    raiseOpenFileLimit();
    DirectoryLister lister(command->order, output, stderr);
    const auto outcome = lister.list(command->directory);
    if (close(output) != 0 && outcome.status == ListingOutcome::Status::Listed) {
        std::fprintf(stderr, "listing: %s: %s\n", command->outputPath.c_str(),
                     std::strerror(errno));
        return 1;
    }
    if (outcome.status != ListingOutcome::Status::Listed) {
        return 1;
    }
    if (outcome.filesListed == 0) {
        std::fprintf(stderr, "File Not Found\n");
    }
    return 0;
}
