#include "platform/safe_save.h"

#include <QSaveFile>

#include <algorithm>
#include <memory>

struct CFileSaveSteps::Impl {
    std::unique_ptr<QSaveFile> file;
};

CFileSaveSteps::CFileSaveSteps() : m_impl(new Impl) {}

CFileSaveSteps::~CFileSaveSteps()
{
    Cancel();
    delete m_impl;
}

bool CFileSaveSteps::Open(const QString& path)
{
    m_impl->file = std::make_unique<QSaveFile>(path);
    // Never write straight into the target, even where the folder does not
    // allow a temporary file beside it: failing is better than a half file.
    m_impl->file->setDirectWriteFallback(false);
    return m_impl->file->open(QIODevice::WriteOnly);
}

int64_t CFileSaveSteps::Write(const char* data, int64_t size)
{
    if (!m_impl->file) return 0;
    const qint64 n = m_impl->file->write(data, size);
    return n < 0 ? 0 : n;
}

bool CFileSaveSteps::Commit()
{
    if (!m_impl->file) return false;
    const bool ok = m_impl->file->commit();
    m_impl->file.reset();
    return ok;
}

void CFileSaveSteps::Cancel()
{
    if (!m_impl->file) return;
    m_impl->file->cancelWriting();
    m_impl->file.reset();
}

bool SaveFileSafely(const QString& path, const char* data, int64_t size, CSaveSteps* steps)
{
    CFileSaveSteps fileSteps;
    CSaveSteps& s = steps ? *steps : fileSteps;
    if (!s.Open(path)) {
        s.Cancel();
        return false;
    }
    // 64 KiB blocks: large enough to cost nothing, small enough that a disk
    // that fills up is noticed near where it happens.
    constexpr int64_t kBlock = 64 * 1024;
    int64_t done = 0;
    while (done < size) {
        const int64_t want = std::min(kBlock, size - done);
        const int64_t n = s.Write(data + done, want);
        if (n <= 0 || n > want) {
            s.Cancel();
            return false;
        }
        done += n;
    }
    if (!s.Commit()) {
        s.Cancel();
        return false;
    }
    return true;
}
