#pragma once
// Lets a window take a file dropped on it: one local file whose name ends in one of the
// suffixes given (any file when none are) is accepted while dragged over and handed over
// on the drop.
#include <QObject>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

namespace zul {

// The local file of a drag, when it carries exactly one whose suffix (lower case, no dot) is
// in `suffixes` (any suffix when empty); else empty.
QString droppedFile(const QMimeData* data, const QStringList& suffixes);

class FileDrop : public QObject {
public:
    using Handler = std::function<void(const QString& file)>;
    // Accepts drops on `target` from now on; the filter is a child of `target`.
    FileDrop(QWidget* target, QStringList suffixes, Handler handle);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStringList m_suffixes;
    Handler m_handle;
};

} // namespace zul
