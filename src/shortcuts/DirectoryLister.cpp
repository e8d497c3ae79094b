#include "shortcuts/DirectoryLister.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Lines are collected here and written once per directory, or sooner when this much is held.
constexpr std::size_t kBufferLimit = std::size_t{1} << 20;

unsigned char foldAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
}

// ASCII letters compare without case and other bytes by value; names equal that way fall back
// to their exact bytes so that the order is total and repeatable.
bool nameLess(std::string_view a, std::string_view b) {
    const auto common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = foldAscii(a[i]);
        const auto y = foldAscii(b[i]);
        if (x != y) {
            return x < y;
        }
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

bool isUrlName(std::string_view name) {
    constexpr std::string_view extension = ".url";
    return name.size() >= extension.size() &&
           std::equal(extension.begin(), extension.end(), name.end() - extension.size(),
                      [](char e, char c) { return e == foldAscii(c); });
}

// Whether the bytes are UTF-8 as RFC 3629 defines it: no overlong forms, no surrogates,
// nothing beyond U+10FFFF.
bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80; // the range of the second byte, narrowed after some leads
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (text.size() - i < length) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// Why a name cannot stand in the list, or null when it can. The program reads the list
// back one path per line, as UTF-8: a line break would split the path, and other bytes
// would come back as another name.
const char* unlistableReason(std::string_view name) {
    if (name.find_first_of("\r\n") != std::string_view::npos) {
        return "skipped: the name holds a line break";
    }
    if (!isValidUtf8(name)) {
        return "skipped: the name is not valid UTF-8";
    }
    return nullptr;
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

DirectoryLister::DirectoryLister(ListingOrder order, int outputFd, std::FILE* diagnostics)
    : order_(order), outputFd_(outputFd), diagnostics_(diagnostics) {
    buffer_.reserve(2 * kBufferLimit);
}

ListingOutcome DirectoryLister::list(const std::string& directory) {
    outcome_ = {};
    prefix_ = directory + '/';
    const int fd =
        open(directory.empty() ? "/" : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(diagnostics_, "listing: %s: %s\n", prefix_.c_str(), std::strerror(errno));
        outcome_.status = ListingOutcome::Status::DirectoryUnavailable;
        return outcome_;
    }
    walk(fd, 0);
    flush();
    return outcome_;
}

void DirectoryLister::walk(int fd, std::size_t depth) {
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        skip("", std::strerror(errno));
        close(fd);
        return;
    }
    if (levels_.size() == depth) {
        levels_.emplace_back();
    }
    Level& level = levels_[depth]; // deeper levels are appended to a deque: this stays valid
    readEntries(dir, level);
    writeFiles(level);

    std::sort(level.directories.begin(), level.directories.end(),
              [&](const Entry& a, const Entry& b) {
                  return nameLess(nameOf(level, a), nameOf(level, b));
              });
    const auto prefixLength = prefix_.size();
    for (const auto& sub : level.directories) {
        if (outcome_.status != ListingOutcome::Status::Listed) {
            break;
        }
        const char* name = level.names.data() + sub.offset;
        prefix_.append(name).push_back('/');
        // O_NOFOLLOW: a directory swapped for a link since it was read is not followed either.
        const int child = openat(dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child >= 0) {
            walk(child, depth + 1);
        } else {
            skip("", std::strerror(errno));
        }
        prefix_.resize(prefixLength);
    }
    closedir(dir);
}

void DirectoryLister::readEntries(DIR* dir, Level& level) {
    level.names.clear();
    level.files.clear();
    level.directories.clear();
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (entry == nullptr) {
            if (errno != 0) {
                skip("", std::strerror(errno));
            }
            return;
        }
        if (!isDotOrDotDot(entry->d_name)) {
            addEntry(dirfd(dir), entry->d_name, entry->d_type, level);
        }
    }
}

void DirectoryLister::addEntry(int fd, const char* name, unsigned char type, Level& level) {
    struct stat status;
    if (type == DT_UNKNOWN) {
        if (fstatat(fd, name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
            return;
        }
        type = IFTODT(status.st_mode);
    }
    const std::string_view view(name);
    const bool isDirectory = type == DT_DIR;
    if (!isDirectory && (!isUrlName(view) || (type != DT_REG && type != DT_LNK))) {
        return;
    }
    if (const char* reason = unlistableReason(view)) {
        skip(view, reason);
        return;
    }
    Entry entry{level.names.size(), view.size(), {}};
    if (!isDirectory && (type == DT_LNK || order_ == ListingOrder::ByDate)) {
        // Links count only when they lead to a regular file; the date is the file's.
        if (fstatat(fd, name, &status, 0) != 0 || !S_ISREG(status.st_mode)) {
            return;
        }
        entry.modified = status.st_mtim;
    }
    level.names.append(view).push_back('\0'); // kept terminated for openat
    (isDirectory ? level.directories : level.files).push_back(entry);
}

void DirectoryLister::writeFiles(Level& level) {
    const auto byName = [&](const Entry& a, const Entry& b) {
        return nameLess(nameOf(level, a), nameOf(level, b));
    };
    if (order_ == ListingOrder::ByDate) {
        std::sort(level.files.begin(), level.files.end(), [&](const Entry& a, const Entry& b) {
            if (a.modified.tv_sec != b.modified.tv_sec) {
                return a.modified.tv_sec < b.modified.tv_sec;
            }
            if (a.modified.tv_nsec != b.modified.tv_nsec) {
                return a.modified.tv_nsec < b.modified.tv_nsec;
            }
            return byName(a, b);
        });
    } else {
        std::sort(level.files.begin(), level.files.end(), byName);
    }
    for (const auto& file : level.files) {
        buffer_.append(prefix_).append(nameOf(level, file)).append("\r\n");
        if (buffer_.size() >= kBufferLimit) {
            flush();
        }
    }
    outcome_.filesListed += level.files.size();
    flush();
}

void DirectoryLister::flush() {
    std::size_t written = 0;
    while (written < buffer_.size() && outcome_.status == ListingOutcome::Status::Listed) {
        const auto result = write(outputFd_, buffer_.data() + written, buffer_.size() - written);
        if (result >= 0) {
            written += static_cast<std::size_t>(result);
        } else if (errno != EINTR) {
            std::fprintf(diagnostics_, "listing: cannot write the list: %s\n",
                         std::strerror(errno));
            outcome_.status = ListingOutcome::Status::OutputFailed;
        }
    }
    buffer_.clear();
}

void DirectoryLister::skip(std::string_view name, const char* reason) {
    std::fprintf(diagnostics_, "listing: %s%.*s: %s\n", prefix_.c_str(),
                 static_cast<int>(name.size()), name.data(), reason);
    ++outcome_.entriesSkipped;
}
