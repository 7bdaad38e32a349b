#include "picture_cache.h"

#include <sys/stat.h>

#include "bmp_reader.h"

namespace pictor {

namespace {

struct FileIdentity {
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    long long modifiedSeconds = 0, modifiedNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;
};

struct Cache {
    FileIdentity identity;
    std::shared_ptr<const Picture> picture;
    long long decoded = 0;
};

Cache& cache() {
    static Cache c;
    return c;
}

} // namespace

std::shared_ptr<const Picture> loadPicture(const std::string& path, std::string& error) {
    Cache& c = cache();
    struct stat st {};
    FileIdentity id;
    const bool known = stat(path.c_str(), &st) == 0;
    if (known) {
        id = {path, st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
        if (c.picture && c.identity == id) return c.picture;
    }
    c.picture.reset(); // never two big pictures in memory at once
    BmpResult loaded = readBmpFile(path);
    ++c.decoded;
    if (!loaded.ok) {
        error = loaded.error;
        return nullptr;
    }
    auto picture = std::make_shared<const Picture>(std::move(loaded.picture));
    if (known) {
        c.identity = id;
        c.picture = picture;
    }
    return picture;
}

long long picturesDecoded() {
    return cache().decoded;
}

} // namespace pictor
