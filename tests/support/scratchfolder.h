#pragma once
// A working folder of a test's own: a fresh temporary folder, made the working folder while the
// test runs, and the previous working folder back afterwards whatever the test did.
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zul::testing {

class ScratchFolder {
public:
    enum class Entry { Now, Later };
    // Entered at once unless `Later` (then by enter()); a failure to enter fails the test.
    explicit ScratchFolder(Entry entry = Entry::Now) {
        if (entry == Entry::Now && !enter()) ADD_FAILURE() << "no scratch folder to work in";
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() { leave(); }

    // Makes the folder the working folder; false when it could not be made or entered.
    [[nodiscard]] bool enter() {
        if (!m_dir.isValid()) return false;
        if (m_previous.isEmpty()) m_previous = QDir::currentPath();
        return QDir::setCurrent(m_dir.path());
    }
    void leave() {
        if (!m_previous.isEmpty()) QDir::setCurrent(m_previous);
        m_previous.clear();
    }

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// A fixture (on top of `Base`'s) whose tests run in a scratch folder `dir`, entered after
// `Base` has set up.
template <typename Base = ::testing::Test> class InScratchFolder : public Base {
protected:
    void SetUp() override {
        Base::SetUp();
        ASSERT_TRUE(dir.enter());
    }
    void TearDown() override {
        dir.leave();
        Base::TearDown();
    }

    ScratchFolder dir{ScratchFolder::Entry::Later};
};

} // namespace zul::testing
