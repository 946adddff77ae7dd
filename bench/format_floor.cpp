// The least a post can cost: the system calls of storing each file of a folder as a post
// (a picture copied and a small text written, each as an unnamed file linked in place),
// against copying each file as cp does, each run ended by a sync, with nothing else around them.
// Prints the seconds of each as "copy <s>" and "posts <s>". Usage: format_floor <folder of
// pictures> <empty folder for copies> <empty folder for posts>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

bool Copy(int in, int out) {
    for (;;) {
        const ssize_t copied = copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (copied == 0)
            return true;
        if (copied < 0)
            return false;
    }
}

bool Link(int fd, int folder, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

bool StorePost(int in, int folder, const std::string& base) {
    const int picture = openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    bool ok = picture >= 0 && Copy(in, picture) && Link(picture, folder, base + ".Picture");
    close(picture);
    const int info = openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    const char text[] = "blog.example.com\r\nbench, batch\r\nA caption";
    ok = ok && info >= 0 && write(info, text, sizeof text - 1) == sizeof text - 1 &&
         Link(info, folder, base + ".Info");
    close(info);
    return ok;
}

bool CopyLikeCp(int in, int folder, const std::string& name) {
    const int out = openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    const bool ok = out >= 0 && Copy(in, out);
    close(out);
    return ok;
}

template <typename Store>
double Run(const std::string& source, const std::vector<std::string>& names, const char* target,
           Store store) {
    const double start = Now();
    const int folder = open(target, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (size_t i = 0; i < names.size(); ++i) {
        const int in = open((source + "/" + names[i]).c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0 || !store(in, folder, i, names[i]))
            return -1;
        close(in);
    }
    // The same promise as cp + sync: everything on the disk before the run ends.
    const bool synced = syncfs(folder) == 0;
    close(folder);
    return synced ? Now() - start : -1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: format_floor <pictures> <copy folder> <post folder>\n");
        return 2;
    }
    std::vector<std::string> names;
    if (DIR* dir = opendir(argv[1])) {
        while (const dirent* entry = readdir(dir))
            if (entry->d_type == DT_REG)
                names.emplace_back(entry->d_name);
        closedir(dir);
    }
    const double copy = Run(argv[1], names, argv[2], [](int in, int folder, size_t, auto& name) {
        return CopyLikeCp(in, folder, name);
    });
    const double posts = Run(argv[1], names, argv[3], [](int in, int folder, size_t i, auto&) {
        return StorePost(in, folder, "2026-12-07 10-00-00 " + std::to_string(i));
    });
    if (copy < 0 || posts < 0) {
        std::perror("format_floor");
        return 1;
    }
    std::printf("copy %.6f\nposts %.6f\n", copy, posts);
    return 0;
}
