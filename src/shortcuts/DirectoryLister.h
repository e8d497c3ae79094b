#pragma once

#include <cstddef>
#include <cstdio>
#include <ctime>
#include <deque>
#include <dirent.h>
#include <string>
#include <string_view>
#include <vector>

// The order of the files of one directory: by name (case ignored) or by last-modified time,
// oldest first, ties by name.
enum class ListingOrder { ByName, ByDate };

struct ListingOutcome {
    enum class Status { Listed, DirectoryUnavailable, OutputFailed };
    Status status = Status::Listed;
    std::size_t filesListed = 0;
    // Unreadable directories, and names holding a line break or bytes that are not UTF-8.
    std::size_t entriesSkipped = 0;
};

// Writes the full path of every *.url file (case-insensitive, regular files or links to them)
// under a directory, one per line ending in CR LF. Each directory lists its files first, in
// the chosen order, then its sub-directories by name, depth first. Links to directories are
// not followed; a file or directory whose name holds a line break or is not valid UTF-8 is
// skipped with a message. Output is flushed after each directory so a reader sees the lines
// so far.
class DirectoryLister {
  public:
    DirectoryLister(ListingOrder order, int outputFd, std::FILE* diagnostics);

    // `directory` is used as written as the prefix of every line; empty means the root.
    ListingOutcome list(const std::string& directory);

  private:
    struct Entry {
        std::size_t offset;
        std::size_t length;
        timespec modified;
    };
    // Entries of one directory being walked; kept per depth so their storage is reused.
    struct Level {
        std::string names;
        std::vector<Entry> files;
        std::vector<Entry> directories;
    };

    static std::string_view nameOf(const Level& level, const Entry& entry) {
        return {level.names.data() + entry.offset, entry.length};
    }
    void walk(int fd, std::size_t depth);
    void readEntries(DIR* dir, Level& level);
    void addEntry(int fd, const char* name, unsigned char type, Level& level);
    void writeFiles(Level& level);
    void flush();
    void skip(std::string_view name, const char* reason);

    ListingOrder order_;
    int outputFd_;
    std::FILE* diagnostics_;
    ListingOutcome outcome_;
    std::string prefix_; // the current directory as written in lines, ending in '/'
    std::string buffer_;
    std::deque<Level> levels_;
};
