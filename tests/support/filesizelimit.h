#pragma once

#include <csignal>

#include <sys/resource.h>

namespace tervelle::test {

// No file of this process (nor of the programs it starts meanwhile) may grow past `bytes` while
// the object lives: a write past that fails with EFBIG, as on a full disk, instead of killing the
// process. The limit goes with the object, so a failed assertion that leaves a test early cannot
// leave it on for the tests after it.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = m_saved;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() { lift(); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // Ends the limit early, before the checks of what happened under it.
    void lift()
    {
        if (m_lifted)
            return;
        m_lifted = true;
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    struct rlimit m_saved
    {
    };
    void (*m_handler)(int) = nullptr;
    bool m_lifted = false;
};

} // namespace tervelle::test
