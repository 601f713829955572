#pragma once

#include <csignal>
#include <sys/resource.h>

// Caps the size of the files this process may write (the soft RLIMIT_FSIZE), so that a write
// fails part-way, and puts the old limit back afterwards. SIGXFSZ is ignored meanwhile, so that a
// writer that lets it through fails its test instead of ending the whole suite.
class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &mOld);
        rlimit capped = mOld;
        capped.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &capped);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &mOld);
        std::signal(SIGXFSZ, mOldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

  private:
    rlimit mOld{};
    void (*mOldHandler)(int) = SIG_DFL;
};
