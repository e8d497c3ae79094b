// Times the listing runner against `find DIR -iname '*.url' > /dev/null` on one large tree.
//   listing_bench [DIR]
// DIR is filled with a generated tree when it is missing or empty; without DIR a temporary
// tree is generated and removed afterwards. Each command runs once to warm the cache, then
// kRuns times interleaved; the median is reported.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 7;

// 40 x 25 x 10 leaf folders of 2 *.url and 17 other files: 201,040 entries, 20,000 *.url.
void generateTree(const fs::path& root) {
    for (int a = 0; a < 40; ++a) {
        for (int b = 0; b < 25; ++b) {
            for (int c = 0; c < 10; ++c) {
                const auto leaf = root / ("top " + std::to_string(a)) /
                                  ("Mid" + std::to_string(b)) / ("leaf_" + std::to_string(c));
                fs::create_directories(leaf);
                for (int f = 0; f < 19; ++f) {
                    const char* extension = f == 0 ? ".url" : f == 1 ? ".URL" : ".html";
                    const auto file = leaf / ("Site " + std::to_string(f) + extension);
                    close(open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
                }
            }
        }
    }
}

double timeCommand(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0 ||
        waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "listing_bench: %s failed\n", argv[0]);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const auto work = fs::temp_directory_path() / ("listing_bench_" + std::to_string(getpid()));
    fs::create_directories(work);
    const fs::path tree = argc > 1 ? fs::path(argv[1]) : work / "tree";
    if (!fs::exists(tree) || fs::is_empty(tree)) {
        generateTree(tree);
    }
    std::vector<std::string> scripts;
    for (const char* order : {"n", "d"}) {
        scripts.push_back((work / ("list_" + std::string(order) + ".bat")).string());
        std::ofstream(scripts.back(), std::ios::binary)
            << "@echo off\r\ndir \"" << tree.string() << "/*.url\" /s /b /o:" << order << "  > \""
            << (work / "out.txt").string() << "\"\r\n";
    }
    const std::vector<std::vector<std::string>> commands = {
        {LISTING_EXE, scripts[0]},
        {LISTING_EXE, scripts[1]},
        {"find", tree.string(), "-iname", "*.url"}};
    std::vector<std::vector<double>> seconds(commands.size());
    for (int run = 0; run <= kRuns; ++run) {
        for (std::size_t i = 0; i < commands.size(); ++i) {
            const double elapsed = timeCommand(commands[i]);
            if (run > 0) {
                seconds[i].push_back(elapsed);
            }
        }
    }
    const double byName = median(seconds[0]);
    const double byDate = median(seconds[1]);
    const double find = median(seconds[2]);
    std::printf("listing /o:n seconds: %.4f\n", byName);
    std::printf("listing /o:d seconds: %.4f\n", byDate);
    std::printf("find seconds: %.4f\n", find);
    std::printf("ratio /o:n: %.3f\n", byName / find);
    std::printf("ratio /o:d: %.3f\n", byDate / find);
    std::printf("reproduce: %s%s%s\n", argv[0], argc > 1 ? " " : "", argc > 1 ? argv[1] : "");
    fs::remove_all(work);
    return 0;
}
