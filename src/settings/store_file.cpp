#include "settings/store_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

#include "common/desktop.h"

namespace {

namespace fs = std::filesystem;

std::string errorText(int error)
{
    return std::strerror(error);
}

// The folder that holds path: "." for a bare file name.
std::string folderOf(const std::string& path)
{
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

// Makes folder, and the folders above it that are missing, for the user alone.
std::error_code makeFolder(const fs::path& folder)
{
    std::error_code error;
    const fs::file_status status = fs::status(folder, error);
    if (fs::is_directory(status))
        return {};
    if (fs::exists(status))
        return std::make_error_code(std::errc::not_a_directory);
    if (status.type() != fs::file_type::not_found)
        return error;
    if (const fs::path parent = folder.parent_path(); !parent.empty() && parent != folder)
        if (const std::error_code above = makeFolder(parent))
            return above;
    if (fs::create_directory(folder, error))
        fs::permissions(folder, fs::perms::owner_all, error);
    return error;
}

// The lock that running copies of the program share. Closing it lets go, also when a copy dies
// in the middle of a write.
class FileLock {
public:
    explicit FileLock(const std::string& path)
    {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd_ < 0) {
            error_ = errno;
            return;
        }
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                error_ = errno;
                ::close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~FileLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return fd_ >= 0; }
    int error() const { return error_; }

private:
    int fd_ = -1;
    int error_ = 0;
};

bool writeAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

}  // namespace

StoreFile::StoreFile(std::string path, Flush flush)
    : path_(std::move(path)),
      flush_(flush),
      folder_(folderOf(path_)),
      lockPath_(path_ + ".lock")
{
}

StoreFile::Contents StoreFile::readFile() const
{
    Contents contents;
    // Non-blocking, so that a pipe put in the file's place cannot hang the program.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR) {
            contents.state = State::Unreadable;
            contents.problem = errorText(errno);
        }
        return contents;
    }
    std::string text;
    if (::fstat(fd, &contents.status) != 0) {
        contents.state = State::Unreadable;
        contents.problem = errorText(errno);
    } else if (!S_ISREG(contents.status.st_mode)) {
        contents.state = State::NotAFile;
        contents.problem = S_ISDIR(contents.status.st_mode) ? "a folder" : "a device or a pipe";
    } else {
        // One byte past the limit is enough to know the file is too large.
        char buffer[65536];
        while (text.size() <= StoreData::MaxFileSize) {
            const std::size_t wanted = std::min(sizeof buffer, StoreData::MaxFileSize + 1 - text.size());
            const ssize_t n = ::read(fd, buffer, wanted);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                contents.state = State::Unreadable;
                contents.problem = errorText(errno);
                break;
            }
            if (n == 0)
                break;
            text.append(buffer, std::size_t(n));
        }
    }
    ::close(fd);
    contents.exists = true;
    if (contents.state != State::Ready)
        return contents;

    StoreParseResult parsed = StoreData::parse(text);
    if (parsed.ok) {
        contents.data = std::move(parsed.data);
    } else {
        contents.state = State::NotSettings;
        contents.problem = parsed.where();
    }
    return contents;
}

StoreFile::Contents StoreFile::current(bool locked)
{
    Contents contents = readFile();
    if (contents.state == State::NotSettings) {
        std::optional<FileLock> lock;
        int error = 0;
        if (!locked) {
            lock.emplace(lockPath_);
            if (lock->held())
                contents = readFile();  // another copy may have dealt with it meanwhile
            else
                error = lock->error();
        }
        if (contents.state == State::NotSettings) {
            const Expected<std::string> moved = error == 0 ? moveAside() : failure(errorText(error));
            if (moved) {
                lastProblem_.clear();
                pending_.push_back({"The settings file '" + path_ + "' could not be read (" + contents.problem +
                                    "). It was kept as '" + *moved + "' and the settings start empty.",
                                {}});
                return Contents();
            }
            reportProblem("The settings file '" + path_ + "' could not be read (" + contents.problem +
                          ") and could not be moved aside (" + moved.error() +
                          "). Settings read as their defaults and are not saved until the file is mended or removed.");
            return contents;
        }
    }
    if (contents.state == State::Ready)
        lastProblem_.clear();
    else if (contents.state == State::Unreadable)
        reportProblem("The settings file '" + path_ + "' could not be read (" + contents.problem +
                      "). Settings read as their defaults and are not saved over it.");
    else if (contents.state == State::NotAFile)
        reportProblem("The settings file '" + path_ + "' is " + contents.problem +
                      ", not a file. Settings read as their defaults and cannot be saved.");
    return contents;
}

// Renames the file to FILE.bad, or FILE.2.bad and on when that is taken: an earlier bad file is
// never overwritten. Gives the new name. Called with the lock held.
Expected<std::string> StoreFile::moveAside()
{
    for (int n = 1; n <= 99; ++n) {
        const std::string badPath = n == 1 ? path_ + ".bad" : path_ + "." + std::to_string(n) + ".bad";
        if (::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, badPath.c_str(), RENAME_NOREPLACE) == 0)
            return badPath;
        if (errno == EEXIST)
            continue;
        if (errno == EINVAL || errno == ENOSYS) {
            // A file system that cannot refuse to replace: the lock keeps other copies out meanwhile.
            if (::access(badPath.c_str(), F_OK) == 0)
                continue;
            if (::rename(path_.c_str(), badPath.c_str()) == 0)
                return badPath;
        }
        return failure(errorText(errno));
    }
    return failure(errorText(EEXIST));
}

// Where a write puts the new file: the settings file itself, or the file its symbolic link leads
// to, so that a link the user made stays a link. A loop of links is left to the write to fail on.
std::string StoreFile::writeTarget() const
{
    fs::path target = path_;
    std::error_code error;
    for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(target, error)); ++hop) {
        const fs::path next = fs::read_symlink(target, error);
        if (error)
            break;
        target = fs::path(folderOf(target.string())) / next;  // an absolute link replaces it all
    }
    return target.string();
}

// Writes text to TARGET.tmp, flushes it and renames it over target. A failure reads "FILE: reason".
Expected<void> StoreFile::replaceFile(const std::string& target, const std::string& text, const Contents& old) const
{
    const std::string temp = target + ".tmp";
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY;
    int fd = ::open(temp.c_str(), flags, 0666);
    if (fd < 0 && errno == EACCES) {
        // A temporary file left by a copy that died, and not ours to write.
        ::unlink(temp.c_str());
        fd = ::open(temp.c_str(), flags, 0666);
    }
    if (fd < 0)
        return failure(temp + ": " + errorText(errno));
    if (old.exists)
        ::fchmod(fd, old.status.st_mode & 07777);
    int error = 0;
    if (!writeAll(fd, text) || (flush_ == Flush::ToDisk && ::fsync(fd) != 0))
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    std::string why;
    if (error != 0)
        why = temp + ": " + errorText(error);
    else if (::rename(temp.c_str(), target.c_str()) != 0)
        why = target + ": " + errorText(errno);
    if (!why.empty()) {
        ::unlink(temp.c_str());
        return failure(why);
    }
    // The rename itself lasts only once the folder is on disk too.
    const int folder = flush_ == Flush::ToDisk ? ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}

void StoreFile::reportProblem(const std::string& message)
{
    if (message == lastProblem_)
        return;
    lastProblem_ = message;
    pending_.push_back({message, {}});
}

// Reports go out only once the lock is let go: the error box runs its own event loop, in which a
// timer of this copy may write, and the other copies must not wait for the user.
void StoreFile::deliverReports()
{
    for (const StoreReport& each : std::exchange(pending_, {}))
        report(each);
}

std::optional<StoreValue> StoreFile::readValue(const std::string& header, const std::string& name)
{
    const Contents contents = current(false);
    deliverReports();
    if (contents.state != State::Ready)
        return std::nullopt;
    const StoreValue* value = contents.data.find(header, name);
    return value ? std::optional<StoreValue>(*value) : std::nullopt;
}

Store::WriteResult StoreFile::writeValue(const std::string& header, const std::string& name, const std::string& text,
                                         const KeepStored& keep)
{
    const WriteResult result = writeLocked(header, name, text, keep);
    deliverReports();
    return result;
}

Store::WriteResult StoreFile::writeLocked(const std::string& header, const std::string& name, const std::string& text,
                                          const KeepStored& keep)
{
    const auto failed = [](WriteResult::Kind kind, const std::string& file, const std::string& why) {
        return WriteResult{kind, file + ": " + why};
    };
    if (const std::error_code error = makeFolder(folder_))
        return failed(WriteResult::KeyNotCreated, folder_, error.message());
    const FileLock lock(lockPath_);
    Contents now = current(lock.held());
    if (now.state == State::NotAFile)
        return failed(WriteResult::KeyNotCreated, path_, "is " + now.problem + ", not a file");
    if (now.state != State::Ready)
        return failed(WriteResult::DataNotSet, path_, now.problem);
    // Writing what is there already changes nothing, and so needs neither the lock nor a
    // writable file: the key write-back at every start stays quiet on a read-only setup.
    const StoreValue* value = now.data.find(header, name);
    if (value && keep && keep(*value))
        return {WriteResult::Kept, {}};
    if (value && value->isString && value->data == text)
        return {WriteResult::Stored, {}};
    if (!lock.held())
        return failed(WriteResult::DataNotSet, lockPath_, errorText(lock.error()));
    if (now.exists) {
        // Replacing the file needs only a writable folder; a file made read-only stays as it is,
        // also for root, whom the system lets write anything: the mode bits say what the user wants.
        const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        const int error = fd < 0 ? errno : (now.status.st_mode & 0222) == 0 ? EACCES : 0;
        if (fd >= 0)
            ::close(fd);
        if (error != 0)
            return failed(WriteResult::DataNotSet, path_, errorText(error));
    }
    now.data.setString(header, name, text);
    const std::string newText = now.data.toText();
    if (newText.size() > StoreData::MaxFileSize)
        return failed(WriteResult::DataNotSet, path_, "the file would be larger than 1 MiB");
    if (const Expected<void> replaced = replaceFile(writeTarget(), newText, now); !replaced)
        return {WriteResult::DataNotSet, replaced.error()};
    return {WriteResult::Stored, {}};
}

std::string defaultStorePath()
{
    return xdgBaseFolder("XDG_CONFIG_HOME", ".config") + "/zerno-bros/settings.reg";
}
