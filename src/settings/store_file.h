// The settings store as one REGEDIT4-style text file, by default
// ${XDG_CONFIG_HOME:-~/.config}/zerno-bros/settings.reg, beside which live FILE.lock (the lock
// that running copies of the program share; it stays) and, for a moment during a write, FILE.tmp
// (beside the file a symbolic link leads to, when FILE is one).
//
// Reads read the file anew each time, so a running copy sees another's writes at its next read.
// Reads take no lock: the file is only ever replaced whole.
//
// A write locks FILE.lock, reads the file again, changes the one value, writes FILE.tmp, flushes
// it to disk, renames it over FILE and flushes the folder. A crash at any moment leaves the old
// file or the new one; two copies writing at once lose none of each other's values. A write of
// the text a value already holds leaves the file untouched (the key write-back at every start
// does not rewrite it, and does not fail on a read-only one). The folder is made, private to the
// user, at the first write; opening a key makes nothing.
//
// Files that are not what they should be:
// - missing, empty, or only blank lines: an empty store; the first write makes a proper file.
// - not readable as settings (binary, not starting with REGEDIT4, a line that is not a key, a
//   value or a comment, or larger than 1 MiB, which is never read further): renamed to FILE.bad
//   (FILE.2.bad, FILE.3.bad ... when that is taken) and reported with its name and the line at
//   fault; the store then starts empty. If it cannot be moved aside it is reported, reads give
//   the defaults and writes fail rather than replace it.
// - a file that cannot be opened for reading: reported; reads give the defaults and writes fail
//   rather than replace what could not be read.
// - a folder (or any other non-file) in its place: reported and left alone; reads give the
//   defaults and writes are "Failed to create key ".
// - a read-only file or folder: reads work; a write that would change the file fails and the file
//   stays as it was, also for root.
// - a symbolic link: a write replaces the file it leads to, and the link stays.
// - a write that would make the file larger than 1 MiB fails, so the file stays readable.
// Each of these problems is reported once for as long as it lasts, and every report goes out
// after the lock is let go (the error box must not keep other copies waiting).
#pragma once

#include "common/expected.h"
#include "settings/store.h"

#include <string>
#include <sys/stat.h>
#include <vector>

class StoreFile : public Store {
public:
    // Whether a write waits until the new file is on the disk. Only a machine that stops needs
    // that wait; tests of writers that die or race skip it to run in seconds however busy the
    // disk is.
    enum class Flush { ToDisk, ToCacheOnly };

    explicit StoreFile(std::string path, Flush flush = Flush::ToDisk);

    const std::string& path() const { return path_; }

protected:
    std::optional<StoreValue> readValue(const std::string& header, const std::string& name) override;
    WriteResult writeValue(const std::string& header, const std::string& name, const std::string& text,
                           const KeepStored& keep) override;

private:
    enum class State { Ready, NotSettings, Unreadable, NotAFile };
    struct Contents {
        State state = State::Ready;
        StoreData data;
        std::string problem;   // what is wrong, when not Ready
        bool exists = false;
        struct stat status {};
    };

    Contents readFile() const;
    // The file as it is now, with its problems queued for reporting; a file that is not settings
    // is moved aside under the lock (`locked`: the caller holds it already) and reads as empty.
    Contents current(bool locked);
    Expected<std::string> moveAside();
    std::string writeTarget() const;
    Expected<void> replaceFile(const std::string& target, const std::string& text, const Contents& old) const;
    WriteResult writeLocked(const std::string& header, const std::string& name, const std::string& text,
                            const KeepStored& keep);
    void reportProblem(const std::string& message);
    void deliverReports();

    std::string path_;
    Flush flush_;
    std::string folder_;
    std::string lockPath_;
    std::string lastProblem_;
    std::vector<StoreReport> pending_;
};

// ${XDG_CONFIG_HOME}/zerno-bros/settings.reg, with ~/.config when XDG_CONFIG_HOME is unset or not
// an absolute path.
std::string defaultStorePath();
