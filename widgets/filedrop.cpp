#include "widgets/filedrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace zul {

QString droppedFile(const QMimeData* data, const QStringList& suffixes) {
    if (!data || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
    const QString file = urls.front().toLocalFile();
    if (!suffixes.isEmpty() && !suffixes.contains(QFileInfo(file).suffix().toLower())) return {};
    return file;
}

FileDrop::FileDrop(QWidget* target, QStringList suffixes, Handler handle)
    : QObject(target), m_suffixes(std::move(suffixes)), m_handle(std::move(handle)) {
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (droppedFile(drag->mimeData(), m_suffixes).isEmpty()) return false;
        drag->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString file = droppedFile(drop->mimeData(), m_suffixes);
        if (file.isEmpty()) return false;
        drop->acceptProposedAction();
        m_handle(file);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zul
