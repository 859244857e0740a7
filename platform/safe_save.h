// Saving a file so that a failure at any point leaves either the old file or
// the whole new one, never a mixture: the bytes go to a temporary file beside
// the target, are flushed to the disk and only then renamed over it.  The
// three steps sit behind a small interface so tests can make any one of them
// fail, byte by byte.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

class CSaveSteps {
public:
    virtual ~CSaveSteps() = default;
    // Creates the temporary file beside path.
    virtual bool Open(const QString& path) = 0;
    // Appends bytes; returns how many were written (fewer on an error).
    virtual int64_t Write(const char* data, int64_t size) = 0;
    // Flushes, syncs and renames the temporary file over the target.
    virtual bool Commit() = 0;
    // Removes the temporary file after a failure.
    virtual void Cancel() = 0;
};

// The real steps, on QSaveFile.
class CFileSaveSteps : public CSaveSteps {
public:
    CFileSaveSteps();
    ~CFileSaveSteps() override;
    bool Open(const QString& path) override;
    int64_t Write(const char* data, int64_t size) override;
    bool Commit() override;
    void Cancel() override;

private:
    struct Impl;
    Impl* m_impl;
};

// Writes the bytes through the steps (the real file steps when none are
// given); false when any step failed, and then the old file is untouched and
// no temporary file is left.  Writes go out in blocks, so a short write is
// retried and an error is seen at the byte where it happens.
bool SaveFileSafely(const QString& path, const char* data, int64_t size, CSaveSteps* steps = nullptr);
