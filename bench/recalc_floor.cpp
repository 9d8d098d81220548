// The durable floor of a recalculation: what any program that recalculates every regime of
// an object must at least do with its files. It lists the folder once, reads every regime
// file and its results file once, and writes every results file durably (a temporary file
// beside it, data synced, renamed over the old one). No parsing, no calculation: the bytes
// read are written back. `kalvaro-cli recalc` is measured against it (recalc-vs-floor.sh).
//
//   recalc_floor OBJECTDIR

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool ReadWhole(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return false;
    }
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    ::close(fd);
    return true;
}

bool WriteDurable(const std::string& path, const std::string& bytes) {
    const std::string tmp = path + ".floor.tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                    ::fdatasync(fd) == 0;
    if (::close(fd) != 0 || !ok || ::rename(tmp.c_str(), path.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: recalc_floor OBJECTDIR\n");
        return 2;
    }
    const std::string folder = argv[1];
    // regime files are "Режим №  N.Dat"; their results files carry the prefix "Расчет"
    const std::string regimePrefix = "Режим";
    const std::string resultsPrefix = "Расчет";
    std::vector<std::string> regimes;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        std::perror(folder.c_str());
        return 1;
    }
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.rfind(regimePrefix, 0) == 0 && name.size() > 4 &&
            strcasecmp(name.c_str() + name.size() - 4, ".dat") == 0)
            regimes.push_back(name);
    }
    ::closedir(dir);
    int written = 0;
    std::string in, res;
    for (const std::string& name : regimes) {
        if (!ReadWhole(folder + "/" + name, in)) continue;
        const std::string results = folder + "/" + resultsPrefix + name;
        if (!ReadWhole(results, res)) continue;
        if (WriteDurable(results, res)) ++written;
    }
    std::printf("regimes: %zu, results written: %d\n", regimes.size(), written);
    return written == static_cast<int>(regimes.size()) ? 0 : 1;
}
