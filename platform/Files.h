// The file system as the program's helpers and the settings store see it: the running
// program's own path, looks at what stands at a name, and the one way a file is opened to be
// read, which never waits on a named pipe or a device put where a file was expected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The running program's file, links followed; empty when the system does not say.
std::string ExecutablePath();
// Whether there is anything at that name, links followed.
bool PathExists(const std::string& strPath);
// Whether there is anything at that name, a dangling link included.
bool NameTaken(const std::string& strPath);

enum class EFileKind
{
    Regular,
    Folder,
    Other, // a named pipe, a device, a socket
};

// What tells one version of a file from another: a rename puts another file in its place, an
// edit in place changes its size or its times.
struct SFileIdentity
{
    uint64_t nDevice = 0;
    uint64_t nInode = 0;
    int64_t nSize = 0;
    int64_t nModifiedSeconds = 0;
    int64_t nModifiedNanoseconds = 0;
    int64_t nChangedSeconds = 0;
    int64_t nChangedNanoseconds = 0;
    bool operator==(const SFileIdentity&) const = default;
};

struct SFileFacts
{
    EFileKind eKind = EFileKind::Other;
    int64_t nSize = 0;
    SFileIdentity identity;
};

// Looks at what stands at strPath, links followed. Gives 0 or the errno.
int LookAtPath(const std::string& strPath, SFileFacts& facts);

// The error CReadOnlyFile::Open gives for a name that is there but is no regular file.
inline constexpr int kNotRegularFile = -1;

// A regular file open for reading; closed with the object.
class CReadOnlyFile
{
  public:
    // Opens strPath when it is a regular file. It is looked at before it is opened (opening a
    // named pipe waits for a writer, opening a device may do something to it), opened without
    // blocking and looked at again through the open file, so that a pipe put in its place since
    // the look cannot hold the reader either. Null with nError set to the errno, or to
    // kNotRegularFile for a folder, a pipe, a device or a socket.
    static std::unique_ptr<CReadOnlyFile> Open(const std::string& strPath, int& nError);
    ~CReadOnlyFile();
    CReadOnlyFile(const CReadOnlyFile&) = delete;
    CReadOnlyFile& operator=(const CReadOnlyFile&) = delete;

    // The open file as it was when opened.
    const SFileFacts& Facts() const { return m_facts; }
    // Reads up to nBytes into pInto: how many came, 0 at the end; -1 with nError set to the
    // errno. An interrupted read is tried again.
    int64_t Read(void* pInto, size_t nBytes, int& nError);

  private:
    CReadOnlyFile(int fd, const SFileFacts& facts) : m_fd(fd), m_facts(facts) {}
    int m_fd;
    SFileFacts m_facts;
};
