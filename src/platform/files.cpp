#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace velmora {

namespace {

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y) return false;
    }
    return true;
}

// One component under an existing folder: as spelled, else the first entry equal but for case.
fs::path MatchComponent(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    fs::path exact = folder / name;
    if (fs::exists(exact, ec)) return exact;
    fs::path dir = folder.empty() ? fs::path(".") : folder;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (EqualNoCase(entry, name)) return folder / entry;
    }
    return exact;
}

struct TWriteOverlay {
    fs::path From, To;
};

std::vector<TWriteOverlay>& WriteOverlays() {
    static std::vector<TWriteOverlay> overlays; // longest From first
    return overlays;
}

thread_local std::string LastWriteFailure;

// Keeps the reason of a failed write for the caller's message; returns false.
bool WriteFailed(const std::string& reason) {
    LastWriteFailure = reason;
    return false;
}

} // namespace

// The path on disk with each component's letter case matched, overlays left aside.
static std::string ResolveCase(const std::string& gamePath) {
    std::string p = gamePath;
    for (char& c : p)
        if (c == '\\') c = '/';
    // Collapse doubled separators the game's path joins can produce ("base\\" + "\\file").
    std::string clean;
    for (char c : p)
        if (!(c == '/' && !clean.empty() && clean.back() == '/')) clean += c;
    std::error_code ec;
    if (clean.empty() || fs::exists(clean, ec)) return clean;

    fs::path result = clean[0] == '/' ? fs::path("/") : fs::path();
    size_t pos = clean[0] == '/' ? 1 : 0;
    bool stillExists = true;
    while (pos <= clean.size()) {
        size_t next = clean.find('/', pos);
        if (next == std::string::npos) next = clean.size();
        const std::string part = clean.substr(pos, next - pos);
        if (!part.empty()) {
            if (stillExists && part != "." && part != "..") {
                result = MatchComponent(result, part);
                stillExists = fs::exists(result, ec);
            } else {
                result /= part;
            }
        }
        pos = next + 1;
    }
    return result.string();
}

// The overlay's copy of a resolved path, or an empty path when no overlay covers it.
static fs::path OverlayCopy(const std::string& resolved) {
    if (WriteOverlays().empty() || resolved.empty()) return {};
    std::error_code ec;
    const fs::path abs = fs::absolute(resolved, ec).lexically_normal();
    for (const TWriteOverlay& o : WriteOverlays()) {
        const fs::path rel = abs.lexically_relative(o.From);
        if (rel.empty() || *rel.begin() == "..") continue;
        return rel == "." ? o.To : fs::path(ResolveCase((o.To / rel).string()));
    }
    return {};
}

std::string ResolvePath(const std::string& gamePath) {
    const std::string onDisk = ResolveCase(gamePath);
    const fs::path copy = OverlayCopy(onDisk);
    std::error_code ec;
    return !copy.empty() && fs::exists(copy, ec) ? copy.string() : onDisk;
}

// Absolute, without "." or ".." and without a trailing separator, so that paths compare by components.
static fs::path PlainFolder(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::absolute(path, ec).lexically_normal();
    if (!p.has_filename() && p != p.root_path()) p = p.parent_path();
    return p;
}

void AddWriteOverlay(const std::string& from, const std::string& to) {
    std::vector<TWriteOverlay>& overlays = WriteOverlays();
    overlays.push_back({PlainFolder(ResolveCase(from)), PlainFolder(to)});
    std::stable_sort(overlays.begin(), overlays.end(), [](const TWriteOverlay& a, const TWriteOverlay& b) {
        return a.From.native().size() > b.From.native().size();
    });
}

void ClearWriteOverlays() {
    WriteOverlays().clear();
}

// A write goes to the overlay's copy, whose folder may not exist yet; elsewhere nothing is made.
static std::string WritePath(const std::string& gamePath, bool makeParents) {
    const std::string onDisk = ResolveCase(gamePath);
    const fs::path copy = OverlayCopy(onDisk);
    if (copy.empty()) return onDisk;
    std::error_code ec;
    if (makeParents && copy.has_parent_path()) fs::create_directories(copy.parent_path(), ec);
    return copy.string();
}

std::string ResolveWritePath(const std::string& gamePath) {
    return WritePath(gamePath, true);
}

std::string LastWriteError() {
    return LastWriteFailure;
}

bool FileExists(const std::string& gamePath) {
    std::error_code ec;
    return fs::is_regular_file(ResolvePath(gamePath), ec);
}

bool DirectoryExists(const std::string& gamePath) {
    std::error_code ec;
    return fs::is_directory(ResolvePath(gamePath), ec);
}

bool CreateDirectory(const std::string& gamePath) {
    std::error_code ec;
    const std::string p = WritePath(gamePath, false);
    fs::create_directories(p, ec);
    const std::string reason = ec ? ec.message() : "a file of that name is in the way";
    if (fs::is_directory(p, ec)) return true;
    return WriteFailed(reason);
}

bool DeleteFile(const std::string& gamePath) {
    std::error_code ec;
    return fs::remove(WritePath(gamePath, false), ec);
}

bool RenameFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::rename(WritePath(from, false), WritePath(to, true), ec);
    return !ec || WriteFailed(ec.message());
}

int64_t FileSize(const std::string& gamePath) {
    std::error_code ec;
    const auto size = fs::file_size(ResolvePath(gamePath), ec);
    return ec ? -1 : static_cast<int64_t>(size);
}

namespace {

TFileFaultSink FaultSink = nullptr;

void TellFault(const char* where, const std::string& gamePath, const std::string& reason) {
    if (FaultSink) FaultSink(std::string("files.") + where + " : " + reason + " \"" + gamePath + "\"");
}

// Opens for reading only what is a regular file no longer than maxBytes (head: longer is fine).
// A FIFO or device in place of a file is refused without waiting on it.
int OpenChecked(const char* where, const std::string& gamePath, uint64_t maxBytes, bool head,
                uint64_t& size) {
    const std::string path = ResolvePath(gamePath);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            TellFault(where, gamePath, std::string("Cannot be opened (") + std::strerror(errno) + ")");
        return -1;
    }
    struct stat st {};
    std::string refusal;
    if (::fstat(fd, &st) != 0)
        refusal = std::string("Cannot be examined (") + std::strerror(errno) + ")";
    else if (!S_ISREG(st.st_mode))
        refusal = S_ISDIR(st.st_mode) ? "A folder stands in place of the file" : "Not a regular file";
    else if (!head && static_cast<uint64_t>(st.st_size) > maxBytes)
        refusal = "File is too large (" + std::to_string(st.st_size) + " bytes; at most " +
                  std::to_string(maxBytes) + " are read for its kind)";
    if (!refusal.empty()) {
        TellFault(where, gamePath, refusal);
        ::close(fd);
        return -1;
    }
    size = static_cast<uint64_t>(st.st_size);
    return fd;
}

// Reads up to limit bytes; a file that grows while it is read never makes the buffer pass the limit.
bool ReadUpTo(int fd, std::vector<uint8_t>& out, uint64_t expected, uint64_t limit) {
    out.resize(static_cast<size_t>(std::min(expected, limit)));
    size_t got = 0;
    for (;;) {
        if (got == out.size()) {
            if (out.size() >= limit) break;
            out.resize(static_cast<size_t>(std::min<uint64_t>(limit, out.size() + 65536)));
        }
        const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    out.resize(got);
    return true;
}

} // namespace

void SetFileFaultSink(TFileFaultSink sink) {
    FaultSink = sink;
}

bool ReadWholeFile(const std::string& gamePath, std::vector<uint8_t>& out, uint64_t maxBytes) {
    out.clear();
    uint64_t size = 0;
    const int fd = OpenChecked("ReadWholeFile", gamePath, maxBytes, false, size);
    if (fd < 0) return false;
    // One byte past the bound shows a file that grew past it after the check.
    bool ok = ReadUpTo(fd, out, size, maxBytes + 1);
    ::close(fd);
    if (ok && out.size() > maxBytes) {
        TellFault("ReadWholeFile", gamePath, "File is too large (it grew while being read)");
        ok = false;
    }
    if (!ok) {
        if (out.size() <= maxBytes) TellFault("ReadWholeFile", gamePath, "Read error");
        out.clear();
        out.shrink_to_fit();
    }
    return ok;
}

bool ReadFileHead(const std::string& gamePath, std::vector<uint8_t>& out, size_t maxBytes) {
    out.clear();
    uint64_t size = 0;
    const int fd = OpenChecked("ReadFileHead", gamePath, maxBytes, true, size);
    if (fd < 0) return false;
    const bool ok = ReadUpTo(fd, out, size, maxBytes);
    ::close(fd);
    if (!ok) {
        TellFault("ReadFileHead", gamePath, "Read error");
        out.clear();
    }
    return ok;
}

bool WriteWholeFile(const std::string& gamePath, const void* data, size_t size) {
    // Write beside the target, flush to disk, then rename over it: a crash or a full disk
    // never leaves a half-written file in place of the old one.
    const std::string target = ResolveWritePath(gamePath);
    const std::string temp = target + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return WriteFailed(std::strerror(errno));
    // The first failing step's errno is the reason (a full disk shows at write, flush or sync).
    int error = 0;
    auto step = [&error](bool done) {
        if (!done && error == 0) error = errno != 0 ? errno : EIO;
    };
    errno = 0;
    step(size == 0 || std::fwrite(data, 1, size, f) == size);
    step(std::fflush(f) == 0);
    step(fsync(fileno(f)) == 0);
    step(std::fclose(f) == 0);
    std::error_code ec;
    if (error == 0) fs::rename(temp, target, ec);
    if (error != 0 || ec) {
        const std::string reason = error != 0 ? std::strerror(error) : ec.message();
        fs::remove(temp, ec);
        return WriteFailed(reason);
    }
    return true;
}

std::string GetCurrentDirectory() {
    std::error_code ec;
    return fs::current_path(ec).string();
}

bool SetCurrentDirectory(const std::string& gamePath) {
    std::error_code ec;
    fs::current_path(ResolvePath(gamePath), ec);
    return !ec;
}

bool ReadWholeFile(const std::string& gamePath, std::string& out, uint64_t maxBytes) {
    std::vector<uint8_t> bytes;
    const bool ok = ReadWholeFile(gamePath, bytes, maxBytes);
    out.assign(bytes.begin(), bytes.end());
    return ok;
}

bool AppendToFile(const std::string& gamePath, const std::string& text) {
    FILE* f = std::fopen(ResolveWritePath(gamePath).c_str(), "ab");
    if (!f) return WriteFailed(std::strerror(errno));
    bool ok = text.empty() || std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

std::vector<std::string> ListFiles(const std::string& gameFolder, const std::string& extension) {
    std::vector<std::string> names;
    // An overlaid folder shows the files of both: the installed ones and those the player's runs made.
    const std::string onDisk = ResolveCase(gameFolder);
    for (const fs::path& folder : {fs::path(onDisk), OverlayCopy(onDisk)}) {
        std::error_code ec;
        if (folder.empty()) continue;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            if (!it->is_regular_file(ec)) continue;
            const std::string name = it->path().filename().string();
            if (extension.empty() || (name.size() >= extension.size() &&
                                      EqualNoCase(name.substr(name.size() - extension.size()), extension)))
                names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

} // namespace velmora
