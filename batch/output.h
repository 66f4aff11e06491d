#pragma once
// Where batch outputs go. A file is written to a temporary file beside it and renamed over it
// only when everything was written, so a missing input, an I/O error, Cancel or a crash leave the
// previous file whole. The palette is appended to in place, whole lines at a time, and cut back
// to its old length when the job does not finish.
#include "records/atomicfile.h"
#include "records/safeopen.h"
#include "workbench/palette.h"

#include <QFile>
#include <QString>

#include <memory>
#include <string>
#include <string_view>

namespace zul::batch {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // False when the bytes could not be written; error() then says why.
    virtual bool write(std::string_view bytes) = 0;
    // Makes what was written the output. False when that failed.
    virtual bool commit() = 0;
    // Drops what was written: the output is as it was before.
    virtual void discard() = 0;
    virtual QString error() const = 0;
};

// A file replaced whole on commit.
class FileSink : public ByteSink {
public:
    explicit FileSink(const QString& fileName);
    // False when the temporary file cannot be made (read-only folder, say).
    bool open();
    bool write(std::string_view bytes) override;
    bool commit() override;
    void discard() override;
    QString error() const override;

private:
    QString m_name;
    std::unique_ptr<AtomicFile> m_file; // null once discarded
    QString m_error;
};

// Standard output: written as it comes, nothing to undo.
class StdoutSink : public ByteSink {
public:
    bool write(std::string_view bytes) override;
    bool commit() override;
    void discard() override {}
    QString error() const override { return m_error; }

private:
    QString m_error;
};

// In memory, for tests and benchmarks.
class StringSink : public ByteSink {
public:
    bool write(std::string_view bytes) override {
        m_pending.append(bytes);
        return true;
    }
    bool commit() override {
        m_committed = std::move(m_pending);
        m_pending.clear();
        return true;
    }
    void discard() override { m_pending.clear(); }
    QString error() const override { return {}; }
    const std::string& committed() const { return m_committed; }

private:
    std::string m_pending, m_committed;
};

// True when `fileName` exists, is not empty and does not end in a line break: a record appended
// to it needs CR LF first, or it would run on from the last line.
bool endsInsideLine(const QString& fileName);

// Appends palette records to a palette file opened once for the whole job.
class PaletteAppender : public ByteSink {
public:
    explicit PaletteAppender(const QString& fileName);
    bool open();
    // `bytes` is whole lines.
    bool write(std::string_view bytes) override;
    bool commit() override;
    // Cuts the file back to what it held before open().
    void discard() override;
    QString error() const override { return m_error; }

private:
    QString m_name;
    AppendTarget m_target;
    std::unique_ptr<PaletteLock> m_lock; // held from open() to commit() or discard()
    qint64 m_startSize = 0;
    bool m_repair = false; // CR LF owed before the first record
    QString m_error;
};

} // namespace zul::batch
